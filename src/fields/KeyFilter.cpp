#include "fields/KeyFilter.h"

namespace vrx {

bool IsKeyCharAccepted(char16_t code) {
    return (code >= u'0' && code <= u'9') || (code >= u'A' && code <= u'F') ||
           (code >= u'a' && code <= u'f') || code == 8;
}

} // namespace vrx
