#include "forms/GraphicCtrls.h"

#include <string_view>

#include "forms/Exceptions.h"
#include "forms/Streaming.h"

namespace forms {

// ---- TLabel ----

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) { width_ = 65, height_ = 17; }

void TLabel::SetAutoSize(bool value) {
    autoSize_ = value;
    AdjustSize();
}

void TLabel::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    Invalidate();
}

void TLabel::SetCaption(const std::wstring& value) {
    TGraphicControl::SetCaption(value);
    AdjustSize();
}

void TLabel::FontChanged() {
    TGraphicControl::FontChanged();
    AdjustSize();
}

// The size DrawText gives the caption in the label's font; the corner stays where it is.
void TLabel::AdjustSize() {
    if (!autoSize_) return;
    MemoryDC dc;
    TCanvas canvas;
    canvas.SetHandle(dc.Get());
    canvas.SetFont(font_);
    SIZE size = canvas.DrawTextSize(caption_.empty() ? L" " : caption_);
    canvas.SetHandle(nullptr);
    SetBounds(left_, top_, size.cx, size.cy);
}

void TLabel::Paint() {
    TCanvas& canvas = Canvas();
    RECT client = ClientRect();
    if (!transparent_) canvas.FillRect(client);
    canvas.DrawText(client, caption_);
}

bool TLabel::ReadProperty(std::string_view name, const core::LayoutValue& value, TReader& reader) {
    if (name == "AutoSize") SetAutoSize(reader.Boolean(value));
    else if (name == "Transparent") SetTransparent(reader.Boolean(value));
    else return TGraphicControl::ReadProperty(name, value, reader);
    return true;
}

void TLabel::WriteProperties(TWriter& writer) const {
    TGraphicControl::WriteProperties(writer);
    if (!autoSize_) writer.Boolean("AutoSize", false);
    if (transparent_) writer.Boolean("Transparent", true);
}

// ---- TShape ----

TShape::TShape(TComponent* owner) : TGraphicControl(owner) { width_ = 65, height_ = 65; }

void TShape::SetBrushColor(TColor value) {
    brushColor_ = value;
    Invalidate();
}

void TShape::SetPenColor(TColor value) {
    penColor_ = value;
    Invalidate();
}

void TShape::SetPenStyle(TPenStyle value) {
    penStyle_ = value;
    Invalidate();
}

void TShape::Paint() {
    TCanvas& canvas = Canvas();
    RECT client = ClientRect();
    if (penStyle_ == TPenStyle::Solid) {
        canvas.BrushColor = penColor_;
        canvas.FillRect(client);
        InflateRect(&client, -1, -1);
    }
    canvas.BrushColor = brushColor_;
    canvas.FillRect(client);
}

bool TShape::ReadProperty(std::string_view name, const core::LayoutValue& value, TReader& reader) {
    if (name == "Brush.Color") SetBrushColor(ReadColor(value, reader));
    else if (name == "Pen.Color") SetPenColor(ReadColor(value, reader));
    else if (name == "Pen.Style") SetPenStyle(reader.Ident(value) == "psClear" ? TPenStyle::Clear : TPenStyle::Solid);
    else if (name == "Shape") {
        if (reader.Ident(value) != "stRectangle") throw EReadError(L"プロパティ値が無効です");
    } else return TGraphicControl::ReadProperty(name, value, reader);
    return true;
}

void TShape::WriteProperties(TWriter& writer) const {
    TGraphicControl::WriteProperties(writer);
    if (brushColor_ != clWhite) WriteColor(writer, "Brush.Color", brushColor_);
    if (penColor_ != clBlack) WriteColor(writer, "Pen.Color", penColor_);
    if (penStyle_ == TPenStyle::Clear) writer.Ident("Pen.Style", "psClear");
}

// ---- TImage ----

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TBitmap>()) {
    width_ = 105, height_ = 105;
}

TImage::~TImage() = default;

void TImage::SetAutoSize(bool value) {
    autoSize_ = value;
    PictureChanged();
}

void TImage::PictureChanged() {
    if (autoSize_ && !picture_->Empty()) SetBounds(left_, top_, picture_->Width(), picture_->Height());
    Invalidate();
}

void TImage::Paint() {
    if (!picture_->Empty()) Canvas().Draw(0, 0, *picture_);
}

void TImage::LoadPictureData(TBitmap& picture, const core::LayoutBytes& data) {
    constexpr std::string_view kBitmapClass = "TBitmap";
    if (data.empty() || data[0] != kBitmapClass.size() || data.size() < 1 + kBitmapClass.size() ||
        std::string_view(reinterpret_cast<const char*>(data.data()) + 1, kBitmapClass.size()) != kBitmapClass)
        throw EInvalidGraphic(L"ビットマップのデータが不正です");
    TMemoryStream stream(std::vector<uint8_t>(data.begin() + 1 + static_cast<long>(kBitmapClass.size()), data.end()));
    picture.LoadFromStoredData(stream);
}

core::LayoutBytes TImage::PictureData(const TBitmap& picture) {
    constexpr std::string_view kBitmapClass = "TBitmap";
    TMemoryStream stream;
    uint8_t length = static_cast<uint8_t>(kBitmapClass.size());
    stream.WriteBuffer(&length, 1);
    stream.WriteBuffer(kBitmapClass.data(), length);
    picture.SaveToStoredData(stream);
    return stream.Bytes();
}

bool TImage::ReadProperty(std::string_view name, const core::LayoutValue& value, TReader& reader) {
    if (name == "Picture.Data") {
        LoadPictureData(*picture_, reader.Bytes(value));
        PictureChanged();
    } else if (name == "AutoSize") SetAutoSize(reader.Boolean(value));
    else return TGraphicControl::ReadProperty(name, value, reader);
    return true;
}

void TImage::WriteProperties(TWriter& writer) const {
    TGraphicControl::WriteProperties(writer);
    if (autoSize_) writer.Boolean("AutoSize", true);
    if (!picture_->Empty()) writer.Bytes("Picture.Data", PictureData(*picture_));
}

}  // namespace forms
