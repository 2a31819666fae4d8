#pragma once
// A list of same-sized pictures, stored as the platform's image-list stream, drawn one at a
// time onto any canvas (a window's or another picture's).
#include <memory>

#include "core/ImageListStream.h"
#include "forms/Graphics.h"

namespace forms {

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* owner);
    ~TImageList() override;
    std::string ClassName() const override { return "TImageList"; }

    int Count() const { return count_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    TColor BkColor = clNone;
    bool Masked = true;
    bool ShareImages = false;

    // Paints image `index` with its top-left corner at (x, y), opaque.
    void Draw(TCanvas& canvas, int x, int y, int index) const;
    // Replaces the images with the stream's.
    void LoadFromStream(const std::vector<uint8_t>& bytes);

    const TPropertyTable<TComponent>& StoredProperties() const override;
    void DefineProperties(TFiler& filer) override;

private:
    std::vector<uint8_t> StoredStream() const;

    std::unique_ptr<TBitmap> images_;
    // What the stream held besides the shown pictures, to write it back unchanged. A true-colour
    // picture is read back from images_ instead of being kept twice; a palette one is kept, as
    // the platform would hand it back with a palette of another length.
    core::ImageListStream stored_;
    int count_ = 0;
    int width_ = 16, height_ = 16;
};

}  // namespace forms
