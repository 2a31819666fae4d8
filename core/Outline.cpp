#include "core/Outline.h"

#include <atomic>

#include <algorithm>
#include <cstring>
#include <map>

namespace core {

namespace {

const char kEmptyPictureMessage[] = "ﾋﾞｯﾄﾏｯﾌﾟが正しくｾｯﾄされていません";
const char kZeroSizeMessage[] = "幅または高さが 0 です";
const char kTooManyRunsMessage[] = "ﾋﾞｯﾄﾏｯﾌﾟの形状が不適です";

constexpr uint32_t kHeaderSize = 32;
constexpr uint32_t kRectangleType = 1;
constexpr size_t kRectSize = 16;

// Scans one picture whose pixels are `bytes` wide; the key is the bottom-left pixel's bytes.
template <size_t bytes>
std::vector<Rect> Scan(const Bitmap& picture) {
    const int width = picture.Width(), height = picture.Height();
    uint8_t key[bytes];
    std::memcpy(key, picture.Row(height - 1), bytes);
    auto isKey = [&key](const uint8_t* p) { return std::memcmp(p, key, bytes) == 0; };

    std::vector<Rect> runs;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = picture.Row(y);
        int runCount = 0;
        int x = 0;
        while (x < width) {
            // Checked before each search, so the limit bites only if pixels are left to look at.
            if (runCount > kMaxRunsPerRow) throw OutlineError(OutlineFailure::TooManyRuns, kTooManyRunsMessage);
            while (x < width && isKey(row + bytes * static_cast<size_t>(x))) ++x;
            if (x >= width) break;
            const int start = x;
            while (x < width && !isKey(row + bytes * static_cast<size_t>(x))) ++x;
            runs.push_back(Rect{start, y, x, y + 1});
            ++runCount;
            ++x;  // the pixel that ended the run is a key pixel
        }
    }
    return runs;
}

void Put32(std::vector<uint8_t>& out, int64_t value) {
    auto v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t Get32(std::span<const uint8_t> block, size_t at) {
    return static_cast<uint32_t>(block[at]) | (static_cast<uint32_t>(block[at + 1]) << 8) |
           (static_cast<uint32_t>(block[at + 2]) << 16) | (static_cast<uint32_t>(block[at + 3]) << 24);
}

using Spans = std::vector<std::pair<int32_t, int32_t>>;  // left, right of each rectangle in a row

}  // namespace

namespace {
std::atomic<uint64_t> scanCount{0};
}  // namespace

uint64_t ScanCount() { return scanCount.load(); }

std::vector<Rect> ScanRuns(const Bitmap& picture) {
    if (picture.Empty()) return {};
    ++scanCount;
    switch (picture.BitsPerPixel()) {
    case 8: return Scan<1>(picture);
    case 24: return Scan<3>(picture);
    default: return {};
    }
}

std::vector<Rect> BandRuns(std::span<const Rect> runs) {
    // The union row by row: overlapping or touching rectangles of a row join, as in a region.
    // Taller rectangles are split into rows, so this is meant for runs, not for large areas.
    std::map<int32_t, Spans> rows;
    for (const Rect& r : runs) {
        if (r.left >= r.right || r.top >= r.bottom) continue;  // empty rectangles add nothing
        for (int32_t y = r.top; y < r.bottom; ++y) rows[y].emplace_back(r.left, r.right);
    }
    std::vector<Rect> bands;
    Spans previous;
    int32_t previousBottom = 0;
    size_t bandStart = 0;  // index in `bands` of the previous band's first rectangle
    for (auto& [y, spans] : rows) {
        std::sort(spans.begin(), spans.end());
        Spans merged;
        for (const auto& s : spans) {
            if (!merged.empty() && s.first <= merged.back().second)
                merged.back().second = std::max(merged.back().second, s.second);
            else
                merged.push_back(s);
        }
        if (!bands.empty() && previousBottom == y && merged == previous) {
            for (size_t i = bandStart; i < bands.size(); ++i) bands[i].bottom = y + 1;
        } else {
            bandStart = bands.size();
            for (const auto& [left, right] : merged) bands.push_back(Rect{left, y, right, y + 1});
            previous = std::move(merged);
        }
        previousBottom = y + 1;
    }
    return bands;
}

std::vector<uint8_t> EncodeRgnData(std::span<const Rect> bands) {
    Rect bound;
    if (!bands.empty()) {
        bound = bands.front();
        for (const Rect& r : bands) {
            bound.left = std::min(bound.left, r.left);
            bound.top = std::min(bound.top, r.top);
            bound.right = std::max(bound.right, r.right);
            bound.bottom = std::max(bound.bottom, r.bottom);
        }
    }
    std::vector<uint8_t> block;
    block.reserve(kHeaderSize + kRectSize * bands.size());
    Put32(block, kHeaderSize);
    Put32(block, kRectangleType);
    Put32(block, static_cast<int64_t>(bands.size()));
    Put32(block, static_cast<int64_t>(kRectSize * bands.size()));
    for (int32_t v : {bound.left, bound.top, bound.right, bound.bottom}) Put32(block, v);
    for (const Rect& r : bands)
        for (int32_t v : {r.left, r.top, r.right, r.bottom}) Put32(block, v);
    return block;
}

std::vector<Rect> DecodeRgnData(std::span<const uint8_t> block) {
    if (block.size() < kHeaderSize)
        throw std::invalid_argument("region data of " + std::to_string(block.size()) + " bytes has no header");
    if (Get32(block, 0) != kHeaderSize)
        throw std::invalid_argument("region data header size is " + std::to_string(Get32(block, 0)) + ", not 32");
    if (Get32(block, 4) != kRectangleType)
        throw std::invalid_argument("region data type is " + std::to_string(Get32(block, 4)) + ", not 1");
    const uint64_t count = Get32(block, 8);
    if ((block.size() - kHeaderSize) % kRectSize != 0 || count != (block.size() - kHeaderSize) / kRectSize)
        throw std::invalid_argument("region data counts " + std::to_string(count) + " rectangles in " +
                                    std::to_string(block.size()) + " bytes");
    std::vector<Rect> rects(count);
    for (size_t i = 0; i < count; ++i) {
        size_t at = kHeaderSize + kRectSize * i;
        rects[i] = Rect{static_cast<int32_t>(Get32(block, at)), static_cast<int32_t>(Get32(block, at + 4)),
                        static_cast<int32_t>(Get32(block, at + 8)), static_cast<int32_t>(Get32(block, at + 12))};
    }
    return rects;
}

std::vector<uint8_t> ComputeRgnData(Bitmap& picture) {
    // A picture that never got a pixel format is missing; one that has a format but no area is
    // zero-sized.
    if (picture.BitsPerPixel() == 0) throw OutlineError(OutlineFailure::EmptyPicture, kEmptyPictureMessage);
    if (picture.Width() == 0 || picture.Height() == 0)
        throw OutlineError(OutlineFailure::ZeroSize, kZeroSizeMessage);
    picture.Normalise();
    std::vector<Rect> runs = ScanRuns(picture);
    std::vector<Rect> bands = BandRuns(runs);
    return EncodeRgnData(bands);
}

}  // namespace core
