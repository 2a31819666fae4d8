#include "components/Region.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>

#include "core/Outline.h"
#include "forms/Exceptions.h"
#include "forms/Forms.h"
#include "forms/Properties.h"
#include "forms/Text.h"

namespace components {

using forms::EConvertError;
using forms::EInvalidGraphic;
using forms::Exception;

int MakeRgnData(TBitmap* picture, std::unique_ptr<uint8_t[]>& block) {
    if (!picture || !picture->Handle()) throw EInvalidGraphic(L"ﾋﾞｯﾄﾏｯﾌﾟが正しくｾｯﾄされていません");
    if (picture->Width() == 0 || picture->Height() == 0) throw EInvalidGraphic(L"幅または高さが 0 です");
    core::Bitmap pixels = picture->ToCore();
    int bitsBefore = pixels.BitsPerPixel();
    pixels.Normalise();
    if (pixels.BitsPerPixel() != bitsBefore) picture->Assign(pixels);

    // The platform bands the union of the runs; its region data is what the layout stores.
    forms::RegionHandle working(CreateRectRgn(0, 0, 0, 0));
    try {
        for (const core::Rect& run : core::ScanRuns(pixels)) {
            forms::RegionHandle row(CreateRectRgn(run.left, run.top, run.right, run.bottom));
            CombineRgn(working.Get(), working.Get(), row.Get(), RGN_OR);
        }
    } catch (const core::OutlineError& e) {
        throw EInvalidGraphic(forms::Widen(e.what()));
    }
    DWORD size = GetRegionData(working.Get(), 0, nullptr);
    std::unique_ptr<uint8_t[]> data;
    try {
        data = std::make_unique<uint8_t[]>(size);
    } catch (const std::bad_alloc&) {
        throw Exception(L"ﾒﾓﾘ獲得に失敗しました");
    }
    if (size == 0 || GetRegionData(working.Get(), size, reinterpret_cast<RGNDATA*>(data.get())) != size)
        throw EConvertError(L"ﾘｰｼﾞｮﾝﾃﾞｰﾀが抽出できません");
    block = std::move(data);
    return static_cast<int>(size);
}

// ---- TOutlinedControl ----

void TOutlinedControl::OutlinePicture(TBitmap& picture) {
    ClearOutline();
    try {
        rgnDataSize_ = MakeRgnData(&picture, rgnData_);
    } catch (...) {
        rgnData_.reset();
        rgnDataSize_ = 0;
        picture.Clear();
        Invalidate();
        throw;
    }
}

void TOutlinedControl::ClearOutline() {
    region_.Reset();
    rgnData_.reset();
    rgnDataSize_ = 0;
}

void TOutlinedControl::UpdateOutline(const TBitmap& picture, std::wstring_view pictureName, bool autoSize,
                                     POINT offset, const wchar_t* failure) {
    if (!rgnData_) throw Exception(Name() + L" のﾘｰｼﾞｮﾝ情報がありません");
    if (picture.Empty()) throw Exception(Name() + L":" + std::wstring(pictureName) + L" のﾋﾞｯﾄﾏｯﾌﾟが正しくありません");
    region_.Reset();
    XFORM transform{};
    // A whole factor maps every stored rectangle's corners exactly.
    const FLOAT scale = static_cast<FLOAT>(pixelScale_);
    transform.eM11 = autoSize ? scale : static_cast<FLOAT>(width_) / static_cast<FLOAT>(picture.Width());
    transform.eM22 = autoSize ? scale : static_cast<FLOAT>(height_) / static_cast<FLOAT>(picture.Height());
    transform.eDx = static_cast<FLOAT>(offset.x);
    transform.eDy = static_cast<FLOAT>(offset.y);
    // A damaged block must not reach the platform, which would read past its end.
    bool wellFormed = true;
    try {
        core::DecodeRgnData({rgnData_.get(), static_cast<size_t>(rgnDataSize_)});
    } catch (const std::exception&) {
        wellFormed = false;
    }
    HRGN region = wellFormed ? ExtCreateRegion(&transform, static_cast<DWORD>(rgnDataSize_),
                                               reinterpret_cast<const RGNDATA*>(rgnData_.get()))
                             : nullptr;
    if (!region) throw Exception(failure);
    region_.Reset(region);
}

void TOutlinedControl::SizeToPicture(const TBitmap& picture) {
    SetBounds(left_, top_, picture.Width() * pixelScale_, picture.Height() * pixelScale_);
    Invalidate();
}

void TOutlinedControl::ChangeScale(int M, int D) {
    TGraphicControl::ChangeScale(M, D);
    if (RegionHandle()) UpdateRgn();
}

void TOutlinedControl::DefineProperties(forms::TFiler& filer) {
    TGraphicControl::DefineProperties(filer);
    filer.DefineBinaryProperty(
        "RgnData", [this](forms::TStream& stream) { ReadRgnData(stream); },
        [this](forms::TStream& stream) { WriteRgnData(stream); }, true);
}

void TOutlinedControl::ReadRgnData(forms::TStream& stream) {
    rgnDataSize_ = static_cast<int32_t>(stream.Size());
    rgnData_.reset();
    if (rgnDataSize_ > 0) {
        rgnData_ = std::make_unique<uint8_t[]>(static_cast<size_t>(rgnDataSize_));
        stream.ReadBuffer(rgnData_.get(), rgnDataSize_);
    }
}

void TOutlinedControl::WriteRgnData(forms::TStream& stream) const {
    if (rgnData_) stream.WriteBuffer(rgnData_.get(), rgnDataSize_);
}

// ---- TRgn ----

TRgn::TRgn(TComponent* owner)
    : TOutlinedControl(owner), picture_(std::make_unique<TBitmap>()), backBuffer_(std::make_unique<TBitmap>()) {
    SetBounds(left_, top_, 105, 105);
}

TRgn::~TRgn() = default;

void TRgn::DestoryRgn() { ClearOutline(); }

void TRgn::SetShown(bool value) {
    if (value == shown_) return;
    shown_ = value;
    Invalidate();
}

void TRgn::SetRgnBmp(TBitmap* value) {
    if (value == picture_.get()) return;
    if (value) picture_->Assign(*value);
    else picture_->Clear();
    OutlinePicture(*picture_);
    if (Transparent || Designing()) MakeMask();
    if (Designing()) SizeToPicture(*picture_);
}

void TRgn::SetAutoSize(bool value) {
    if (value == autoSize_) return;
    autoSize_ = value;
    if (autoSize_ && !picture_->Empty() && !HasState(forms::ComponentState::Loading)) SizeToPicture(*picture_);
}

void TRgn::SetBounds(int left, int top, int width, int height) {
    if (autoSize_ && picture_ && !picture_->Empty()) {
        width = picture_->Width() * pixelScale_;
        height = picture_->Height() * pixelScale_;
    }
    TOutlinedControl::SetBounds(left, top, width, height);
}

void TRgn::Loaded() {
    TOutlinedControl::Loaded();
    if (Transparent || Designing()) MakeMask();
    if (!Designing()) UpdateRgn();
}

void TRgn::MakeMask() {
    if (!picture_->Empty()) keyed_.Build(*picture_);
}

void TRgn::UpdateRgn() {
    UpdateOutline(*picture_, L"RgnBitmap", autoSize_, POINT{left_, top_}, L"ｳｨﾝﾄﾞｳﾘｰｼﾞｮﾝが作成できません");
}

void TRgn::SetWndRgn() {
    if (!Parent()) throw Exception(L"Parentが設定されていません");
    if (auto form = dynamic_cast<forms::TCustomForm*>(Parent())) {
        form->SetBorderStyle(forms::TBorderStyle::None);
        form->SetBrushStyle(forms::TBrushStyle::Clear);
    }
    SetShown(true);
    Transparent = false;
    // From here on the window owns the region.
    SetWindowRgn(Parent()->Handle(), DetachRegion(), FALSE);
}

void TRgn::Paint() {
    if (!shown_) return;
    TOutlinedControl::Paint();
    if (picture_->Empty()) return;
    if (!Transparent && !Designing()) Canvas().StretchDraw(ClientRect(), *picture_);
    else keyed_.Draw(Canvas().Handle(), ClientRect(), *backBuffer_);
}

const forms::TPropertyTable<TComponent>& TRgn::StoredProperties() const {
    using P = forms::TProperties<TRgn>;
    static const forms::TPropertyTable<TComponent> table(&TOutlinedControl::StoredProperties(), {
        P::Boolean("AutoSize", &TRgn::AutoSize, &TRgn::SetAutoSize, false),
        P::Boolean("Transparent", &TRgn::Transparent, false),
        // The picture's own stored data goes straight into the picture: no outline scan.
        P::Picture("RgnBitmap.Data", &TRgn::RgnBitmap),
    });
    return table;
}

// ---- TRgnBtn ----

TRgnBtn::TRgnBtn(TComponent* owner)
    : TOutlinedControl(owner),
      glyphs_{std::make_unique<TBitmap>(), std::make_unique<TBitmap>(), std::make_unique<TBitmap>()},
      work_(std::make_unique<TBitmap>()),
      buffer_(std::make_unique<TBitmap>()) {
    // No double clicks: the second press of one is a press of its own.
    ControlStyle = forms::csCaptureMouse | forms::csClickEvents;
    SetBounds(left_, top_, 25, 25);
}

TRgnBtn::~TRgnBtn() = default;

TBitmap& TRgnBtn::Glyph(int index) const {
    if (index < 1 || index > 3) throw forms::ERangeError(L"範囲チェックエラー");
    return *glyphs_[static_cast<size_t>(index - 1)];
}

TBitmap* TRgnBtn::GetGlyph(int index) const { return &Glyph(index); }

void TRgnBtn::SetGlyph(int index, TBitmap* value) {
    TBitmap& glyph = Glyph(index);
    if (value == &glyph) return;
    if (value) glyph.Assign(*value);
    else glyph.Clear();
    // The pressed and disabled pictures show at the next paint; only the first has an outline.
    if (index != 1) return;
    OutlinePicture(glyph);
    if (Designing()) SizeToPicture(glyph);
}

void TRgnBtn::SetAutoSize(bool value) {
    autoSize_ = value;
    if (autoSize_ && !Glyph(1).Empty() && !HasState(forms::ComponentState::Loading)) SizeToPicture(Glyph(1));
}

void TRgnBtn::SetBounds(int left, int top, int width, int height) {
    if (autoSize_ && !Glyph(1).Empty()) {
        width = Glyph(1).Width() * pixelScale_;
        height = Glyph(1).Height() * pixelScale_;
    }
    TOutlinedControl::SetBounds(left, top, width, height);
}

void TRgnBtn::Loaded() {
    TOutlinedControl::Loaded();
    if (!Designing()) UpdateRgn();
}

void TRgnBtn::UpdateRgn() {
    UpdateOutline(Glyph(1), L"Glyph1", autoSize_, POINT{0, 0}, L"ﾘｰｼﾞｮﾝが作成できません");
}

void TRgnBtn::DestroyRgn() { ClearOutline(); }

void TRgnBtn::MouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
    TOutlinedControl::MouseDown(button, shift, x, y);
    if (Designing() || !RegionHandle() || !PtInRegion(RegionHandle(), x, y)) return;
    pressed_ = true;
    Invalidate();
}

