#pragma once
// Picture outlines: which pixels are opaque (everything but the key value, which is the
// bottom-left pixel's), the horizontal runs of opaque pixels, the banded rectangle list the
// platform uses for regions, and the region data block (RGNDATA) that stores it.
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/Bitmap.h"

namespace core {

struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Why an outline could not be made; the caller turns it into its own error class.
enum class OutlineFailure {
    EmptyPicture,   // no picture at all
    ZeroSize,       // width or height is 0
    TooManyRuns,    // a row holds more than the run limit
};

class OutlineError : public std::runtime_error {
public:
    OutlineError(OutlineFailure failure, const std::string& message)
        : std::runtime_error(message), failure_(failure) {}
    OutlineFailure Failure() const { return failure_; }
private:
    OutlineFailure failure_;
};

// Runs per row beyond which a picture is refused.
constexpr int kMaxRunsPerRow = 100;

// The opaque runs of every row as one-row rectangles (top to bottom, left to right).
// Expects a normalised picture; 8-bit pictures compare palette indexes, 24-bit pictures
// compare the three colour bytes; any other depth yields no runs.
// Throws OutlineError(TooManyRuns) when a row has yielded 101 runs and pixels remain after
// the key pixel ending the 101st.
std::vector<Rect> ScanRuns(const Bitmap& picture);
// How many pictures have been scanned in this process (start-up must scan none).
uint64_t ScanCount();

// Merges one-row runs into the platform's banded form: consecutive rows with identical
// runs form one band; rectangles sorted by top, then left.
std::vector<Rect> BandRuns(std::span<const Rect> runs);

// The RGNDATA block: 32-byte header (size 32, type 1, count, count*16, bounds) + rectangles.
std::vector<uint8_t> EncodeRgnData(std::span<const Rect> bands);

// Parses an RGNDATA block; throws std::invalid_argument when the block is malformed.
std::vector<Rect> DecodeRgnData(std::span<const uint8_t> block);

// The whole computation: validates, normalises the picture in place, scans, bands and
// encodes. Throws OutlineError with its fixed messages.
std::vector<uint8_t> ComputeRgnData(Bitmap& picture);

}  // namespace core
