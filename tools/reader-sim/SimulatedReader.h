#pragma once

#include "CardAddress.h"
#include "ReaderBehaviour.h"
#include "config/ReaderSettings.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

namespace vrx {

class ReaderSocket;

// One datagram as it went over the wire, seen from the reader.
struct WireRecord {
    qint64 time = 0; // TickCount() when it was received or sent
    QString peer;    // the computer's dotted address
    quint16 peerPort = 0;
    QString local; // the address it arrived at (the reader's own or a broadcast) or left from
    QByteArray bytes;
};

// One simulated VRX reader on one address, port 1001: it answers the 8-byte query with its 41-byte
// settings block, takes a 41-byte block with the right markers as its new settings and echoes it, takes
// a 200-byte key frame with the right markers as its keys and echoes it, and ignores everything else.
// Replies go from its own address to the asker's address and port. Where the environment names a reader
// relay, a native relay binds the address for it (ReaderSocket).
//
// When a configure changes its reader IP to another loopback address, it echoes from the old address
// and then moves to the new one (as a real reader restarts on its new address), so a read-back after
// the change finds it there. It stays where it is when the new address is not a loopback address or
// is taken; moves() tells what happened.
//
// A reader started on a network card (startOnCard) is a device on that card instead: see there.
// Either kind can take time to "restart" after such a configure (setRestartDelay): it answers nothing
// meanwhile, as a device whose stack restarts.
class SimulatedReader : public QObject {
    Q_OBJECT

public:
    static constexpr quint16 Port = 1001;

    explicit SimulatedReader(const QString &address, QObject *parent = nullptr);
    ~SimulatedReader() override;

    // The settings a reader at this address comes with: its address, 255.255.255.0, gateway a.b.c.1,
    // server 192.168.0.110, ports 1234, MAC 00-14-a-b-c-d, UDP, heartbeat sent, beeper on, keys in the
    // command.
    static ReaderSettings DefaultSettings(const QHostAddress &address);
    // E1 x4, 32 keys FF FF FF FF FF FF, 1E x4.
    static QByteArray DefaultKeyFrame();
    static QString FrameKindName(FrameKind kind);
    static FrameKind Classify(const QByteArray &datagram) { return ClassifyFrame(datagram); }

    // Refuses an address outside 127.0.0.0/8 unless allowed.
    void setAllowNonLoopback(bool allow) { allowNonLoopback_ = allow; }
    // Binds address:1001; on failure returns false with a description.
    bool start(QString *error = nullptr);
    // Makes the reader a device on the card: it takes the card's IPv4 address and prefix as its settings
    // (the gateway of the default route through the card, else the subnet's first address), binds the
    // any-address on port 1001 so that it hears unicast and broadcast queries, and answers from its own
    // address. A configure that changes its address, mask or gateway is echoed, and after the restart
    // delay the card takes them: the old address goes, the new one comes, the default route follows.
    // Refused in the machine's own network namespace, where the card would be a real one.
    bool startOnCard(const QString &card, QString *error = nullptr);
    void stop();
    bool isListening() const;

    QString address() const { return addressText_; }
    QString card() const { return card_; }
    // Milliseconds between the echo of a configure that moves the reader and its taking the new settings.
    void setRestartDelay(int ms) { restartDelayMs_ = ms; }
    bool isRestarting() const { return restarting_; }
    // Every address change a configure asked for: "moved to X" or "stayed at Y: reason".
    QStringList moves() const { return moves_; }

    ReaderSettings settings() const { return settings_; }
    void setSettings(const ReaderSettings &settings) { settings_ = settings; }
    QByteArray keyFrame() const { return keyFrame_; }
    // Six bytes of the stored A or B key of a sector.
    QByteArray key(int sector, bool bKey) const;

    ReaderFaults faults() const { return faults_; }
    // Returns false (with a description) when replyFrom cannot be bound; the other faults are taken anyway.
    bool setFaults(const ReaderFaults &faults, QString *error = nullptr);
    void setDelay(int ms) { faults_.delayMs = ms; }
    void setSilent(bool silent) { faults_.silent = silent; }
    void setCorruptEcho(bool corrupt) { faults_.corruptEcho = corrupt; }
    void setReplyLength(int length) { faults_.replyLength = length; }
    bool setReplyFrom(const QString &address, QString *error = nullptr);

    QList<WireRecord> received() const { return received_; }
    QList<WireRecord> sent() const { return sent_; }
    void clearRecords();

signals:
    void datagramReceived(const vrx::WireRecord &record);
    void replySent(const vrx::WireRecord &record);
    // One line per datagram: time, peer, length, what it was, what was done. Never carries key bytes.
    void logLine(const QString &line);

private:
    void takePendingDatagrams();
    void handle(const WireRecord &request, const QHostAddress &peer);
    void sendReply(QByteArray reply, const QHostAddress &peer, const QString &peerText, quint16 peerPort,
                   bool restarts);
    // Takes the settings that the last configure asked for: after the restart delay, or at once.
    void restart();
    QString moveOnCard();
    // Log lines are only made when someone listens: the clock and the text cost more than the reply.
    bool logging() const;
    QString Outcome(FrameKind kind, bool answered) const;
    QString moveTo(const QString &newAddress);
    bool bindTo(const QHostAddress &address, QString *error);

    QHostAddress address_;
    QString addressText_; // address_ as dotted text, for the records
    ReaderSocket *socket_ = nullptr;
    ReaderSocket *replySocket_ = nullptr; // bound to faults_.replyFrom when set
    bool allowNonLoopback_ = false;
    ReaderSettings settings_;
    QByteArray keyFrame_;
    ReaderFaults faults_;
    QString card_;            // empty: a loopback reader bound to its own address
    CardAddress cardAddress_; // what the card holds, for a reader on a card
    int restartDelayMs_ = 0;
    bool restarting_ = false;
    QList<WireRecord> received_;
    QList<WireRecord> sent_;
    QStringList moves_;
};

} // namespace vrx
