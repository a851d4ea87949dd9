// Simulated readers through the reader relay (vrx-reader-sim --relay), as tests under wine run them: on
// the wire a relayed reader is the reader that binds its own address, and the relay keeps the order of
// the replies, takes an address over from a program that ended without letting it go, and refuses what
// the system would.
//
// Addresses: computer side 127.2.18.1, readers 127.2.18.x.
#include "ReaderSimulator.h"
#include "ReaderSocket.h"
#include "RelayMessage.h"
#include "SimulatorOptions.h"
#include "config/ParameterBlock.h"

#include <QNetworkDatagram>
#include <QProcess>
#include <QTest>
#include <QUdpSocket>

using namespace vrx;

namespace {

const QByteArray Query = QByteArray::fromHex("E6E8E0E9E3E9E3E6");
const QString Computer = QStringLiteral("127.2.18.1");

// A key frame whose keys all hold `number`: the reader echoes it as it came.
QByteArray KeyFrameNumbered(int number) {
    QByteArray frame = QByteArray(4, char(0xE1)) + QByteArray(192, char(number)) + QByteArray(4, char(0x1E));
    return frame;
}

// The next datagram on the socket within two seconds, or an invalid one.
QNetworkDatagram NextDatagram(QUdpSocket &socket) {
    if (!QTest::qWaitFor([&] { return socket.hasPendingDatagrams(); }, 2000))
        return {};
    return socket.receiveDatagram();
}

} // namespace

class TestReaderRelay : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void aReaderAnswersFromItsOwnAddress_data() { transports(); }
    void aReaderAnswersFromItsOwnAddress();
    void repliesKeepTheirOrder_data() { transports(); }
    void repliesKeepTheirOrder();
    void anAddressHeldTwiceIsRefused_data() { transports(); }
    void anAddressHeldTwiceIsRefused();
    void takesOverFromAnotherProgram();
    void refusesANonLoopbackAddress();
    void withoutARelayNoReaderStarts_data();
    void withoutARelayNoReaderStarts();
    void commandLine_data();
    void commandLine();

private:
    // Rows "direct" (the reader binds its address) and "relayed" (the relay binds it).
    void transports();
    quint16 relayPort() const { return quint16(relayText_.section(QLatin1Char(':'), 1).toUInt()); }

    // The program, as scripts/test-windows.sh starts it: a relay in this process could not answer
    // while a reader here waits for its answer.
    QProcess relay_;
    QString relayText_;
};

void TestReaderRelay::initTestCase() {
    relay_.setProgram(QStringLiteral(VRX_READER_SIM_PATH));
    relay_.setArguments({"--relay", "127.0.0.1:0"});
    relay_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    relay_.start();
    QVERIFY(relay_.waitForReadyRead(10000));
    const QString ready = QString::fromUtf8(relay_.readLine()).trimmed();
    QVERIFY2(ready.startsWith(QLatin1String("relay listening on 127.0.0.1:")), qPrintable(ready));
    relayText_ = ready.section(QLatin1Char(' '), -1);
}

void TestReaderRelay::cleanupTestCase() {
    relay_.terminate();
    QVERIFY(relay_.waitForFinished(10000));
    QCOMPARE(relay_.exitCode(), 0);
}

void TestReaderRelay::init() {
    qunsetenv(ReaderSocket::RelayVariable);
}

void TestReaderRelay::transports() {
    QTest::addColumn<bool>("relayed");
    QTest::newRow("direct") << false;
    QTest::newRow("relayed") << true;
}

