#pragma once
// Reading where the pointer is, for code that follows it.
#include <windows.h>

namespace forms {

// GetCursorPos, except under a Wine that answers it with an old position while the program's
// windows move (see CursorPos.cpp). False when the position cannot be read.
bool ReadCursorPos(POINT& position);

}  // namespace forms
