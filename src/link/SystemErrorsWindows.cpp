#include "link/SystemErrors.h"

// Winsock before windows.h, which would otherwise bring the old winsock.h.
#include <winsock2.h>

#include <windows.h>

namespace vrx {

QAbstractSocket::SocketError QtConditionOfSystemError(int number) {
    switch (number) {
    case WSAEACCES:
        return QAbstractSocket::SocketAccessError;
    case WSAENETUNREACH:
    case WSAEHOSTUNREACH:
    case WSAEHOSTDOWN:
    case WSAENETDOWN:
        return QAbstractSocket::NetworkError;
    case WSAEMSGSIZE:
        return QAbstractSocket::DatagramTooLargeError;
    case WSAEADDRNOTAVAIL:
        return QAbstractSocket::SocketAddressNotAvailableError;
    case WSAEADDRINUSE:
        return QAbstractSocket::AddressInUseError;
    case WSAECONNREFUSED:
    case WSAECONNRESET:
        return QAbstractSocket::ConnectionRefusedError;
    case WSAENOBUFS:
    case WSA_NOT_ENOUGH_MEMORY:
        return QAbstractSocket::SocketResourceError;
    default:
        return QAbstractSocket::UnknownSocketError;
    }
}

QString SystemErrorText(int number) {
    wchar_t *text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        DWORD(number), 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    QString result = length ? QString::fromWCharArray(text, int(length)).trimmed()
                            : QStringLiteral("Windows error %1").arg(number);
    ::LocalFree(text);
    return result;
}

QString BindRefusedReason(int port) {
    return QStringLiteral("端口 %1 已被另一个程序独占，或者在系统保留的端口范围内（netsh interface ipv4 show "
                          "excludedportrange protocol=udp）。")
        .arg(port);
}

} // namespace vrx
