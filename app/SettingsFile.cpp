#include "app/SettingsFile.h"

namespace kurun {

// The file itself arrives with the INI support; until then the rows keep their layout values.
void LoadSettings(TSettingsRows& rows) {
    for (int n = 1; n <= 4; ++n) rows.ApplyVisibility(n);
}

void SaveSettings(const TSettingsRows&) {}

}  // namespace kurun
