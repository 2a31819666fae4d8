// Loads every library lying in its working folder by bare name, the unprotected way, and ends:
// the proof that a library planted beside a program is taken when nothing restricts the search.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show) {
    (void)instance, (void)previous, (void)commandLine, (void)show;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(L"*.dll", &found);
    if (search == INVALID_HANDLE_VALUE) return 1;
    do LoadLibraryW(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    return 0;
}
