#pragma once
// Watching for the pointer to move while nothing else needs the program: one timer looks at the
// pointer now and then, and says so once when it moved. It runs on the user-interface thread,
// as a thread of its own would cost more memory (under Wine about 1.7 MB: a stack the system
// touches whole, and a display connection of its own) than its wake-ups save.
#include <windows.h>

#include <optional>

#include "forms/Classes.h"

namespace forms {

class TTimer;

class TPointerWatch : public TComponent {
public:
    // interval: milliseconds between looks.
    TPointerWatch(TComponent* owner, UINT interval);
    std::string ClassName() const override { return "TPointerWatch"; }

    // Looks until the pointer is somewhere other than `from` (without it, than where the first
    // look finds it), then calls OnMove once.
    void Watch(std::optional<POINT> from);
    void Stop();
    TNotifyEvent OnMove;

private:
    void Look();

    TTimer* timer_;
    std::optional<POINT> from_;
};

}  // namespace forms
