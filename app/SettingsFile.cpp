#include "app/SettingsFile.h"

#include "core/Paths.h"
#include "forms/IniFiles.h"
#include "forms/SysUtils.h"

namespace kurun {

namespace {

constexpr int kCharacterCount = 4;
const std::wstring kVisible = L"Visible";
const std::wstring kExecute = L"Execute";

// "Char01" .. "Char04".
std::wstring Key(int n) { return L"Char0" + std::to_wstring(n); }

std::wstring& Redirection() {
    static std::wstring fileName;
    return fileName;
}

std::wstring SettingsFile() { return Redirection().empty() ? SettingsFilePath() : Redirection(); }

}  // namespace

std::wstring SettingsFilePath() { return core::ExtractFilePath(forms::ModuleFileName()) + L"kurun.ini"; }

void RedirectSettingsFile(std::wstring fileName) { Redirection() = std::move(fileName); }

void LoadSettings(TSettingsRows& rows) { LoadSettings(rows, SettingsFile()); }

void LoadSettings(TSettingsRows& rows, const std::wstring& fileName) {
    const forms::TIniFile ini(fileName);
    // Each character is shown or hidden before the next one is read.
    for (int n = 1; n <= kCharacterCount; ++n) {
        rows.SetChecked(n, ini.ReadBool(kVisible, Key(n), rows.Checked(n)));
        rows.ApplyVisibility(n);
    }
    for (int n = 1; n <= kCharacterCount; ++n)
        rows.SetLaunchFile(n, ini.ReadString(kExecute, Key(n), rows.LaunchFile(n)));
}

void SaveSettings(const TSettingsRows& rows) { SaveSettings(rows, SettingsFile()); }

void SaveSettings(const TSettingsRows& rows, const std::wstring& fileName) {
    forms::TIniFileUpdate update(fileName);
    for (int n = 1; n <= kCharacterCount; ++n) update.WriteBool(kVisible, Key(n), rows.Checked(n));
    for (int n = 1; n <= kCharacterCount; ++n) update.WriteString(kExecute, Key(n), rows.LaunchFile(n));
    update.Commit();
}

}  // namespace kurun
