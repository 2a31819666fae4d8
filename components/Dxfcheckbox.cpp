#include "components/Dxfcheckbox.h"

#include <algorithm>
#include <mutex>

#include "components/Dxfres.h"
#include "forms/Exceptions.h"
#include "forms/Properties.h"

namespace components {

using forms::Message;
using forms::TBitmap;
using forms::TCanvas;

TdxfCheckBox::TdxfCheckBox(forms::TComponent* owner)
    : TCustomControl(owner),
      glyphChecked_(std::make_unique<TBitmap>()),
      glyphUnChecked_(std::make_unique<TBitmap>()) {
    width_ = 100;
    height_ = 17;
    TabStop = true;
}

TdxfCheckBox::~TdxfCheckBox() {
    SetState(forms::ComponentState::Destroying, true);
    DestroyHandle();
}

// ---- properties ----

void TdxfCheckBox::SetChecked(bool value) {
    bool old = checked_;
    if (value != old) {
        // A grouped box is unchecked only by checking another, unless its group allows all up.
        bool accepted = value || groupIndex_ == 0 || (groupIndex_ > 0 && allowAllUp_);
        if (accepted) {
            checked_ = value;
            Invalidate();
            if (HandleAllocated()) forms::NotifyAccessible(EVENT_OBJECT_STATECHANGE, handle_.Get());
            if (groupIndex_ > 0 && checked_) UpdateExclusive();
        }
    }
    // Reported even when a group refused the change: the request itself is the news.
    if (clickOnSet_ && value != old && OnClick && !Loading()) OnClick(this);
}

void TdxfCheckBox::SetAutoSize(bool value) {
    if (value == autoSize_) return;
    autoSize_ = value;
    if (autoSize_) CalcSize();
}

void TdxfCheckBox::SetAlignment(TdxfCBAlignment value) {
    if (value == alignment_) return;
    alignment_ = value;
    Invalidate();
}

void TdxfCheckBox::SetGroupIndex(int32_t value) { groupIndex_ = value; }

void TdxfCheckBox::SetAllowAllUp(bool value) { allowAllUp_ = value; }

void TdxfCheckBox::SetCheckedBmp(const TBitmap* value) { AssignGlyph(*glyphChecked_, value); }

void TdxfCheckBox::SetUnCheckedBmp(const TBitmap* value) { AssignGlyph(*glyphUnChecked_, value); }

void TdxfCheckBox::AssignGlyph(TBitmap& glyph, const TBitmap* value) {
    if (value == &glyph) return;
    if (value) glyph.Assign(*value);
    else glyph.Clear();
    if (autoSize_) CalcSize();
    Invalidate();
}

void TdxfCheckBox::SetStyle(int32_t value) {
    style_ = std::max(value, 1);
    const TBitmap& strip = GlyphStrip();
    // Without a usable strip there is nothing to count styles by: the value stays.
    if (strip.Height() > 0) {
        int32_t styles = strip.Width() / (strip.Height() * 4);
        if (styles >= 1 && styles < style_) style_ = styles;
    }
    Invalidate();
}

// ---- behaviour ----

void TdxfCheckBox::DescribeAccessible(forms::TAccessibleInfo& info) {
    info.Role = ROLE_SYSTEM_CHECKBUTTON;
    info.Name = Caption();
    if (checked_) info.State |= STATE_SYSTEM_CHECKED;
    info.DefaultAction = checked_ ? L"チェックを外す" : L"チェックする";
}

void TdxfCheckBox::Click() {
    clickOnSet_ = false;
    try {
        SetChecked(!checked_);
    } catch (...) {
        clickOnSet_ = true;
        throw;
    }
    clickOnSet_ = true;
    TCustomControl::Click();
    if (HandleAllocated()) ::SetFocus(handle_.Get());
}

void TdxfCheckBox::UpdateExclusive() {
    if (groupIndex_ == 0 || !Parent()) return;
    Message message{forms::CM_BUTTONPRESSED, static_cast<WPARAM>(static_cast<intptr_t>(groupIndex_)),
                    reinterpret_cast<LPARAM>(this)};
    Parent()->Broadcast(message);
}

void TdxfCheckBox::CMButtonPressed(Message& message) {
    if (static_cast<int32_t>(static_cast<intptr_t>(message.wParam)) != groupIndex_) return;
    if (message.lParam == reinterpret_cast<LPARAM>(this) || !checked_) return;
    checked_ = false;
    Invalidate();
}

SIZE TdxfCheckBox::GlyphSize() const {
    int cell = GlyphStrip().Height();
    auto width = [cell](const TBitmap& glyph) { return glyph.Empty() ? cell : glyph.Width(); };
    auto height = [cell](const TBitmap& glyph) { return glyph.Empty() ? cell : glyph.Height(); };
    return SIZE{std::max({width(*glyphChecked_), width(*glyphUnChecked_), 0}) * pixelScale_,
                std::max({height(*glyphChecked_), height(*glyphUnChecked_), 0}) * pixelScale_};
}

int TdxfCheckBox::Centred(int room, int size) const {
    return (room / pixelScale_ - size / pixelScale_) / 2 * pixelScale_;
}

void TdxfCheckBox::CalcSize() {
    // A stored layout brings its own size; measuring while it loads would fight it.
    if (Loading()) return;
    SIZE glyph = GlyphSize();
    TCanvas& canvas = Canvas();
    canvas.SetFont(font_);
    int height = std::max<int>(glyph.cy, canvas.TextHeight(L"Wg") + 2);
    int width = canvas.TextWidth(caption_) + glyph.cx + 4;
    SetBounds(left_, top_, width, height);
}

// ---- drawing ----

void TdxfCheckBox::Paint() {
    if (width_ <= 0 || height_ <= 0) return;
    GrowPaintBuffer(width_, height_);
    TCanvas& buffer = PaintBuffer().Canvas();
    SIZE glyph = GlyphSize();
    // Truncating division: a glyph taller than the control is cut evenly, top first.
    int top = Centred(height_, glyph.cy);
    RECT glyphRect{0, top, glyph.cx, top + glyph.cy};

    buffer.BrushColor = color_;
    buffer.BrushStyle = forms::TBrushStyle::Solid;
    buffer.FillRect(ClientRect());
    if (alignment_ == taLeftJustify) {
        glyphRect.left = width_ - glyph.cx;
        glyphRect.right = width_;
    }

    TBitmap& own = checked_ ? *glyphChecked_ : *glyphUnChecked_;
    if (!own.Empty()) DrawImage(buffer, glyphRect, own, checked_ ? 1 : 0);
    else if (!GlyphStrip().Empty()) DrawImage(buffer, glyphRect, GlyphStrip(), (checked_ ? 1 : 0) + (enabled_ ? 0 : 2));

    buffer.SetFont(font_);
    int textHeight = buffer.TextHeight(caption_);
    int textWidth = buffer.TextWidth(caption_);
    int middle = (height_ - textHeight) / 2;
    RECT textRect;
    if (alignment_ == taRightJustify) {
        textRect = RECT{glyph.cx + 2, middle - 1, glyph.cx + textWidth + 6, middle + textHeight + 1};
        textRect.right = std::min<LONG>(textRect.right, width_);
    } else {
        textRect = RECT{0, middle - 2, textWidth + 2, middle + textHeight + 2};
        textRect.right = std::min<LONG>(textRect.right, width_ - glyph.cx - 2);
    }
    textRect.top = std::max<LONG>(textRect.top, 0);
    textRect.bottom = std::min<LONG>(textRect.bottom, height_);

    // A control too small for its caption has no room left: an inverted rectangle would be
    // put right way round by the text output and draw outside it.
    bool room = textRect.right > textRect.left && textRect.bottom > textRect.top;
    if (room && !caption_.empty()) {
        buffer.BrushStyle = forms::TBrushStyle::Clear;
        RECT inner = textRect;
        InflateRect(&inner, -1, -1);
        if (enabled_) {
            buffer.TextRect(inner, inner.left, inner.top, caption_);
        } else {
            buffer.Font.Color = forms::clWhite;
            buffer.TextRect(inner, inner.left + 1, inner.top + 1, caption_);
            buffer.Font.Color = forms::clGray;
            buffer.TextRect(inner, inner.left, inner.top, caption_);
        }
        buffer.BrushStyle = forms::TBrushStyle::Solid;
        if (Focused()) buffer.DrawFocusRect(textRect);
    }
    buffer.RestoreFont();

    BitBlt(Canvas().Handle(), 0, 0, width_, height_, buffer.Handle(), 0, 0, SRCCOPY);
}

void TdxfCheckBox::DrawImage(TCanvas& canvas, const RECT& rect, TBitmap& bitmap, int index) {
    int rectWidth = rect.right - rect.left, rectHeight = rect.bottom - rect.top;
    if (rectWidth <= 0 || rectHeight <= 0) return;

    TBitmap glyph;
    TBitmap& strip = GlyphStrip();
    if (&bitmap == &strip) {
        int cell = strip.Height();
        int x = ((style_ - 1) * 4 + index) * cell;
        // A style the strip does not have (it was replaced after the style was set).
        if (cell <= 0 || x < 0 || x + cell > strip.Width()) return;
        glyph.SetSize(cell, cell);
        BitBlt(glyph.Canvas().Handle(), 0, 0, cell, cell, strip.Canvas().Handle(), x, 0, SRCCOPY);
    } else {
        if (bitmap.Empty()) return;
        glyph.Assign(bitmap);
    }
    // Each glyph pixel a PixelScale() square.
    const int shownWidth = glyph.Width() * pixelScale_, shownHeight = glyph.Height() * pixelScale_;
    int dx = Centred(rectWidth, shownWidth), dy = Centred(rectHeight, shownHeight);

    forms::BitmapHandle surface(CreateCompatibleBitmap(canvas.Handle(), rectWidth, rectHeight));
    if (!surface) throw forms::EOutOfMemory(L"ビットマップを作成できません");
    forms::MemoryDC surfaceDC(canvas.Handle());
    surfaceDC.Select(surface.Get());
    forms::BrushHandle brush(CreateSolidBrush(forms::ColorToRGB(canvas.BrushColor)));
    RECT whole{0, 0, rectWidth, rectHeight};
    FillRect(surfaceDC.Get(), &whole, brush.Get());

    // The glyph centred on the brush, which shows wherever the glyph has its key colour.
    forms::TKeyedImage keyed;
    keyed.Build(glyph);
    TBitmap buffer;
    keyed.Draw(surfaceDC.Get(), RECT{dx, dy, dx + shownWidth, dy + shownHeight}, buffer);

    BitBlt(canvas.Handle(), rect.left, rect.top, rectWidth, rectHeight, surfaceDC.Get(), 0, 0, SRCCOPY);
}

// ---- messages ----

void TdxfCheckBox::WndProc(Message& message) {
    if (message.msg == forms::CM_BUTTONPRESSED && !HasState(forms::ComponentState::Destroying)) {
        CMButtonPressed(message);
        return;
    }
    TCustomControl::WndProc(message);
}

void TdxfCheckBox::WMSize(Message& message) {
    TCustomControl::WMSize(message);
    Invalidate();
}

void TdxfCheckBox::WMSetFocus(Message& message) {
    Invalidate();
    TCustomControl::WMSetFocus(message);
}

void TdxfCheckBox::WMKillFocus(Message& message) {
    Invalidate();
    TCustomControl::WMKillFocus(message);
}

void TdxfCheckBox::WMKeyUp(Message& message) {
    TCustomControl::WMKeyUp(message);
    // Only the release toggles, so holding Space does not repeat.
    if (message.wParam == VK_SPACE) Click();
}

void TdxfCheckBox::WMLButtonDblClk(Message& message) {
    TCustomControl::WMLButtonDblClk(message);
    // The second press of a double click counts as a click of its own.
    Click();
}

void TdxfCheckBox::CMEnabledChanged(Message& message) {
    TCustomControl::CMEnabledChanged(message);
    Invalidate();
}

void TdxfCheckBox::CMFontChanged(Message& message) {
    TCustomControl::CMFontChanged(message);
    if (autoSize_) CalcSize();
    Invalidate();
}

void TdxfCheckBox::CMTextChanged(Message& message) {
    TCustomControl::CMTextChanged(message);
    if (HandleAllocated() && autoSize_) CalcSize();
    Invalidate();
}

// ---- layouts ----

const forms::TPropertyTable<forms::TComponent>& TdxfCheckBox::StoredProperties() const {
    using P = forms::TProperties<TdxfCheckBox>;
    static constexpr std::pair<std::string_view, TdxfCBAlignment> alignments[] = {
        {"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}};
    static const forms::TPropertyTable<forms::TComponent> table(&TCustomControl::StoredProperties(), {
        P::Boolean("Checked", &TdxfCheckBox::Checked, &TdxfCheckBox::SetChecked),
        P::Boolean("AutoSize", &TdxfCheckBox::AutoSize, &TdxfCheckBox::SetAutoSize, true),
        P::Ident<TdxfCBAlignment>("Alignment", alignments, &TdxfCheckBox::Alignment, &TdxfCheckBox::SetAlignment,
                                  taRightJustify),
        P::Integer("GroupIndex", &TdxfCheckBox::GroupIndex, &TdxfCheckBox::SetGroupIndex),
        P::Boolean("AllowAllUp", &TdxfCheckBox::AllowAllUp, &TdxfCheckBox::SetAllowAllUp, true),
        P::Picture("GlyphChecked.Data", &TdxfCheckBox::GlyphChecked),
        P::Picture("GlyphUnChecked.Data", &TdxfCheckBox::GlyphUnChecked),
        P::Integer("Style", &TdxfCheckBox::Style, &TdxfCheckBox::SetStyle, 1),
        // A check box is a tab stop unless its layout says otherwise.
        P::Boolean("TabStop", &TdxfCheckBox::TabStop, true),
    });
    return table;
}

void InitializeDxfcheckboxUnit() {
    static std::once_flag once;
    std::call_once(once, [] { forms::RegisterClassOf<TdxfCheckBox>("TdxfCheckBox"); });
    InitializeDxfresUnit();
}

}  // namespace components
