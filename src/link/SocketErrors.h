#pragma once

#include "link/LocalCards.h"

#include <QList>
#include <QString>

#include <utility>

namespace vrx {

// The five socket conditions the operator is told about in fixed words.
namespace SocketErrorNumber {
constexpr int InvalidArgument = 10014;
constexpr int AddressInUse = 10048;
constexpr int ConnectionReset = 10054;
constexpr int WrongState = 40006;
constexpr int OutOfRange = 40014;
} // namespace SocketErrorNumber

// Where a socket failure happened, so that its words can name the address and port involved.
struct SocketErrorContext {
    enum Operation { Binding, Sending, Receiving } operation = Binding;
    QString address; // local address when binding, destination when sending, empty when receiving
    int port = 0;
};

// What went wrong, as a value: the words for it are the front end's (src/words).
enum class SocketFault {
    Described,      // nothing typed: `description` says it (a stand-in's or a test's failure)
    PortOutOfRange, // `portName` (LocalPort, RemotePort) `context.port` outside lowestPort-65535
    AlreadyBound,   // the socket is bound to context.address:port already
    LocalNotIPv4,   // the local address text context.address is no IPv4 address; `cards` listed
    LocalNotHere,   // this computer has no address context.address; `cards` listed
    NotBound,       // a send before the socket is bound
    NoRemoteHost,   // a send without a reader address
    RemoteNotIPv4,  // the reader address text context.address is no IPv4 address
    RemoteIsZero,   // a send to 0.0.0.0
    NoRoute,        // no card or route reaches context.address (and moreAddresses others); `cards`
    AddressInUse,   // the system's conditions from here on, during context.operation
    InvalidArgument,
    ConnectionReset,
    WrongState,
    AccessDenied, // bindRefusal says why, when the system has a reason beyond a missing permission
    AddressNotAvailable,
    MessageTooLong,
    NetworkUnreachable,
    NoBufferSpace,
    TimedOut,
    Unclassified,
};

// What the system said, by condition rather than by its own number, so that the words need no
// system header and one table words Linux and Windows alike (SystemErrors*.cpp map the numbers).
enum class SystemCondition : quint8 {
    None, // no system number is known
    Other,
    NotPermitted,
    AccessDenied,
    InvalidArgument,
    WouldBlock,
    OutOfMemory,
    BadDescriptor,
    MessageTooLong,
    AddressInUse,
    AddressNotAvailable,
    NetworkDown,
    NetworkUnreachable,
    NoBufferSpace,
    TimedOut,
    ConnectionRefused,
    ConnectionReset,
    HostDown,
    HostUnreachable,
};

// Why the system refused to bind a port, where it has a reason beyond a missing permission.
enum class BindRefusal : quint8 {
    None,
    PrivilegedPort, // Linux: below 1024, needs root or the cap_net_bind_service capability
    HeldOrReserved, // Windows: another program holds it for itself, or the system reserves its range
};

struct SocketError {
    SocketError() = default;
    // A failure known only by its number and a text (a stand-in's, a test's).
    SocketError(int number, QString description)
        : number(number)
        , description(std::move(description)) {}

    int number = 0;      // the socket control's number
    QString description; // only for SocketFault::Described; every other fault is worded from its values
    SocketFault fault = SocketFault::Described;
    SocketErrorContext context;
    int systemNumber = 0; // the system's error number (errno, WSAGetLastError()) when one is known
    SystemCondition systemCondition = SystemCondition::None; // and what it means, for its words
    BindRefusal bindRefusal = BindRefusal::None;             // AccessDenied while binding
    QString portName;                                        // PortOutOfRange: which port
    int lowestPort = 0;                                      // PortOutOfRange: the lowest allowed
    QList<LocalCard> cards; // LocalNotIPv4, LocalNotHere, NoRoute: this computer's addresses
    int moreAddresses = 0;  // NoRoute: how many other addresses cannot be reached either

    static SocketError Of(int number, SocketFault fault, SocketErrorContext context = {}) {
        SocketError error;
        error.number = number;
        error.fault = fault;
        error.context = std::move(context);
        return error;
    }
};

} // namespace vrx
