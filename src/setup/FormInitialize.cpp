#include "setup/FormInitialize.h"

namespace vrx {

// Placeholder until the component installer lands.
void Form_Initialize() {}

} // namespace vrx
