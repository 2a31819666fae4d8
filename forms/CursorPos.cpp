#include "forms/CursorPos.h"

#include <cstdlib>

#include "forms/Handles.h"

namespace forms {

namespace {

// Wine 10 (unlike 8; 9 is taken to be like 10) keeps the pointer position in its server and
// answers GetCursorPos from it, without asking the X server, for 100 ms after any mouse message.
// Moving a shown window queues one at the kept position, and the kept position itself changes
// only with pointer events over Wine's own windows. So a program that moves a window every tick
// sees the pointer where it last left one of its windows, for as long as it keeps moving. The
// kept position is one per desktop: a thread on a desktop of its own, where nothing moves, always
// has Wine ask the X server, as Wine 8 did for every call. On Windows a thread on another desktop
// could not read the cursor at all, and GetCursorPos is right there: only such a Wine takes this
// way.
bool WineKeepsOldCursorPos() {
    using VersionFunction = const char* (*)();
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
    if (!found) return false;
    const char* version = reinterpret_cast<VersionFunction>(reinterpret_cast<void*>(found))();
    return version && std::atoi(version) >= 9;
}

// A thread on a desktop of its own that reads the cursor when asked.
class TCursorThread {
public:
    TCursorThread() {
        desktop_.Reset(CreateDesktopW(L"kurun-cursor", nullptr, nullptr, 0, DESKTOP_READOBJECTS, nullptr));
        request_.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        done_.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (!desktop_ || !request_ || !done_) return;
        thread_.Reset(CreateThread(nullptr, 0, &TCursorThread::Run, this, 0, nullptr));
        // The thread says whether it could move to the desktop.
        ready_ = thread_ && WaitForSingleObject(done_.Get(), 5000) == WAIT_OBJECT_0 && onDesktop_;
    }

    ~TCursorThread() {
        if (!thread_) return;
        stopping_ = true;
        SetEvent(request_.Get());
        WaitForSingleObject(thread_.Get(), 5000);
    }

    TCursorThread(const TCursorThread&) = delete;
    TCursorThread& operator=(const TCursorThread&) = delete;

    bool Ready() const { return ready_; }

    // An answer that does not come within a second means the thread is stuck: it is asked no more.
    bool Read(POINT& position) {
        if (SignalObjectAndWait(request_.Get(), done_.Get(), 1000, FALSE) != WAIT_OBJECT_0) {
            ready_ = false;
            return GetCursorPos(&position) != FALSE;
        }
        position = position_;
        return read_;
    }

private:
    static DWORD WINAPI Run(void* parameter) {
        auto* self = static_cast<TCursorThread*>(parameter);
        self->onDesktop_ = SetThreadDesktop(self->desktop_.Get()) != FALSE;
        SetEvent(self->done_.Get());
        if (!self->onDesktop_) return 0;
        while (WaitForSingleObject(self->request_.Get(), INFINITE) == WAIT_OBJECT_0 && !self->stopping_) {
            self->read_ = GetCursorPos(&self->position_) != FALSE;
            SetEvent(self->done_.Get());
        }
        return 0;
    }

    DesktopHandle desktop_;
    KernelHandle request_, done_, thread_;
    bool ready_ = false;
    // Each side writes these before it signals and reads them after its wait.
    bool onDesktop_ = false, read_ = false;
    bool stopping_ = false;
    POINT position_{};
};

}  // namespace

bool ReadCursorPos(POINT& position) {
    static const bool needsThread = WineKeepsOldCursorPos();
    if (needsThread) {
        static TCursorThread thread;
        if (thread.Ready()) return thread.Read(position);
    }
    return GetCursorPos(&position) != FALSE;
}

}  // namespace forms
