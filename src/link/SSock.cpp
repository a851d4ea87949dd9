#include "link/SSock.h"

#include "fields/AddressText.h"
#include "link/DatagramSystem.h"
#include "link/LocalAddress.h"
#include "link/QtSocketErrors.h"
#include "link/SharedPort.h"

#include <QNetworkDatagram>
#include <QTimerEvent>

#include <utility>

namespace vrx {

namespace {

[[noreturn]] void Throw(int number, SocketFault fault, SocketErrorContext context = {}) {
    throw SocketException(SocketError::Of(number, fault, std::move(context)));
}

void CheckPortRange(int port, int lowest, const char *which) {
    if (port >= lowest && port <= 65535)
        return;
    SocketError error = SocketError::Of(SocketErrorNumber::OutOfRange, SocketFault::PortOutOfRange);
    error.context.port = port;
    error.portName = QLatin1String(which);
    error.lowestPort = lowest;
    throw SocketException(std::move(error));
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
        Throw(SocketErrorNumber::WrongState, SocketFault::AlreadyBound,
              {SocketErrorContext::Binding, BoundAddress(), localPort_});

    const std::optional<QHostAddress> address = QStringView(localAddressText).trimmed().isEmpty()
                                                    ? QHostAddress(QHostAddress::AnyIPv4)
                                                    : ParseIPv4(localAddressText);
    if (!address) {
        SocketError error = SocketError::Of(SocketErrorNumber::AddressNotAvailable, SocketFault::LocalNotIPv4,
                                            {SocketErrorContext::Binding, localAddressText, localPort});
        error.cards = LocalCards(); // to copy one of them
        throw SocketException(std::move(error));
    }

    localPort_ = localPort;
    if (takeBackKeptSocket(*address, localPort))
        return;
    releaseKeptSocket();
    port_ = SharedPort::Join(this, *address, quint16(localPort));
}

void SSock::SendData(const QByteArray &data) {
    if (State() == Closed)
        Throw(SocketErrorNumber::WrongState, SocketFault::NotBound);
    if (remoteHost_.isEmpty())
        Throw(SocketErrorNumber::WrongState, SocketFault::NoRemoteHost);
    const std::optional<QHostAddress> destination = ParseIPv4(remoteHost_);
    if (!destination)
        Throw(SocketErrorNumber::InvalidArgument, SocketFault::RemoteNotIPv4,
              {SocketErrorContext::Sending, remoteHost_, remotePort_});
    if (destination->toIPv4Address() == 0)
        Throw(SocketErrorNumber::AddressNotAvailable, SocketFault::RemoteIsZero,
              {SocketErrorContext::Sending, remoteHost_, remotePort_});
    if (remotePort_ == 0)
        CheckPortRange(remotePort_, 1, "RemotePort");

    SocketError error;
    if (!port_->send(this, data, *destination, quint16(remotePort_), &error))
        throw SocketException(error);
}

SSock::SendOutcome SSock::TrySendData(const QByteArray &data, quint32 host, quint16 port,
                                      SocketError *error) {
    if (State() == Closed) {
        if (error)
            *error = SocketError::Of(SocketErrorNumber::WrongState, SocketFault::NotBound,
                                     {SocketErrorContext::Sending, DottedText(QHostAddress(host)), port});
        return SendOutcome::Failed;
    }
    const DatagramSystem::SendAttempt attempt = port_->trySend(this, data, host, port);
    const bool failed = attempt.outcome == DatagramSystem::SendAttempt::Interrupted ||
                        attempt.outcome == DatagramSystem::SendAttempt::Failed;
    if (error && failed)
        *error = SocketErrorOfSystem(attempt.number,
                                     {SocketErrorContext::Sending, DottedText(QHostAddress(host)), port});
    switch (attempt.outcome) {
    case DatagramSystem::SendAttempt::Sent:
        return SendOutcome::Sent;
    case DatagramSystem::SendAttempt::Busy:
        return SendOutcome::Busy;
    case DatagramSystem::SendAttempt::Dropped:
        return SendOutcome::Dropped;
    case DatagramSystem::SendAttempt::Interrupted:
        return SendOutcome::Interrupted;
    case DatagramSystem::SendAttempt::Failed:
        break;
    }
    return SendOutcome::Failed;
}

int SSock::SendQueueBytes() const {
    return State() == Closed ? 0 : DatagramSystem::SendQueueBytes(port_->descriptor());
}

int SSock::SendBufferSize() const {
    return State() == Closed ? 0 : DatagramSystem::SendBufferSize(port_->descriptor());
}

void SSock::SetSendBufferSize(int bytes) {
    if (State() != Closed)
        DatagramSystem::SetSendBufferSize(port_->descriptor(), bytes);
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
