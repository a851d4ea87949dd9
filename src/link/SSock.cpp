#include "link/SSock.h"

#include "fields/AddressText.h"
#include "link/LocalAddress.h"
#include "link/QtSocketErrors.h"

#include <QNetworkDatagram>
#include <QNetworkProxy>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimerEvent>
#include <QUdpSocket>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

namespace vrx {

namespace {

[[noreturn]] void Throw(int number, const QString &description) {
    throw SocketException(SocketError{number, description});
}

void CheckPortRange(int port, int lowest, const char *which) {
    if (port < lowest || port > 65535)
        Throw(SocketErrorNumber::OutOfRange,
              QStringLiteral("%1 %2 超出范围（%3-65535）。").arg(QLatin1String(which)).arg(port).arg(lowest));
}

} // namespace

SSock::SSock(QObject *parent)
    : QObject(parent)
    , socket_(new QUdpSocket(this)) {
    // Readers are reached directly; without this every Bind asks the system proxy configuration
    // (libproxy reads /etc/services on a worker thread), which costs more than the exchange itself.
    socket_->setProxy(QNetworkProxy::NoProxy);
    connect(socket_, &QUdpSocket::readyRead, this, &SSock::takePendingDatagrams);
}

SSock::~SSock() {
    socket_->disconnect(this);
    socket_->abort();
    if (taking_ > 0) {
        // Destroyed from inside our own DataArrival: the QUdpSocket is still emitting readyRead.
        socket_->setParent(nullptr);
        socket_->deleteLater();
    }
}

int SSock::State() const {
    return kept_ || socket_->state() == QAbstractSocket::UnconnectedState ? Closed : Open;
}

void SSock::Close() {
    if (kept_)
        return;
    dropWriteNotifier();
    if (socket_->state() != QAbstractSocket::BoundState) {
        socket_->abort();
        return;
    }
    // Released at the next pass of the event loop unless the operation binds it again before then.
    kept_ = true;
    releaseTimer_.start(0, this);
}

void SSock::timerEvent(QTimerEvent *event) {
    if (event->timerId() == releaseTimer_.timerId())
        releaseKeptSocket();
    else
        QObject::timerEvent(event);
}

void SSock::releaseKeptSocket() {
    if (!kept_)
        return;
    releaseTimer_.stop();
    kept_ = false;
    dropWriteNotifier();
    socket_->abort();
}

void SSock::dropWriteNotifier() {
    delete writable_;
    writable_ = nullptr;
}

bool SSock::takeBackKeptSocket(const QHostAddress &address, int port) {
    if (!kept_ || socket_->localAddress() != address || socket_->localPort() != port)
        return false;
    // A fresh socket starts with nothing queued. A queue that keeps filling while it is emptied is a
    // flood; a fresh socket is then the sure way to start empty.
    constexpr int MostDiscarded = 4 * MaxDatagramsPerPass;
    if (discardPending(MostDiscarded) == MostDiscarded)
        return false;
    releaseTimer_.stop();
    kept_ = false;
    return true;
}

int SSock::discardPending(int most) {
    int discarded = 0;
    for (; discarded < most && socket_->hasPendingDatagrams(); ++discarded)
        socket_->readDatagram(nullptr, 0);
    return discarded;
}

void SSock::setRemotePort(int port) {
    CheckPortRange(port, 0, "RemotePort");
    remotePort_ = port;
}

void SSock::setLocalPort(int port) {
    CheckPortRange(port, 0, "LocalPort");
    localPort_ = port;
}

std::optional<QHostAddress> SSock::ParseIPv4(const QString &text) {
    // Read by hand: every exchange parses two addresses, and a regular expression cost nearly as much as
    // the bind itself.
    const QStringView dotted = QStringView(text).trimmed();
    quint32 value = 0;
    int group = 0;
    qsizetype at = 0;
    for (;;) {
        uint byte = 0;
        int digits = 0;
        while (at < dotted.size() && digits < 3 && dotted[at] >= u'0' && dotted[at] <= u'9') {
            byte = byte * 10 + (dotted[at].unicode() - u'0');
            ++digits;
            ++at;
        }
        if (digits == 0 || byte > 255)
            return std::nullopt;
        value = (value << 8) | byte;
        if (++group == 4)
            break;
        if (at >= dotted.size() || dotted[at] != u'.')
            return std::nullopt;
        ++at;
    }
    if (at != dotted.size())
        return std::nullopt;
    return QHostAddress(value);
}

QString SSock::DottedText(const QHostAddress &address) {
    bool isIPv4 = false;
    const quint32 value = address.toIPv4Address(&isIPv4);
    if (!isIPv4)
        return address.toString();
    return vrx::DottedText({quint8(value >> 24), quint8(value >> 16), quint8(value >> 8), quint8(value)});
}

void SSock::Bind(int localPort, const QString &localAddressText) {
    CheckPortRange(localPort, 1, "LocalPort");
    if (State() != Closed)
        Throw(SocketErrorNumber::WrongState, QStringLiteral("套接字已经绑定在 %1:%2，须先关闭才能再次绑定。")
                                                 .arg(BoundAddress())
                                                 .arg(localPort_));

    const std::optional<QHostAddress> address = QStringView(localAddressText).trimmed().isEmpty()
                                                    ? QHostAddress(QHostAddress::AnyIPv4)
                                                    : ParseIPv4(localAddressText);
    if (!address)
        Throw(SocketErrorNumber::AddressNotAvailable,
              QStringLiteral("本机IP“%1”不是IPv4地址，无法绑定端口 %2。请填写本机的IPv4地址。%3")
                  .arg(localAddressText)
                  .arg(localPort)
                  .arg(LocalAddressesText(LocalCards())));

    localPort_ = localPort;
    if (takeBackKeptSocket(*address, localPort))
        return;
    releaseKeptSocket();
    // DontShareAddress: with SO_REUSEADDR two programs could both bind the port and split the replies.
    if (!socket_->bind(*address, quint16(localPort), QAbstractSocket::DontShareAddress)) {
        const SocketErrorContext context{SocketErrorContext::Binding, address->toString(), localPort};
        const QString qtText = socket_->errorString();
        const QAbstractSocket::SocketError error = socket_->error();
        socket_->abort();
        // The description of an address this computer lacks names the addresses it has.
        throw SocketException(SocketErrorFromQt(
            error, qtText, context,
            error == QAbstractSocket::SocketAddressNotAvailableError ? LocalCards() : QList<LocalCard>()));
    }
}

void SSock::SendData(const QByteArray &data) {
    if (State() == Closed)
        Throw(SocketErrorNumber::WrongState, QStringLiteral("套接字尚未绑定本机地址，不能发送。"));
    if (remoteHost_.isEmpty())
        Throw(SocketErrorNumber::WrongState, QStringLiteral("尚未设置读卡器地址（RemoteHost），不能发送。"));
    const std::optional<QHostAddress> destination = ParseIPv4(remoteHost_);
    if (!destination)
        Throw(SocketErrorNumber::InvalidArgument,
              QStringLiteral("读卡器地址“%1”不是IPv4地址。").arg(remoteHost_));
    if (destination->toIPv4Address() == 0)
        Throw(SocketErrorNumber::AddressNotAvailable,
              QStringLiteral("读卡器地址 0.0.0.0 不能作为发送目标，请填写读卡器的IP地址。"));
    if (remotePort_ == 0)
        Throw(SocketErrorNumber::OutOfRange, QStringLiteral("RemotePort 0 超出范围（1-65535）。"));

    const qint64 written = socket_->writeDatagram(data, *destination, quint16(remotePort_));
    if (written != data.size()) {
        const SocketErrorContext context{SocketErrorContext::Sending, destination->toString(), remotePort_};
        throw SocketException(SocketErrorFromQt(socket_->error(), socket_->errorString(), context));
    }
}

namespace {

// The Qt condition of a send's errno, so that SocketErrorFromQt words it as it words every send failure.
QAbstractSocket::SocketError QtConditionOf(int number) {
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
    case ECONNREFUSED:
        return QAbstractSocket::ConnectionRefusedError;
    case ENOMEM:
        return QAbstractSocket::SocketResourceError;
    default:
        return QAbstractSocket::UnknownSocketError;
    }
}

// The errors an ICMP message leaves on a socket while IP_RECVERR is on: the next send reports one of
// them instead of sending. A route that is missing gives two of them too, but every time. While the
// messages pour in (a scan's batch of ARPs given up at once) every attempt may meet a fresh one.
bool LeftByAMessage(int number) {
    return number == ECONNREFUSED || number == EHOSTUNREACH || number == ENETUNREACH || number == EHOSTDOWN;
}

// How often a send is tried again that met an error left by an ICMP message.
constexpr int SendAttempts = 4;

} // namespace

