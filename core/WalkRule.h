#pragma once
// Whether the characters walk: they stand while any reason holds, and walk again when the last
// one ends. Each reason comes and goes by itself, so one ending leaves the others in force.
#include <bitset>
#include <cstddef>

namespace core {

enum class StandReason {
    SettingsShown,        // the settings window is open
    Paused,               // the user chose to pause
    SessionLocked,        // nobody can see the desktop
    SessionDisconnected,
    DisplayOff,
    BatterySaver,         // the system saves power: so do the characters
    EnergySaver,
};
inline constexpr size_t kStandReasonCount = 7;

class StandReasons {
public:
    bool Holds(StandReason reason) const { return bits_.test(Index(reason)); }
    void Set(StandReason reason, bool holds) { bits_.set(Index(reason), holds); }
    bool Any() const { return bits_.any(); }

private:
    static size_t Index(StandReason reason) { return static_cast<size_t>(reason); }
    std::bitset<kStandReasonCount> bits_;
};

// The one rule: the walking timers run only while no reason holds.
inline bool WalkingTimersRun(const StandReasons& reasons) { return !reasons.Any(); }

}  // namespace core
