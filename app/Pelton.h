#pragma once
// Character 1, Pelton: the main window. Its create handler builds the rest of the program.
#include "app/CharacterForm.h"
#include "app/DesktopWatch.h"
#include "app/SessionWatch.h"

namespace kurun {

class TForm1 : public TCharacterForm {
public:
    explicit TForm1(TComponent* owner);
    std::string ClassName() const override { return "TForm1"; }
    void FormCreate(TObject* sender);

    TDesktopWatch* DesktopWatch1 = nullptr;
    TSessionWatch* SessionWatch1 = nullptr;
};

extern TForm1* Form1;

}  // namespace kurun
