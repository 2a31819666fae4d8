#pragma once
// Shaped sprites: a sprite frame whose outline is stored with the layout, the window region
// list that turns chosen frames into the window's outline, and a push button pressed only
// inside the outline of its picture.
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "forms/Controls.h"
#include "forms/Graphics.h"

namespace components {

using forms::TBitmap;
using forms::TComponent;

// Works out the outline of the picture's non-key pixels as a region data block.
// May change the picture's pixel format in place (1 and 4-bit become 8-bit, ...).
// Returns the block's length; on failure raises and leaves `block` untouched.
int MakeRgnData(TBitmap* picture, std::unique_ptr<uint8_t[]>& block);

// A windowless control with an outline worked out from one of its pictures: stored with the
// layout as the byte block "RgnData", and made into a region when the control needs it.
class TOutlinedControl : public forms::TGraphicControl {
public:
    const uint8_t* RgnData() const { return rgnData_.get(); }
    int32_t RgnDataSize() const { return rgnDataSize_; }
    HRGN RegionHandle() const { return region_.Get(); }

    // "RgnData" is written always, also when empty.
    void DefineProperties(forms::TFiler& filer) override;
    void ReadRgnData(forms::TStream& stream);
    void WriteRgnData(forms::TStream& stream) const;
    // The paint covers what it has to; nothing is erased.
    bool WMEraseBkGnd(HDC) override { return true; }
    // The region made anew at the new size, if there is one.
    void ChangeScale(int M, int D) override;
    // Makes the region from the stored outline at the control's current size and place.
    virtual void UpdateRgn() = 0;

protected:
    using TGraphicControl::TGraphicControl;
    bool Designing() const { return HasState(forms::ComponentState::Designing); }
    // Works the outline out anew from the picture. A picture without a valid outline is not
    // kept: it is emptied, the control shows that, and the error goes on to the caller.
    void OutlinePicture(TBitmap& picture);
    // Deletes the region and frees the data.
    void ClearOutline();
    // Replaces the region with one made from the data, in the control's coordinates moved by
    // offset: the picture's size maps to the control's, or PixelScale() to one with autoSize. Raises
    // when there is no data, when the picture (the property pictureName) is empty, and
    // `failure` when the platform makes no region of the data.
    void UpdateOutline(const TBitmap& picture, std::wstring_view pictureName, bool autoSize, POINT offset,
                       const wchar_t* failure);
    // Hands the region over to a window, which owns it from then on.
    HRGN DetachRegion() { return region_.Detach(); }
    // Takes the picture's size on the screen, keeping the place.
    void SizeToPicture(const TBitmap& picture);

private:
    std::unique_ptr<uint8_t[]> rgnData_;
    int32_t rgnDataSize_ = 0;
    forms::RegionHandle region_;
};

class TRgn : public TOutlinedControl {
public:
    explicit TRgn(TComponent* owner);
    ~TRgn() override;
    std::string ClassName() const override { return "TRgn"; }

    TBitmap* RgnBitmap() const { return picture_.get(); }
    void SetRgnBmp(TBitmap* value);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    bool Transparent = false;

    void SetBounds(int left, int top, int width, int height) override;
    void Loaded() override;

    void MakeMask();
    void UpdateRgn() override;
    void DestoryRgn();
    void SetWndRgn();

    bool Shown() const { return shown_; }
    void SetShown(bool value);
    // A frame that is not shown draws nothing, and most of a window's stacked frames are not.
    bool Paints() const override { return shown_; }
    const TBitmap* MaskBitmap() const { return &keyed_.Mask(); }
    const TBitmap* MaskedImage() const { return &keyed_.Image(); }

    const forms::TPropertyTable<TComponent>& StoredProperties() const override;

protected:
    void Paint() override;

private:
    std::unique_ptr<TBitmap> picture_;
    std::unique_ptr<TBitmap> backBuffer_;
    forms::TKeyedImage keyed_;  // the mask and masked-image pictures, built by MakeMask
    bool autoSize_ = false;
    bool shown_ = true;
};

// A push button drawn from three pictures (normal, pressed, disabled). It looks pressed only
// while a press that fell inside the outline of Glyph1 is held; clicks are the framework's.
class TRgnBtn : public TOutlinedControl {
public:
    explicit TRgnBtn(TComponent* owner);
    ~TRgnBtn() override;
    std::string ClassName() const override { return "TRgnBtn"; }

    // Glyph1 (normal), Glyph2 (pressed) and Glyph3 (disabled); index 1 to 3.
    TBitmap* GetGlyph(int index) const;
    void SetGlyph(int index, TBitmap* value);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    bool Pressed() const { return pressed_; }

    void SetBounds(int left, int top, int width, int height) override;
    void Loaded() override;
    void UpdateRgn() override;
    void DestroyRgn();

    void MouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;
    void MouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;

    const forms::TPropertyTable<TComponent>& StoredProperties() const override;

protected:
    void Paint() override;

private:
    TBitmap& Glyph(int index) const;
    // The glyph that shows in the button's state.
    TBitmap& ShownGlyph() const;

    bool autoSize_ = false;
    std::array<std::unique_ptr<TBitmap>, 3> glyphs_;
    std::unique_ptr<TBitmap> work_;      // the shown glyph at the button's scale
    forms::TKeyedImage keyed_;           // the work picture without its key colour
    std::unique_ptr<TBitmap> buffer_;    // composes the transparent drawing
    bool pressed_ = false;
};

class TRgnList : public TComponent {
public:
    explicit TRgnList(TComponent* owner);
    ~TRgnList() override;
    std::string ClassName() const override { return "TRgnList"; }

    void Add(TRgn* frame);
    void Delete(TRgn* frame);
    int GetCount() const { return static_cast<int>(members_.size()); }
    TRgn* GetItem(int index) const;
    void Clear() { members_.clear(); }
    void SetWndRgn();

    bool AutoClear = true;
    forms::TNotifyEvent OnShowWnd;

    const forms::TPropertyTable<TComponent>& StoredProperties() const override;

private:
    std::vector<TRgn*> members_;
    std::vector<forms::TControl*> overlays_;
};

// Makes the unit's classes known to layouts; safe to call any number of times.
void InitializeRegionUnit();

}  // namespace components
