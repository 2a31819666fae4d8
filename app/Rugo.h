#pragma once
// Character 3, Rugo.
#include "app/CharacterForm.h"

namespace kurun {

class TForm3 : public TCharacterForm {
public:
    explicit TForm3(TComponent* owner) : TCharacterForm(owner, 3, L"TFORM3") {}
    std::string ClassName() const override { return "TForm3"; }
};

extern TForm3* Form3;

}  // namespace kurun
