#include "app/Melka.h"

namespace kurun {

TForm2* Form2 = nullptr;

}  // namespace kurun
