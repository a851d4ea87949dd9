#include "CardAddress.h"
#include "CardNetwork.h"
#include "ReaderBehaviour.h"
#include "ReaderSimulator.h"
#include "SimulatorOptions.h"
#include "config/ParameterBlock.h"
#include "keys/KeyFrame.h"
#include "link/ReplyWait.h"

#include <QFile>
#include <QNetworkDatagram>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

#include <csignal>
#include <optional>

using namespace vrx;

namespace {

const QByteArray Query = QByteArray::fromHex("E6E8E0E9E3E9E3E6");

// The window's start-up targets: reader 192.168.0.101, server 192.168.0.110, ports 1234, UDP ...
const QByteArray WorkedExample =
    QByteArray::fromHex("E7E7E7E700C0A80065FFFFFF00C0A80001C0A8006E04D204D20014C0A80065FF0000000000"
                        "7E7E7E7E");

QByteArray BlockFor(const QString &readerIp) {
    ReaderSettings settings = ParameterBlock::decode(WorkedExample);
    const quint32 value = QHostAddress(readerIp).toIPv4Address();
    settings.readerIp = {quint8(value >> 24), quint8(value >> 16), quint8(value >> 8), quint8(value)};
    return ParameterBlock::encode(settings);
}

// 32 distinctive keys: sector s, A key "A0 s 11 22 33 44", B key "B0 s 55 66 77 88".
QByteArray KeyFrameWithKeys() {
    QByteArray frame = QByteArray(4, char(0xE1)) + QByteArray(192, '\0') + QByteArray(4, char(0x1E));
    for (int s = 0; s < 16; ++s) {
        const QByteArray a = QByteArray::fromHex("A000") + QByteArray::fromHex("11223344");
        const QByteArray b = QByteArray::fromHex("B000") + QByteArray::fromHex("55667788");
        frame.replace(KeyFrame::aKeyOffset(s), 6, a);
        frame.replace(KeyFrame::bKeyOffset(s), 6, b);
        frame[KeyFrame::aKeyOffset(s) + 1] = char(s);
        frame[KeyFrame::bKeyOffset(s) + 1] = char(s);
    }
    return frame;
}

// The computer's side: a plain socket on its own address, port 1000.
class Computer {
public:
    explicit Computer(const QString &address) {
        QVERIFY(socket.bind(QHostAddress(address), 1000, QAbstractSocket::DontShareAddress));
    }
    void send(const QByteArray &bytes, const QString &reader) {
        QCOMPARE(socket.writeDatagram(bytes, QHostAddress(reader), 1001), qint64(bytes.size()));
    }
    // The next datagram that arrives within the time, or nothing.
    std::optional<QNetworkDatagram> reply(int timeoutMs = 2000) {
        if (!QTest::qWaitFor([this] { return socket.hasPendingDatagrams(); }, timeoutMs))
            return std::nullopt;
        return socket.receiveDatagram();
    }
    std::optional<QNetworkDatagram> ask(const QByteArray &bytes, const QString &reader,
                                        int timeoutMs = 2000) {
        send(bytes, reader);
        return reply(timeoutMs);
    }
    QUdpSocket socket;
};

} // namespace

class TestReaderSim : public QObject {
    Q_OBJECT

private slots:
    void answersTheQueryWithItsSettingsFromItsOwnAddress();
    void ignoresEverythingElse_data();
    void ignoresEverythingElse();
    void takesAndEchoesASettingsBlock();
    void movesToItsNewLoopbackAddress();
    void restartsBeforeTakingItsNewAddress();
    void takesAndEchoesAKeyFrame();
    void delayedReply();
    void silentReaderAnswersAndChangesNothing();
    void corruptedEcho();
    void replyLength_data();
    void replyLength();
    void replyFromAnotherAddress();
    void logHasOneLinePerDatagramAndNoKeys();
    void refusesNonLoopbackAddresses();
    void severalReaders();
    void consecutiveAddresses_data();
    void consecutiveAddresses();
    void commandLine_data();
    void commandLine();
    void programAnswersAndStopsOnSigterm();
    void respondsWithoutSockets_data();
    void respondsWithoutSockets();
    void cardAddressOfSettings_data();
    void cardAddressOfSettings();
    void refusesACardInTheMachinesOwnNamespace();
};

