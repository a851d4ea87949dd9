#pragma once

#include <QAbstractSocket>
#include <QString>

namespace vrx {

// The operating system's side of a socket failure, one implementation per system (SystemErrorsLinux.cpp,
// SystemErrorsWindows.cpp). A number is the system's own: errno on Linux, WSAGetLastError() on Windows.

// The Qt condition of a failed system call, so that one table words both.
QAbstractSocket::SocketError QtConditionOfSystemError(int number);

// The system's own text for the number (strerror, FormatMessage), without a trailing line break.
QString SystemErrorText(int number);

// Why binding this port was refused when the system says access denied, in the window's words; empty
// when the system gives no reason beyond the lack of a permission. Linux: a port below 1024 needs root
// or the cap_net_bind_service capability. Windows: no port needs a privilege, so another program holds
// the port for itself or the port lies in a range the system reserves.
QString BindRefusedReason(int port);

} // namespace vrx
