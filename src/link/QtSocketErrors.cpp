#include "link/QtSocketErrors.h"

#include "link/SystemErrors.h"

namespace vrx {

SocketError SocketErrorFromQt(QAbstractSocket::SocketError error, const SocketErrorContext &context,
                              const QList<LocalCard> &cards, int systemNumber) {
    const bool binding = context.operation == SocketErrorContext::Binding;
    SocketError made = SocketError::Of(SocketErrorNumber::Unclassified, SocketFault::Unclassified, context);
    if (systemNumber != 0) {
        made.systemNumber = systemNumber;
        made.systemCondition = ConditionOfSystemError(systemNumber);
    }
    const auto as = [&made](int number, SocketFault fault) {
        made.number = number;
        made.fault = fault;
        return made;
    };

    switch (error) {
    case QAbstractSocket::AddressInUseError:
        return as(SocketErrorNumber::AddressInUse, SocketFault::AddressInUse);
    case QAbstractSocket::UnsupportedSocketOperationError:
        return as(SocketErrorNumber::InvalidArgument, SocketFault::InvalidArgument);
    case QAbstractSocket::ConnectionRefusedError:
    case QAbstractSocket::RemoteHostClosedError:
        return as(SocketErrorNumber::ConnectionReset, SocketFault::ConnectionReset);
    case QAbstractSocket::OperationError:
        return as(SocketErrorNumber::WrongState, SocketFault::WrongState);
    case QAbstractSocket::SocketAccessError:
        if (binding)
            made.bindRefusal = BindRefusalOf(context.port);
        return as(SocketErrorNumber::AccessDenied, SocketFault::AccessDenied);
    case QAbstractSocket::SocketAddressNotAvailableError:
        if (binding) {
            made.cards = cards; // the words list them, so that the operator can copy one
            return as(SocketErrorNumber::AddressNotAvailable, SocketFault::LocalNotHere);
        }
        return as(SocketErrorNumber::AddressNotAvailable, SocketFault::AddressNotAvailable);
    case QAbstractSocket::DatagramTooLargeError:
        return as(SocketErrorNumber::MessageTooLong, SocketFault::MessageTooLong);
    case QAbstractSocket::NetworkError:
        return as(SocketErrorNumber::NetworkUnreachable, SocketFault::NetworkUnreachable);
    case QAbstractSocket::SocketResourceError:
        return as(SocketErrorNumber::NoBufferSpace, SocketFault::NoBufferSpace);
    case QAbstractSocket::SocketTimeoutError:
        return as(SocketErrorNumber::TimedOut, SocketFault::TimedOut);
    default:
        break;
    }
    return made;
}

SocketError SocketErrorOfSystem(int number, const SocketErrorContext &context) {
    return SocketErrorFromQt(QtConditionOfSystemError(number), context, {}, number);
}

} // namespace vrx
