#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QtGlobal>

namespace vrx {

// What the socket layer asks of the operating system past QUdpSocket, one implementation per system
// (DatagramSystemLinux.cpp, DatagramSystemWindows.cpp). Descriptors are QUdpSocket's own; error numbers
// are the system's (errno on Linux, WSAGetLastError() on Windows) and are described by
// SocketErrorOfSystem.
namespace DatagramSystem {

// Called once on every new bound UDP socket. On Windows it stops an ICMP port unreachable from
// failing the next receive (SIO_UDP_CONNRESET off), so one silent address cannot end a scan.
void PrepareSocket(qintptr descriptor);

// Tells apart the network namespaces of Linux, where the same address and port in two of them are two
// ports (a test may move its thread into an emulated computer). 0 where the system has none.
quint64 NetworkScope();

// Sends one datagram without waiting, from `from` when it is not null (through a socket bound to every
// address). 0 when the system took the datagram whole, otherwise the system's error number.
int SendNow(qintptr descriptor, const QHostAddress *from, const QByteArray &data, quint32 host, quint16 port);

// The many-reader engine's send, which tells back-pressure from failure and does not take a datagram
// that the system dropped on its way out for sent.
struct SendAttempt {
    enum Outcome {
        Sent,
        Busy,        // the send buffer is full: nothing was sent
        Dropped,     // taken, but dropped for want of room (neighbour table, card queue)
        Interrupted, // an error an ICMP message left on the socket came first
        Failed,
    } outcome = Sent;
    int number = 0; // the system's error number, for Interrupted and Failed
};
SendAttempt TrySend(qintptr descriptor, const QHostAddress *from, const QByteArray &data, quint32 host,
                    quint16 port);

// Bytes of datagrams sent but still held by the system for this socket; 0 where it cannot tell.
int SendQueueBytes(qintptr descriptor);
// The send buffer's size as the system accounts it; 0 when it cannot be read.
int SendBufferSize(qintptr descriptor);
// Asks for a send buffer of this many bytes, beyond the system's limit when the process may.
void SetSendBufferSize(qintptr descriptor, int bytes);

} // namespace DatagramSystem

} // namespace vrx
