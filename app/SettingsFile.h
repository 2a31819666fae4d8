#pragma once
// The settings file "kurun.ini" beside the executable: each character's visibility and launch file.
#include <string>

namespace kurun {

// The settings window's four rows as the settings file sees them; n is the character, 1 to 4.
class TSettingsRows {
public:
    virtual ~TSettingsRows() = default;
    virtual bool Checked(int n) const = 0;
    virtual void SetChecked(int n, bool value) = 0;
    // Makes character n's window follow its check box.
    virtual void ApplyVisibility(int n) = 0;
    virtual std::wstring LaunchFile(int n) const = 0;
    virtual void SetLaunchFile(int n, const std::wstring& path) = 0;
};

// "kurun.ini" in the running executable's folder, whatever the executable is called.
std::wstring SettingsFilePath();
// Makes LoadSettings and SaveSettings without a file name use `fileName` instead, so tests that
// build the program's windows leave the settings beside them alone; empty to undo.
void RedirectSettingsFile(std::wstring fileName);

// Reads the file into the rows, character by character; missing values keep the rows' own.
void LoadSettings(TSettingsRows& rows);
void LoadSettings(TSettingsRows& rows, const std::wstring& fileName);
// Writes every row to the file, all or nothing; a failure raises the INI error naming the file.
void SaveSettings(const TSettingsRows& rows);
void SaveSettings(const TSettingsRows& rows, const std::wstring& fileName);

}  // namespace kurun
