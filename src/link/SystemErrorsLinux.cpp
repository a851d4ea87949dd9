#include "link/SystemErrors.h"

#include <cerrno>

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

SystemCondition ConditionOfSystemError(int number) {
    switch (number) {
    case 0:
        return SystemCondition::None;
    case EPERM:
        return SystemCondition::NotPermitted;
    case EACCES:
        return SystemCondition::AccessDenied;
    case EINVAL:
        return SystemCondition::InvalidArgument;
    case EAGAIN:
        return SystemCondition::WouldBlock;
    case ENOMEM:
        return SystemCondition::OutOfMemory;
    case EBADF:
        return SystemCondition::BadDescriptor;
    case EMSGSIZE:
        return SystemCondition::MessageTooLong;
    case EADDRINUSE:
        return SystemCondition::AddressInUse;
    case EADDRNOTAVAIL:
        return SystemCondition::AddressNotAvailable;
    case ENETDOWN:
        return SystemCondition::NetworkDown;
    case ENETUNREACH:
        return SystemCondition::NetworkUnreachable;
    case ENOBUFS:
        return SystemCondition::NoBufferSpace;
    case ETIMEDOUT:
        return SystemCondition::TimedOut;
    case ECONNREFUSED:
        return SystemCondition::ConnectionRefused;
    case ECONNRESET:
        return SystemCondition::ConnectionReset;
    case EHOSTDOWN:
        return SystemCondition::HostDown;
    case EHOSTUNREACH:
        return SystemCondition::HostUnreachable;
    default:
        return SystemCondition::Other;
    }
}

BindRefusal BindRefusalOf(int port) {
    return port > 0 && port < 1024 ? BindRefusal::PrivilegedPort : BindRefusal::None;
}

} // namespace vrx
