#pragma once

#include "link/LocalCards.h"
#include "link/SocketErrors.h"

#include <QAbstractSocket>
#include <QString>

namespace vrx {

// Numbers for conditions outside the five that ShowSocketError names in fixed words; they take the
// Windows Sockets codes of the same conditions and are reported by their description.
namespace SocketErrorNumber {
constexpr int AccessDenied = 10013;
constexpr int MessageTooLong = 10040;
constexpr int AddressNotAvailable = 10049;
constexpr int NetworkUnreachable = 10051;
constexpr int NoBufferSpace = 10055;
constexpr int TimedOut = 10060;
constexpr int Unclassified = 10000; // any other failure; its description says what happened
} // namespace SocketErrorNumber

// Where a Qt socket failure happened, so the description can name the address and port involved.
struct SocketErrorContext {
    enum Operation { Binding, Sending, Receiving } operation = Binding;
    QString address; // local address when binding, destination when sending, empty when receiving
    int port = 0;
};

// "本机的地址：eth0 198.18.0.1/20，lo 127.0.0.1/8": what the operator may type as 本机IP instead.
QString LocalAddressesText(const QList<LocalCard> &cards);

// Maps a Qt socket failure onto the socket control's numbers (address in use 10048, invalid argument
// 10014, connection refused/reset 10054, wrong state 40006, out of range 40014) and writes a
// description an operator can act on. qtText is QAbstractSocket::errorString(), used as a detail
// unless it is the uninformative "Unknown error". A bind to an address this computer does not have
// lists the computer's addresses (cards) instead, so that the operator can copy one.
SocketError SocketErrorFromQt(QAbstractSocket::SocketError error, const QString &qtText,
                              const SocketErrorContext &context, const QList<LocalCard> &cards = {});

// The failure of a system call made past QUdpSocket (errno, or WSAGetLastError() on Windows), described
// as SocketErrorFromQt describes Qt's.
SocketError SocketErrorOfSystem(int number, const SocketErrorContext &context);

} // namespace vrx
