#include "link/SystemErrors.h"

#include <cerrno>
#include <cstring>

namespace vrx {

QAbstractSocket::SocketError QtConditionOfSystemError(int number) {
    switch (number) {
    case EACCES:
    case EPERM:
        return QAbstractSocket::SocketAccessError;
    case ENETUNREACH:
    case EHOSTUNREACH:
    case EHOSTDOWN:
    case ENETDOWN:
        return QAbstractSocket::NetworkError;
    case EMSGSIZE:
        return QAbstractSocket::DatagramTooLargeError;
    case EADDRNOTAVAIL:
        return QAbstractSocket::SocketAddressNotAvailableError;
    case EADDRINUSE:
        return QAbstractSocket::AddressInUseError;
    case ECONNREFUSED:
        return QAbstractSocket::ConnectionRefusedError;
    case ENOMEM:
    case ENOBUFS:
        return QAbstractSocket::SocketResourceError;
    default:
        return QAbstractSocket::UnknownSocketError;
    }
}

QString SystemErrorText(int number) {
    return QString::fromLocal8Bit(std::strerror(number));
}

QString BindRefusedReason(int port) {
    if (port <= 0 || port >= 1024)
        return QString();
    return QStringLiteral("端口 %1 小于1024，绑定它需要管理员权限（root）或 cap_net_bind_service 能力。")
        .arg(port);
}

} // namespace vrx
