#pragma once

#include "net/AddressRange.h"

#include <QString>
#include <QStringList>

namespace vrxctl {

// The window speaks Chinese; vrxctl says the same things in English. A message the table does not
// know is passed through unchanged (socket failures have their own wording: SocketErrorText.h).
QString InEnglish(const QString &message);

// The messages of a failed check, in order, joined by "; ".
QString InEnglish(const QStringList &messages);

// What is wrong with scan ranges, in English.
QString RangeProblemText(const vrx::AddressList &list);

} // namespace vrxctl
