#include "app/Program.h"

#include "app/Pelton.h"
#include "components/Dxfcheckbox.h"
#include "components/Region.h"
#include "components/trayicon.h"

namespace kurun {

int RunProgram(const std::function<void(forms::TApplication&)>& prepare) {
    forms::TApplication application(nullptr);
    if (prepare) prepare(application);
    // The components' shared state (class registrations, the glyph strip) comes first.
    components::InitializeRegionUnit();
    components::InitializeDxfcheckboxUnit();
    components::InitializeTrayIconUnit();
    try {
        application.Initialize();
        application.SetTitle(kApplicationTitle);
        application.CreateForm(Form1);
        application.Run();
    } catch (...) {
        // Start-up failed: report it the way the loop reports errors, then end quietly.
        application.HandleException(&application);
    }
    return 0;
}

}  // namespace kurun
