#pragma once
// The settings window: one row per character with its show/hide box and launch file, the
// selected row's colour portrait, dropping files, and the tray icon's menu.
#include <array>
#include <optional>
#include <string>

#include "app/SettingsFile.h"
#include "components/Dxfcheckbox.h"
#include "components/trayicon.h"
#include "forms/DropTarget.h"
#include "forms/Edits.h"
#include "forms/Forms.h"
#include "forms/GraphicCtrls.h"
#include "forms/ImgList.h"
#include "forms/Menus.h"
#include "forms/Panels.h"

namespace kurun {

using forms::TObject;

// The information page: this prefix, then the program file's name without its extension.
inline constexpr const wchar_t* kInformationPrefix = L"http://kurun.example.org/info.php?pf=w&sn=";
// The page's address for a program file at `executablePath`.
std::wstring InformationAddress(const std::wstring& executablePath);
// What an empty row opens, as its tooltip and menu entry say it.
inline constexpr const wchar_t* kNoTarget = L"（未設定）";
inline constexpr const wchar_t* kChooseTargetTitle = L"ラウンチファイルの選択";
// What a target is called in short: the name the shell shows for a file or folder, a web
// address whole.
std::wstring TargetDisplayName(const std::wstring& target);

constexpr int kRowCount = 4;

class TStatusForm1 : public forms::TForm, public TSettingsRows {
public:
    explicit TStatusForm1(forms::TComponent* owner);
    std::string ClassName() const override { return "TStatusForm1"; }

    // Members bound by name when the layout is read; index r is row r + 1.
    std::array<components::TdxfCheckBox*, kRowCount> CheckBox{};  // CheckBox1 .. CheckBox4
    std::array<forms::TEdit*, kRowCount> Edit{};                  // Edit1, Edit3, Edit5, Edit7
    std::array<forms::TLabel*, kRowCount> RowLabel{};             // Label18 .. Label21: the names
    std::array<forms::TMenuItem*, kRowCount> Launch{};            // Launch1 .. Launch4: the tray's launches
    // Panel1 .. Panel4: the title-strip buttons, holding Image2 .. Image5; tab stops.
    std::array<forms::TPanel*, 4> TitleButton{};
    forms::TImage* Image1 = nullptr;  // the skin, with the portraits painted into it
    forms::TImage* Image2 = nullptr;  // information
    forms::TImage* Image3 = nullptr;  // next row
    forms::TImage* Image4 = nullptr;  // previous row
    forms::TImage* Image5 = nullptr;  // close
    forms::TImageList* ImageList1 = nullptr;
    components::TTrayIcon* TrayIcon1 = nullptr;  // inactive until start-up has finished
    forms::TPopupMenu* PopupMenu1 = nullptr;
    forms::TMenuItem* AutoStart1 = nullptr;  // ticked while a Startup shortcut starts this program
    forms::TMenuItem* Pause1 = nullptr;  // ticked while the characters are paused

    // The selected row minus one, 0 to 3.
    int32_t SelectedChar = 0;

    void FormShow(TObject* sender);
    void CheckBoxClick(int n);
    void Image2Click(TObject* sender);
    void Image3Click(TObject* sender);
    void Image4Click(TObject* sender);
    void Image5Click(TObject* sender);
    void TrayIcon1DblClick(TObject* sender);
    void S1Click(TObject* sender);
    void N2Click(TObject* sender);
    void N1Click(TObject* sender);
    void PopupMenu1Popup(TObject* sender);
    void AutoStart1Click(TObject* sender);
    void Pause1Click(TObject* sender);
    void OpenInformationPage();

    // The selected row's new target, from a drop, a paste or the Open dialog (empty: none).
    void SetSelectedTarget(const std::wstring& target);
    // The selected row's edit box: Enter opens the Open dialog, Ctrl+V (Shift+Insert) pastes,
    // Delete clears; a double click opens the dialog too.
    void ChooseSelectedTarget();
    void PasteSelectedTarget();
    // Row n's name as the window shows it, and "name: what it opens" for its tooltip and menu.
    std::wstring RowName(int n) const;
    std::wstring DescribeRow(int n) const;

    // What a drop makes the selected row's target: the last of its file names, or its text when
    // that names a path or a web address; nothing for anything else.
    static std::optional<std::wstring> DroppedTarget(const forms::TDroppedData& dropped);

    // The rows as the settings file sees them (n = 1 to 4).
    bool Checked(int n) const override;
    void SetChecked(int n, bool value) override;
    void ApplyVisibility(int n) override;
    std::wstring LaunchFile(int n) const override;
    void SetLaunchFile(int n, const std::wstring& path) override;

protected:
    LRESULT WMNCHitTest(forms::Message& message) override;
    // Alt+F4, the system's close command, another program's request: the close button's code.
    void WMClose(forms::Message& message) override;
    void WMDropFiles(forms::Message& message) override;

private:
    // Names and states of the rows and the title strip's buttons for screen readers, and the
    // title buttons' keys.
    void SetUpForKeyboardAndScreenReaders();
    void EditKeyDown(WORD& key, forms::TShiftState shift);
    // Keys anywhere in the window: Up and Down select a row, Escape closes as Alt+F4 does.
    void FormKeyDown(WORD& key, forms::TShiftState shift);
    components::TdxfCheckBox& RowCheckBox(int n) const { return *CheckBox.at(static_cast<size_t>(n - 1)); }
    forms::TEdit& RowEdit(int n) const { return *Edit.at(static_cast<size_t>(n - 1)); }
    // Files and links dropped on the window, whichever way they come.
    void AcceptDrops();
    void TakeDrop(const forms::TDroppedData& dropped);
    std::optional<forms::TDropTargetRegistration> dropTarget_;
};

extern TStatusForm1* StatusForm1;

}  // namespace kurun
