#pragma once

#include "link/SocketErrors.h"

#include <QString>

namespace vrxctl {

// A socket failure in English. The link layer describes every failure in the window's language; each
// of its descriptions is recognised here and said again in English, with vrxctl's advice where there
// is some (another --local, the capability for port 1000, the addresses this computer has). A
// description that is not recognised is replaced by what its number means, so that no Chinese reaches
// the terminal; SocketErrorIsRecognised tells the two apart for the tests.
QString SocketErrorText(const vrx::SocketError &error);
bool SocketErrorIsRecognised(const vrx::SocketError &error);

// "socket error 10048: address in use: ...", the one form in which every command reports a failure.
QString SocketFailureText(const vrx::SocketError &error);

} // namespace vrxctl
