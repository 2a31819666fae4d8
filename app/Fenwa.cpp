#include "app/Fenwa.h"

namespace kurun {

TForm4* Form4 = nullptr;

}  // namespace kurun
