#include "SimulatedReader.h"

#include "CardAddress.h"
#include "CardNetwork.h"
#include "ReaderSocket.h"
#include "fields/AddressText.h"
#include "keys/KeyFrame.h"
#include "link/ReplyWait.h"
#include "link/SSock.h"

#include <QMetaMethod>
#include <QNetworkDatagram>
#include <QPointer>
#include <QTime>
#include <QTimer>

namespace vrx {

namespace {

// A simulator left running for days must not grow without bound: the record keeps the newest entries.
constexpr qsizetype MaxRecordsKept = 100000;

template <typename List, typename Entry>
void KeepRecord(List &list, const Entry &entry) {
    if (list.size() >= MaxRecordsKept)
        list.removeFirst();
    list.append(entry);
}

// Wall-clock time of day for a log line (reading it costs a look at the time zone).
QString LogTime() {
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz"));
}

} // namespace

SimulatedReader::SimulatedReader(const QString &address, QObject *parent)
    : QObject(parent)
    , address_(SSock::ParseIPv4(address).value_or(QHostAddress()))
    , addressText_(address_.toString())
    , socket_(ReaderSocket::Make(this))
    , settings_(DefaultSettings(address_))
    , keyFrame_(DefaultKeyFrame()) {
    connect(socket_, &ReaderSocket::readyRead, this, &SimulatedReader::takePendingDatagrams);
}

SimulatedReader::~SimulatedReader() = default;

ReaderSettings SimulatedReader::DefaultSettings(const QHostAddress &address) {
    const AddressBytes own = BytesOf(address.toIPv4Address());
    ReaderSettings settings;
    settings.readerIp = own;
    settings.subnetMask = {255, 255, 255, 0};
    settings.defaultGateway = {own[0], own[1], own[2], 1};
    settings.serverIp = {192, 168, 0, 110};
    settings.readerPort = 1234;
    settings.serverPort = 1234;
    settings.readerMac = {0x00, 0x14, own[0], own[1], own[2], own[3]};
    settings.readerProtocol = Protocol::Udp;
    settings.heartbeat = Heartbeat::Send;
    settings.beepOnRead = Beep::OnRead;
    settings.keySource = KeySource::Command;
    return settings;
}

// The frame the window builds when every key field holds twelve Fs.
QByteArray SimulatedReader::DefaultKeyFrame() {
    QByteArray frame;
    BuildKeyFrame(QStringList(KeyFrame::KeyFieldCount, QStringLiteral("FFFFFFFFFFFF")), frame);
    return frame;
}

QString SimulatedReader::FrameKindName(FrameKind kind) {
    switch (kind) {
    case FrameKind::Query:
        return QStringLiteral("parameter query");
    case FrameKind::ParameterBlock:
        return QStringLiteral("parameter block");
    case FrameKind::KeyFrame:
        return QStringLiteral("key frame");
    case FrameKind::BadParameterBlock:
        return QStringLiteral("41 bytes with wrong markers");
    case FrameKind::BadKeyFrame:
        return QStringLiteral("200 bytes with wrong markers");
    case FrameKind::Unknown:
        break;
    }
    return QStringLiteral("unknown datagram");
}

bool SimulatedReader::bindTo(const QHostAddress &address, QString *error) {
    if (address.isNull() || address.protocol() != QAbstractSocket::IPv4Protocol) {
        if (error)
            *error = QStringLiteral("not an IPv4 address");
        return false;
    }
    if (!address.isLoopback() && !allowNonLoopback_) {
        if (error)
            *error =
                QStringLiteral("%1 is not a loopback address (use --allow-non-loopback to bind it anyway)")
                    .arg(address.toString());
        return false;
    }
    QString problem;
    if (!socket_->bind(address, Port, &problem)) {
        if (error)
            *error = QStringLiteral("cannot bind %1:%2: %3").arg(address.toString()).arg(Port).arg(problem);
        return false;
    }
    return true;
}

bool SimulatedReader::start(QString *error) {
    if (isListening())
        return true;
    return bindTo(address_, error);
}

bool SimulatedReader::startOnCard(const QString &card, QString *error) {
    QString problem;
    std::optional<CardAddress> held;
    if (InOwnNetworkNamespace(&problem))
        held = ReadCardAddress(card, &problem);
    if (!held) {
        if (error)
            *error = problem;
        return false;
    }
    if (held->gateway.isNull())
        held->gateway = FirstHostOf(held->address, held->prefixLength);
    socket_->abort();
    // The any-address hears the reader's own address, its subnet's broadcast and 255.255.255.255.
    if (!socket_->bind(QHostAddress::AnyIPv4, Port, &problem)) {
        if (error)
            *error = QStringLiteral("cannot bind 0.0.0.0:%1: %2").arg(Port).arg(problem);
        return false;
    }
    card_ = card;
    cardAddress_ = *held;
    address_ = held->address;
    addressText_ = address_.toString();
    settings_ = DefaultSettings(address_);
    SetNetworkSettings(settings_, cardAddress_);
    allowNonLoopback_ = true; // the card is in a namespace of its own: --reply-from may name its addresses
    return true;
}

void SimulatedReader::stop() {
    socket_->abort();
}

bool SimulatedReader::isListening() const {
    return socket_->isBound();
}

QByteArray SimulatedReader::key(int sector, bool bKey) const {
    const int offset = bKey ? KeyFrame::bKeyOffset(sector) : KeyFrame::aKeyOffset(sector);
    return keyFrame_.mid(offset, 6);
}

bool SimulatedReader::setFaults(const ReaderFaults &faults, QString *error) {
    const QString replyFrom = faults.replyFrom;
    faults_ = faults;
    faults_.replyFrom.clear();
    return setReplyFrom(replyFrom, error);
}

bool SimulatedReader::setReplyFrom(const QString &address, QString *error) {
    delete replySocket_;
    replySocket_ = nullptr;
    faults_.replyFrom.clear();
    if (address.isEmpty())
        return true;

    const std::optional<QHostAddress> from = SSock::ParseIPv4(address);
    QString reason;
    if (!from)
        reason = QStringLiteral("not an IPv4 address");
    else if (!from->isLoopback() && !allowNonLoopback_)
        reason = QStringLiteral("not a loopback address");
    if (reason.isEmpty()) {
        replySocket_ = ReaderSocket::Make(this);
        // Any free port: only the sender's address matters to the computer.
        if (!replySocket_->bind(*from, 0, &reason)) {
            delete replySocket_;
            replySocket_ = nullptr;
        }
    }
    if (!reason.isEmpty()) {
        if (error)
            *error = QStringLiteral("cannot send replies from %1: %2").arg(address, reason);
        return false;
    }
    faults_.replyFrom = from->toString();
    return true;
}

void SimulatedReader::clearRecords() {
    received_.clear();
    sent_.clear();
}

void SimulatedReader::takePendingDatagrams() {
    const QPointer<SimulatedReader> self(this);
    for (int taken = 0; taken < SSock::MaxDatagramsPerPass && socket_->hasPendingDatagrams(); ++taken) {
        const QNetworkDatagram datagram = socket_->receiveDatagram();
        if (!datagram.isValid())
            return;
        const QHostAddress peer = datagram.senderAddress();
        if (restarting_) {
            if (logging())
                emit logLine(QStringLiteral("%1 %2:%3 -> %4 bytes ignored: restarting")
                                 .arg(LogTime(), SSock::DottedText(peer))
                                 .arg(datagram.senderPort())
                                 .arg(datagram.data().size()));
            continue;
        }
        // A reader on a card also hears broadcasts: the record says which address a datagram went to.
        const QHostAddress to = datagram.destinationAddress();
        const QString local = card_.isEmpty() || to.isNull() ? address() : SSock::DottedText(to);
        WireRecord record{TickCount(), SSock::DottedText(peer), quint16(datagram.senderPort()), local,
                          datagram.data()};
        KeepRecord(received_, record);
        emit datagramReceived(record);
        if (!self)
            return;
        handle(record, peer);
        if (!self)
            return;
    }
    // Any left waiting come with the next readyRead: Qt re-arms its read notification on every take.
    // A pass of our own would empty the queue behind the notification, after which Qt stops reporting
    // the socket for good.
}

void SimulatedReader::handle(const WireRecord &request, const QHostAddress &peer) {
    const ReaderResponse response = RespondTo({settings_, keyFrame_, address()}, request.bytes, faults_);
    const FrameKind kind = response.kind;
    const ReaderSettings before = settings_;
    settings_ = response.settings;
    keyFrame_ = response.keyFrame;
    const bool answers = response.answered;
    const QByteArray &reply = response.reply;
    // A loopback reader only moves; a device on a card restarts on any new network setting.
    const bool restarts = card_.isEmpty() ? !response.moveTo.isEmpty()
                                          : kind == FrameKind::ParameterBlock &&
                                                (before.readerIp != settings_.readerIp ||
                                                 before.subnetMask != settings_.subnetMask ||
                                                 before.defaultGateway != settings_.defaultGateway);

    if (logging())
        emit logLine(QStringLiteral("%1 %2:%3 -> %4:%5 %6 bytes, %7: %8")
                         .arg(LogTime(), request.peer)
                         .arg(request.peerPort)
                         .arg(request.local)
                         .arg(Port)
                         .arg(request.bytes.size())
                         .arg(FrameKindName(kind), Outcome(kind, answers)));

    if (!answers)
        return;

    if (faults_.delayMs > 0) {
        QTimer::singleShot(faults_.delayMs, this, [this, reply, peer, request, restarts] {
            sendReply(reply, peer, request.peer, request.peerPort, restarts);
        });
    } else {
        sendReply(reply, peer, request.peer, request.peerPort, restarts);
    }
}

bool SimulatedReader::logging() const {
    return isSignalConnected(QMetaMethod::fromSignal(&SimulatedReader::logLine));
}

// What was done with a datagram of this kind under the present faults, for the log line.
QString SimulatedReader::Outcome(FrameKind kind, bool answered) const {
    if (kind == FrameKind::BadParameterBlock || kind == FrameKind::BadKeyFrame || kind == FrameKind::Unknown)
        return QStringLiteral("ignored");
    if (faults_.silent)
        return QStringLiteral("silent: nothing answered, nothing changed");
    QString done;
    if (kind == FrameKind::Query)
        done = QStringLiteral("answered with its settings");
    else if (kind == FrameKind::ParameterBlock)
        done =
            QStringLiteral("took the settings (reader IP %1), echoing").arg(DottedText(settings_.readerIp));
    else
        done = QStringLiteral("stored 32 keys, echoing");
    if (answered) {
        if (faults_.corruptEcho && kind != FrameKind::Query)
            done += QStringLiteral(" a corrupted copy");
        if (faults_.replyLength >= 0)
            done += QStringLiteral(" cut/padded to %1 bytes").arg(faults_.replyLength);
        if (!faults_.replyFrom.isEmpty())
            done += QStringLiteral(" from %1").arg(faults_.replyFrom);
        if (faults_.delayMs > 0)
            done += QStringLiteral(" after %1 ms").arg(faults_.delayMs);
    }
    return done;
}

void SimulatedReader::sendReply(QByteArray reply, const QHostAddress &peer, const QString &peerText,
                                quint16 peerPort, bool restarts) {
    ReaderSocket *from = replySocket_ ? replySocket_ : socket_;
    QNetworkDatagram datagram(reply, peer, peerPort);
    if (!replySocket_ && !card_.isEmpty())
        datagram.setSender(address_); // bound to the any-address, the reply still leaves from its own
    if (from->writeDatagram(datagram)) {
        // The reply socket is bound to the address it was given, the reader's socket to its own.
        WireRecord record{TickCount(), peerText, peerPort, replySocket_ ? faults_.replyFrom : address(),
                          reply};
        KeepRecord(sent_, record);
        emit replySent(record);
    } else if (logging()) {
        emit logLine(QStringLiteral("%1 reply to %2:%3 not sent: %4")
                         .arg(LogTime(), peerText)
                         .arg(peerPort)
                         .arg(from->errorString()));
    }
    if (restarts)
        restart();
}

void SimulatedReader::restart() {
    const auto takeSettings = [this] {
        const QString outcome = card_.isEmpty() ? moveTo(DottedText(settings_.readerIp)) : moveOnCard();
        KeepRecord(moves_, outcome);
        if (logging())
            emit logLine(QStringLiteral("%1 %2").arg(LogTime(), outcome));
    };
    if (restartDelayMs_ <= 0) {
        takeSettings();
        return;
    }
    restarting_ = true;
    if (logging())
        emit logLine(QStringLiteral("%1 restarting for %2 ms").arg(LogTime()).arg(restartDelayMs_));
    QTimer::singleShot(restartDelayMs_, this, [this, takeSettings] {
        takeSettings();
        restarting_ = false;
    });
}

QString SimulatedReader::moveOnCard() {
    const QString old = cardAddress_.toString();
    QString reason;
    const std::optional<CardAddress> target = CardAddressOf(settings_, &reason);
    if (!target || !RenumberCard(card_, cardAddress_, *target, &reason))
        return QStringLiteral("stayed at %1 on %2: %3").arg(old, card_, reason);
    cardAddress_ = *target;
    address_ = target->address;
    addressText_ = address_.toString();
    return QStringLiteral("moved on %1 from %2 to %3").arg(card_, old, target->toString());
}

QString SimulatedReader::moveTo(const QString &newAddress) {
    const QHostAddress target(newAddress);
    const QString old = address();
    if (!target.isLoopback())
        return QStringLiteral("stayed at %1: %2 is not a loopback address").arg(old, newAddress);
    const bool wasListening = isListening();
    socket_->abort();
    QString error;
    if (!bindTo(target, &error)) {
        if (wasListening)
            bindTo(address_, nullptr);
        return QStringLiteral("stayed at %1: %2").arg(old, error);
    }
    address_ = target;
    addressText_ = address_.toString();
    return QStringLiteral("moved from %1 to %2").arg(old, newAddress);
}

} // namespace vrx
