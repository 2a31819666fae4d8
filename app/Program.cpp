#include "app/Program.h"

#include "app/Pelton.h"
#include "app/StatusWindow1.h"
#include "components/Dxfcheckbox.h"
#include "components/Region.h"
#include "components/SingleInstance.h"
#include "components/trayicon.h"
#include "core/Paths.h"
#include "forms/SysUtils.h"

namespace kurun {

int RunProgram(const std::function<void(forms::TApplication&)>& prepare) {
    // A second start only brings the running program's settings forward: no window, no icon,
    // no settings file of its own.
    components::TSingleInstance instance(core::ExtractFileName(forms::ModuleFileName()));
    if (!instance.Claim()) return 0;
    // As the tray's double click: open the settings, or bring them forward when open.
    instance.OnRequest = [] {
        if (StatusForm1) StatusForm1->TrayIcon1DblClick(nullptr);
    };
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
