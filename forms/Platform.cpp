#include "forms/Platform.h"

namespace forms {

TPlatform& Platform() {
    static TPlatform platform{
        [](DWORD message, NOTIFYICONDATAW& data) { return Shell_NotifyIconW(message, &data) != FALSE; },
    };
    return platform;
}

}  // namespace forms
