#include "forms/ImgList.h"

#include "core/ImageListStream.h"
#include "forms/Exceptions.h"
#include "forms/Streaming.h"
#include "forms/Text.h"

namespace forms {

TImageList::TImageList(TComponent* owner) : TComponent(owner), images_(std::make_unique<TBitmap>()) {}

TImageList::~TImageList() = default;

void TImageList::LoadFromStream(const std::vector<uint8_t>& bytes) {
    core::ImageListStream list;
    try {
        list = core::ImageListStream::Parse(bytes);
    } catch (const core::ImageListError& e) {
        throw EReadError(L"イメージリストのデータが不正です: " + Widen(e.what()));
    }
    images_->Assign(list.images);
    count_ = list.count;
    width_ = list.width;
    height_ = list.height;
    stream_ = bytes;
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index) const {
    if (index < 0 || index >= count_) throw EInvalidOperation(L"イメージリストのインデックスが範囲外です");
    const int tileX = (index % core::ImageListStream::kTilesPerRow) * width_;
    const int tileY = (index / core::ImageListStream::kTilesPerRow) * height_;
    canvas.CopyRect(RECT{x, y, x + width_, y + height_}, images_->Canvas().Handle(),
                    RECT{tileX, tileY, tileX + width_, tileY + height_});
}

bool TImageList::ReadProperty(std::string_view name, const core::LayoutValue& value, TReader& reader) {
    if (name == "Width") width_ = static_cast<int>(reader.Integer(value));
    else if (name == "Height") height_ = static_cast<int>(reader.Integer(value));
    else if (name == "BkColor") BkColor = ReadColor(value, reader);
    else if (name == "Masked") Masked = reader.Boolean(value);
    else if (name == "ShareImages") ShareImages = reader.Boolean(value);
    else return TComponent::ReadProperty(name, value, reader);
    return true;
}

void TImageList::WriteProperties(TWriter& writer) const {
    if (width_ != 16) writer.Integer("Width", width_);
    if (height_ != 16) writer.Integer("Height", height_);
    if (BkColor != clNone) WriteColor(writer, "BkColor", BkColor);
    if (!Masked) writer.Boolean("Masked", false);
    if (ShareImages) writer.Boolean("ShareImages", true);
}

void TImageList::DefineProperties(TFiler& filer) {
    TComponent::DefineProperties(filer);
    filer.DefineBinaryProperty(
        "Bitmap", [this](TStream& stream) { LoadFromStream(stream.Bytes()); },
        [this](TStream& stream) { stream.WriteBuffer(stream_.data(), static_cast<int64_t>(stream_.size())); },
        count_ > 0);
}

}  // namespace forms
