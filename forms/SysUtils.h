#pragma once
// Facts about the running program.
#include <string>

namespace forms {

// The full path of the running executable, however long.
std::wstring ModuleFileName();

}  // namespace forms
