#include "fields/CaretTemplate.h"

namespace vrx {

bool IsCaretTemplate(const QString &text) {
    return text == QLatin1String("   .   .   .   ");
}

} // namespace vrx
