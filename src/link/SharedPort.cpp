#include "link/SharedPort.h"

#include "link/DatagramSystem.h"
#include "link/QtSocketErrors.h"
#include "link/SSock.h"
#include "link/SocketException.h"

#include <QNetworkProxy>
#include <QSocketNotifier>
#include <QTimerEvent>
#include <QUdpSocket>
#include <QVarLengthArray>

#include <algorithm>

namespace vrx {

namespace {

// The ports of this thread. A plain pointer: it needs no destructor, so a socket destroyed late in the
// thread's life still finds a valid list.
thread_local SharedPort *tFirstPort = nullptr;

// What may be moved aside for earlier holders when one more binds; beyond it the oldest are dropped,
// as a kernel queue that runs over drops them.
constexpr int MostSetAsideAtOnce = 4 * SSock::MaxDatagramsPerPass;
constexpr size_t MostSetAside = 16 * SSock::MaxDatagramsPerPass;

bool IsWildcard(const QHostAddress &address) {
    return address == QHostAddress::AnyIPv4; // asked per datagram: no address is made for it
}

bool SameIPv4(const QHostAddress &a, const QHostAddress &b) {
    return a.toIPv4Address() == b.toIPv4Address();
}

SocketError BindError(QUdpSocket &socket, const QHostAddress &address, quint16 port) {
    const QAbstractSocket::SocketError error = socket.error();
    // The description of an address this computer lacks names the addresses it has.
    return SocketErrorFromQt(error, {SocketErrorContext::Binding, address.toString(), port},
                             error == QAbstractSocket::SocketAddressNotAvailableError ? LocalCards()
                                                                                      : QList<LocalCard>());
}

// A holder of a specific address on a wildcard port binds nothing itself: whether the address is one
// of this computer's is asked by binding it to a port the system chooses.
void CheckLocalAddress(const QHostAddress &address, quint16 port) {
    QUdpSocket probe;
    probe.setProxy(QNetworkProxy::NoProxy);
    if (!probe.bind(address, 0, QAbstractSocket::DontShareAddress))
        throw SocketException(BindError(probe, address, port));
}

} // namespace

SharedPort::SharedPort(quint64 netNamespace, const QHostAddress &address, quint16 port)
    : m_netNamespace(netNamespace)
    , m_address(address)
    , m_port(port)
    , m_next(tFirstPort) {
    tFirstPort = this;
}

SharedPort::~SharedPort() {
    retire();
}

SharedPort *SharedPort::Find(quint64 netNamespace, const QHostAddress &address, quint16 port) {
    for (SharedPort *found = tFirstPort; found; found = found->m_next)
        if (found->m_netNamespace == netNamespace && found->m_port == port &&
            SameIPv4(found->m_address, address))
            return found;
    return nullptr;
}

SharedPort *SharedPort::Join(SSock *holder, const QHostAddress &address, quint16 port) {
    const quint64 netNamespace = DatagramSystem::NetworkScope();
    SharedPort *joined = Find(netNamespace, address, port);
    if (!joined && !IsWildcard(address)) {
        joined = Find(netNamespace, QHostAddress(QHostAddress::AnyIPv4), port);
        if (joined)
            CheckLocalAddress(address, port);
    }
    if (!joined && IsWildcard(address))
        joined = Widen(netNamespace, port);
    if (!joined) {
        auto *fresh = new SharedPort(netNamespace, address, port);
        try {
            fresh->bindKernelSocket();
        } catch (...) {
            delete fresh;
            throw;
        }
        joined = fresh;
    }
    joined->add(holder, address);
    return joined;
}

// The kernel will not bind every address beside a specific one on the same port unless both share it,
// which would let another program in as well. So the specific ports of this thread let their kernel
// sockets go for one wildcard socket, which takes their holders with it; what they had queued goes
// over too.
SharedPort *SharedPort::Widen(quint64 netNamespace, quint16 port) {
    std::vector<SharedPort *> specific;
    for (SharedPort *found = tFirstPort; found; found = found->m_next)
        if (found->m_netNamespace == netNamespace && found->m_port == port)
            specific.push_back(found);
    if (specific.empty())
        return nullptr;

    for (SharedPort *narrow : specific) {
        narrow->setAside(MostSetAsideAtOnce);
        delete std::exchange(narrow->m_writable, nullptr); // before its descriptor closes
        narrow->m_socket->abort();
    }
    auto *wide = new SharedPort(netNamespace, QHostAddress(QHostAddress::AnyIPv4), port);
    try {
        wide->bindKernelSocket();
    } catch (...) {
        delete wide;
        // Another program holds some address on this port: the specific ports go on as they were. A
        // handler of the error may let go of the last holder of another of them.
        for (const QPointer<SharedPort> &narrow :
             std::vector<QPointer<SharedPort>>(specific.begin(), specific.end())) {
            if (!narrow)
                continue;
            try {
                narrow->bindKernelSocket();
                narrow->armWriteNotifier(); // for the new descriptor
            } catch (const SocketException &failure) {
                narrow->offerError(failure.error());
            }
        }
        throw;
    }
    for (SharedPort *narrow : specific) {
        std::vector<Holder> holders = std::move(narrow->m_holders);
        narrow->m_holders.clear();
        // What was set aside keeps its order under new numbers; each holder starts at the first
        // datagram it was to be offered, or with what arrives from now on.
        std::vector<bool> started(holders.size(), false);
        for (Queued &queued : narrow->m_setAside) {
            const quint64 number = wide->m_nextNumber++;
            for (size_t at = 0; at < holders.size(); ++at) {
                if (!started[at] && queued.number >= holders[at].joinedAt) {
                    holders[at].joinedAt = number;
                    started[at] = true;
                }
            }
            queued.datagram.setDestination(narrow->m_address, port);
            wide->m_setAside.push_back({std::move(queued.datagram), number});
        }
        for (size_t at = 0; at < holders.size(); ++at) {
            if (!started[at])
                holders[at].joinedAt = wide->m_nextNumber;
            holders[at].socket->port_ = wide;
            wide->m_holders.push_back(std::move(holders[at]));
        }
        for (QPointer<SSock> &waiting : narrow->m_waitingRoom)
            wide->m_waitingRoom.push_back(std::move(waiting));
        narrow->m_waitingRoom.clear();
        narrow->retire();
        if (narrow->m_reporting == 0)
            delete narrow;
    }
    if (!wide->m_setAside.empty())
        wide->m_setAsideTimer.start(0, wide);
    wide->armWriteNotifier();
    return wide;
}

void SharedPort::bindKernelSocket() {
    if (!m_socket) {
        m_socket = new QUdpSocket(this);
        // Readers are reached directly; without this every bind asks the system proxy configuration
        // (libproxy reads /etc/services on a worker thread), which costs more than the exchange itself.
        m_socket->setProxy(QNetworkProxy::NoProxy);
        connect(m_socket, &QUdpSocket::readyRead, this, &SharedPort::takePendingDatagrams);
    }
    // DontShareAddress: with SO_REUSEADDR two programs could both bind the port and split the replies.
    if (!m_socket->bind(m_address, m_port, QAbstractSocket::DontShareAddress)) {
        const SocketError error = BindError(*m_socket, m_address, m_port);
        m_socket->abort();
        throw SocketException(error);
    }
    DatagramSystem::PrepareSocket(m_socket->socketDescriptor());
}

void SharedPort::add(SSock *holder, const QHostAddress &address) {
    // The holder sees what arrives from now on; what is queued is for those open before it (thrown away
    // when there are none). Open whatever the queue holds: a flood on a fresh socket cannot be escaped
    // by binding yet another one.
    setAside(MostSetAsideAtOnce);
    m_holders.push_back({holder, address, m_nextNumber, true});
}

SharedPort::Holder *SharedPort::holderOf(const SSock *socket) {
    for (Holder &holder : m_holders)
        if (holder.socket == socket)
            return &holder;
    return nullptr;
}

const SharedPort::Holder *SharedPort::holderOf(const SSock *socket) const {
    return const_cast<SharedPort *>(this)->holderOf(socket);
}

bool SharedPort::anyOpenHolderBut(const SSock *socket) const {
    for (const Holder &holder : m_holders)
        if (holder.open && holder.socket != socket)
            return true;
    return false;
}

bool SharedPort::wildcard() const {
    return IsWildcard(m_address);
}

void SharedPort::pause(SSock *holder) {
    if (Holder *found = holderOf(holder))
        found->open = false;
    std::erase(m_waitingRoom, holder);
}

bool SharedPort::resume(SSock *holder) {
    if (anyOpenHolderBut(holder)) {
        setAside(MostSetAsideAtOnce);
    } else {
        // A fresh socket starts with nothing queued. A queue that keeps filling while it is emptied is
        // a flood; a fresh socket is then the sure way to start empty.
        if (discardPending(MostSetAsideAtOnce) == MostSetAsideAtOnce && m_holders.size() == 1)
            return false;
    }
    Holder *found = holderOf(holder);
    found->joinedAt = m_nextNumber;
    found->open = true;
    return true;
}

void SharedPort::leave(SSock *holder) {
    std::erase_if(m_holders, [&](const Holder &each) { return each.socket == holder; });
    std::erase(m_waitingRoom, holder);
    if (!m_holders.empty())
        return;
    retire();
    // Inside a report to the holders the port is still in use: that report deletes it.
    if (m_reporting == 0)
        delete this;
}

// Takes the port out of this thread's list and lets the kernel socket go: the port is free for others
// at once.
void SharedPort::retire() {
    for (SharedPort **link = &tFirstPort; *link; link = &(*link)->m_next) {
        if (*link == this) {
            *link = m_next;
            break;
        }
    }
    m_next = nullptr;
    m_retired = true;
    m_setAsideTimer.stop();
    m_setAside.clear();
    delete m_writable; // before its descriptor closes
    m_writable = nullptr;
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
    }
}

