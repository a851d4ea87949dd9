#pragma once

#include "link/SocketErrors.h"

#include <QAbstractSocket>

namespace vrx {

// The operating system's side of a socket failure, one implementation per system (SystemErrorsLinux.cpp,
// SystemErrorsWindows.cpp). A number is the system's own: errno on Linux, WSAGetLastError() on Windows.
// Nothing here is worded: the front ends word the conditions in their own language (src/words), never
// in the process's locale.

// The Qt condition of a failed system call, so that one table makes both into a SocketError.
QAbstractSocket::SocketError QtConditionOfSystemError(int number);

// What the number means, for its words.
SystemCondition ConditionOfSystemError(int number);

// Why binding this port was refused when the system says access denied; None when the system gives
// no reason beyond the lack of a permission. Linux: a port below 1024 needs root or the
// cap_net_bind_service capability. Windows: no port needs a privilege, so another program holds the
// port for itself or the port lies in a range the system reserves.
BindRefusal BindRefusalOf(int port);

} // namespace vrx