void TRgnBtn::MouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
    TOutlinedControl::MouseUp(button, shift, x, y);
    if (Designing() || !pressed_) return;
    pressed_ = false;
    Invalidate();
}

TBitmap& TRgnBtn::ShownGlyph() const {
    if (!enabled_ && !Glyph(3).Empty()) return Glyph(3);
    if (enabled_ && pressed_) return Glyph(2);
    return Glyph(1);
}

void TRgnBtn::Paint() {
    TOutlinedControl::Paint();
    TBitmap& glyph = ShownGlyph();
    if (glyph.Empty()) return;
    // The glyph over the whole button, as its outline is: what shows is what takes a press.
    work_->SetSize(width_, height_);
    if (work_->Empty()) return;
    glyph.StretchTo(work_->Canvas().Handle(), ClientRect());
    // The glyph's own key: a scaled copy's bottom-left pixel need not be one.
    keyed_.Build(*work_, glyph.BottomLeftColor());
    keyed_.Draw(Canvas().Handle(), ClientRect(), *buffer_);
}

const forms::TPropertyTable<TComponent>& TRgnBtn::StoredProperties() const {
    using P = forms::TProperties<TRgnBtn>;
    static const forms::TPropertyTable<TComponent> table(&TOutlinedControl::StoredProperties(), {
        P::Boolean("AutoSize", &TRgnBtn::AutoSize, &TRgnBtn::SetAutoSize, false),
        P::Picture("Glyph1.Data", [](const TRgnBtn& button) { return button.GetGlyph(1); }),
        P::Picture("Glyph2.Data", [](const TRgnBtn& button) { return button.GetGlyph(2); }),
        P::Picture("Glyph3.Data", [](const TRgnBtn& button) { return button.GetGlyph(3); }),
    });
    return table;
}

