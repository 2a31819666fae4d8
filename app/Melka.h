#pragma once
// Character 2, Melka.
#include "app/CharacterForm.h"

namespace kurun {

class TForm2 : public TCharacterForm {
public:
    explicit TForm2(TComponent* owner) : TCharacterForm(owner, 2, L"TFORM2") {}
    std::string ClassName() const override { return "TForm2"; }
};

extern TForm2* Form2;

}  // namespace kurun
