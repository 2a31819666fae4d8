#pragma once
// What the clipboard holds, as a launcher can use it.
#include <windows.h>

#include <optional>
#include <string>

namespace forms {

struct TClipboardContent {
    std::optional<std::wstring> firstFile;  // the first name of a copied file list
    std::optional<std::wstring> text;       // Unicode text
};

// Reads the clipboard for `owner`; empty when it holds neither or cannot be opened.
TClipboardContent ReadClipboard(HWND owner);

}  // namespace forms
