#include "app/StatusWindow1.h"

#include <shellapi.h>

#include "app/CharacterForm.h"
#include "app/Pelton.h"
#include "app/Walking.h"
#include "core/Paths.h"
#include "forms/Platform.h"
#include "forms/SysUtils.h"

namespace kurun {

TStatusForm1* StatusForm1 = nullptr;

namespace {

// Each row's stored control names; the rows differ in nothing else.
struct RowNames {
    const char* checkBox;
    const char* edit;
};
constexpr std::array<RowNames, kRowCount> kRowNames = {
    {{"CheckBox1", "Edit1"}, {"CheckBox2", "Edit3"}, {"CheckBox3", "Edit5"}, {"CheckBox4", "Edit7"}}};

constexpr int kPortraitLeft = 12, kPortraitTop = 50, kRowPitch = 72;
constexpr int kGreyPortraitOffset = 4;
constexpr int kDesignPosition = 20;

// Hands the drop back to the system however the handler ends.
class DropScope {
public:
    explicit DropScope(HDROP drop) : drop_(drop) {}
    ~DropScope() { DragFinish(drop_); }
    DropScope(const DropScope&) = delete;
    DropScope& operator=(const DropScope&) = delete;
    // Name i whole, whatever its length.
    std::wstring Name(UINT i) const {
        UINT length = DragQueryFileW(drop_, i, nullptr, 0);
        std::wstring name(static_cast<size_t>(length) + 1, L'\0');
        name.resize(DragQueryFileW(drop_, i, name.data(), length + 1));
        return name;
    }
    UINT Count() const { return DragQueryFileW(drop_, 0xFFFFFFFF, nullptr, 0); }
private:
    HDROP drop_;
};

}  // namespace

std::wstring InformationAddress(const std::wstring& executablePath) {
    return kInformationPrefix + core::FileBaseName(executablePath);
}

TStatusForm1::TStatusForm1(forms::TComponent* owner) : forms::TForm(owner) {
    for (size_t r = 0; r < kRowCount; ++r) {
        PublishField(kRowNames[r].checkBox, CheckBox[r]);
        PublishField(kRowNames[r].edit, Edit[r]);
        const int n = static_cast<int>(r) + 1;
        PublishMethod("CheckBox" + std::to_string(n) + "Click", [this, n](TObject*) { CheckBoxClick(n); });
    }
    PublishField("Image1", Image1);
    PublishField("Image2", Image2);
    PublishField("Image3", Image3);
    PublishField("Image4", Image4);
    PublishField("Image5", Image5);
    PublishField("ImageList1", ImageList1);
    PublishField("TrayIcon1", TrayIcon1);
    PublishField("PopupMenu1", PopupMenu1);
    PublishMethod("FormShow", [this](TObject* sender) { FormShow(sender); });
    PublishMethod("Image2Click", [this](TObject* sender) { Image2Click(sender); });
    PublishMethod("Image3Click", [this](TObject* sender) { Image3Click(sender); });
    PublishMethod("Image4Click", [this](TObject* sender) { Image4Click(sender); });
    PublishMethod("Image5Click", [this](TObject* sender) { Image5Click(sender); });
    PublishMethod("TrayIcon1DblClick", [this](TObject* sender) { TrayIcon1DblClick(sender); });
    PublishMethod("S1Click", [this](TObject* sender) { S1Click(sender); });
    PublishMethod("N2Click", [this](TObject* sender) { N2Click(sender); });
    PublishMethod("N1Click", [this](TObject* sender) { N1Click(sender); });
    PublishField("Pause1", Pause1);
    PublishMethod("Pause1Click", [this](TObject* sender) { Pause1Click(sender); });
    components::InitializeDxfcheckboxUnit();
    components::InitializeTrayIconUnit();
    InitInheritedComponent(L"TSTATUSFORM1");
    DragAcceptFiles(Handle(), TRUE);
}

// Every square is painted each time, so the picture depends on SelectedChar alone.
void TStatusForm1::FormShow(TObject*) {
    forms::TCanvas& skin = Image1->Picture().Canvas();
    for (int r = 0; r < kRowCount; ++r) {
        const int picture = r == SelectedChar ? r : r + kGreyPortraitOffset;
        ImageList1->Draw(skin, kPortraitLeft, kPortraitTop + kRowPitch * r, picture);
    }
    Image1->PictureChanged();
    for (int r = 0; r < kRowCount; ++r) Edit[static_cast<size_t>(r)]->SetEnabled(r == SelectedChar);
}

void TStatusForm1::CheckBoxClick(int n) {
    if (TCharacterForm* character = CharacterWindow(n)) character->FollowCheckBox(RowCheckBox(n).Checked());
}

void TStatusForm1::Image2Click(TObject*) {
    forms::Beep(0);
    SetTop(kDesignPosition);
    SetLeft(kDesignPosition);
    OpenInformationPage();
}

void TStatusForm1::Image3Click(TObject* sender) {
    SelectedChar = (SelectedChar + 1) % kRowCount;
    FormShow(sender);
}

void TStatusForm1::Image4Click(TObject* sender) {
    SelectedChar = (SelectedChar + kRowCount - 1) % kRowCount;
    FormShow(sender);
}

void TStatusForm1::Image5Click(TObject*) {
    bool anyShown = false;
    for (int n = 1; n <= kRowCount; ++n) anyShown |= RowCheckBox(n).Checked();
    if (!anyShown) {
        forms::Beep(0);
        return;
    }
    // A failed save leaves here with its error: the window stays open, so the user may make
    // the file writable and press close again.
    SaveSettings(*this);
    Walking1->SetReason(core::StandReason::SettingsShown, false);
    Close();
}

// A failed save does not keep the window here: this is the way out that always works. The
// error is shown, the window closes (the characters walk again when its showing ends) and what
// the user set stays in effect for this run.
void TStatusForm1::WMClose(forms::Message&) {
    if (!Visible()) return;  // nothing is open to close, and nothing to save
    try {
        Image5Click(this);
    } catch (...) {
        forms::ReportException(this);
        Close();
    }
}

void TStatusForm1::TrayIcon1DblClick(TObject*) { Form1->N1Click(this); }
void TStatusForm1::S1Click(TObject*) { Form1->N1Click(this); }
void TStatusForm1::N2Click(TObject*) { OpenInformationPage(); }
void TStatusForm1::N1Click(TObject*) { Form1->Close(); }

// Only for this run: a new start walks.
void TStatusForm1::Pause1Click(TObject*) {
    const bool paused = !Walking1->Holds(core::StandReason::Paused);
    Walking1->SetReason(core::StandReason::Paused, paused);
    Pause1->Checked = paused;
}

void TStatusForm1::OpenInformationPage() {
    forms::ShellOpen(Handle(), L"OPEN", InformationAddress(forms::ModuleFileName()));
}

// The window's own surface drags it; the child controls answer for themselves.
LRESULT TStatusForm1::WMNCHitTest(forms::Message&) { return HTCAPTION; }

void TStatusForm1::WMDropFiles(forms::Message& message) {
    DropScope drop(reinterpret_cast<HDROP>(message.wParam));
    const UINT count = drop.Count();
    for (UINT i = 0; i < count; ++i) RowEdit(SelectedChar + 1).SetText(drop.Name(i));
    message.result = 0;
}

bool TStatusForm1::Checked(int n) const { return RowCheckBox(n).Checked(); }
void TStatusForm1::SetChecked(int n, bool value) { RowCheckBox(n).SetChecked(value); }
void TStatusForm1::ApplyVisibility(int n) { CheckBoxClick(n); }
std::wstring TStatusForm1::LaunchFile(int n) const { return RowEdit(n).Text(); }
void TStatusForm1::SetLaunchFile(int n, const std::wstring& path) { RowEdit(n).SetText(path); }

}  // namespace kurun