SSock::SendOutcome SSock::TrySendData(const QByteArray &data, quint32 host, quint16 port,
                                      SocketError *error) {
    const auto fail = [&](int number, const QString &text) {
        if (error) {
            const QString destination = DottedText(QHostAddress(host));
            *error = number
                         ? SocketErrorFromQt(QtConditionOf(number), QString::fromLocal8Bit(strerror(number)),
                                             {SocketErrorContext::Sending, destination, port})
                         : SocketError{SocketErrorNumber::WrongState, text};
        }
        return SendOutcome::Failed;
    };
    if (State() == Closed)
        return fail(0, QStringLiteral("套接字尚未绑定本机地址，不能发送。"));
    const int fd = int(socket_->socketDescriptor());
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(host);
    // A UDP send that the kernel drops on its way out (no room for another neighbour entry, a full card
    // queue) returns success unless IP_RECVERR is on. It is on only around the send itself, so that the
    // ICMP messages of a scan (a host unreachable for every address nobody answers ARP for) are not
    // queued on the socket as errors. One that arrives meanwhile still leaves its error for the next
    // send: it is cleared just before, and a send that meets one all the same is tried again.
    const int on = 1;
    const int off = 0;
    ::setsockopt(fd, IPPROTO_IP, IP_RECVERR, &on, sizeof on);
    ssize_t sent = -1;
    int number = 0;
    for (int attempt = 0; attempt < SendAttempts; ++attempt) {
        int pending = 0;
        socklen_t length = sizeof pending;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &pending, &length); // reads and clears it
        sent = ::sendto(fd, data.constData(), size_t(data.size()), MSG_DONTWAIT,
                        reinterpret_cast<const sockaddr *>(&to), sizeof to);
        number = sent < 0 ? errno : 0;
        if (!LeftByAMessage(number))
            break;
    }
    ::setsockopt(fd, IPPROTO_IP, IP_RECVERR, &off, sizeof off);
    if (sent == data.size())
        return SendOutcome::Sent;
    if (number == EAGAIN || number == EWOULDBLOCK)
        return SendOutcome::Busy;
    if (number == ENOBUFS)
        return SendOutcome::Dropped;
    fail(number ? number : EMSGSIZE, QString());
    return LeftByAMessage(number) ? SendOutcome::Interrupted : SendOutcome::Failed;
}

