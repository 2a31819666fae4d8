#pragma once
// The platform side effects that tests must observe go through here; everything else calls
// Win32 directly. Each member calls the platform until a test puts its own in its place.
#include <windows.h>
#include <shellapi.h>

#include <functional>

namespace forms {

struct TPlatform {
    // Shell_NotifyIconW: adds, modifies or deletes a notification-area icon.
    std::function<bool(DWORD message, NOTIFYICONDATAW& data)> NotifyIcon;
};

TPlatform& Platform();

}  // namespace forms
