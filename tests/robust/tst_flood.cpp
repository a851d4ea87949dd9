// Strangers flood the window's port 1000 while it reads, configures and downloads keys against a
// simulated reader: every operation still ends as its own reader decided, every datagram sent is
// either taken by the window or counted by the kernel as dropped, and the window's thread never stalls.
//
// The strangers send from addresses the window must ignore: other loopback addresses (one of them on
// the reader's port 1001, one on 1000), and the computer's own LocalIp, the only sender allowed to
// send 200 bytes or more, because a key-length datagram from anyone else is taken as a key echo and
// would end any operation's wait. Right-length copies of the very frames the window sends and expects
// are among them. The reader's own address never floods: its 41-byte blocks are replies by definition.
//
// Accounting is per socket: the operations close and bind the socket, and a datagram queued in a
// socket that is closed is lost without a count. So the gate of the flood opens when the reader sees
// the request (the socket is bound and waiting) and closes when the operation shows its box, before
// its handler goes on to close or bind; there the test waits until taken + dropped equals sent.
// The operations run under a paced flood, for the reader's replies must find room in the window's
// queue; the last part of the flood comes back to back while the window is idle, to overrun the queue.

#include "FloodSender.h"
#include "Operations.h"
#include "ProcNetUdp.h"
#include "SimulatedReader.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <vector>

using namespace vrx;

namespace {

const QHostAddress WindowAddress(QStringLiteral("127.0.50.1"));
const QString ReaderAddress = QStringLiteral("127.0.50.2");
constexpr quint16 WindowPort = 1000;
constexpr int Senders = 4;
constexpr int DatagramsPerSender = 5000;
constexpr int BackToBackPerSender = 1000; // the last of each sender's datagrams
constexpr std::chrono::microseconds Pace{1000};
constexpr int TimerPeriodMs = 10;
constexpr qint64 LongestTimerGapMs = TimerPeriodMs + 50;
constexpr qint64 OperationsDeadlineMs = 25000;

QByteArray RandomBytes(std::mt19937 &random, int length) {
    QByteArray bytes(length, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random() & 0xFF);
    return bytes;
}

int Between(std::mt19937 &random, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
}

// What a stranger sends: below 200 bytes, often exactly 41 (a random block or a copy of the block the
// window sends, which is also what the reader answers with after a configure), the query's 8 bytes,
// and the near misses 40 and 42.
DatagramMaker StrangerDatagrams(QByteArray block) {
    return [block](std::mt19937 &random) {
        const int kind = Between(random, 0, 99);
        if (kind < 15)
            return block;
        if (kind < 30)
            return RandomBytes(random, 41);
        if (kind < 35)
            return QByteArray::fromHex("E6E8E0E9E3E9E3E6");
        if (kind < 40)
            return RandomBytes(random, Between(random, 0, 1) ? 40 : 42);
        return RandomBytes(random, Between(random, 0, 199));
    };
}

// What the computer's own address sends: every length up to a full Ethernet payload, with copies of
// the key frame (exactly, and with a tail) and of the block among them.
DatagramMaker LocalDatagrams(QByteArray block, QByteArray keyFrame) {
    return [block, keyFrame](std::mt19937 &random) {
        const int kind = Between(random, 0, 99);
        if (kind < 10)
            return keyFrame;
        if (kind < 20)
            return keyFrame + RandomBytes(random, Between(random, 1, 1472 - 200));
        if (kind < 25)
            return block;
        if (kind < 35)
            return RandomBytes(random, 200);
        return RandomBytes(random, Between(random, 0, 1472));
    };
}

// What the simulated reader does with one request.
enum class Behaviour { Answers, AnswersLate, Silent, Garbles };

ReaderFaults FaultsFor(Behaviour behaviour, Operation operation) {
    ReaderFaults faults;
    switch (behaviour) {
    case Behaviour::Answers:
        break;
    case Behaviour::AnswersLate:
        faults.delayMs = 40; // well inside the wait, so that the flood runs beside it
        break;
    case Behaviour::Silent:
        faults.silent = true;
        break;
    case Behaviour::Garbles:
        // A read answered with 42 bytes has no answer; an echo with its last byte flipped is wrong.
        if (operation == Operation::Read)
            faults.replyLength = 42;
        else
            faults.corruptEcho = true;
        break;
    }
    return faults;
}

Behaviour PickBehaviour(std::mt19937 &random) {
    const int pick = Between(random, 0, 9);
    return pick < 3   ? Behaviour::Answers
           : pick < 6 ? Behaviour::AnswersLate
           : pick < 8 ? Behaviour::Silent
                      : Behaviour::Garbles;
}

// The window's message box; when the window reports, the test takes its accounts before the handler
// continues.
class CheckpointMessages final : public MessageBox {
public:
    void Show(const QString &text) override {
        shown << text;
        if (checkpoint)
            checkpoint();
    }
    QStringList shown;
    std::function<void()> checkpoint;
};

} // namespace