void TestReaderSim::answersTheQueryWithItsSettingsFromItsOwnAddress() {
    ReaderSimulator simulator;
    SimulatedReader *reader = simulator.addReader(QStringLiteral("127.0.22.101"));
    QVERIFY(reader);
    Computer computer(QStringLiteral("127.0.22.1"));

    const auto reply = computer.ask(Query, QStringLiteral("127.0.22.101"));
    QVERIFY(reply);
    QCOMPARE(reply->data(),
             QByteArray::fromHex("E7E7E7E7007F001665FFFFFF007F001601C0A8006E04D204D200147F001665"
                                 "FF0000000000"
                                 "7E7E7E7E"));
    QCOMPARE(reply->senderAddress(), QHostAddress(QStringLiteral("127.0.22.101")));
    QCOMPARE(reply->senderPort(), 1001);

    QCOMPARE(reader->received().size(), 1);
    QCOMPARE(reader->received().first().peer, QStringLiteral("127.0.22.1"));
    QCOMPARE(reader->received().first().peerPort, quint16(1000));
    QCOMPARE(reader->received().first().bytes, Query);
    QCOMPARE(reader->sent().size(), 1);
    QCOMPARE(reader->sent().first().bytes, reply->data());
    QCOMPARE(reader->sent().first().local, QStringLiteral("127.0.22.101"));
}

void TestReaderSim::ignoresEverythingElse_data() {
    QTest::addColumn<QByteArray>("datagram");
    QByteArray badHead = WorkedExample;
    badHead[3] = char(0xE6);
    QByteArray badTail = WorkedExample;
    badTail[40] = 0;
    QByteArray badKeys = KeyFrameWithKeys();
    badKeys[196] = 0;
    QByteArray queryWithOneByteChanged = Query;
    queryWithOneByteChanged[7] = char(0xE7);

    QTest::newRow("query less its last byte") << Query.first(7);
    QTest::newRow("query plus a byte") << Query + '\0';
    QTest::newRow("query with a byte changed") << queryWithOneByteChanged;
    QTest::newRow("40 bytes") << WorkedExample.first(40);
    QTest::newRow("42 bytes") << WorkedExample + '\0';
    QTest::newRow("41, wrong head marker") << badHead;
    QTest::newRow("41, wrong tail marker") << badTail;
    QTest::newRow("200, wrong end marker") << badKeys;
    QTest::newRow("199 bytes") << KeyFrameWithKeys().first(199);
    QTest::newRow("201 bytes") << KeyFrameWithKeys() + '\x1E';
    QTest::newRow("empty") << QByteArray();
}

void TestReaderSim::ignoresEverythingElse() {
    QFETCH(QByteArray, datagram);
    ReaderSimulator simulator;
    SimulatedReader *reader = simulator.addReader(QStringLiteral("127.0.22.102"));
    QVERIFY(reader);
    const ReaderSettings before = reader->settings();
    Computer computer(QStringLiteral("127.0.22.2"));

    computer.send(datagram, QStringLiteral("127.0.22.102"));
    // The query that follows is answered; it is the only reply.
    const auto reply = computer.ask(Query, QStringLiteral("127.0.22.102"));
    QVERIFY(reply);
    QCOMPARE(reply->data().size(), 41);
    QCOMPARE(reader->received().size(), 2);
    QCOMPARE(reader->received().first().bytes, datagram);
    QCOMPARE(reader->sent().size(), 1);
    QVERIFY(reader->settings() == before);
    QCOMPARE(reader->keyFrame(), SimulatedReader::DefaultKeyFrame());
}

void TestReaderSim::takesAndEchoesASettingsBlock() {
    ReaderSimulator simulator;
    SimulatedReader *reader = simulator.addReader(QStringLiteral("127.0.22.103"));
    QVERIFY(reader);
    Computer computer(QStringLiteral("127.0.22.3"));

    const auto echo = computer.ask(WorkedExample, QStringLiteral("127.0.22.103"));
    QVERIFY(echo);
    QCOMPARE(echo->data(), WorkedExample);
    QCOMPARE(echo->senderAddress(), QHostAddress(QStringLiteral("127.0.22.103")));
    QVERIFY(reader->settings() == ParameterBlock::decode(WorkedExample));
    // 192.168.0.101 is not a loopback address: the reader stays where it is, and says so.
    QCOMPARE(reader->address(), QStringLiteral("127.0.22.103"));
    QCOMPARE(reader->moves().size(), 1);
    QVERIFY(reader->moves().first().contains(QLatin1String("not a loopback address")));

    const auto readBack = computer.ask(Query, QStringLiteral("127.0.22.103"));
    QVERIFY(readBack);
    QCOMPARE(readBack->data(), WorkedExample);
}

