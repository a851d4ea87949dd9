#pragma once

#include <QString>

namespace vrx {

// True for the empty address template "   .   .   .   " (three blanks per group): an address field
// holding exactly this text gets its caret at the start when it receives the focus.
bool IsCaretTemplate(const QString &text);

} // namespace vrx
