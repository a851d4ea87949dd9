#include "ReaderRelay.h"

#include "RelayMessage.h"
#include "link/DatagramSystem.h"
#include "link/SSock.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

namespace vrx {

namespace {

QString Endpoint(const QHostAddress &address, quint16 port) {
    return QStringLiteral("%1:%2").arg(SSock::DottedText(address)).arg(port);
}

} // namespace

ReaderRelay::ReaderRelay(QObject *parent)
    : QObject(parent)
    , control_(new QUdpSocket(this)) {
    connect(control_, &QUdpSocket::readyRead, this, &ReaderRelay::takeRequests);
}

quint64 ReaderRelay::KeyOf(const QHostAddress &address, quint16 port) {
    return (quint64(address.toIPv4Address()) << 16) | port;
}

bool ReaderRelay::listen(const QHostAddress &address, quint16 port, QString *error) {
    QString problem;
    if (!address.isLoopback() || address.protocol() != QAbstractSocket::IPv4Protocol)
        problem = QStringLiteral("%1 is not an IPv4 loopback address").arg(address.toString());
    else if (!control_->bind(address, port, QAbstractSocket::DontShareAddress))
        problem = QStringLiteral("cannot bind %1: %2").arg(Endpoint(address, port), control_->errorString());
    if (problem.isEmpty())
        return true;
    if (error)
        *error = problem;
    control_->abort();
    return false;
}

quint16 ReaderRelay::port() const {
    return control_->localPort();
}

void ReaderRelay::takeRequests() {
    // As many as the engine takes in one pass; the rest come with the next readyRead.
    for (int taken = 0; taken < SSock::MaxDatagramsPerPass && control_->hasPendingDatagrams(); ++taken) {
        const QNetworkDatagram datagram = control_->receiveDatagram();
        const std::optional<RelayMessage> message = RelayMessage::Decode(datagram.data());
        if (!datagram.isValid() || !message)
            continue;
        const Client client{datagram.senderAddress(), quint16(datagram.senderPort())};
        const quint64 key = KeyOf(client.address, client.port);
        switch (message->kind) {
        case RelayMessage::Bind:
            bindFor(client, *message);
            break;
        case RelayMessage::Send:
            if (QUdpSocket *native = bindings_.value(key).native) {
                QNetworkDatagram reply(message->payload, message->address, message->port);
                if (!message->local.isNull())
                    reply.setSender(message->local);
                if (native->writeDatagram(reply) != message->payload.size())
                    emit logLine(QStringLiteral("reply from %1 to %2 not sent: %3")
                                     .arg(Endpoint(native->localAddress(), native->localPort()),
                                          Endpoint(message->address, message->port), native->errorString()));
            }
            break;
        case RelayMessage::Close:
            release(key, QStringLiteral("let go"));
            break;
        case RelayMessage::Bound:
        case RelayMessage::Refused:
        case RelayMessage::Arrived:
            break; // the relay's own words: never asked of it
        }
    }
}

void ReaderRelay::bindFor(const Client &client, const RelayMessage &request) {
    const QHostAddress &address = request.address;
    const quint16 port = request.port;
    const quint64 key = KeyOf(client.address, client.port);
    release(key, QStringLiteral("let go for a new bind"));
    QString refused;
    if (!address.isLoopback() || address.protocol() != QAbstractSocket::IPv4Protocol)
        refused = QStringLiteral("%1 is not an IPv4 loopback address").arg(address.toString());
    if (refused.isEmpty() && port != 0) {
        for (auto held = bindings_.cbegin(); held != bindings_.cend(); ++held) {
            const QUdpSocket *native = held->native;
            if (held->owner != request.owner && native->localAddress().isEqual(address) &&
                native->localPort() == port) {
                release(held.key(), QStringLiteral("taken over"));
                break;
            }
        }
    }
    auto *native = new QUdpSocket(this);
    if (refused.isEmpty() && !native->bind(address, port, QAbstractSocket::DontShareAddress))
        refused = native->errorString(); // as a reader binding it itself would say
    if (!refused.isEmpty()) {
        delete native;
        emit logLine(QStringLiteral("%1 refused for %2: %3")
                         .arg(Endpoint(address, port), Endpoint(client.address, client.port), refused));
        answer(client, RelayMessage{RelayMessage::Refused, {}, 0, {}, refused.toUtf8()}.encode());
        return;
    }
    DatagramSystem::PrepareSocket(native->socketDescriptor());
    bindings_.insert(key, Binding{native, request.owner});
    // The answer goes first: nothing is passed on before the client knows it is bound.
    answer(client, RelayMessage{RelayMessage::Bound, {}, native->localPort(), {}, {}}.encode());
    connect(native, &QUdpSocket::readyRead, this, [this, native, client] { pass(native, client); });
    emit logLine(QStringLiteral("%1 bound for %2")
                     .arg(Endpoint(native->localAddress(), native->localPort()),
                          Endpoint(client.address, client.port)));
}

void ReaderRelay::pass(QUdpSocket *native, const Client &client) {
    for (int taken = 0; taken < SSock::MaxDatagramsPerPass && native->hasPendingDatagrams(); ++taken) {
        const QNetworkDatagram datagram = native->receiveDatagram();
        if (!datagram.isValid())
            return;
        const QHostAddress local =
            datagram.destinationAddress().isNull() ? native->localAddress() : datagram.destinationAddress();
        answer(client, RelayMessage{RelayMessage::Arrived, datagram.senderAddress(),
                                    quint16(datagram.senderPort()), local, datagram.data()}
                           .encode());
    }
}

void ReaderRelay::release(quint64 client, const QString &why) {
    QUdpSocket *native = bindings_.take(client).native;
    if (!native)
        return;
    emit logLine(QStringLiteral("%1 %2").arg(Endpoint(native->localAddress(), native->localPort()), why));
    native->abort();
    native->deleteLater(); // release() may come from within its own readyRead
}

void ReaderRelay::answer(const Client &client, const QByteArray &message) {
    control_->writeDatagram(message, client.address, client.port);
}

} // namespace vrx