QHostAddress SharedPort::addressOf(const SSock *holder) const {
    const Holder *found = holderOf(holder);
    return found ? found->address : QHostAddress();
}

qintptr SharedPort::descriptor() const {
    return m_socket ? m_socket->socketDescriptor() : -1;
}

bool SharedPort::send(const SSock *holder, const QByteArray &data, const QHostAddress &to, quint16 toPort,
                      SocketError *error) {
    const QHostAddress from = addressOf(holder);
    int number = 0;
    if (!wildcard() || IsWildcard(from)) {
        if (m_socket->writeDatagram(data, to, toPort) == data.size())
            return true;
    } else if ((number = sendNow(holder, data, to.toIPv4Address(), toPort)) == 0) {
        return true;
    }
    if (error) {
        const SocketErrorContext context{SocketErrorContext::Sending, to.toString(), toPort};
        *error =
            number ? SocketErrorOfSystem(number, context) : SocketErrorFromQt(m_socket->error(), context);
    }
    return false;
}

int SharedPort::sendNow(const SSock *holder, const QByteArray &data, quint32 host, quint16 port) {
    const QHostAddress from = addressOf(holder);
    const bool giveSource = wildcard() && !IsWildcard(from);
    return DatagramSystem::SendNow(m_socket->socketDescriptor(), giveSource ? &from : nullptr, data, host,
                                   port);
}

