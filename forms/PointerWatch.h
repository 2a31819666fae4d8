#pragma once
// Watching for the pointer to move while nothing else needs the program: a thread of its own
// looks at the pointer now and then and sleeps in between, so the user-interface thread can
// wait with no timer at all. It says so once, on the user-interface thread, when it moved.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <optional>

#include "forms/Classes.h"
#include "forms/Handles.h"

namespace forms {

class TPointerWatch : public TComponent {
public:
    // interval: milliseconds between looks.
    TPointerWatch(TComponent* owner, UINT interval);
    ~TPointerWatch() override;
    std::string ClassName() const override { return "TPointerWatch"; }

    // Looks until the pointer is somewhere other than `from` (without it, than where the first
    // look finds it), then calls OnMove once. False when no thread can be had for it.
    bool Watch(std::optional<POINT> from);
    void Stop();
    bool Watching() const;
    UINT Interval() const { return interval_; }
    TNotifyEvent OnMove;

private:
    static DWORD WINAPI Run(void* parameter);
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    void Look();
    void Moved(unsigned round);

    UINT interval_;
    WindowHandle window_;
    KernelHandle request_, thread_;
    std::atomic<bool> ending_{false};
    // Shared with the thread: a new round of watching replaces what an older one looked for.
    mutable std::mutex mutex_;
    bool watching_ = false;
    unsigned round_ = 0;
    std::optional<POINT> from_;
};

}  // namespace forms
