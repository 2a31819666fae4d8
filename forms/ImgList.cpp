#include "forms/ImgList.h"

#include <optional>

#include "forms/Exceptions.h"
#include "forms/Properties.h"
#include "forms/ScratchArena.h"
#include "forms/Text.h"

namespace forms {

TImageList::TImageList(TComponent* owner) : TComponent(owner), images_(std::make_unique<TBitmap>()) {}

TImageList::~TImageList() = default;

void TImageList::LoadFromStream(const std::vector<uint8_t>& bytes) {
    std::optional<core::ImageListStream> list;
    try {
        TScratchScope scratch;  // the parsed pictures live only until they are the shown bitmap
        list = core::ImageListStream::Parse(bytes);
    } catch (const core::ImageListError& e) {
        throw EReadError(L"イメージリストのデータが不正です: " + Widen(e.what()));
    }
    images_->Assign(list->images);
    count_ = list->count;
    width_ = list->width;
    height_ = list->height;
    if (list->images.BitsPerPixel() > 8) list->images = {};
    stored_ = *list;  // a copy of its own, outside the scratch arena
}

std::vector<uint8_t> TImageList::StoredStream() const {
    if (!stored_.images.Empty() || images_->Empty()) return stored_.ToBytes();
    core::ImageListStream list = stored_;
    list.images = images_->ToCore();
    return list.ToBytes();
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index) const {
    if (index < 0 || index >= count_) throw EInvalidOperation(L"イメージリストのインデックスが範囲外です");
    const int tileX = (index % core::ImageListStream::kTilesPerRow) * width_;
    const int tileY = (index / core::ImageListStream::kTilesPerRow) * height_;
    canvas.CopyRect(RECT{x, y, x + width_, y + height_}, images_->Canvas().Handle(),
                    RECT{tileX, tileY, tileX + width_, tileY + height_});
}

const TPropertyTable<TComponent>& TImageList::StoredProperties() const {
    using P = TProperties<TImageList>;
    static const TPropertyTable<TComponent> table(&TComponent::StoredProperties(), {
        P::Integer("Width", &TImageList::width_, 16),
        P::Integer("Height", &TImageList::height_, 16),
        P::Color("BkColor", &TImageList::BkColor, clNone),
        P::Boolean("Masked", &TImageList::Masked, true),
        P::Boolean("ShareImages", &TImageList::ShareImages, false),
    });
    return table;
}

void TImageList::DefineProperties(TFiler& filer) {
    TComponent::DefineProperties(filer);
    filer.DefineBinaryProperty(
        "Bitmap", [this](TStream& stream) { LoadFromStream(stream.Bytes()); },
        [this](TStream& stream) {
            const std::vector<uint8_t> bytes = StoredStream();
            stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        },
        count_ > 0);
}

}  // namespace forms
