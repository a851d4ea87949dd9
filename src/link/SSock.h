#pragma once

#include "link/SocketErrors.h"
#include "link/SocketException.h"

#include <QBasicTimer>
#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

#include <optional>

class QNetworkDatagram;

namespace vrx {

class SharedPort;

// The window's UDP socket control: bound to one local IPv4 address and port, sending whole
// datagrams to RemoteHost:RemotePort, delivering every received datagram with its sender's dotted
// text on the owner's thread.
//
// Error style: a failing operation throws vrx::SocketException carrying a SocketError (the socket
// control's number and what went wrong, as values the front end words); the operation handlers catch it at
// their own level. A failure while receiving cannot be thrown to anyone, so it is emitted as Error()
// (a refused/reset datagram is number 10054, which the arrival handler passes silently).
//
// The socket is never connected: an ICMP error on a connected UDP socket would stop delivery.
// Each readiness signal takes at most MaxDatagramsPerPass datagrams so that a flood of datagrams
// cannot starve the window; the rest are taken on the next pass of the event loop, which reports
// the socket again.
//
// Every operation closes the socket and binds it again to the same address a moment later. Close
// therefore keeps the bound socket aside until the thread next processes events: a Bind to the same
// address and port before then takes it back and throws away whatever was queued, just as a fresh
// socket would start empty, and saves a dozen system calls. Otherwise the socket is released then.
//
// Sockets of this program on the same local address and port share one kernel socket (SharedPort.h):
// the window's socket and a scan's never lock each other out of port 1000, and each sees every
// datagram that arrives after its Bind.
class SSock : public QObject {
    Q_OBJECT

public:
    enum StateValue { Closed = 0, Open = 1 };
    static constexpr int MaxDatagramsPerPass = 64;

    explicit SSock(QObject *parent = nullptr);
    ~SSock() override;

    // 0 when closed, 1 when bound.
    int State() const;
    // Releases the socket: State() is 0 at once, nothing more is delivered, and this socket can be bound
    // again at once; other programs can bind the port once the thread has processed its events (and this
    // program's other sockets on it have closed). Closing a closed socket is harmless.
    void Close();

    QString RemoteHost() const { return remoteHost_; }
    void setRemoteHost(const QString &host) { remoteHost_ = host; }
    int RemotePort() const { return remotePort_; }
    // Throws 40014 outside 0..65535.
    void setRemotePort(int port);
    int LocalPort() const { return localPort_; }
    // Throws 40014 outside 0..65535.
    void setLocalPort(int port);

    // Binds the given IPv4 address (dotted text, blanks around it ignored) and port; an empty text, or
    // blanks only, binds every local IPv4 address (0.0.0.0). Sets LocalPort. Senders are reported by
    // their dotted IPv4 text either way.
    // Throws: 40014 for a port outside 1..65535; 40006 when already bound; 10049 when the text is neither
    // empty nor an IPv4 address, or this machine has no such address (never falls back to every
    // interface); 10048 when another program holds the port; 10013 when the port needs privilege.
    // Another socket of this thread on the same port is no obstacle: they share it (SharedPort.h).
    void Bind(int localPort, const QString &localAddressText);

    // Sends the bytes as one datagram to RemoteHost:RemotePort. Throws 40006 when not bound or no
    // RemoteHost is set, 10014 when RemoteHost is not an IPv4 address, 10049 for 0.0.0.0,
    // 40014 when RemotePort is 0, otherwise the mapped failure of the send.
    void SendData(const QByteArray &data);

    // What became of a datagram handed to TrySendData.
    enum class SendOutcome {
        Sent,
        // The send buffer is full (it holds, among others, the datagrams that wait for a neighbour's
        // ARP): nothing was sent; send it again once ReadyToSend says there is room (NotifyWhenWritable).
        Busy,
        // The kernel took the datagram but dropped it for want of room: its neighbour table has no room
        // for a new neighbour, or the card's queue is full. Send it again a moment later.
        Dropped,
        // Nothing was sent: an error that an ICMP message (nobody at an address, nobody answering its
        // ARP) left on the socket came first, as it can while such messages pour in. Send it again a
        // moment later; a missing route gives these errors every time (*error says which).
        Interrupted,
        Failed, // *error says why
    };
    // The many-reader engine's send: never throws, and tells back-pressure from failure. A datagram that
    // the kernel drops on its way out is reported, not taken for sent, so that no query is silently lost.
    SendOutcome TrySendData(const QByteArray &data, quint32 host, quint16 port, SocketError *error = nullptr);
    // Bytes of datagrams sent but still held by the kernel for this socket (waiting for ARP, queued on
    // the card): what one datagram costs the send buffer can be measured with it.
    int SendQueueBytes() const;
    // The send buffer's size as the kernel accounts it (it doubles what is asked for); 0 when closed.
    int SendBufferSize() const;
    // Asks for a send buffer of this many bytes (the kernel doubles it); beyond the system's limit
    // (net.core.wmem_max) when the process may. What was granted is read back with SendBufferSize().
    void SetSendBufferSize(int bytes);
    // Emits ReadyToSend once, as soon as the send buffer has room again (at once when it has). The send
    // buffer and its options belong to the kernel socket, which this program's sockets on the same port
    // share.
    void NotifyWhenWritable();

    // The computer's primary address as dotted text.
    QString LocalIP() const;
    // The address the socket is bound to ("" when closed).
    QString BoundAddress() const;

    // Dotted IPv4 text, or nothing when the text is not exactly four decimal groups of 0..255.
    static std::optional<QHostAddress> ParseIPv4(const QString &text);
    // Plain dotted text of an address, an IPv4-mapped IPv6 address included.
    static QString DottedText(const QHostAddress &address);

signals:
    // One received datagram, whole, the dotted text of its sender (GetData + RemoteHostIP) and the
    // port it came from.
    void DataArrival(const QByteArray &datagram, const QString &sender, quint16 senderPort);
    // A failure while receiving.
    void Error(const vrx::SocketError &error);
    // The send buffer has room again (after NotifyWhenWritable).
    void ReadyToSend();

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    friend class SharedPort;

    // A datagram the shared port offers this socket.
    void deliver(const QNetworkDatagram &datagram);
    // Takes the port kept aside by Close back when it is bound to this address and port.
    bool takeBackKeptSocket(const QHostAddress &address, int port);
    void releaseKeptSocket();

    SharedPort *port_ = nullptr; // held while bound, and while kept
    bool kept_ = false;          // closed, but still holding the port until releaseTimer_ fires
    QBasicTimer releaseTimer_;
    QString remoteHost_;
    int remotePort_ = 0;
    int localPort_ = 0;
};

} // namespace vrx