DatagramSystem::SendAttempt SharedPort::trySend(const SSock *holder, const QByteArray &data, quint32 host,
                                                quint16 port) {
    const QHostAddress from = addressOf(holder);
    const bool giveSource = wildcard() && !IsWildcard(from);
    return DatagramSystem::TrySend(m_socket->socketDescriptor(), giveSource ? &from : nullptr, data, host,
                                   port);
}

void SharedPort::notifyWhenWritable(SSock *holder) {
    if (std::find(m_waitingRoom.begin(), m_waitingRoom.end(), holder) == m_waitingRoom.end())
        m_waitingRoom.emplace_back(holder);
    armWriteNotifier();
}

void SharedPort::armWriteNotifier() {
    if (m_retired || m_waitingRoom.empty())
        return;
    if (!m_writable) {
        m_writable = new QSocketNotifier(m_socket->socketDescriptor(), QSocketNotifier::Write, this);
        connect(m_writable, &QSocketNotifier::activated, this, &SharedPort::writable);
    }
    m_writable->setEnabled(true);
}

void SharedPort::writable() {
    m_writable->setEnabled(false);
    const std::vector<QPointer<SSock>> waiting = std::exchange(m_waitingRoom, {});
    ++m_reporting;
    for (const QPointer<SSock> &holder : waiting) {
        if (m_retired)
            break;
        const Holder *found = holder ? holderOf(holder) : nullptr;
        if (found && found->open)
            emit holder->ReadyToSend();
    }
    endReport();
}

bool SharedPort::endReport() {
    if (--m_reporting == 0 && m_retired)
        deleteLater(); // the QUdpSocket or the notifier may still be emitting
    return !m_retired;
}

bool SharedPort::wants(const Holder &holder, const Queued &queued) const {
    if (!holder.open || queued.number < holder.joinedAt)
        return false;
    if (!wildcard() || IsWildcard(holder.address))
        return true;
    return SameIPv4(queued.datagram.destinationAddress(), holder.address);
}

