#include "fields/KeyFilter.h"

#include "fields/HexText.h"

namespace vrx {

bool IsKeyCharAccepted(char16_t code) {
    // The digits typed are the ones the key frame reads.
    return HexDigitValue(code) >= 0 || code == 8;
}

} // namespace vrx
