#pragma once

#include "link/LocalCards.h"
#include "link/SocketErrors.h"

#include <QString>

#include <optional>

namespace vrx {

// A socket failure described from its values, in the spoken language: what was being done, to which
// address and port, what the system said. The window shows it as it stands; vrxctl builds its own
// advice (--local) around the same words.
QString SocketErrorDescription(const SocketError &error);

// The text ShowSocketError puts in its box: the fixed words of the five named numbers, otherwise the
// description; empty when a reset is to pass silently.
std::optional<QString> SocketErrorMessage(const SocketError &error, bool silentReset);

// "本机的地址：eth0 198.18.0.1/20，lo 127.0.0.1/8": what the operator may type as 本机IP instead.
QString LocalAddressesText(const QList<LocalCard> &cards);

// "198.18.1.3:1001", or the port alone where no address is involved.
QString EndpointText(const SocketErrorContext &context);

// What the system said, in words from this program's own table rather than in the process's locale;
// a condition the table lacks goes by the system's number.
QString SystemErrorText(SystemCondition condition, int number);

} // namespace vrx
