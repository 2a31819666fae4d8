#pragma once
// Nobody looks at the characters while the session is locked or disconnected or the display is
// off, and the system asks everyone to save power while its battery or energy saver is on: then
// the characters rest, and walk again when the last of these ends. Nothing of it is saved or
// shown. The notifications come to the application's window from now until this is freed.
#include <windows.h>

#include <memory>
#include <vector>

#include "forms/Classes.h"
#include "forms/Handles.h"

namespace kurun {

class TSessionWatch : public forms::TComponent {
public:
    explicit TSessionWatch(forms::TComponent* owner);
    ~TSessionWatch() override;
    std::string ClassName() const override { return "TSessionWatch"; }

    // WM_WTSSESSION_CHANGE's code.
    void SessionChanged(WPARAM code);
    // WM_POWERBROADCAST's PBT_POWERSETTINGCHANGE.
    void PowerSettingChanged(const POWERBROADCAST_SETTING& setting);

private:
    class TSessionNotification;
    std::unique_ptr<TSessionNotification> session_;
    using PowerNotification = forms::UniqueHandle<HPOWERNOTIFY, &UnregisterPowerSettingNotification>;
    std::vector<PowerNotification> power_;
};

}  // namespace kurun
