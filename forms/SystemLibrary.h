#pragma once
// Libraries loaded while the program runs come from the system folder only: the program's own
// folder (often a Downloads folder, writable by anything) is never searched.
#include <windows.h>

namespace forms {

// Restricts every later library search of the process to the system folder; the program's
// first act, before anything can load a library.
void RestrictLibrarySearch();

// The system library `name` (for example L"oleacc.dll"), loaded from the system folder when it
// is not loaded yet; null when it cannot be had. The library stays loaded for the process.
HMODULE SystemLibrary(const wchar_t* name);

// A function of a system library, or null where the system lacks it (older systems, Wine).
template <class F>
F SystemFunction(const wchar_t* library, const char* name) {
    HMODULE module = SystemLibrary(library);
    return module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace forms
