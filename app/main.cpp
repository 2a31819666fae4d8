#include <windows.h>

#include "app/Program.h"
#include "forms/SystemLibrary.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Before anything can load a library: none may come from the program's own folder.
    forms::RestrictLibrarySearch();
    return kurun::RunProgram();
}
