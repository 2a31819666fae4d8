#pragma once
#include <functional>

#include "forms/Forms.h"

namespace kurun {

inline constexpr const wchar_t* kApplicationTitle = L"Launcher kurun! ～ルカタ編～";

// The program: builds the windows, runs the message loop, returns 0. `prepare` lets a
// test adjust the application (its exception report) before anything is created.
int RunProgram(const std::function<void(forms::TApplication&)>& prepare = {});

}  // namespace kurun
