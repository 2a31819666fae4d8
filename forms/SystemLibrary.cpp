#include "forms/SystemLibrary.h"

namespace forms {

void RestrictLibrarySearch() { SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32); }

HMODULE SystemLibrary(const wchar_t* name) {
    // A module already loaded is the one any search would find: no second look.
    if (HMODULE loaded = GetModuleHandleW(name)) return loaded;
    return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace forms
