#pragma once

#include "link/SocketErrors.h"

#include <QString>

namespace vrxctl {

// A socket failure in vrxctl's words: the shared words of its values (English, since vrxctl speaks
// it), with vrxctl's advice where there is some (another --local, the capability for port 1000, the
// addresses this computer has).
QString SocketErrorText(const vrx::SocketError &error);

// "socket error 10048: address in use: ...", the one form in which every command reports a failure.
QString SocketFailureText(const vrx::SocketError &error);

} // namespace vrxctl
