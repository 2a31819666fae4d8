#pragma once
// A check box that draws its box from pictures: a style of the shared glyph strip, or two
// pictures of its own. Boxes with the same positive GroupIndex on one parent are exclusive.
#include <cstdint>
#include <memory>

#include "forms/Graphics.h"
#include "forms/StdCtrls.h"

namespace components {

enum TdxfCBAlignment { taLeftJustify = 0, taRightJustify = 1 };

class TdxfCheckBox : public forms::TCustomControl {
public:
    explicit TdxfCheckBox(forms::TComponent* owner);
    ~TdxfCheckBox() override;
    std::string ClassName() const override { return "TdxfCheckBox"; }

    bool Checked() const { return checked_; }
    void SetChecked(bool value);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    TdxfCBAlignment Alignment() const { return alignment_; }
    void SetAlignment(TdxfCBAlignment value);
    int32_t GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int32_t value);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool value);
    forms::TBitmap* GlyphChecked() const { return glyphChecked_.get(); }
    void SetCheckedBmp(const forms::TBitmap* value);
    forms::TBitmap* GlyphUnChecked() const { return glyphUnChecked_.get(); }
    void SetUnCheckedBmp(const forms::TBitmap* value);
    int32_t Style() const { return style_; }
    void SetStyle(int32_t value);

    // Toggles and reports once, then takes the focus.
    void Click() override;
    // Sizes the control to its glyph and caption.
    void CalcSize();
    // Draws one glyph centred in rect; pixels of the glyph's bottom-left colour show the
    // canvas's brush. Index picks the strip cell (0 to 3) and is ignored for own pictures.
    void DrawImage(forms::TCanvas& canvas, const RECT& rect, forms::TBitmap& bitmap, int index);
    // Tells the other members of the group to uncheck.
    void UpdateExclusive();

    const forms::TPropertyTable<forms::TComponent>& StoredProperties() const override;

protected:
    void Paint() override;
    // A caption shows the focus itself; a box without one is marked round its edge.
    void PaintFocusMark() override {
        if (caption_.empty()) TCustomControl::PaintFocusMark();
    }
    void WndProc(forms::Message& message) override;
    bool WMEraseBkGnd(HDC) override { return true; }
    void WMSize(forms::Message& message) override;
    void WMSetFocus(forms::Message& message) override;
    void WMKillFocus(forms::Message& message) override;
    void WMKeyUp(forms::Message& message) override;
    void WMLButtonDblClk(forms::Message& message) override;
    void CMEnabledChanged(forms::Message& message) override;
    void CMFontChanged(forms::Message& message) override;
    void CMTextChanged(forms::Message& message) override;
    void CMButtonPressed(forms::Message& message);
    // A check button named by its caption, whose action toggles it.
    void DescribeAccessible(forms::TAccessibleInfo& info) override;

private:
    // Copies a picture into one of the own glyphs, then resizes and repaints.
    void AssignGlyph(forms::TBitmap& glyph, const forms::TBitmap* value);
    // Glyph width and height on the screen: the larger of the two pictures, an empty one
    // counting as a strip cell (square, as high as the strip), times PixelScale().
    SIZE GlyphSize() const;
    bool Loading() const { return HasState(forms::ComponentState::Loading); }
    // Where something `size` long starts when centred in `room`: worked out in picture pixels,
    // so that a scaled box is cut where the box at scale 1 is.
    int Centred(int room, int size) const;

    bool checked_ = false;
    bool autoSize_ = true;
    TdxfCBAlignment alignment_ = taRightJustify;
    int32_t groupIndex_ = 0;
    bool allowAllUp_ = true;
    std::unique_ptr<forms::TBitmap> glyphChecked_;
    std::unique_ptr<forms::TBitmap> glyphUnChecked_;
    int32_t style_ = 1;
    bool clickOnSet_ = true;  // false only while Click runs: Click reports the change itself
};

// Makes TdxfCheckBox known to layouts and loads the glyph strip; safe to call any number of
// times. The program calls it at start, before any window exists.
void InitializeDxfcheckboxUnit();

}  // namespace components