int SSock::SendQueueBytes() const {
    int queued = 0;
    if (State() == Closed || ::ioctl(int(socket_->socketDescriptor()), SIOCOUTQ, &queued) != 0)
        return 0;
    return queued;
}

int SSock::SendBufferSize() const {
    int size = 0;
    socklen_t length = sizeof size;
    if (State() == Closed ||
        ::getsockopt(int(socket_->socketDescriptor()), SOL_SOCKET, SO_SNDBUF, &size, &length) != 0)
        return 0;
    return size;
}

void SSock::SetSendBufferSize(int bytes) {
    if (State() == Closed)
        return;
    const int fd = int(socket_->socketDescriptor());
    // SO_SNDBUFFORCE passes net.core.wmem_max for a process with CAP_NET_ADMIN; others get the limit.
    if (::setsockopt(fd, SOL_SOCKET, SO_SNDBUFFORCE, &bytes, sizeof bytes) != 0)
        ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes);
}

void SSock::NotifyWhenWritable() {
    if (State() == Closed)
        return;
    const qintptr fd = socket_->socketDescriptor();
    if (writable_ && writable_->socket() != fd)
        dropWriteNotifier();
    if (!writable_) {
        writable_ = new QSocketNotifier(fd, QSocketNotifier::Write, this);
        connect(writable_, &QSocketNotifier::activated, this, [this] {
            writable_->setEnabled(false);
            emit ReadyToSend();
        });
    }
    writable_->setEnabled(true);
}

