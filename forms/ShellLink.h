#pragma once
// Shell shortcuts (.lnk) to a program, such as those in the user's Startup folder that start a
// program when the user signs in. Shortcuts are matched by the program's full path, case ignored.
#include <string>
#include <vector>

namespace forms {

// The user's Startup folder; empty when the system names none.
std::wstring StartupFolder();

// The shortcuts in `folder` that start `program`.
std::vector<std::wstring> ShortcutsStarting(const std::wstring& folder, const std::wstring& program);

// Makes (or replaces) the shortcut `file` to `program`, working in the program's folder;
// whether it was written.
bool MakeShortcut(const std::wstring& file, const std::wstring& program);

// Removes every shortcut in `folder` that starts `program`; whether none is left.
bool RemoveShortcutsStarting(const std::wstring& folder, const std::wstring& program);

}  // namespace forms
