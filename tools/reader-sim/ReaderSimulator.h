#pragma once

#include "SimulatedReader.h"

#include <QList>
#include <QObject>
#include <QStringList>

class QTextStream;

namespace vrx {

// A set of simulated readers, each on its own address, sharing one log.
class ReaderSimulator : public QObject {
    Q_OBJECT

public:
    explicit ReaderSimulator(QObject *parent = nullptr);

    // count addresses counting up from first (127.0.0.101, 127.0.0.102, ...); empty with a description
    // when first is not an address or the range runs past x.x.x.254.
    static QStringList ConsecutiveAddresses(const QString &first, int count, QString *error = nullptr);

    void setAllowNonLoopback(bool allow) { allowNonLoopback_ = allow; }
    // Where the log lines go (one per datagram); nullptr for none.
    void setLogStream(QTextStream *stream) { log_ = stream; }

    // The restart delay of every reader, those added later too (see SimulatedReader::setRestartDelay).
    void setRestartDelay(int ms);

    // Creates and starts a reader; nullptr (and a description) when it cannot bind.
    SimulatedReader *addReader(const QString &address, QString *error = nullptr);
    // Creates a reader that is a device on the card (see SimulatedReader::startOnCard).
    SimulatedReader *addReaderOnCard(const QString &card, QString *error = nullptr);
    QList<SimulatedReader *> readers() const { return readers_; }
    // The reader now at this address (after any move), or nullptr.
    SimulatedReader *reader(const QString &address) const;

    // Applies the faults to every reader; false when one of them cannot take replyFrom.
    bool setFaults(const ReaderFaults &faults, QString *error = nullptr);
    // Everything every reader received, in arrival order.
    QList<WireRecord> received() const;
    QList<WireRecord> sent() const;
    void clearRecords();

signals:
    void logLine(const QString &line);

private:
    SimulatedReader *adopt(SimulatedReader *reader, bool started, const QString &name, const QString &problem,
                           QString *error);

    QList<SimulatedReader *> readers_;
    int restartDelayMs_ = 0;
    QTextStream *log_ = nullptr;
    bool allowNonLoopback_ = false;
};

} // namespace vrx
