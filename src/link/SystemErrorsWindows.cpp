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

SystemCondition ConditionOfSystemError(int number) {
    switch (number) {
    case 0:
        return SystemCondition::None;
    case WSAEACCES:
        return SystemCondition::AccessDenied;
    case WSAEINVAL:
        return SystemCondition::InvalidArgument;
    case WSAEWOULDBLOCK:
        return SystemCondition::WouldBlock;
    case WSA_NOT_ENOUGH_MEMORY:
        return SystemCondition::OutOfMemory;
    case WSAENOTSOCK:
    case WSAEBADF:
        return SystemCondition::BadDescriptor;
    case WSAEMSGSIZE:
        return SystemCondition::MessageTooLong;
    case WSAEADDRINUSE:
        return SystemCondition::AddressInUse;
    case WSAEADDRNOTAVAIL:
        return SystemCondition::AddressNotAvailable;
    case WSAENETDOWN:
        return SystemCondition::NetworkDown;
    case WSAENETUNREACH:
        return SystemCondition::NetworkUnreachable;
    case WSAENOBUFS:
        return SystemCondition::NoBufferSpace;
    case WSAETIMEDOUT:
        return SystemCondition::TimedOut;
    case WSAECONNREFUSED:
        return SystemCondition::ConnectionRefused;
    case WSAECONNRESET:
        return SystemCondition::ConnectionReset;
    case WSAEHOSTDOWN:
        return SystemCondition::HostDown;
    case WSAEHOSTUNREACH:
        return SystemCondition::HostUnreachable;
    default:
        return SystemCondition::Other;
    }
}

BindRefusal BindRefusalOf(int) {
    return BindRefusal::HeldOrReserved;
}

} // namespace vrx