class TestFlood : public QObject {
    Q_OBJECT

private slots:
    void operationsKeepTheirOutcomesUnderAFlood();
};

void TestFlood::operationsKeepTheirOutcomesUnderAFlood() {
    CheckpointMessages messages;
    SimulatedReader reader(ReaderAddress);
    QString error;
    QVERIFY2(reader.start(&error), qPrintable(error));
    Form1 form(messages);
    form.TextFindIP[0]->setText(ReaderAddress);
    form.TextPCIP->setText(WindowAddress.toString());

    // One of each, unflooded, gives the frames the strangers will copy.
    for (Operation operation : {Operation::Read, Operation::Configure, Operation::Keys}) {
        Click(form, operation);
        QVERIFY2(IsOutcome(operation, true, messages.shown.value(messages.shown.size() - 1)),
                 qPrintable(messages.shown.join(QLatin1Char('|'))));
    }
    const QByteArray block = form.Exchange.SendBuffer;
    const QByteArray keyFrame = form.Exchange.KeyFrame;

    FloodGate gate;
    std::vector<std::unique_ptr<FloodSender>> senders;
    auto addSender = [&](const QString &from, quint16 fromPort, DatagramMaker next) {
        FloodSender::Plan plan{QHostAddress(from),          fromPort,       DatagramsPerSender, Pace,
                               quint32(senders.size() + 1), std::move(next)};
        auto sender = std::make_unique<FloodSender>(gate, WindowAddress, WindowPort, std::move(plan));
        const bool started = sender->start(&error);
        if (started)
            senders.push_back(std::move(sender));
        return started;
    };
    QVERIFY2(addSender(QStringLiteral("127.0.51.1"), 1001, StrangerDatagrams(block)), qPrintable(error));
    QVERIFY2(addSender(QStringLiteral("127.0.51.2"), 0, StrangerDatagrams(block)), qPrintable(error));
    QVERIFY2(addSender(QStringLiteral("127.0.51.3"), 1000, StrangerDatagrams(block)), qPrintable(error));
    if (!addSender(form.Exchange.LocalIp, 0, LocalDatagrams(block, keyFrame))) {
        qWarning("LocalIp %s cannot send here (%s): a fourth stranger sends below 200 bytes instead",
                 qPrintable(form.Exchange.LocalIp), qPrintable(error));
        QVERIFY2(addSender(QStringLiteral("127.0.51.4"), 0, StrangerDatagrams(block)), qPrintable(error));
    }
    QStringList floodAddresses;
    for (const auto &sender : senders)
        floodAddresses << sender->senderText();
    QVERIFY(!floodAddresses.contains(ReaderAddress));

    auto totalSent = [&] {
        quint64 sum = 0;
        for (const auto &sender : senders)
            sum += sender->sent();
        return sum;
    };

    // Taken by the window: every DataArrival from a flood address.
    quint64 taken = 0;
    connect(form.SSock.get(), &SSock::DataArrival, this,
            [&](const QByteArray &, const QString &sender) { taken += floodAddresses.contains(sender); });

    bool flooded = false;
    connect(&reader, &SimulatedReader::datagramReceived, this, [&](const WireRecord &record) {
        if (record.peer == WindowAddress.toString()) {
            flooded = true;
            gate.open();
        }
    });

    quint64 accountedSent = 0, accountedTaken = 0, dropped = 0;
    int unbalancedOperations = 0;
    QString firstImbalance;
    messages.checkpoint = [&] {
        gate.close();
        if (!flooded)
            return;
        flooded = false;
        const quint64 sent = totalSent() - accountedSent;
        std::optional<UdpSocketCounters> socket;
        const bool balanced = QTest::qWaitFor(
            [&] {
                socket = UdpSocketState(WindowAddress, WindowPort);
                return socket && taken - accountedTaken + socket->drops == sent;
            },
            5000);
        if (!balanced && unbalancedOperations++ == 0)
            firstImbalance = socket ? QStringLiteral("sent %1, taken %2, dropped %3, %4 bytes still queued")
                                          .arg(sent)
                                          .arg(taken - accountedTaken)
                                          .arg(socket->drops)
                                          .arg(socket->queuedBytes)
                                    : QStringLiteral("no socket bound to %1:%2")
                                          .arg(WindowAddress.toString())
                                          .arg(WindowPort);
        accountedSent += sent;
        accountedTaken = taken;
        dropped += socket ? socket->drops : 0;
    };

    // The window's thread must keep its timers: the gap between two ticks of a 10 ms timer.
    qint64 longestGap = 0;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(TimerPeriodMs);
    connect(&ticker, &QTimer::timeout, this, [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
    sinceTick.start();
    ticker.start();

    std::mt19937 random(20261207);
    int operations = 0;
    int counts[3][2] = {};
    QElapsedTimer running;
    running.start();
    auto floodDone = [&] {
        return std::all_of(senders.begin(), senders.end(),
                           [](const auto &sender) { return sender->finished(); });
    };
    auto pacedPartDone = [&] {
        return std::all_of(senders.begin(), senders.end(), [](const auto &sender) {
            return sender->sent() >= quint64(DatagramsPerSender - BackToBackPerSender);
        });
    };
    while (!pacedPartDone() && running.elapsed() < OperationsDeadlineMs) {
        const auto operation = Operation(operations % 3);
        const Behaviour behaviour = PickBehaviour(random);
        reader.setFaults(FaultsFor(behaviour, operation));
        reader.clearRecords();
        const bool answers = behaviour == Behaviour::Answers || behaviour == Behaviour::AnswersLate;
        const qsizetype before = messages.shown.size();

        QElapsedTimer clicked;
        clicked.start();
        Click(form, operation);
        const qint64 took = clicked.elapsed();

        QVERIFY2(messages.shown.size() == before + 1,
                 qPrintable(QStringLiteral("%1 #%2 showed %3")
                                .arg(QLatin1String(OperationName(operation)))
                                .arg(operations)
                                .arg(messages.shown.mid(before).join(QLatin1Char('|')))));
        QVERIFY2(IsOutcome(operation, answers, messages.shown.last()),
                 qPrintable(QStringLiteral("%1 #%2, reader %3: %4 (status %5 after %6 ms, %7 replies sent)")
                                .arg(QLatin1String(OperationName(operation)))
                                .arg(operations)
                                .arg(answers ? QStringLiteral("answers") : QStringLiteral("does not answer"))
                                .arg(messages.shown.last())
                                .arg(form.Exchange.ExchangeStatus)
                                .arg(took)
                                .arg(reader.sent().size())));
        QVERIFY(form.Command1->isEnabled() && form.Command3->isEnabled() && form.Command5->isEnabled());
        ++counts[int(operation)][answers];
        ++operations;
    }
    QVERIFY2(pacedPartDone(), "the operations took too long");

    // The rest back to back at the idle window, whose socket stays bound.
    const std::optional<UdpSocketCounters> idleSocket = UdpSocketState(WindowAddress, WindowPort);
    QVERIFY(idleSocket);
    const quint64 idleSentBefore = totalSent(), idleTakenBefore = taken;
    for (const auto &sender : senders)
        sender->unpace();
    gate.open();
    QTRY_VERIFY_WITH_TIMEOUT(floodDone(), 10000);
    gate.close();
    std::optional<UdpSocketCounters> socket;
    const quint64 idleSent = totalSent() - idleSentBefore;
    QVERIFY(QTest::qWaitFor(
        [&] {
            socket = UdpSocketState(WindowAddress, WindowPort);
            return socket && taken - idleTakenBefore + socket->drops - idleSocket->drops == idleSent;
        },
        5000));
    const quint64 idleDropped = socket->drops - idleSocket->drops;
    accountedSent += idleSent;
    accountedTaken = taken;
    dropped += idleDropped;

    ticker.stop();
    const qint64 seconds = running.elapsed() / 1000;
    gate.stop();

    quint64 parameterLength = 0, keyLength = 0, failedSends = 0;
    for (const auto &sender : senders) {
        parameterLength += sender->sentParameterLength();
        keyLength += sender->sentKeyLength();
        failedSends += sender->failedSends();
    }
    qInfo("%d operations in %llds (read %d/%d, configure %d/%d, keys %d/%d succeeded/failed); "
          "flood sent %llu (%llu of 41 bytes, %llu of 200 or more), taken %llu, dropped %llu "
          "(%llu of the %llu sent back to back at the idle window); longest gap of the %d ms timer %lld ms",
          operations, seconds, counts[0][1], counts[0][0], counts[1][1], counts[1][0], counts[2][1],
          counts[2][0], totalSent(), parameterLength, keyLength, accountedTaken, dropped, idleDropped,
          idleSent, TimerPeriodMs, longestGap);

    QCOMPARE(failedSends, quint64(0));
    QCOMPARE(totalSent(), quint64(Senders * DatagramsPerSender));
    QVERIFY2(unbalancedOperations == 0, qPrintable(QStringLiteral("%1 operations out of balance, first: %2")
                                                       .arg(unbalancedOperations)
                                                       .arg(firstImbalance)));
    QCOMPARE(accountedTaken + dropped, totalSent());
    QVERIFY(parameterLength > 0);
    for (const auto &outcomes : counts)
        QVERIFY(outcomes[0] > 0 && outcomes[1] > 0); // each operation both succeeded and failed
    QVERIFY2(longestGap <= LongestTimerGapMs,
             qPrintable(QStringLiteral("the timer waited %1 ms").arg(longestGap)));
}

QTEST_MAIN(TestFlood)
#include "tst_flood.moc"
