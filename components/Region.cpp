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

// ---- TRgn ----

TRgn::TRgn(TComponent* owner)
    : TGraphicControl(owner),
      picture_(std::make_unique<TBitmap>()),
      backBuffer_(std::make_unique<TBitmap>()),
      maskedImage_(std::make_unique<TBitmap>()),
      mask_(std::make_unique<TBitmap>()) {
    SetBounds(left_, top_, 105, 105);
}

TRgn::~TRgn() {
    picture_.reset();
    backBuffer_.reset();
    maskedImage_.reset();
    mask_.reset();
    DestoryRgn();
}

void TRgn::DestoryRgn() {
    region_.Reset();
    rgnData_.reset();
    rgnDataSize_ = 0;
}

void TRgn::SetShown(bool value) {
    if (value == shown_) return;
    shown_ = value;
    Invalidate();
}

void TRgn::SetRgnBmp(TBitmap* value) {
    if (value == picture_.get()) return;
    if (value) picture_->Assign(*value);
    else picture_->Clear();
    DestoryRgn();
    try {
        rgnDataSize_ = MakeRgnData(picture_.get(), rgnData_);
    } catch (...) {
        rgnData_.reset();
        rgnDataSize_ = 0;
        picture_->Clear();
        Invalidate();
        throw;
    }
    if (Transparent || Designing()) MakeMask();
    if (Designing()) {
        SetBounds(left_, top_, picture_->Width(), picture_->Height());
        Invalidate();
    }
}

void TRgn::SetAutoSize(bool value) {
    if (value == autoSize_) return;
    autoSize_ = value;
    if (autoSize_ && picture_->Width() > 0 && picture_->Height() > 0 && !HasState(forms::ComponentState::Loading)) {
        SetBounds(left_, top_, picture_->Width(), picture_->Height());
        Invalidate();
    }
}

void TRgn::SetBounds(int left, int top, int width, int height) {
    if (autoSize_ && picture_ && picture_->Width() > 0 && picture_->Height() > 0) {
        width = picture_->Width();
        height = picture_->Height();
    }
    TGraphicControl::SetBounds(left, top, width, height);
}

void TRgn::Loaded() {
    TGraphicControl::Loaded();
    if (Transparent || Designing()) MakeMask();
    if (!Designing()) UpdateRgn();
}

void TRgn::MakeMask() {
    if (picture_->Empty()) return;
    forms::MakeKeyMask(*picture_, picture_->Width(), picture_->Height(), *mask_, *maskedImage_);
}

void TRgn::UpdateRgn() {
    if (!rgnData_) throw Exception(Name() + L" のﾘｰｼﾞｮﾝ情報がありません");
    if (picture_->Empty()) throw Exception(Name() + L":RgnBitmap のﾋﾞｯﾄﾏｯﾌﾟが正しくありません");
    region_.Reset();
    XFORM transform{};
    if (autoSize_) {
        transform.eM11 = 1.0f;
        transform.eM22 = 1.0f;
    } else {
        transform.eM11 = static_cast<FLOAT>(width_) / static_cast<FLOAT>(picture_->Width());
        transform.eM22 = static_cast<FLOAT>(height_) / static_cast<FLOAT>(picture_->Height());
    }
    transform.eDx = static_cast<FLOAT>(left_);
    transform.eDy = static_cast<FLOAT>(top_);
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
    if (!region) throw Exception(L"ｳｨﾝﾄﾞｳﾘｰｼﾞｮﾝが作成できません");
    region_.Reset(region);
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
    SetWindowRgn(Parent()->Handle(), region_.Detach(), FALSE);
}

void TRgn::Paint() {
    if (!shown_) return;
    TGraphicControl::Paint();
    if (picture_->Empty()) return;
    if (!Transparent && !Designing()) Canvas().StretchDraw(ClientRect(), *picture_);
    else PaintTransparent();
}

void TRgn::PaintTransparent() {
    backBuffer_->SetSize(width_, height_);
    HDC back = backBuffer_->Canvas().Handle();
    BitBlt(back, 0, 0, width_, height_, Canvas().Handle(), 0, 0, SRCCOPY);
    if (!mask_->Empty()) mask_->StretchTo(back, ClientRect(), SRCAND);
    if (!maskedImage_->Empty()) maskedImage_->StretchTo(back, ClientRect(), SRCINVERT);
    BitBlt(Canvas().Handle(), 0, 0, width_, height_, back, 0, 0, SRCCOPY);
}

void TRgn::DefineProperties(forms::TFiler& filer) {
    TGraphicControl::DefineProperties(filer);
    filer.DefineBinaryProperty(
        "RgnData", [this](forms::TStream& stream) { ReadRgnData(stream); },
        [this](forms::TStream& stream) { WriteRgnData(stream); }, true);
}

void TRgn::ReadRgnData(forms::TStream& stream) {
    rgnDataSize_ = static_cast<int32_t>(stream.Size());
    rgnData_.reset();
    if (rgnDataSize_ > 0) {
        rgnData_ = std::make_unique<uint8_t[]>(static_cast<size_t>(rgnDataSize_));
        stream.ReadBuffer(rgnData_.get(), rgnDataSize_);
    }
}

void TRgn::WriteRgnData(forms::TStream& stream) const {
    if (rgnData_) stream.WriteBuffer(rgnData_.get(), rgnDataSize_);
}

const forms::TPropertyTable<TComponent>& TRgn::StoredProperties() const {
    using P = forms::TProperties<TRgn>;
    static const forms::TPropertyTable<TComponent> table(&TGraphicControl::StoredProperties(), {
        P::Boolean("AutoSize", &TRgn::AutoSize, &TRgn::SetAutoSize, false),
        P::Boolean("Transparent", &TRgn::Transparent, false),
        // The picture's own stored data goes straight into the picture: no outline scan.
        P::Picture("RgnBitmap.Data", &TRgn::RgnBitmap),
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
    // invalidated its own bounds, which hold the whole new outline.
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
    });
}

}  // namespace components