void TestReaderSim::movesToItsNewLoopbackAddress() {
    ReaderSimulator simulator;
    SimulatedReader *reader = simulator.addReader(QStringLiteral("127.0.22.104"));
    QVERIFY(reader);
    Computer computer(QStringLiteral("127.0.22.4"));

    const QByteArray block = BlockFor(QStringLiteral("127.0.22.124"));
    const auto echo = computer.ask(block, QStringLiteral("127.0.22.104"));
    QVERIFY(echo);
    QCOMPARE(echo->data(), block);
    QCOMPARE(echo->senderAddress(), QHostAddress(QStringLiteral("127.0.22.104"))); // from the old address
    QCOMPARE(reader->address(), QStringLiteral("127.0.22.124"));
    QCOMPARE(simulator.reader(QStringLiteral("127.0.22.124")), reader);
    QCOMPARE(reader->moves(), QStringList{QStringLiteral("moved from 127.0.22.104 to 127.0.22.124")});

    const auto readBack = computer.ask(Query, QStringLiteral("127.0.22.124"));
    QVERIFY(readBack);
    QCOMPARE(readBack->data(), block);
    QCOMPARE(readBack->senderAddress(), QHostAddress(QStringLiteral("127.0.22.124")));
    // Nobody listens at the old address any more.
    QVERIFY(!computer.ask(Query, QStringLiteral("127.0.22.104"), 100));
}

// A restart delay: the echo comes from the old address, then nothing answers anywhere until the reader
// has taken its new address.
void TestReaderSim::restartsBeforeTakingItsNewAddress() {
    ReaderSimulator simulator;
    simulator.setRestartDelay(300);
    SimulatedReader *reader = simulator.addReader(QStringLiteral("127.0.25.101"));
    QVERIFY(reader);
    Computer computer(QStringLiteral("127.0.25.1"));

    const QByteArray block = BlockFor(QStringLiteral("127.0.25.121"));
    const qint64 start = TickCount();
    const auto echo = computer.ask(block, QStringLiteral("127.0.25.101"));
    QVERIFY(echo);
    QCOMPARE(echo->senderAddress(), QHostAddress(QStringLiteral("127.0.25.101")));
    QVERIFY(reader->isRestarting());
    QCOMPARE(reader->address(), QStringLiteral("127.0.25.101"));
    computer.send(Query, QStringLiteral("127.0.25.101"));
    QVERIFY(!computer.reply(100)); // restarting: not even the old address answers

    QTRY_VERIFY_WITH_TIMEOUT(!reader->isRestarting(), 2000);
    QVERIFY(TickCount() - start >= 299);
    QCOMPARE(reader->address(), QStringLiteral("127.0.25.121"));
    const auto readBack = computer.ask(Query, QStringLiteral("127.0.25.121"));
    QVERIFY(readBack);
    QCOMPARE(readBack->data(), block);
    QCOMPARE(reader->received().size(), 2); // the query sent while it restarted never reached it
}

void TestReaderSim::takesAndEchoesAKeyFrame() {
    ReaderSimulator simulator;
    SimulatedReader *reader = simulator.addReader(QStringLiteral("127.0.22.105"));
    QVERIFY(reader);
    QCOMPARE(reader->key(15, true), QByteArray(6, char(0xFF)));
    Computer computer(QStringLiteral("127.0.22.5"));

    const QByteArray frame = KeyFrameWithKeys();
    const auto echo = computer.ask(frame, QStringLiteral("127.0.22.105"));
    QVERIFY(echo);
    QCOMPARE(echo->data(), frame);
    QCOMPARE(reader->keyFrame(), frame);
    QCOMPARE(reader->key(0, false), QByteArray::fromHex("A00011223344"));
    QCOMPARE(reader->key(8, true), QByteArray::fromHex("B00855667788"));
    QCOMPARE(reader->key(15, true), QByteArray::fromHex("B00F55667788"));
}

void TestReaderSim::delayedReply() {
    ReaderSimulator simulator;
    SimulatedReader *reader = simulator.addReader(QStringLiteral("127.0.22.106"));
    QVERIFY(reader);
    reader->setDelay(250);
    Computer computer(QStringLiteral("127.0.22.6"));

    const qint64 start = TickCount();
    computer.send(Query, QStringLiteral("127.0.22.106"));
    const auto reply = computer.reply(2000);
    const qint64 elapsed = TickCount() - start;
    QVERIFY(reply);
    QCOMPARE(reply->data().size(), 41);
    QVERIFY2(elapsed >= 249, qPrintable(QString::number(elapsed)));
    QVERIFY(reader->sent().first().time - reader->received().first().time >= 249);
}

