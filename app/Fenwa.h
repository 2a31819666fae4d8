#pragma once
// Character 4, Fenwa.
#include "app/CharacterForm.h"

namespace kurun {

class TForm4 : public TCharacterForm {
public:
    explicit TForm4(TComponent* owner) : TCharacterForm(owner, 4, L"TFORM4") {}
    std::string ClassName() const override { return "TForm4"; }
};

extern TForm4* Form4;

}  // namespace kurun
