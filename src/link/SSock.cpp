#include "link/SSock.h"

#include "fields/AddressText.h"
#include "link/LocalAddress.h"
#include "link/QtSocketErrors.h"
#include "link/SharedPort.h"

#include <QNetworkDatagram>
#include <QTimerEvent>

#include <utility>

#include <cerrno>
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
    : QObject(parent) {}

SSock::~SSock() {
    if (SharedPort *port = std::exchange(port_, nullptr))
        port->leave(this);
}

int SSock::State() const {
    return port_ && !kept_ ? Open : Closed;
}

void SSock::Close() {
    if (!port_ || kept_)
        return;
    // Released at the next pass of the event loop unless the operation binds it again before then.
    port_->pause(this);
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
    if (SharedPort *port = std::exchange(port_, nullptr))
        port->leave(this);
}

bool SSock::takeBackKeptSocket(const QHostAddress &address, int port) {
    if (!kept_ || port_->port() != port || port_->addressOf(this) != address)
        return false;
    // What was queued meanwhile is thrown away (or left to the port's other holders), as a fresh socket
    // would start empty.
    if (!port_->resume(this))
        return false;
    releaseTimer_.stop();
    kept_ = false;
    return true;
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
    port_ = SharedPort::Join(this, *address, quint16(localPort));
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

    SocketError error;
    if (!port_->send(this, data, *destination, quint16(remotePort_), &error))
        throw SocketException(error);
}

namespace {

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
            *error = number ? SocketErrorOfErrno(number, {SocketErrorContext::Sending, destination, port})
                            : SocketError{SocketErrorNumber::WrongState, text};
        }
        return SendOutcome::Failed;
    };
    if (State() == Closed)
        return fail(0, QStringLiteral("套接字尚未绑定本机地址，不能发送。"));
    const int fd = int(port_->descriptor());
    // A UDP send that the kernel drops on its way out (no room for another neighbour entry, a full card
    // queue) returns success unless IP_RECVERR is on. It is on only around the send itself, so that the
    // ICMP messages of a scan (a host unreachable for every address nobody answers ARP for) are not
    // queued on the socket as errors. One that arrives meanwhile still leaves its error for the next
    // send: it is cleared just before, and a send that meets one all the same is tried again.
    const int on = 1;
    const int off = 0;
    ::setsockopt(fd, IPPROTO_IP, IP_RECVERR, &on, sizeof on);
    int number = 0;
    for (int attempt = 0; attempt < SendAttempts; ++attempt) {
        int pending = 0;
        socklen_t length = sizeof pending;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &pending, &length); // reads and clears it
        number = port_->sendNow(this, data, host, port);
        if (!LeftByAMessage(number))
            break;
    }
    ::setsockopt(fd, IPPROTO_IP, IP_RECVERR, &off, sizeof off);
    if (number == 0)
        return SendOutcome::Sent;
    if (number == EAGAIN || number == EWOULDBLOCK)
        return SendOutcome::Busy;
    if (number == ENOBUFS)
        return SendOutcome::Dropped;
    fail(number, QString());
    return LeftByAMessage(number) ? SendOutcome::Interrupted : SendOutcome::Failed;
}

int SSock::SendQueueBytes() const {
    int queued = 0;
    if (State() == Closed || ::ioctl(int(port_->descriptor()), SIOCOUTQ, &queued) != 0)
        return 0;
    return queued;
}

int SSock::SendBufferSize() const {
    int size = 0;
    socklen_t length = sizeof size;
    if (State() == Closed ||
        ::getsockopt(int(port_->descriptor()), SOL_SOCKET, SO_SNDBUF, &size, &length) != 0)
        return 0;
    return size;
}

void SSock::SetSendBufferSize(int bytes) {
    if (State() == Closed)
        return;
    const int fd = int(port_->descriptor());
    // SO_SNDBUFFORCE passes net.core.wmem_max for a process with CAP_NET_ADMIN; others get the limit.
    if (::setsockopt(fd, SOL_SOCKET, SO_SNDBUFFORCE, &bytes, sizeof bytes) != 0)
        ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes);
}

void SSock::NotifyWhenWritable() {
    if (State() != Closed)
        port_->notifyWhenWritable(this);
}

QString SSock::LocalIP() const {
    return vrx::LocalIP();
}

QString SSock::BoundAddress() const {
    if (State() == Closed)
        return QString();
    return DottedText(port_->addressOf(this));
}

void SSock::deliver(const QNetworkDatagram &datagram) {
    emit DataArrival(datagram.data(), DottedText(datagram.senderAddress()), quint16(datagram.senderPort()));
}

} // namespace vrx
