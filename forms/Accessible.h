#pragma once
// What a screen reader hears of a control (MSAA): the control says what it is, and the system's
// standard object answers the rest (place, parent, neighbours, focus, hit-testing).
#include <windows.h>
#include <oleacc.h>

#include <functional>
#include <optional>
#include <string>

namespace forms {

// The parts a control tells; a part left empty is the standard object's.
struct TAccessibleInfo {
    long Role = 0;                      // ROLE_SYSTEM_...
    std::wstring Name;
    long State = 0;                     // STATE_SYSTEM_..., added to the standard object's
    std::optional<std::wstring> Value;
    std::wstring DefaultAction;         // what the action is called; the control then does it
};

class TAccessibleObject;

// One window's accessible object, made when a screen reader first asks; when this ends, the
// object (which a reader may still hold) answers as a gone object, never reaching the control.
class TAccessibleServer {
public:
    TAccessibleServer(std::function<TAccessibleInfo()> describe, std::function<void()> doDefaultAction);
    ~TAccessibleServer();
    TAccessibleServer(const TAccessibleServer&) = delete;
    TAccessibleServer& operator=(const TAccessibleServer&) = delete;
    // Answers WM_GETOBJECT for the window's client area; false for any other object asked for.
    bool AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    friend class TAccessibleObject;
    std::function<TAccessibleInfo()> describe_;
    std::function<void()> doDefaultAction_;
    TAccessibleObject* object_ = nullptr;  // one reference held while this lives
};

// Tells screen readers that the window's client object changed (EVENT_OBJECT_...).
inline void NotifyAccessible(DWORD event, HWND window) {
    if (window) NotifyWinEvent(event, window, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace forms
