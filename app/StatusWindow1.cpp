#include "app/StatusWindow1.h"

#include <shellapi.h>

#include "app/CharacterForm.h"
#include "app/Pelton.h"
#include "app/Walking.h"
#include "core/LaunchTarget.h"
#include "core/Paths.h"
#include "forms/Clipboard.h"
#include "forms/Platform.h"
#include "forms/ShellLink.h"
#include "forms/SysUtils.h"

namespace kurun {

TStatusForm1* StatusForm1 = nullptr;

namespace {

// Each row's stored control names; the rows differ in nothing else.
struct RowNames {
    const char* checkBox;
    const char* edit;
    const char* name;
};
constexpr std::array<RowNames, kRowCount> kRowNames = {{{"CheckBox1", "Edit1", "Label18"},
                                                        {"CheckBox2", "Edit3", "Label19"},
                                                        {"CheckBox3", "Edit5", "Label20"},
                                                        {"CheckBox4", "Edit7", "Label21"}}};

// The title strip's buttons (Panel1 to Panel4, each holding its picture) for a screen reader: each
// is named by its hint, the two arrows told apart by which row they go to.
struct TitleStripButton {
    forms::TImage* TStatusForm1::*image;
    const wchar_t* nameSuffix;
    long role;
    const wchar_t* action;
};
constexpr std::array<TitleStripButton, 4> kTitleButtons = {{
    {&TStatusForm1::Image2, L"", ROLE_SYSTEM_LINK, L"ジャンプ"},
    {&TStatusForm1::Image3, L" (次)", ROLE_SYSTEM_PUSHBUTTON, L"押す"},
    {&TStatusForm1::Image4, L" (前)", ROLE_SYSTEM_PUSHBUTTON, L"押す"},
    {&TStatusForm1::Image5, L"", ROLE_SYSTEM_PUSHBUTTON, L"押す"},
}};

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
    HDROP Get() const { return drop_; }
private:
    HDROP drop_;
};

// The shortcut that starts the program with Windows.
constexpr const wchar_t* kStartupShortcutName = L"kurun.lnk";

bool StartsWithWindows() {
    return !forms::ShortcutsStarting(forms::Platform().StartupFolder(), forms::ModuleFileName()).empty();
}

}  // namespace

std::wstring InformationAddress(const std::wstring& executablePath) {
    return kInformationPrefix + core::FileBaseName(executablePath);
}

TStatusForm1::TStatusForm1(forms::TComponent* owner) : forms::TForm(owner) {
    for (size_t r = 0; r < kRowCount; ++r) {
        PublishField(kRowNames[r].checkBox, CheckBox[r]);
        PublishField(kRowNames[r].edit, Edit[r]);
        PublishField(kRowNames[r].name, RowLabel[r]);
        const int n = static_cast<int>(r) + 1;
        PublishField("Launch" + std::to_string(n), Launch[r]);
        PublishMethod("CheckBox" + std::to_string(n) + "Click", [this, n](TObject*) { CheckBoxClick(n); });
        // The tray's launch of character n is the click on it, shown or not.
        PublishMethod("Launch" + std::to_string(n) + "Click", [n](TObject*) { CharacterWindow(n)->Rgn1Click(nullptr); });
    }
    for (size_t b = 0; b < TitleButton.size(); ++b) PublishField("Panel" + std::to_string(b + 1), TitleButton[b]);
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
    PublishField("AutoStart1", AutoStart1);
    PublishMethod("PopupMenu1Popup", [this](TObject* sender) { PopupMenu1Popup(sender); });
    PublishMethod("AutoStart1Click", [this](TObject* sender) { AutoStart1Click(sender); });
    PublishField("Pause1", Pause1);
    PublishMethod("Pause1Click", [this](TObject* sender) { Pause1Click(sender); });
    components::InitializeDxfcheckboxUnit();
    components::InitializeTrayIconUnit();
    InitInheritedComponent(L"TSTATUSFORM1");
    for (forms::TEdit* edit : Edit) {
        edit->OnKeyDown = [this](TObject*, WORD& key, forms::TShiftState shift) { EditKeyDown(key, shift); };
        edit->OnDblClick = [this](TObject*) { ChooseSelectedTarget(); };
    }
    SetUpForKeyboardAndScreenReaders();
    KeyPreview = true;
    OnKeyDown = [this](TObject*, WORD& key, forms::TShiftState shift) { FormKeyDown(key, shift); };
    DragAcceptFiles(Handle(), TRUE);
}

