#include "components/Region.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>

#include "core/Outline.h"
#include "forms/Exceptions.h"
#include "forms/Forms.h"
#include "forms/Streaming.h"
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
    transform.eM11 = autoSize ? 1.0f : static_cast<FLOAT>(width_) / static_cast<FLOAT>(picture.Width());
    transform.eM22 = autoSize ? 1.0f : static_cast<FLOAT>(height_) / static_cast<FLOAT>(picture.Height());
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
    SetBounds(left_, top_, picture.Width(), picture.Height());
    Invalidate();
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

namespace {

// The picture's own stored data goes straight into the picture: no outline scan.
void LoadPicture(forms::TReader& reader, const core::LayoutValue& value, TBitmap& picture) {
    forms::TMemoryStream stream(reader.Bytes(value));
    picture.LoadFromStoredData(stream);
}

void StorePicture(forms::TWriter& writer, std::string name, const TBitmap& picture) {
    if (picture.Empty()) return;
    forms::TMemoryStream stream;
    picture.SaveToStoredData(stream);
    writer.Bytes(std::move(name), stream.Bytes());
}

}  // namespace

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
        width = picture_->Width();
        height = picture_->Height();
    }
    TOutlinedControl::SetBounds(left, top, width, height);
}

void TRgn::Loaded() {
    TOutlinedControl::Loaded();
    if (Transparent || Designing()) MakeMask();
    if (!Designing()) UpdateRgn();
}

void TRgn::MakeMask() {
    if (!picture_->Empty()) keyed_.Build(*picture_, picture_->BottomLeftColor());
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

bool TRgn::ReadProperty(std::string_view name, const core::LayoutValue& value, forms::TReader& reader) {
    if (name == "RgnBitmap.Data") LoadPicture(reader, value, *picture_);
    else if (name == "AutoSize") SetAutoSize(reader.Boolean(value));
    else if (name == "Transparent") Transparent = reader.Boolean(value);
    else return TOutlinedControl::ReadProperty(name, value, reader);
    return true;
}

void TRgn::WriteProperties(forms::TWriter& writer) const {
    TOutlinedControl::WriteProperties(writer);
    if (autoSize_) writer.Boolean("AutoSize", true);
    if (Transparent) writer.Boolean("Transparent", true);
    StorePicture(writer, "RgnBitmap.Data", *picture_);
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
        width = Glyph(1).Width();
        height = Glyph(1).Height();
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

bool TRgnBtn::ReadProperty(std::string_view name, const core::LayoutValue& value, forms::TReader& reader) {
    if (name == "Glyph1.Data") LoadPicture(reader, value, Glyph(1));
    else if (name == "Glyph2.Data") LoadPicture(reader, value, Glyph(2));
    else if (name == "Glyph3.Data") LoadPicture(reader, value, Glyph(3));
    else if (name == "AutoSize") SetAutoSize(reader.Boolean(value));
    else return TOutlinedControl::ReadProperty(name, value, reader);
    return true;
}

void TRgnBtn::WriteProperties(forms::TWriter& writer) const {
    TOutlinedControl::WriteProperties(writer);
    if (autoSize_) writer.Boolean("AutoSize", true);
    StorePicture(writer, "Glyph1.Data", Glyph(1));
    StorePicture(writer, "Glyph2.Data", Glyph(2));
    StorePicture(writer, "Glyph3.Data", Glyph(3));
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
    SetWindowRgn(window->Handle(), outline.Detach(), TRUE);
    if (AutoClear) members_.clear();
}

bool TRgnList::ReadProperty(std::string_view name, const core::LayoutValue& value, forms::TReader& reader) {
    if (name == "AutoClear") AutoClear = reader.Boolean(value);
    else if (name == "OnShowWnd") OnShowWnd = reader.Method(value);
    else return TComponent::ReadProperty(name, value, reader);
    return true;
}

void TRgnList::WriteProperties(forms::TWriter& writer) const {
    if (!AutoClear) writer.Boolean("AutoClear", false);
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
