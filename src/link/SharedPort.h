#pragma once

#include "link/DatagramSystem.h"
#include "link/SocketErrors.h"

#include <QBasicTimer>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QObject>
#include <QPointer>

#include <deque>
#include <vector>

class QSocketNotifier;
class QUdpSocket;

namespace vrx {

class SSock;

// One kernel socket for every SSock of this thread that binds the same local port, so that the
// window's socket and a running scan or discovery on the same address never lock each other out.
//
// How the sockets on port 1000 are arranged:
// - Every SSock that binds (address, port) in this thread and network namespace becomes a holder of
//   the one SharedPort for it; only the first makes a kernel socket, bound without address sharing so
//   that another program still cannot bind the port and split the replies.
// - Every datagram the kernel socket receives is offered to each holder that is open, and each
//   classifies it by its own rules, as it would on a socket of its own. A holder that binds while
//   others hold the port sees only what arrives after its bind, as a fresh socket would: what the kernel
//   had queued by then is moved aside and offered to the earlier holders only.
// - A closed holder keeps its place until its thread next processes events (SSock's cheap close and
//   bind again); the kernel socket is released when its last holder lets go.
// - Every local address beside every local address (0.0.0.0): the kernel refuses a specific address
//   beside the wildcard on one port without sharing. So a wildcard port serves the specific holders
//   too, each seeing only the datagrams sent to its own address and sending from that address; a
//   wildcard bind that finds specific ports moves their holders over to one new wildcard socket.
// The port is per thread: sockets of other threads bind ports of their own, as before.
class SharedPort final : public QObject {
    Q_OBJECT

public:
    // Makes `holder` a holder of (address, port), open at once. Throws SocketException as SSock::Bind
    // describes: 10048 when another program holds the port, 10049 for an address this computer lacks.
    static SharedPort *Join(SSock *holder, const QHostAddress &address, quint16 port);

    // Stops offering datagrams to the holder; it keeps its place.
    void pause(SSock *holder);
    // Offers datagrams again, only those that arrive from now on. False when a flood keeps the queue
    // filling while the holder is the port's only one: a fresh socket is then the sure way to start
    // empty, so the caller leaves and joins anew.
    bool resume(SSock *holder);
    // The holder lets go; the last one releases the kernel socket at once.
    void leave(SSock *holder);

    // Sends one datagram from the holder's own address. False on failure, described by *error.
    bool send(const SSock *holder, const QByteArray &data, const QHostAddress &to, quint16 toPort,
              SocketError *error);

    // Sends from the holder's own address past QUdpSocket, without waiting: 0 when the system took the
    // datagram whole, otherwise the system's error number.
    int sendNow(const SSock *holder, const QByteArray &data, quint32 host, quint16 port);
    // The many-reader engine's send from the holder's own address (DatagramSystem::TrySend).
    DatagramSystem::SendAttempt trySend(const SSock *holder, const QByteArray &data, quint32 host,
                                        quint16 port);
    // Emits the holder's ReadyToSend once the kernel socket's send buffer has room (at once when it has).
    void notifyWhenWritable(SSock *holder);

    // The local address a holder is bound to (its own, also on a wildcard port).
    QHostAddress addressOf(const SSock *holder) const;
    quint16 port() const { return m_port; }
    // The kernel socket's descriptor, for options that concern every holder alike.
    qintptr descriptor() const;

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    struct Holder {
        SSock *socket = nullptr; // a holder that is destroyed leaves first
        QHostAddress address;    // the holder's own; it sees only datagrams to it on a wildcard port
        quint64 joinedAt = 0;    // the first datagram number it is offered
        bool open = true;
    };
    struct Queued {
        QNetworkDatagram datagram;
        quint64 number = 0;
    };

    SharedPort(quint64 netNamespace, const QHostAddress &address, quint16 port);
    ~SharedPort() override;

    static SharedPort *Find(quint64 netNamespace, const QHostAddress &address, quint16 port);
    static SharedPort *Widen(quint64 netNamespace, quint16 port);
    void bindKernelSocket(); // throws
    void add(SSock *holder, const QHostAddress &address);
    Holder *holderOf(const SSock *socket);
    const Holder *holderOf(const SSock *socket) const;
    bool anyOpenHolderBut(const SSock *socket) const;
    bool wildcard() const;
    bool wants(const Holder &holder, const Queued &queued) const;
    // Moves what the kernel has queued aside for the holders open now; at most `most` datagrams.
    void setAside(int most);
    int discardPending(int most);
    void takePendingDatagrams();
    QNetworkDatagram readAfterEmptyReport();
    void offer(const Queued &queued);
    void offerError(const SocketError &error);
    void retire();
    void armWriteNotifier();
    void writable();
    // Closes a report; deletes the port later when it was retired meanwhile. False when it was.
    bool endReport();

    const quint64 m_netNamespace;
    const QHostAddress m_address;
    const quint16 m_port;
    QUdpSocket *m_socket = nullptr;
    std::vector<Holder> m_holders;
    std::deque<Queued> m_setAside;
    QBasicTimer m_setAsideTimer;           // offers what was set aside on the next pass of the event loop
    QSocketNotifier *m_writable = nullptr; // one for the kernel socket, whoever waits
    std::vector<QPointer<SSock>> m_waitingRoom; // holders waiting for room in the send buffer
    quint64 m_nextNumber = 0;
    // Depth of reports to the holders on the stack (datagrams, errors, room to send): a handler may let go
    // of the last holder, and the port must outlive the report.
    int m_reporting = 0;
    bool m_retired = false;
    SharedPort *m_next = nullptr; // this thread's ports form a list
};

} // namespace vrx