// Links come only through OLE; files come that way too, or as WM_DROPFILES where OLE is missing.
// Registering starts a server thread of OLE's own (a megabyte under Wine), which a program that
// sits on the desktop carries only once its window has been open.
void TStatusForm1::AcceptDrops() {
    if (dropTarget_) return;
    dropTarget_.emplace(Handle(), forms::TDropHandler{
        [](const forms::TDroppedData& dropped) { return DroppedTarget(dropped).has_value(); },
        [this](const forms::TDroppedData& dropped) { TakeDrop(dropped); }});
}

void TStatusForm1::SetUpForKeyboardAndScreenReaders() {
    for (int n = 1; n <= kRowCount; ++n) {
        RowCheckBox(n).OnAccessibleInfo = [this, n](forms::TAccessibleInfo& info) {
            info.Name = RowName(n) + L"を表示";
            info.State |= STATE_SYSTEM_SELECTABLE | (n == SelectedChar + 1 ? STATE_SYSTEM_SELECTED : 0);
        };
        RowEdit(n).OnAccessibleInfo = [this, n](forms::TAccessibleInfo& info) {
            info.Name = RowName(n) + L" ラウンチファイル";
        };
    }
    for (size_t b = 0; b < kTitleButtons.size(); ++b) {
        const TitleStripButton& button = kTitleButtons[b];
        forms::TImage* image = this->*button.image;
        forms::TPanel* panel = TitleButton[b];
        panel->OnAccessibleInfo = [panel, button](forms::TAccessibleInfo& info) {
            info.Role = button.role;
            info.Name = panel->Hint + button.nameSuffix;
            info.DefaultAction = button.action;
        };
        panel->OnAccessibleAction = [image](TObject*) { image->Click(); };
        // A focused title button does what its picture's click does: Enter at once, Space when let go.
        auto clickOn = [image](WORD key) {
            return [image, key](TObject*, WORD& pressed, forms::TShiftState shift) {
                if (pressed != key || shift) return;
                pressed = 0;
                image->Click();
            };
        };
        panel->OnKeyDown = clickOn(VK_RETURN);
        panel->OnKeyUp = clickOn(VK_SPACE);
    }
}

// Every square is painted each time, so the picture depends on SelectedChar alone.
void TStatusForm1::FormShow(TObject*) {
    AcceptDrops();
    forms::TCanvas& skin = Image1->Picture().Canvas();
    for (int r = 0; r < kRowCount; ++r) {
        const int picture = r == SelectedChar ? r : r + kGreyPortraitOffset;
        ImageList1->Draw(skin, kPortraitLeft, kPortraitTop + kRowPitch * r, picture);
    }
    Image1->PictureChanged();
    for (int r = 0; r < kRowCount; ++r) Edit[static_cast<size_t>(r)]->SetEnabled(r == SelectedChar);
    // The selected row is told on its check box, which carries the selected state.
    if (RowCheckBox(SelectedChar + 1).HandleAllocated())
        forms::NotifyAccessible(EVENT_OBJECT_SELECTION, RowCheckBox(SelectedChar + 1).Handle());
    // The keyboard starts at the selected row's box, and lands there when the box it was in
    // has just been switched off.
    ActiveControl = &RowEdit(SelectedChar + 1);
    if (Visible() && GetFocus() == Handle()) ActiveControl->SetFocus();
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

// A shortcut to a copy of the program elsewhere does not count: choosing the entry then makes
// one that starts this copy.
void TStatusForm1::AutoStart1Click(TObject*) {
    const std::wstring folder = forms::Platform().StartupFolder(), program = forms::ModuleFileName();
    const bool done = StartsWithWindows()
                          ? forms::RemoveShortcutsStarting(folder, program)
                          : !folder.empty() && forms::MakeShortcut(folder + L"\\" + kStartupShortcutName, program);
    if (!done) forms::Beep(0);
    AutoStart1->Checked = StartsWithWindows();
}

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
    TakeDrop(forms::TDroppedData{forms::DroppedFileNames(drop.Get()), L""});
    message.result = 0;
}

