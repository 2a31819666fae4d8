#include "forms/Registration.h"

#include <mutex>

#include "forms/ExtCtrls.h"
#include "forms/Menus.h"

namespace forms {

void RegisterFrameworkClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterClassOf<TTimer>("TTimer");
        RegisterClassOf<TPopupMenu>("TPopupMenu");
        RegisterClassOf<TMenuItem>("TMenuItem");
    });
}

}  // namespace forms