void SharedPort::setAside(int most) {
    if (!anyOpenHolderBut(nullptr)) {
        discardPending(most);
        return;
    }
    for (int taken = 0; taken < most && m_socket->hasPendingDatagrams(); ++taken) {
        QNetworkDatagram datagram = m_socket->receiveDatagram();
        if (!datagram.isValid())
            break;
        if (m_setAside.size() == MostSetAside)
            m_setAside.pop_front();
        m_setAside.push_back({std::move(datagram), m_nextNumber++});
    }
    if (!m_setAside.empty())
        m_setAsideTimer.start(0, this);
}

int SharedPort::discardPending(int most) {
    int discarded = 0;
    for (; discarded < most && m_socket->hasPendingDatagrams(); ++discarded)
        m_socket->readDatagram(nullptr, 0);
    return discarded;
}

void SharedPort::timerEvent(QTimerEvent *event) {
    if (event->timerId() != m_setAsideTimer.timerId())
        return QObject::timerEvent(event);
    m_setAsideTimer.stop();
    takePendingDatagrams();
}

// After a readiness report the QUdpSocket reports the socket again only once something has been read.
// A holder that binds empties or moves aside the queue, and a report made before that can still be on
// its way; it finds nothing queued, and must read all the same. Whatever came in meanwhile is returned
// whole with its sender, so nothing is lost.
QNetworkDatagram SharedPort::readAfterEmptyReport() {
    constexpr int LargestUdpPayload = 65507;
    return m_socket->receiveDatagram(LargestUdpPayload); // invalid when nothing is there: the usual answer
}

void SharedPort::takePendingDatagrams() {
    // A handler may run the event loop (a message box), so this can be re-entered.
    const auto anyOpen = [this] { return anyOpenHolderBut(nullptr); };
    bool read = false;
    ++m_reporting;
    for (int taken = 0; taken < SSock::MaxDatagramsPerPass && !m_retired; ++taken) {
        if (!m_setAside.empty()) {
            const Queued queued = std::move(m_setAside.front());
            m_setAside.pop_front();
            offer(queued);
            continue;
        }
        if (!anyOpen())
            break;
        QNetworkDatagram datagram;
        if (m_socket->hasPendingDatagrams())
            datagram = m_socket->receiveDatagram();
        else if (read || !(datagram = readAfterEmptyReport()).isValid())
            break;
        read = true;
        if (!datagram.isValid()) {
            offerError(SocketErrorFromQt(m_socket->error(), {SocketErrorContext::Receiving, QString(), 0}));
            break; // the next readiness signal resumes, so a lasting error cannot spin here
        }
        offer({std::move(datagram), m_nextNumber++});
    }
    if (!endReport())
        return;
    if (!m_setAside.empty())
        m_setAsideTimer.start(0, this);
    if (anyOpen())
        return;
    // Nobody open, before this pass or since a handler closed: what still arrives goes nowhere, as it
    // would with the port released. Something is read even from an empty queue (see
    // readAfterEmptyReport).
    if (discardPending(SSock::MaxDatagramsPerPass) == 0 && !read)
        m_socket->readDatagram(nullptr, 0);

    // Any left waiting come with the next readyRead: each take re-arms Qt's read notification, so the
    // event loop reports the socket again on its next pass, after the window has had its turn. A pass
    // of our own must not take them: the window would wait behind a flood.
}

void SharedPort::offer(const Queued &queued) {
    // A handler may close, destroy or bind sockets, so each holder is looked up again before its turn.
    QVarLengthArray<QPointer<SSock>, 4> takers; // per datagram: no allocation for the usual few holders
    for (const Holder &holder : m_holders)
        if (wants(holder, queued))
            takers.push_back(holder.socket);
    for (const QPointer<SSock> &taker : takers) {
        if (m_retired)
            return;
        const Holder *holder = taker ? holderOf(taker) : nullptr;
        if (holder && wants(*holder, queued))
            taker->deliver(queued.datagram);
    }
}

void SharedPort::offerError(const SocketError &error) {
    std::vector<QPointer<SSock>> takers;
    for (const Holder &holder : m_holders)
        if (holder.open)
            takers.push_back(holder.socket);
    ++m_reporting;
    for (const QPointer<SSock> &taker : takers) {
        if (m_retired)
            break;
        const Holder *holder = taker ? holderOf(taker) : nullptr;
        if (holder && holder->open)
            emit taker->Error(error);
    }
    endReport();
}

} // namespace vrx
