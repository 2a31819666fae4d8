#include "forms/ShellLink.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>
#include <wrl/client.h>

#include "core/Paths.h"
#include "forms/Handles.h"

namespace forms {

namespace {

using Microsoft::WRL::ComPtr;

constexpr DWORD kLongestPath = 32768;

// The path as the file system names it in full: absolute, without 8.3 short names.
std::wstring FullLongPath(const std::wstring& path) {
    std::wstring full(kLongestPath, L'\0');
    full.resize(GetFullPathNameW(path.c_str(), kLongestPath, full.data(), nullptr));
    std::wstring longName(kLongestPath, L'\0');
    longName.resize(GetLongPathNameW(full.c_str(), longName.data(), kLongestPath));
    return longName.empty() ? full : longName;  // a program that is gone keeps its full name
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

ComPtr<IShellLinkW> NewShellLink() {
    ComPtr<IShellLinkW> link;
    CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link));
    return link;
}

// The program that the shortcut `file` starts; empty when it is no shortcut.
std::wstring ShortcutTarget(const std::wstring& file) {
    ComPtr<IShellLinkW> link = NewShellLink();
    ComPtr<IPersistFile> persist;
    if (!link || FAILED(link.As(&persist)) || FAILED(persist->Load(file.c_str(), STGM_READ))) return {};
    std::wstring target(kLongestPath, L'\0');
    if (link->GetPath(target.data(), kLongestPath, nullptr, 0) != S_OK) return {};
    target.resize(wcslen(target.c_str()));
    return target;
}

// A shortcut just written is read by others for a moment (Wine's menu builder, which the save
// starts; an indexer or a virus scanner on Windows), and a file they hold open cannot go.
bool DeleteSoonAfterOthersLetGo(const std::wstring& file) {
    constexpr int kTries = 40, kPauseMs = 25;  // a second at most
    for (int tried = 1;; ++tried) {
        if (DeleteFileW(file.c_str())) return true;
        const DWORD error = GetLastError();
        if (tried == kTries || (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED)) return false;
        Sleep(kPauseMs);
    }
}

// Ends a directory search however the loop ends.
using FindHandle = UniqueHandle<HANDLE, &FindClose>;

}  // namespace

std::wstring StartupFolder() {
    PWSTR path = nullptr;
    const bool found = SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Startup, KF_FLAG_CREATE, nullptr, &path));
    std::wstring folder = found ? path : L"";
    CoTaskMemFree(path);
    return folder;
}

std::vector<std::wstring> ShortcutsStarting(const std::wstring& folder, const std::wstring& program) {
    std::vector<std::wstring> found;
    if (folder.empty()) return found;
    const std::wstring wanted = FullLongPath(program);
    WIN32_FIND_DATAW entry;
    HANDLE first = FindFirstFileW((folder + L"\\*.lnk").c_str(), &entry);
    if (first == INVALID_HANDLE_VALUE) return found;
    FindHandle search(first);
    do {
        const std::wstring file = folder + L"\\" + entry.cFileName;
        const std::wstring target = ShortcutTarget(file);
        if (!target.empty() && SamePath(FullLongPath(target), wanted)) found.push_back(file);
    } while (FindNextFileW(search.Get(), &entry));
    return found;
}

bool MakeShortcut(const std::wstring& file, const std::wstring& program) {
    ComPtr<IShellLinkW> link = NewShellLink();
    ComPtr<IPersistFile> persist;
    std::wstring folder = core::ExtractFilePath(program);
    // A folder without its last backslash, as the shell writes it; a drive's root keeps it.
    if (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    return link && SUCCEEDED(link->SetPath(program.c_str())) && SUCCEEDED(link->SetWorkingDirectory(folder.c_str())) &&
           SUCCEEDED(link.As(&persist)) && SUCCEEDED(persist->Save(file.c_str(), TRUE));
}

bool RemoveShortcutsStarting(const std::wstring& folder, const std::wstring& program) {
    bool removed = true;
    for (const std::wstring& file : ShortcutsStarting(folder, program)) removed &= DeleteSoonAfterOthersLetGo(file);
    return removed;
}

}  // namespace forms