void TestReaderSim::silentReaderAnswersAndChangesNothing() {
    ReaderSimulator simulator;
    SimulatedReader *reader = simulator.addReader(QStringLiteral("127.0.22.107"));
    QVERIFY(reader);
    reader->setSilent(true);
    const ReaderSettings before = reader->settings();
    Computer computer(QStringLiteral("127.0.22.7"));

    computer.send(Query, QStringLiteral("127.0.22.107"));
    computer.send(WorkedExample, QStringLiteral("127.0.22.107"));
    computer.send(KeyFrameWithKeys(), QStringLiteral("127.0.22.107"));
    QTRY_COMPARE_WITH_TIMEOUT(reader->received().size(), 3, 2000);
    QVERIFY(reader->sent().isEmpty()); // an answer would have left while each datagram was handled
    QVERIFY(!computer.socket.hasPendingDatagrams());
    QVERIFY(reader->settings() == before);
    QCOMPARE(reader->keyFrame(), SimulatedReader::DefaultKeyFrame());

    reader->setSilent(false);
    QVERIFY(computer.ask(Query, QStringLiteral("127.0.22.107")));
}

void TestReaderSim::corruptedEcho() {
    ReaderSimulator simulator;
    SimulatedReader *reader = simulator.addReader(QStringLiteral("127.0.22.108"));
    QVERIFY(reader);
    reader->setCorruptEcho(true);
    Computer computer(QStringLiteral("127.0.22.8"));

    const auto echo = computer.ask(WorkedExample, QStringLiteral("127.0.22.108"));
    QVERIFY(echo);
    QCOMPARE(echo->data().first(40), WorkedExample.first(40));
    QCOMPARE(quint8(echo->data().at(40)), quint8(0x81));
    const auto keyEcho = computer.ask(KeyFrameWithKeys(), QStringLiteral("127.0.22.108"));
    QVERIFY(keyEcho);
    QCOMPARE(keyEcho->data().size(), 200);
    QVERIFY(keyEcho->data() != KeyFrameWithKeys());
    QCOMPARE(keyEcho->data().first(199), KeyFrameWithKeys().first(199));
    // The query's answer is not an echo and stays intact.
    const auto answer = computer.ask(Query, QStringLiteral("127.0.22.108"));
    QVERIFY(answer);
    QCOMPARE(answer->data(), WorkedExample);
}

void TestReaderSim::replyLength_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("length");
    QTest::newRow("answer cut to 40") << Query << 40;
    QTest::newRow("answer padded to 42") << Query << 42;
    QTest::newRow("echo cut to 0") << WorkedExample << 0;
    QTest::newRow("key echo cut to 199") << KeyFrameWithKeys() << 199;
    QTest::newRow("key echo padded to 300") << KeyFrameWithKeys() << 300;
}

void TestReaderSim::replyLength() {
    QFETCH(QByteArray, request);
    QFETCH(int, length);
    ReaderSimulator simulator;
    SimulatedReader *reader = simulator.addReader(QStringLiteral("127.0.22.109"));
    QVERIFY(reader);
    reader->setReplyLength(length);
    Computer computer(QStringLiteral("127.0.22.9"));

    const auto reply = computer.ask(request, QStringLiteral("127.0.22.109"));
    QVERIFY(reply);
    QCOMPARE(reply->data().size(), length);
    const QByteArray full = request == Query ? ParameterBlock::encode(reader->settings()) : request;
    const qsizetype common = qMin<qsizetype>(length, full.size());
    QCOMPARE(reply->data().first(common), full.first(common));
    QCOMPARE(reply->data().sliced(common), QByteArray(length - common, '\0'));
}

void TestReaderSim::replyFromAnotherAddress() {
    ReaderSimulator simulator;
    SimulatedReader *reader = simulator.addReader(QStringLiteral("127.0.22.110"));
    QVERIFY(reader);
    QVERIFY(reader->setReplyFrom(QStringLiteral("127.0.22.210")));
    QString error;
    QVERIFY(!reader->setReplyFrom(QStringLiteral("10.255.255.1"), &error));
    QVERIFY(error.contains(QLatin1String("not a loopback address")));
    QVERIFY(reader->setReplyFrom(QStringLiteral("127.0.22.210")));
    Computer computer(QStringLiteral("127.0.22.10"));

    const auto reply = computer.ask(Query, QStringLiteral("127.0.22.110"));
    QVERIFY(reply);
    QCOMPARE(reply->senderAddress(), QHostAddress(QStringLiteral("127.0.22.210")));
    QCOMPARE(reader->sent().first().local, QStringLiteral("127.0.22.210"));

    QVERIFY(reader->setReplyFrom(QString()));
    const auto own = computer.ask(Query, QStringLiteral("127.0.22.110"));
    QVERIFY(own);
    QCOMPARE(own->senderAddress(), QHostAddress(QStringLiteral("127.0.22.110")));
}