// ---- TRgnList ----

TRgnList::TRgnList(TComponent* owner) : TComponent(owner) {}

TRgnList::~TRgnList() = default;

void TRgnList::Add(TRgn* frame) { members_.push_back(frame); }

void TRgnList::Delete(TRgn* frame) {
    auto it = std::find(members_.begin(), members_.end(), frame);
    if (it != members_.end()) members_.erase(it);
}

TRgn* TRgnList::GetItem(int index) const {
    if (index < 0 || index >= GetCount())
        throw forms::EListError(L"リストのインデックスが範囲を超えています (" + std::to_wstring(index) + L")");
    return members_[static_cast<size_t>(index)];
}

void TRgnList::SetWndRgn() {
    auto* window = dynamic_cast<forms::TWinControl*>(Owner());
    if (!window) throw Exception(L"ﾘｰｼﾞｮﾝが合成できません．");
    forms::RegionHandle outline(CreateRectRgn(0, 0, 0, 0));
    // The frames below change their shown flags and places in front: one repaint request for all.
    forms::InvalidationBatch repaint(*window);
    overlays_.clear();
    for (int i = 0; i < window->ComponentCount(); ++i) {
        auto* control = dynamic_cast<forms::TGraphicControl*>(window->Component(i));
        if (!control) continue;
        auto* frame = dynamic_cast<TRgn*>(control);
        if (!frame) {
            overlays_.push_back(control);
        } else if (std::find(members_.begin(), members_.end(), frame) != members_.end()) {
            if (outline && frame->RegionHandle()) CombineRgn(outline.Get(), outline.Get(), frame->RegionHandle(), RGN_OR);
            frame->BringToFront();
            frame->SetShown(true);
        } else {
            frame->SetShown(false);
        }
    }
    if (!outline) throw Exception(L"ﾘｰｼﾞｮﾝが合成できません．");
    if (auto form = dynamic_cast<forms::TCustomForm*>(window)) {
        form->SetBorderStyle(forms::TBorderStyle::None);
        form->SetBrushStyle(forms::TBrushStyle::Clear);
    }
    for (forms::TControl* overlay : overlays_) overlay->BringToFront();
    if (OnShowWnd) OnShowWnd(this);
    // No redraw of the whole window: every frame whose look or place in front changed above has
    // asked for its own bounds, which hold the whole new outline. Only the outline shows, and the
    // shown frames paint every pixel of it themselves: no background need be drawn first.
    repaint.SkipBackground();
    SetWindowRgn(window->Handle(), outline.Detach(), FALSE);
    if (AutoClear) members_.clear();
}

const forms::TPropertyTable<TComponent>& TRgnList::StoredProperties() const {
    using P = forms::TProperties<TRgnList>;
    static const forms::TPropertyTable<TComponent> table(&TComponent::StoredProperties(), {
        P::Boolean("AutoClear", &TRgnList::AutoClear, true),
        P::Event("OnShowWnd", &TRgnList::OnShowWnd),
    });
    return table;
}

void InitializeRegionUnit() {
    static std::once_flag once;
    std::call_once(once, [] {
        forms::RegisterClassOf<TRgn>("TRgn");
        forms::RegisterClassOf<TRgnList>("TRgnList");
        forms::RegisterClassOf<TRgnBtn>("TRgnBtn");
    });
}

}  // namespace components