QString SSock::LocalIP() const {
    return vrx::LocalIP();
}

QString SSock::BoundAddress() const {
    if (State() == Closed)
        return QString();
    return DottedText(socket_->localAddress());
}

// After a readiness report the QUdpSocket reports the socket again only once something has been read.
// A Bind that takes the kept socket back empties its queue, and a report made before that can still be
// on its way; it finds nothing queued, and must read all the same. Whatever came in meanwhile is
// returned whole with its sender, so nothing is lost.
QNetworkDatagram SSock::readAfterEmptyReport() {
    constexpr int LargestUdpPayload = 65507;
    QByteArray bytes(LargestUdpPayload, Qt::Uninitialized);
    QHostAddress sender;
    quint16 senderPort = 0;
    const qint64 size = socket_->readDatagram(bytes.data(), bytes.size(), &sender, &senderPort);
    if (size < 0)
        return QNetworkDatagram(); // nothing there: the usual answer
    bytes.truncate(size);
    QNetworkDatagram datagram(bytes);
    datagram.setSender(sender, senderPort);
    return datagram;
}

void SSock::takePendingDatagrams() {
    // A handler may run the event loop (a message box), so this can be re-entered; the depth tells the
    // destructor that the QUdpSocket is still inside its readyRead emission.
    const QPointer<SSock> self(this);
    const auto bound = [this] { return socket_->state() == QAbstractSocket::BoundState; };
    bool read = false;
    ++taking_;
    for (int taken = 0; taken < MaxDatagramsPerPass && !kept_ && bound(); ++taken) {
        QNetworkDatagram datagram;
        if (socket_->hasPendingDatagrams())
            datagram = socket_->receiveDatagram();
        else if (read || !(datagram = readAfterEmptyReport()).isValid())
            break;
        read = true;
        if (!datagram.isValid()) {
            if (!bound())
                break;
            const SocketError error = SocketErrorFromQt(socket_->error(), socket_->errorString(),
                                                        {SocketErrorContext::Receiving, QString(), 0});
            emit Error(error);
            if (!self)
                return;
            break; // the next readiness signal resumes, so a lasting error cannot spin here
        }
        emit DataArrival(datagram.data(), DottedText(datagram.senderAddress()),
                         quint16(datagram.senderPort()));
        if (!self)
            return; // destroyed by a handler: touch nothing
    }
    --taking_;
    if (!kept_ || !bound())
        return;
    // Closed, before this pass or by a handler during it: what still arrives goes nowhere, as it would
    // with the port released. Something is read even from an empty queue (see readAfterEmptyReport).
    if (discardPending(MaxDatagramsPerPass) == 0 && !read)
        socket_->readDatagram(nullptr, 0);

    // Any left waiting come with the next readyRead: each take re-arms Qt's read notification, so the
    // event loop reports the socket again on its next pass, after the window has had its turn. A pass
    // of our own must not take them: the window would wait behind a flood.
}

} // namespace vrx