void TestReaderSim::logHasOneLinePerDatagramAndNoKeys() {
    ReaderSimulator simulator;
    QString text;
    QTextStream stream(&text);
    simulator.setLogStream(&stream);
    SimulatedReader *reader = simulator.addReader(QStringLiteral("127.0.22.111"));
    QVERIFY(reader);
    QSignalSpy lines(&simulator, &ReaderSimulator::logLine);
    Computer computer(QStringLiteral("127.0.22.11"));

    QVERIFY(computer.ask(Query, QStringLiteral("127.0.22.111")));
    QVERIFY(computer.ask(KeyFrameWithKeys(), QStringLiteral("127.0.22.111")));
    computer.send(KeyFrameWithKeys().first(199), QStringLiteral("127.0.22.111"));
    QVERIFY(computer.ask(WorkedExample, QStringLiteral("127.0.22.111"))); // plus one line: it stays put

    QCOMPARE(lines.size(), 5);
    QCOMPARE(text.count(QLatin1Char('\n')), 5);
    const QString first = lines.at(0).at(0).toString();
    QVERIFY2(first.contains(QLatin1String("127.0.22.11:1000")) && first.contains(QLatin1String("8 bytes")) &&
                 first.contains(QLatin1String("parameter query")) &&
                 first.contains(QLatin1String("answered")),
             qPrintable(first));
    QVERIFY(lines.at(1).at(0).toString().contains(QLatin1String("key frame")));
    QVERIFY(lines.at(2).at(0).toString().contains(QLatin1String("ignored")));
    for (const QString &key :
         {QStringLiteral("A00011223344"), QStringLiteral("B00855667788"), QStringLiteral("a00011223344"),
          QStringLiteral("A0 00 11 22 33 44"), QStringLiteral("11223344"), QStringLiteral("55667788")})
        QVERIFY2(!text.contains(key, Qt::CaseInsensitive), qPrintable(key));
}

void TestReaderSim::refusesNonLoopbackAddresses() {
    ReaderSimulator simulator;
    QString error;
    QVERIFY(!simulator.addReader(QStringLiteral("10.255.255.1"), &error));
    QVERIFY2(error.contains(QLatin1String("not a loopback address")), qPrintable(error));
    QVERIFY(!simulator.addReader(QStringLiteral("reader"), &error));
    QVERIFY(simulator.readers().isEmpty());

    // A settings block never moves a reader onto a real network.
    SimulatedReader *reader = simulator.addReader(QStringLiteral("127.0.22.112"));
    QVERIFY(reader);
    Computer computer(QStringLiteral("127.0.22.12"));
    QVERIFY(computer.ask(BlockFor(QStringLiteral("10.255.255.1")), QStringLiteral("127.0.22.112")));
    QCOMPARE(reader->address(), QStringLiteral("127.0.22.112"));
}

void TestReaderSim::severalReaders() {
    ReaderSimulator simulator;
    QString error;
    const QStringList addresses =
        ReaderSimulator::ConsecutiveAddresses(QStringLiteral("127.0.23.101"), 3, &error);
    for (const QString &address : addresses)
        QVERIFY2(simulator.addReader(address, &error), qPrintable(error));
    QVERIFY(!simulator.addReader(QStringLiteral("127.0.23.102"), &error)); // taken
    Computer computer(QStringLiteral("127.0.23.1"));

    for (const QString &address : addresses) {
        const auto reply = computer.ask(Query, address);
        QVERIFY(reply);
        QCOMPARE(reply->senderAddress(), QHostAddress(address));
        QCOMPARE(ParameterBlock::decode(reply->data()).readerIp,
                 simulator.reader(address)->settings().readerIp);
    }
    QCOMPARE(simulator.received().size(), 3);
    QCOMPARE(simulator.sent().size(), 3);
    simulator.clearRecords();
    QVERIFY(simulator.received().isEmpty());
}

