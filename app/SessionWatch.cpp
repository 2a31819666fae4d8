#include "app/SessionWatch.h"

#include <array>
#include <cstring>

#include "app/Walking.h"
#include "forms/Forms.h"
#include "forms/SystemLibrary.h"

namespace kurun {

namespace {

// Defined here: older headers lack the last two.
constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID kPowerSavingStatus = {0xe00958c0, 0xc213, 0x4ace, {0xac, 0x77, 0xfe, 0xcc, 0xed, 0x2e, 0xee, 0xa5}};
constexpr GUID kEnergySaverStatus = {0x550e8400, 0xe29b, 0x41d4, {0xa7, 0x16, 0x44, 0x66, 0x55, 0x44, 0x00, 0x00}};

// Each power setting, the reason it gives, and whether its value means "stand".
struct PowerReason {
    const GUID* setting;
    core::StandReason reason;
    bool (*stands)(DWORD value);
};
const std::array<PowerReason, 3> kPowerReasons = {{
    {&kConsoleDisplayState, core::StandReason::DisplayOff, [](DWORD v) { return v == 0; }},  // dimmed still shows
    {&kPowerSavingStatus, core::StandReason::BatterySaver, [](DWORD v) { return v != 0; }},
    {&kEnergySaverStatus, core::StandReason::EnergySaver, [](DWORD v) { return v != 0; }},  // standard or high savings
}};

void SetReason(core::StandReason reason, bool holds) {
    if (Walking1) Walking1->SetReason(reason, holds);
}

}  // namespace

// The session's notifications for a window, from wtsapi32 (not a known DLL: from the system
// folder, when the system has it).
class TSessionWatch::TSessionNotification {
public:
    explicit TSessionNotification(HWND window) {
        using Register = BOOL(WINAPI*)(HWND, DWORD);
        constexpr DWORD kThisSession = 0;
        auto reg = forms::SystemFunction<Register>(L"wtsapi32.dll", "WTSRegisterSessionNotification");
        if (reg && reg(window, kThisSession)) window_ = window;
    }
    ~TSessionNotification() {
        using Unregister = BOOL(WINAPI*)(HWND);
        if (!window_) return;
        if (auto unreg = forms::SystemFunction<Unregister>(L"wtsapi32.dll", "WTSUnRegisterSessionNotification"))
            unreg(window_);
    }
    TSessionNotification(const TSessionNotification&) = delete;
    TSessionNotification& operator=(const TSessionNotification&) = delete;

private:
    HWND window_ = nullptr;
};

TSessionWatch::TSessionWatch(forms::TComponent* owner) : forms::TComponent(owner) {
    if (!forms::Application) return;
    HWND window = forms::Application->Handle();
    forms::Application->HookMainWindow(this, [this](forms::Message& message) {
        if (message.msg == WM_WTSSESSION_CHANGE) SessionChanged(message.wParam);
        if (message.msg == WM_POWERBROADCAST && message.wParam == PBT_POWERSETTINGCHANGE && message.lParam) {
            PowerSettingChanged(*reinterpret_cast<const POWERBROADCAST_SETTING*>(message.lParam));
            message.result = TRUE;
            return true;
        }
        return false;
    });
    session_ = std::make_unique<TSessionNotification>(window);
    // Each registration reports the setting's present state at once.
    for (const PowerReason& power : kPowerReasons)
        if (HPOWERNOTIFY notify = RegisterPowerSettingNotification(window, power.setting, DEVICE_NOTIFY_WINDOW_HANDLE))
            power_.emplace_back(notify);
}

TSessionWatch::~TSessionWatch() {
    power_.clear();
    session_.reset();
    if (forms::Application) forms::Application->UnhookMainWindow(this);
}

void TSessionWatch::SessionChanged(WPARAM code) {
    switch (code) {
    case WTS_SESSION_LOCK: SetReason(core::StandReason::SessionLocked, true); break;
    case WTS_SESSION_UNLOCK: SetReason(core::StandReason::SessionLocked, false); break;
    case WTS_CONSOLE_DISCONNECT:
    case WTS_REMOTE_DISCONNECT: SetReason(core::StandReason::SessionDisconnected, true); break;
    case WTS_CONSOLE_CONNECT:
    case WTS_REMOTE_CONNECT: SetReason(core::StandReason::SessionDisconnected, false); break;
    default: break;
    }
}

void TSessionWatch::PowerSettingChanged(const POWERBROADCAST_SETTING& setting) {
    if (setting.DataLength < sizeof(DWORD)) return;
    DWORD value = 0;
    std::memcpy(&value, setting.Data, sizeof value);
    for (const PowerReason& power : kPowerReasons)
        if (IsEqualGUID(setting.PowerSetting, *power.setting)) SetReason(power.reason, power.stands(value));
}

}  // namespace kurun
