#pragma once
// Shaped sprites: a sprite frame whose outline is stored with the layout, and the window
// region list that turns chosen frames into the window's outline.
#include <cstdint>
#include <memory>
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

class TRgn : public forms::TGraphicControl {
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
    void UpdateRgn();
    void DestoryRgn();
    void SetWndRgn();

    // The outline data and region, as the region list and tests see them.
    const uint8_t* RgnData() const { return rgnData_.get(); }
    int32_t RgnDataSize() const { return rgnDataSize_; }
    HRGN RegionHandle() const { return region_.Get(); }
    bool Shown() const { return shown_; }
    void SetShown(bool value);
    const TBitmap* MaskBitmap() const { return mask_.get(); }
    const TBitmap* MaskedImage() const { return maskedImage_.get(); }

    void DefineProperties(forms::TFiler& filer) override;
    void ReadRgnData(forms::TStream& stream);
    void WriteRgnData(forms::TStream& stream) const;
    const forms::TPropertyTable<TComponent>& StoredProperties() const override;
    bool WMEraseBkGnd(HDC) override { return true; }

protected:
    void Paint() override;

private:
    bool Designing() const { return HasState(forms::ComponentState::Designing); }
    void PaintTransparent();

    std::unique_ptr<TBitmap> picture_;
    std::unique_ptr<TBitmap> backBuffer_;
    std::unique_ptr<TBitmap> maskedImage_;
    std::unique_ptr<TBitmap> mask_;
    bool autoSize_ = false;
    std::unique_ptr<uint8_t[]> rgnData_;
    int32_t rgnDataSize_ = 0;
    forms::RegionHandle region_;
    bool shown_ = true;
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