void TestReaderSim::consecutiveAddresses_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("addresses");
    QTest::newRow("one") << "127.0.0.101" << 1 << QStringList{"127.0.0.101"};
    QTest::newRow("three") << "127.0.0.101" << 3 << QStringList{"127.0.0.101", "127.0.0.102", "127.0.0.103"};
    QTest::newRow("up to .254") << "127.0.0.253" << 2 << QStringList{"127.0.0.253", "127.0.0.254"};
    QTest::newRow("past .254") << "127.0.0.254" << 2 << QStringList{};
    QTest::newRow("zero") << "127.0.0.1" << 0 << QStringList{};
    QTest::newRow("not an address") << "reader" << 1 << QStringList{};
}

void TestReaderSim::consecutiveAddresses() {
    QFETCH(QString, first);
    QFETCH(int, count);
    QFETCH(QStringList, addresses);
    QString error;
    QCOMPARE(ReaderSimulator::ConsecutiveAddresses(first, count, &error), addresses);
    QCOMPARE(error.isEmpty(), !addresses.isEmpty());
}

void TestReaderSim::commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::addColumn<QStringList>("addresses");
    QTest::addColumn<QString>("mention"); // in the error or help text

    const int run = ParsedSimulatorOptions::Run;
    const int fail = ParsedSimulatorOptions::Fail;
    QTest::newRow("default") << QStringList{} << run << QStringList{"127.0.0.101"} << QString();
    QTest::newRow("repeated address") << QStringList{"--address", "127.0.0.5", "--address", "127.0.0.9"}
                                      << run << QStringList{"127.0.0.5", "127.0.0.9"} << QString();
    QTest::newRow("count") << QStringList{"--address", "127.0.0.101", "--count", "2"} << run
                           << QStringList{"127.0.0.101", "127.0.0.102"} << QString();
    QTest::newRow("count from default")
        << QStringList{"--count", "2"} << run << QStringList{"127.0.0.101", "127.0.0.102"} << QString();
    QTest::newRow("non-loopback refused")
        << QStringList{"--address", "192.168.0.101"} << fail << QStringList{} << "--allow-non-loopback";
    QTest::newRow("non-loopback allowed") << QStringList{"--address", "192.168.0.101", "--allow-non-loopback"}
                                          << run << QStringList{"192.168.0.101"} << QString();
    QTest::newRow("reply-from non-loopback")
        << QStringList{"--reply-from", "10.0.0.1"} << fail << QStringList{} << "not a loopback address";
    QTest::newRow("bad address") << QStringList{"--address", "127.0.0"} << fail << QStringList{}
                                 << "not an IPv4 address";
    QTest::newRow("bad delay") << QStringList{"--delay", "soon"} << fail << QStringList{} << "--delay";
    QTest::newRow("bad length") << QStringList{"--reply-length", "-1"} << fail << QStringList{}
                                << "--reply-length";
    QTest::newRow("unknown option") << QStringList{"--loud"} << fail << QStringList{} << "loud";
    QTest::newRow("on a card") << QStringList{"--interface", "eth0", "--restart-delay", "1500"} << run
                               << QStringList{} << QString();
    QTest::newRow("card and address") << QStringList{"--interface", "eth0", "--address", "127.0.0.5"} << fail
                                      << QStringList{} << "--address";
    QTest::newRow("card and count") << QStringList{"--interface", "eth0", "--count", "2"} << fail
                                    << QStringList{} << "--count";
    QTest::newRow("card without a name") << QStringList{"--interface="} << fail << QStringList{} << "name";
    QTest::newRow("bad restart delay")
        << QStringList{"--restart-delay", "600001"} << fail << QStringList{} << "--restart-delay";
    QTest::newRow("stray argument") << QStringList{"127.0.0.1"} << fail << QStringList{} << "unexpected";
    QTest::newRow("help") << QStringList{"--help"} << int(ParsedSimulatorOptions::ShowHelp) << QStringList{}
                          << "--restart-delay";
    QTest::newRow("version") << QStringList{"--version"} << int(ParsedSimulatorOptions::ShowVersion)
                             << QStringList{} << VRX_VERSION;
}

void TestReaderSim::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QFETCH(QStringList, addresses);
    QFETCH(QString, mention);

    const ParsedSimulatorOptions parsed =
        ParseSimulatorOptions(QStringList{QStringLiteral("vrx-reader-sim")} + arguments);
    QCOMPARE(int(parsed.action), action);
    QCOMPARE(parsed.options.addresses, addresses);
    QVERIFY2(parsed.text.contains(mention), qPrintable(parsed.text));
    if (arguments.contains(QStringLiteral("--interface")) && action == ParsedSimulatorOptions::Run) {
        QCOMPARE(parsed.options.card, QStringLiteral("eth0"));
        QCOMPARE(parsed.options.restartDelayMs, 1500);
    }
}