// Names are taken as they come, files, folders and shortcuts alike: the last of several wins.
std::optional<std::wstring> TStatusForm1::DroppedTarget(const forms::TDroppedData& dropped) {
    if (!dropped.Files.empty()) return dropped.Files.back();
    return core::LaunchTargetFromText(dropped.Text);
}

void TStatusForm1::TakeDrop(const forms::TDroppedData& dropped) {
    if (const auto target = DroppedTarget(dropped)) SetSelectedTarget(*target);
}

void TStatusForm1::SetSelectedTarget(const std::wstring& target) { RowEdit(SelectedChar + 1).SetText(target); }

void TStatusForm1::EditKeyDown(WORD& key, forms::TShiftState shift) {
    const bool ctrl = shift & forms::ssCtrl, shifted = shift & forms::ssShift, alt = shift & forms::ssAlt;
    if (alt) return;
    if (key == VK_RETURN && !ctrl && !shifted) ChooseSelectedTarget();
    else if ((key == 'V' && ctrl && !shifted) || (key == VK_INSERT && shifted && !ctrl)) PasteSelectedTarget();
    else if (key == VK_DELETE && !ctrl && !shifted) SetSelectedTarget(L"");
    else return;
    key = 0;
}

void TStatusForm1::FormKeyDown(WORD& key, forms::TShiftState shift) {
    if (shift) return;
    switch (key) {
    case VK_DOWN:
    case VK_UP:
        // As the arrow buttons do; the focus follows the selection.
        if (key == VK_DOWN) Image3Click(this);
        else Image4Click(this);
        RowEdit(SelectedChar + 1).SetFocus();
        break;
    case VK_ESCAPE: Perform(WM_CLOSE); break;
    default: return;
    }
    key = 0;
}

void TStatusForm1::ChooseSelectedTarget() {
    const std::wstring current = LaunchFile(SelectedChar + 1);
    const std::wstring folder = core::IsWebAddress(current) ? L"" : core::ExtractFilePath(current);
    if (std::optional<std::wstring> chosen = forms::ChooseFile(Handle(), kChooseTargetTitle, folder))
        SetSelectedTarget(*chosen);
}

// A copied file first (the first of several), then text that names a path or a web address.
void TStatusForm1::PasteSelectedTarget() {
    const forms::TClipboardContent content = forms::ReadClipboard(Handle());
    std::optional<std::wstring> target = content.firstFile;
    if (!target && content.text) target = core::LaunchTargetFromText(*content.text);
    if (target) SetSelectedTarget(*target);
    else forms::Beep(0);
}

std::wstring TStatusForm1::RowName(int n) const { return RowLabel.at(static_cast<size_t>(n - 1))->Caption(); }

std::wstring TStatusForm1::DescribeRow(int n) const {
    return core::DescribeTarget(RowName(n), TargetDisplayName(LaunchFile(n)), kNoTarget);
}

// The launch entries name what each character opens now, the settings' unsaved changes too, and
// the autostart mark says whether the shortcut is there now.
void TStatusForm1::PopupMenu1Popup(TObject*) {
    AutoStart1->Checked = StartsWithWindows();
    for (int n = 1; n <= kRowCount; ++n) {
        std::wstring caption = L"&" + std::to_wstring(n) + L" ";
        for (wchar_t c : DescribeRow(n)) {
            caption += c;
            if (c == L'&') caption += c;  // a name's ampersand is no access key
        }
        Launch.at(static_cast<size_t>(n - 1))->Caption = caption;
    }
}

std::wstring TargetDisplayName(const std::wstring& target) {
    if (target.empty() || core::IsWebAddress(target)) return target;
    SHFILEINFOW info{};
    if (SHGetFileInfoW(target.c_str(), 0, &info, sizeof(info), SHGFI_DISPLAYNAME) && info.szDisplayName[0])
        return info.szDisplayName;
    return core::ShortTargetName(target);
}

bool TStatusForm1::Checked(int n) const { return RowCheckBox(n).Checked(); }
void TStatusForm1::SetChecked(int n, bool value) { RowCheckBox(n).SetChecked(value); }
void TStatusForm1::ApplyVisibility(int n) { CheckBoxClick(n); }
std::wstring TStatusForm1::LaunchFile(int n) const { return RowEdit(n).Text(); }
void TStatusForm1::SetLaunchFile(int n, const std::wstring& path) { RowEdit(n).SetText(path); }

}  // namespace kurun
