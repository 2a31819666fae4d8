#include "forms/PointerWatch.h"

#include "forms/Controls.h"

namespace forms {

namespace {

constexpr UINT kMovedMessage = WM_APP + 1;


}  // namespace

TPointerWatch::TPointerWatch(TComponent* owner, UINT interval) : TComponent(owner), interval_(interval) {}

TPointerWatch::~TPointerWatch() {
    if (!thread_) return;
    ending_ = true;
    SetEvent(request_.Get());
    WaitForSingleObject(thread_.Get(), INFINITE);  // it sleeps one interval at most
}

bool TPointerWatch::Watch(std::optional<POINT> from) {
    if (!window_) {
        window_.Reset(CheckCreated(CreateWindowExW(0, EnsureWindowClass(L"KurunPointerWatch", WindowProcedure), L"",
                                                   0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                                                   nullptr)));
        SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    if (!thread_) {
        request_.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (request_) thread_.Reset(CreateThread(nullptr, 0, &TPointerWatch::Run, this, 0, nullptr));
        if (!thread_) return false;
    }
    {
        std::lock_guard lock(mutex_);
        from_ = from;
        ++round_;
        watching_ = true;
    }
    SetEvent(request_.Get());
    return true;
}

void TPointerWatch::Stop() {
    std::lock_guard lock(mutex_);
    watching_ = false;
    ++round_;  // a move reported meanwhile is old news
}

bool TPointerWatch::Watching() const {
    std::lock_guard lock(mutex_);
    return watching_;
}

// Sleep is the one wait that asks nothing of the system's window server while it lasts.
DWORD WINAPI TPointerWatch::Run(void* parameter) {
    auto* self = static_cast<TPointerWatch*>(parameter);
    while (WaitForSingleObject(self->request_.Get(), INFINITE) == WAIT_OBJECT_0 && !self->ending_) {
        while (self->Watching() && !self->ending_) {
            Sleep(self->interval_);
            self->Look();
        }
    }
    return 0;
}

// Nothing moves while the watch looks, so the system's answer is never an old position.
void TPointerWatch::Look() {
    POINT now{};
    if (!GetCursorPos(&now)) return;
    std::lock_guard lock(mutex_);
    if (!watching_) return;
    if (!from_) from_ = now;
    if (now.x == from_->x && now.y == from_->y) return;
    watching_ = false;
    PostMessageW(window_.Get(), kMovedMessage, round_, 0);
}

void TPointerWatch::Moved(unsigned round) {
    {
        std::lock_guard lock(mutex_);
        if (round != round_) return;
    }
    try {
        if (TNotifyEvent handler = OnMove) handler(this);
    } catch (...) {
        ReportException(this);
    }
}

LRESULT CALLBACK TPointerWatch::WindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != kMovedMessage) return DefWindowProcW(window, msg, wParam, lParam);
    if (auto* self = reinterpret_cast<TPointerWatch*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
        self->Moved(static_cast<unsigned>(wParam));
    return 0;
}

}  // namespace forms