void TestReaderSim::programAnswersAndStopsOnSigterm() {
    const ParsedSimulatorOptions faults =
        ParseSimulatorOptions({"vrx-reader-sim", "--delay", "5", "--silent", "--corrupt-echo",
                               "--reply-length", "9", "--reply-from", "127.0.24.9"});
    QCOMPARE(faults.action, ParsedSimulatorOptions::Run);
    QCOMPARE(faults.options.faults.delayMs, 5);
    QVERIFY(faults.options.faults.silent && faults.options.faults.corruptEcho);
    QCOMPARE(faults.options.faults.replyLength, 9);
    QCOMPARE(faults.options.faults.replyFrom, QStringLiteral("127.0.24.9"));

    QProcess program;
    program.start(QStringLiteral(VRX_READER_SIM_PATH),
                  {QStringLiteral("--address"), QStringLiteral("127.0.24.101"), QStringLiteral("--count"),
                   QStringLiteral("2"), QStringLiteral("--reply-length"), QStringLiteral("42")});
    QVERIFY(program.waitForStarted());
    QByteArray log;
    QVERIFY(QTest::qWaitFor(
        [&] {
            log += program.readAllStandardError();
            return log.contains("127.0.24.102:1001");
        },
        5000));

    Computer computer(QStringLiteral("127.0.24.1"));
    const auto reply = computer.ask(Query, QStringLiteral("127.0.24.102"));
    QVERIFY(reply);
    QCOMPARE(reply->data().size(), 42);
    QVERIFY(QTest::qWaitFor(
        [&] {
            log += program.readAllStandardError();
            return log.contains("parameter query");
        },
        5000));

    ::kill(pid_t(program.processId()), SIGTERM);
    QVERIFY(program.waitForFinished(5000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    log += program.readAllStandardError();
    QVERIFY(log.contains("stopped"));
}

// The frame handling alone: the reply, the state taken and the move asked for, no socket involved.
void TestReaderSim::respondsWithoutSockets_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("takesSettings");
    QTest::addColumn<QString>("moveTo");
    const QString home = QStringLiteral("192.168.0.101");
    QTest::newRow("query") << home << Query << false << WorkedExample << false << QString();
    QTest::newRow("block for its own address")
        << home << WorkedExample << false << WorkedExample << true << QString();
    QTest::newRow("block for another address")
        << QStringLiteral("127.0.0.1") << WorkedExample << false << WorkedExample << true << home;
    QTest::newRow("silent block") << QStringLiteral("127.0.0.1") << WorkedExample << true << QByteArray()
                                  << false << QString();
    QTest::newRow("query plus one byte")
        << home << Query + '\0' << false << QByteArray() << false << QString();
}

void TestReaderSim::respondsWithoutSockets() {
    QFETCH(QString, address);
    QFETCH(QByteArray, request);
    QFETCH(bool, silent);
    QFETCH(QByteArray, reply);
    QFETCH(bool, takesSettings);
    QFETCH(QString, moveTo);
    ReaderState state{ParameterBlock::decode(WorkedExample), SimulatedReader::DefaultKeyFrame(), address};
    state.settings.beepOnRead = Beep::Silent; // so a taken block shows
    ReaderFaults faults;
    faults.silent = silent;

    const ReaderResponse response = RespondTo(state, request, faults);
    QCOMPARE(response.answered, !reply.isEmpty());
    QCOMPARE(response.reply,
             reply.isEmpty() ? reply : (request == Query ? ParameterBlock::encode(state.settings) : reply));
    QCOMPARE(response.settings == ParameterBlock::decode(WorkedExample), takesSettings);
    QCOMPARE(response.keyFrame, state.keyFrame);
    QCOMPARE(response.moveTo, moveTo);
}

// The address, prefix and default route that a card takes from a reader's network settings.
void TestReaderSim::cardAddressOfSettings_data() {
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("gateway");
    QTest::addColumn<QString>("card"); // CardAddress::toString(), or a word of the refusal
    QTest::newRow("/24") << "198.18.32.11"
                         << "255.255.255.0"
                         << "198.18.32.1"
                         << "198.18.32.11/24 via 198.18.32.1";
    QTest::newRow("/20") << "198.18.25.5"
                         << "255.255.240.0"
                         << "198.18.16.1"
                         << "198.18.25.5/20 via 198.18.16.1";
    QTest::newRow("gateway elsewhere") << "198.18.32.11"
                                       << "255.255.255.0"
                                       << "198.18.48.1"
                                       << "198.18.32.11/24, no gateway";
    QTest::newRow("gateway is itself") << "198.18.32.11"
                                       << "255.255.255.0"
                                       << "198.18.32.11"
                                       << "198.18.32.11/24, no gateway";
    QTest::newRow("no gateway") << "198.18.32.11"
                                << "255.255.255.0"
                                << "0.0.0.0"
                                << "198.18.32.11/24, no gateway";
    QTest::newRow("/31") << "198.18.32.0"
                         << "255.255.255.254"
                         << "198.18.32.1"
                         << "198.18.32.0/31 via 198.18.32.1";
    QTest::newRow("/32") << "198.18.32.7"
                         << "255.255.255.255"
                         << "198.18.32.1"
                         << "198.18.32.7/32, no gateway";
    QTest::newRow("mask with a hole") << "198.18.32.11"
                                      << "255.0.255.0"
                                      << "198.18.32.1"
                                      << "not a run of ones";
    QTest::newRow("mask of zeros") << "198.18.32.11"
                                   << "0.0.0.0"
                                   << "198.18.32.1"
                                   << "not a run of ones";
    QTest::newRow("network address") << "198.18.32.0"
                                     << "255.255.255.0"
                                     << "198.18.32.1"
                                     << "network or broadcast";
    QTest::newRow("broadcast address") << "198.18.47.255"
                                       << "255.255.240.0"
                                       << "198.18.32.1"
                                       << "network or broadcast";
    QTest::newRow("loopback") << "127.0.0.5"
                              << "255.0.0.0"
                              << "127.0.0.1"
                              << "cannot be a card's address";
    QTest::newRow("multicast") << "224.0.0.5"
                               << "255.255.255.0"
                               << "224.0.0.1"
                               << "cannot be a card's address";
    QTest::newRow("zero network") << "0.0.0.5"
                                  << "255.255.255.0"
                                  << "0.0.0.1"
                                  << "cannot be a card's address";
}

void TestReaderSim::cardAddressOfSettings() {
    QFETCH(QString, ip);
    QFETCH(QString, mask);
    QFETCH(QString, gateway);
    QFETCH(QString, card);
    ReaderSettings settings = SimulatedReader::DefaultSettings(QHostAddress(ip));
    settings.subnetMask = ParseIpAddress(mask).bytes;
    settings.defaultGateway = ParseIpAddress(gateway).bytes;

    QString reason;
    const std::optional<CardAddress> address = CardAddressOf(settings, &reason);
    QCOMPARE(address ? address->toString() : QString(), card.contains(u'/') ? card : QString());
    QVERIFY2(address || reason.contains(card), qPrintable(reason));
    if (address) {
        // Back into settings: the same address, mask and gateway.
        ReaderSettings again;
        SetNetworkSettings(again, *address);
        QCOMPARE(DottedText(again.readerIp), ip);
        QCOMPARE(DottedText(again.subnetMask), mask);
        QCOMPARE(DottedText(again.defaultGateway), gateway);
    }
}

// A reader on a card renumbers it: never in the machine's own network namespace, where the card is real.
void TestReaderSim::refusesACardInTheMachinesOwnNamespace() {
    // Only the machine's own namespace has this setting; a container's namespace has not.
    if (!QFile::exists(QStringLiteral("/proc/sys/net/core/netdev_max_backlog")))
        QSKIP("this test runs in a network namespace of its own; the refusal needs the machine's own");
    QString why;
    QVERIFY(!InOwnNetworkNamespace(&why));
    QVERIFY2(why.contains(QLatin1String("own network namespace")), qPrintable(why));

    ReaderSimulator simulator;
    QString error;
    QVERIFY(!simulator.addReaderOnCard(QStringLiteral("lo"), &error));
    QVERIFY2(error.contains(QLatin1String("ip netns exec")), qPrintable(error));

    QProcess program;
    program.start(QStringLiteral(VRX_READER_SIM_PATH), {QStringLiteral("--interface"), QStringLiteral("lo")});
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitCode(), 1);
    const QByteArray log = program.readAllStandardError();
    QVERIFY2(log.contains("own network namespace") && !log.contains("listening"), log.constData());
}

QTEST_GUILESS_MAIN(TestReaderSim)
#include "tst_readersim.moc"
