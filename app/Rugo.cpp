#include "app/Rugo.h"

namespace kurun {

TForm3* Form3 = nullptr;

}  // namespace kurun
