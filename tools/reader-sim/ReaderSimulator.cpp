#include "ReaderSimulator.h"

#include "link/SSock.h"

#include <QTextStream>

#include <algorithm>

namespace vrx {

ReaderSimulator::ReaderSimulator(QObject *parent)
    : QObject(parent) {}

QStringList ReaderSimulator::ConsecutiveAddresses(const QString &first, int count, QString *error) {
    const std::optional<QHostAddress> start = SSock::ParseIPv4(first);
    QString problem;
    if (!start)
        problem = QStringLiteral("\"%1\" is not an IPv4 address").arg(first);
    else if (count < 1)
        problem = QStringLiteral("the count must be at least 1");
    else if ((start->toIPv4Address() & 0xFF) + quint32(count) - 1 > 254)
        problem = QStringLiteral("%1 addresses from %2 run past .254").arg(count).arg(first);
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return {};
    }
    QStringList addresses;
    for (int i = 0; i < count; ++i)
        addresses.append(QHostAddress(start->toIPv4Address() + quint32(i)).toString());
    return addresses;
}

void ReaderSimulator::setRestartDelay(int ms) {
    restartDelayMs_ = ms;
    for (SimulatedReader *reader : readers_)
        reader->setRestartDelay(ms);
}

SimulatedReader *ReaderSimulator::addReader(const QString &address, QString *error) {
    auto *reader = new SimulatedReader(address, this);
    reader->setAllowNonLoopback(allowNonLoopback_);
    QString problem;
    const bool started = reader->start(&problem);
    return adopt(reader, started, address, problem, error);
}

SimulatedReader *ReaderSimulator::addReaderOnCard(const QString &card, QString *error) {
    auto *reader = new SimulatedReader(QString(), this);
    QString problem;
    const bool started = reader->startOnCard(card, &problem);
    return adopt(reader, started, card, problem, error);
}

SimulatedReader *ReaderSimulator::adopt(SimulatedReader *reader, bool started, const QString &name,
                                        const QString &problem, QString *error) {
    if (!started) {
        delete reader;
        if (error)
            *error = QStringLiteral("%1: %2").arg(name, problem);
        return nullptr;
    }
    reader->setRestartDelay(restartDelayMs_);
    connect(reader, &SimulatedReader::logLine, this, [this](const QString &line) {
        if (log_) {
            *log_ << line << Qt::endl;
        }
        emit logLine(line);
    });
    readers_.append(reader);
    return reader;
}

SimulatedReader *ReaderSimulator::reader(const QString &address) const {
    for (SimulatedReader *reader : readers_) {
        if (reader->address() == address)
            return reader;
    }
    return nullptr;
}

bool ReaderSimulator::setFaults(const ReaderFaults &faults, QString *error) {
    bool ok = true;
    for (SimulatedReader *reader : readers_)
        ok = reader->setFaults(faults, error) && ok;
    return ok;
}

// One record of every reader's datagrams, in time order; records of the same tick keep reader order.
static QList<WireRecord> Merged(const QList<SimulatedReader *> &readers,
                                QList<WireRecord> (SimulatedReader::*records)() const) {
    QList<WireRecord> all;
    for (const SimulatedReader *reader : readers)
        all += (reader->*records)();
    std::stable_sort(all.begin(), all.end(),
                     [](const WireRecord &a, const WireRecord &b) { return a.time < b.time; });
    return all;
}

QList<WireRecord> ReaderSimulator::received() const {
    return Merged(readers_, &SimulatedReader::received);
}

QList<WireRecord> ReaderSimulator::sent() const {
    return Merged(readers_, &SimulatedReader::sent);
}

void ReaderSimulator::clearRecords() {
    for (SimulatedReader *reader : readers_)
        reader->clearRecords();
}

} // namespace vrx