void TestReaderRelay::aReaderAnswersFromItsOwnAddress() {
    QFETCH(bool, relayed);
    if (relayed)
        qputenv(ReaderSocket::RelayVariable, relayText_.toLatin1());
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader(QStringLiteral("127.2.18.10"));
    QVERIFY(reader);
    QUdpSocket computer;
    QVERIFY(computer.bind(QHostAddress(Computer), 1000, QAbstractSocket::DontShareAddress));

    computer.writeDatagram(Query, QHostAddress(QStringLiteral("127.2.18.10")), 1001);
    const QNetworkDatagram reply = NextDatagram(computer);
    QCOMPARE(reply.data(), ParameterBlock::encode(reader->settings()));
    QCOMPARE(reply.senderAddress(), QHostAddress(QStringLiteral("127.2.18.10")));
    QCOMPARE(reply.senderPort(), 1001);
    QCOMPARE(reader->received().size(), 1);
    QCOMPARE(reader->received().front().peer, Computer);
    QCOMPARE(reader->received().front().peerPort, quint16(1000));
    QCOMPARE(reader->received().front().local, QStringLiteral("127.2.18.10"));

    // Replies from another address, and a move to a new one, go through the relay too.
    QVERIFY(reader->setReplyFrom(QStringLiteral("127.2.18.210")));
    computer.writeDatagram(Query, QHostAddress(QStringLiteral("127.2.18.10")), 1001);
    QCOMPARE(NextDatagram(computer).senderAddress(), QHostAddress(QStringLiteral("127.2.18.210")));
    QVERIFY(reader->setReplyFrom(QString()));
    ReaderSettings moved = reader->settings();
    moved.readerIp = {127, 2, 18, 11};
    computer.writeDatagram(ParameterBlock::encode(moved), QHostAddress(QStringLiteral("127.2.18.10")), 1001);
    QCOMPARE(NextDatagram(computer).senderAddress(), QHostAddress(QStringLiteral("127.2.18.10")));
    QCOMPARE(reader->address(), QStringLiteral("127.2.18.11"));
    computer.writeDatagram(Query, QHostAddress(QStringLiteral("127.2.18.11")), 1001);
    QCOMPARE(NextDatagram(computer).senderAddress(), QHostAddress(QStringLiteral("127.2.18.11")));
    computer.writeDatagram(Query, QHostAddress(QStringLiteral("127.2.18.10")), 1001);
    QVERIFY(!computer.waitForReadyRead(200)); // the old address let go
}

void TestReaderRelay::repliesKeepTheirOrder() {
    QFETCH(bool, relayed);
    if (relayed)
        qputenv(ReaderSocket::RelayVariable, relayText_.toLatin1());
    ReaderSimulator sim;
    QVERIFY(sim.addReader(QStringLiteral("127.2.18.20")));
    QUdpSocket computer;
    QVERIFY(computer.bind(QHostAddress(Computer), 1000, QAbstractSocket::DontShareAddress));
    constexpr int Frames = 100;
    for (int i = 0; i < Frames; ++i)
        computer.writeDatagram(KeyFrameNumbered(i), QHostAddress(QStringLiteral("127.2.18.20")), 1001);
    for (int i = 0; i < Frames; ++i)
        QCOMPARE(NextDatagram(computer).data(), KeyFrameNumbered(i));
}

void TestReaderRelay::anAddressHeldTwiceIsRefused() {
    QFETCH(bool, relayed);
    if (relayed)
        qputenv(ReaderSocket::RelayVariable, relayText_.toLatin1());
    ReaderSimulator sim;
    QVERIFY(sim.addReader(QStringLiteral("127.2.18.30")));
    QString error;
    QVERIFY(!sim.addReader(QStringLiteral("127.2.18.30"), &error));
    QCOMPARE(error, QStringLiteral("127.2.18.30: cannot bind 127.2.18.30:1001: The bound address is already "
                                   "in use"));
}

