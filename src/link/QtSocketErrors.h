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

// Maps a Qt socket failure onto the socket control's numbers (address in use 10048, invalid argument
// 10014, connection refused/reset 10054, wrong state 40006, out of range 40014) and its fault. A bind
// to an address this computer does not have carries the computer's addresses (cards), so that the
// words can list them for the operator to copy one. systemNumber is the system's own error number
// (errno, WSAGetLastError()) when it is known.
SocketError SocketErrorFromQt(QAbstractSocket::SocketError error, const SocketErrorContext &context,
                              const QList<LocalCard> &cards = {}, int systemNumber = 0);

// The failure of a system call made past QUdpSocket (errno, or WSAGetLastError() on Windows), made
// as SocketErrorFromQt makes Qt's.
SocketError SocketErrorOfSystem(int number, const SocketErrorContext &context);

} // namespace vrx
