#include "forms/GraphicCtrls.h"

#include <string_view>

#include "forms/Exceptions.h"
#include "forms/Properties.h"

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

const TPropertyTable<TComponent>& TLabel::StoredProperties() const {
    using P = TProperties<TLabel>;
    static const TPropertyTable<TComponent> table(&TGraphicControl::StoredProperties(), {
        P::Boolean("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize, true),
        P::Boolean("Transparent", &TLabel::Transparent, &TLabel::SetTransparent, false),
    });
    return table;
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
        InflateRect(&client, -pixelScale_, -pixelScale_);
    }
    canvas.BrushColor = brushColor_;
    canvas.FillRect(client);
}

const TPropertyTable<TComponent>& TShape::StoredProperties() const {
    using P = TProperties<TShape>;
    static constexpr std::pair<std::string_view, TPenStyle> penStyles[] = {{"psSolid", TPenStyle::Solid},
                                                                          {"psClear", TPenStyle::Clear}};
    static constexpr std::pair<std::string_view, int> shapes[] = {{"stRectangle", 0}};
    static const TPropertyTable<TComponent> table(&TGraphicControl::StoredProperties(), {
        P::Color("Brush.Color", &TShape::BrushColor, &TShape::SetBrushColor, clWhite),
        P::Color("Pen.Color", &TShape::PenColor, &TShape::SetPenColor, clBlack),
        P::Ident<TPenStyle>("Pen.Style", penStyles, &TShape::PenStyle, &TShape::SetPenStyle, TPenStyle::Solid),
        // Rectangles are the only shape here; another name is refused.
        P::Custom("Shape", [](TShape&, const core::LayoutValue& value, TReader& reader) {
            if (reader.Ident(value) != shapes[0].first) reader.InvalidValue();
        }),
    });
    return table;
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
    if (autoSize_ && !picture_->Empty()) SetBounds(left_, top_, ShownWidth(), ShownHeight());
    Invalidate();
}

void TImage::Paint() {
    if (!picture_->Empty()) Canvas().StretchDraw(RECT{0, 0, ShownWidth(), ShownHeight()}, *picture_);
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

const TPropertyTable<TComponent>& TImage::StoredProperties() const {
    using P = TProperties<TImage>;
    static const TPropertyTable<TComponent> table(&TGraphicControl::StoredProperties(), {
        P::Boolean("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize, false),
        P::Custom(
            "Picture.Data",
            [](TImage& image, const core::LayoutValue& value, TReader& reader) {
                LoadPictureData(*image.picture_, reader.Bytes(value));
                image.PictureChanged();
            },
            [](const TImage& image, TWriter& writer, const std::string& name) {
                if (!image.picture_->Empty()) writer.Bytes(name, PictureData(*image.picture_));
            }),
    });
    return table;
}

}  // namespace forms
