#include "app/Program.h"

#include "app/Pelton.h"

namespace kurun {

int RunProgram(const std::function<void(forms::TApplication&)>& prepare) {
    forms::TApplication application(nullptr);
    if (prepare) prepare(application);
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
