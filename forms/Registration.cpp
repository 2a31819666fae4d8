#include "forms/Registration.h"

#include <mutex>

#include "forms/Edits.h"
#include "forms/ExtCtrls.h"
#include "forms/GraphicCtrls.h"
#include "forms/ImgList.h"
#include "forms/Menus.h"
#include "forms/Panels.h"

namespace forms {

void RegisterFrameworkClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterClassOf<TTimer>("TTimer");
        RegisterClassOf<TPopupMenu>("TPopupMenu");
        RegisterClassOf<TMenuItem>("TMenuItem");
        RegisterClassOf<TLabel>("TLabel");
        RegisterClassOf<TShape>("TShape");
        RegisterClassOf<TImage>("TImage");
        RegisterClassOf<TPanel>("TPanel");
        RegisterClassOf<TEdit>("TEdit");
        RegisterClassOf<TImageList>("TImageList");
    });
}

}  // namespace forms