void TestReaderRelay::takesOverFromAnotherProgram() {
    // Another program's client bound the address and ended without letting it go.
    QUdpSocket ended;
    QVERIFY(ended.bind(QHostAddress::LocalHost, 0));
    RelayMessage bind{RelayMessage::Bind, QHostAddress(QStringLiteral("127.2.18.40")), 1001, {}, {}};
    bind.owner = 1;
    ended.writeDatagram(bind.encode(), QHostAddress::LocalHost, relayPort());
    QCOMPARE(RelayMessage::Decode(NextDatagram(ended).data())->kind, RelayMessage::Bound);

    qputenv(ReaderSocket::RelayVariable, relayText_.toLatin1());
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader(QStringLiteral("127.2.18.40"));
    QVERIFY(reader);
    QUdpSocket computer;
    QVERIFY(computer.bind(QHostAddress(Computer), 1000, QAbstractSocket::DontShareAddress));
    computer.writeDatagram(Query, QHostAddress(QStringLiteral("127.2.18.40")), 1001);
    QCOMPARE(NextDatagram(computer).senderAddress(), QHostAddress(QStringLiteral("127.2.18.40")));
    QVERIFY(!ended.hasPendingDatagrams()); // the query went to the new reader only
}

void TestReaderRelay::refusesANonLoopbackAddress() {
    QUdpSocket client;
    QVERIFY(client.bind(QHostAddress::LocalHost, 0));
    const RelayMessage bind{RelayMessage::Bind, QHostAddress(QStringLiteral("198.18.0.1")), 1001, {}, {}};
    client.writeDatagram(bind.encode(), QHostAddress::LocalHost, relayPort());
    const std::optional<RelayMessage> answer = RelayMessage::Decode(NextDatagram(client).data());
    QVERIFY(answer);
    QCOMPARE(answer->kind, RelayMessage::Refused);
    QCOMPARE(answer->payload, QByteArray("198.18.0.1 is not an IPv4 loopback address"));
}

void TestReaderRelay::withoutARelayNoReaderStarts_data() {
    QTest::addColumn<QString>("relay");
    QTest::addColumn<QString>("error");
    QTest::newRow("nothing listens") << "127.0.0.1:9"
                                     << "the reader relay at 127.0.0.1:9 did not answer";
    QTest::newRow("no port") << "127.0.0.1"
                             << "VRX_READER_RELAY=\"127.0.0.1\" names no relay";
}

void TestReaderRelay::withoutARelayNoReaderStarts() {
    QFETCH(QString, relay);
    QFETCH(QString, error);
    qputenv(ReaderSocket::RelayVariable, relay.toLatin1());
    ReaderSimulator sim;
    QString problem;
    QVERIFY(!sim.addReader(QStringLiteral("127.2.18.50"), &problem));
    QVERIFY2(problem.contains(error), qPrintable(problem));
}

void TestReaderRelay::commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("relay");
    QTest::addColumn<QString>("error");
    QTest::newRow("relay") << QStringList{"--relay", "127.0.0.1:47011"} << "127.0.0.1:47011"
                           << "";
    QTest::newRow("with readers") << QStringList{"--relay", "127.0.0.1:47011", "--count", "3"} << ""
                                  << "--relay runs no readers of its own: it goes without --count";
    QTest::newRow("not loopback") << QStringList{"--relay", "198.18.0.1:47011"} << ""
                                  << "--relay wants a loopback address and port";
    QTest::newRow("no port") << QStringList{"--relay", "127.0.0.1"} << ""
                             << "--relay wants a loopback address and port";
}

void TestReaderRelay::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, relay);
    QFETCH(QString, error);
    const ParsedSimulatorOptions parsed = ParseSimulatorOptions(QStringList{"vrx-reader-sim"} + arguments);
    QCOMPARE(parsed.action, error.isEmpty() ? ParsedSimulatorOptions::Run : ParsedSimulatorOptions::Fail);
    QCOMPARE(parsed.options.relay, relay);
    QVERIFY2(error.isEmpty() ? parsed.text.isEmpty() : parsed.text.startsWith(error),
             qPrintable(parsed.text));
}

QTEST_GUILESS_MAIN(TestReaderRelay)
#include "tst_readerrelay.moc"
