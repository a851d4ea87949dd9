#pragma once

#include <QString>

namespace vrxctl {

// The text with every control character written as an escape (\n, \r, \t, \0 or \xHH), so that a cell
// or argument holding one shows on one line of a listing or message and sends nothing raw to the
// terminal.
QString EscapedText(const QString &text);

} // namespace vrxctl
