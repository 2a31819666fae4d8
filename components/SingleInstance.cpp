#include "components/SingleInstance.h"

namespace components {

namespace {

constexpr const wchar_t* kListenerClass = L"KurunInstance";
constexpr DWORD kPollInterval = 50;

// Registered, so no other program's private message is taken for a request.
UINT RequestMessage() {
    static const UINT message = RegisterWindowMessageW(L"KurunInstanceRequest");
    return message;
}

std::wstring LowerCase(std::wstring text) {
    if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

}  // namespace

// File names are the same whatever their case; kernel object names are not.
TSingleInstance::TSingleInstance(const std::wstring& fileName) : name_(L"Local\\" + LowerCase(fileName)) {}

TSingleInstance::~TSingleInstance() {
    listener_.Reset();
    if (owned_) ReleaseMutex(mutex_.Get());
}

bool TSingleInstance::Claim(DWORD wait) {
    mutex_.Reset(CreateMutexW(nullptr, TRUE, name_.c_str()));
    // Without a mutex nobody can be asked, and a launcher that never starts is worse than two.
    if (!mutex_) return true;
    owned_ = GetLastError() != ERROR_ALREADY_EXISTS;
    const ULONGLONG end = GetTickCount64() + wait;
    while (!owned_) {
        if (HWND first = FindListener()) {
            DWORD process = 0;
            GetWindowThreadProcessId(first, &process);
            AllowSetForegroundWindow(process);
            if (PostMessageW(first, RequestMessage(), 0, 0)) return false;
        }
        // Not listening yet (it starts at this moment) or gone (it ends at this moment).
        const DWORD waited = WaitForSingleObject(mutex_.Get(), kPollInterval);
        owned_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
        if (!owned_ && GetTickCount64() >= end) return false;
    }
    Listen();
    return true;
}

// A program that cannot listen still runs; later starts then wait for it to end.
void TSingleInstance::Listen() {
    auto* procedure = &forms::ObjectWindowProcedure<TSingleInstance, &TSingleInstance::listener_, &TSingleInstance::WndProc>;
    CreateWindowExW(0, forms::EnsureWindowClass(kListenerClass, procedure), name_.c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE,
                    nullptr, GetModuleHandleW(nullptr), this);
}

HWND TSingleInstance::FindListener() const {
    return FindWindowExW(HWND_MESSAGE, nullptr, kListenerClass, name_.c_str());
}

void TSingleInstance::WndProc(forms::Message& message) {
    if (message.msg == RequestMessage()) {
        if (OnRequest) OnRequest();
        return;
    }
    message.result = DefWindowProcW(listener_.Get(), message.msg, message.wParam, message.lParam);
}

}  // namespace components
