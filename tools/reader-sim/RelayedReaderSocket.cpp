#include "RelayedReaderSocket.h"

#include "RelayMessage.h"

#include <QDeadlineTimer>
#include <QRandomGenerator>
#include <QTimer>
#include <QUdpSocket>

namespace vrx {

namespace {

// Long enough for a relay on a machine busy building; a relay that answers at all answers in microseconds.
constexpr int RelayAnswerMs = 5000;

// The same for every reader socket of this program, and another in the next: the relay refuses an
// address that this program holds already, as the system would, but takes one over from another program
// (one that ended without letting it go).
quint64 ThisProgram() {
    static const quint64 number = QRandomGenerator::system()->generate64();
    return number;
}

} // namespace

RelayedReaderSocket::RelayedReaderSocket(const QString &relay, QObject *parent)
    : ReaderSocket(parent)
    , relayText_(relay) {
    if (const auto endpoint = ParseRelayEndpoint(relay)) {
        relayAddress_ = endpoint->first;
        relayPort_ = endpoint->second;
    }
}

RelayedReaderSocket::~RelayedReaderSocket() {
    abort();
}

bool RelayedReaderSocket::fail(const QString &problem, QString *error) {
    error_ = problem;
    if (error)
        *error = problem;
    abort();
    return false;
}

bool RelayedReaderSocket::bind(const QHostAddress &address, quint16 port, QString *error) {
    abort();
    if (relayPort_ == 0)
        return fail(QStringLiteral("%1=\"%2\" names no relay (address:port)")
                        .arg(QLatin1String(RelayVariable), relayText_),
                    error);
    client_ = new QUdpSocket(this);
    if (!client_->bind(QHostAddress::LocalHost, 0, QAbstractSocket::DontShareAddress))
        return fail(QStringLiteral("no socket to talk to the reader relay: %1").arg(client_->errorString()),
                    error);
    RelayMessage bindRequest{RelayMessage::Bind, address, port, {}, {}};
    bindRequest.owner = ThisProgram();
    const QByteArray request = bindRequest.encode();
    // Connected, it hears the relay alone.
    client_->connectToHost(relayAddress_, relayPort_);
    if (client_->write(request) != request.size())
        return fail(
            QStringLiteral("cannot reach the reader relay at %1: %2").arg(relayText_, client_->errorString()),
            error);

    // Only the relay's answer can come before the binding exists.
    const QDeadlineTimer deadline(RelayAnswerMs);
    std::optional<RelayMessage> answer;
    while (!answer) {
        if (!client_->hasPendingDatagrams() && !client_->waitForReadyRead(int(deadline.remainingTime())))
            return fail(QStringLiteral("the reader relay at %1 did not answer: %2")
                            .arg(relayText_, client_->errorString()),
                        error);
        answer = RelayMessage::Decode(client_->receiveDatagram().data());
    }
    if (answer->kind != RelayMessage::Bound)
        return fail(answer->kind == RelayMessage::Refused ? QString::fromUtf8(answer->payload)
                                                          : QStringLiteral("the reader relay answered "
                                                                           "something else"),
                    error);
    bound_ = true;
    error_.clear();
    connect(client_, &QUdpSocket::readyRead, this, &ReaderSocket::readyRead);
    if (client_->hasPendingDatagrams()) // came while the answer was read
        QTimer::singleShot(0, this, [this] {
            if (hasPendingDatagrams())
                emit readyRead();
        });
    return true;
}

void RelayedReaderSocket::abort() {
    if (!client_)
        return;
    if (bound_) {
        const QByteArray close = RelayMessage{RelayMessage::Close, {}, 0, {}, {}}.encode();
        client_->write(close);
    }
    bound_ = false;
    // abort() may come from a handler of this very socket's readyRead.
    client_->disconnect(this);
    client_->close();
    client_->deleteLater();
    client_ = nullptr;
}

bool RelayedReaderSocket::hasPendingDatagrams() const {
    return bound_ && client_->hasPendingDatagrams();
}

QNetworkDatagram RelayedReaderSocket::receiveDatagram() {
    while (hasPendingDatagrams()) {
        const std::optional<RelayMessage> message = RelayMessage::Decode(client_->receiveDatagram().data());
        if (!message || message->kind != RelayMessage::Arrived)
            continue;
        QNetworkDatagram arrived(message->payload);
        arrived.setSender(message->address, message->port);
        arrived.setDestination(message->local, 0);
        return arrived;
    }
    return QNetworkDatagram();
}

bool RelayedReaderSocket::writeDatagram(const QNetworkDatagram &datagram) {
    if (!bound_)
        return false;
    const QByteArray send =
        RelayMessage{RelayMessage::Send, datagram.destinationAddress(), quint16(datagram.destinationPort()),
                     datagram.senderAddress(), datagram.data()}
            .encode();
    if (client_->write(send) == send.size())
        return true;
    error_ = client_->errorString();
    return false;
}

} // namespace vrx
