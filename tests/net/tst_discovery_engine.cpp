// ReaderDiscovery on real sockets, in a network namespace of this test's own: nothing it broadcasts can
// leave it. The computer's "cards" are loopback subnets handed to the engine (127.0.41.1/24 and
// 127.0.51.1/24); readers are answers sent from loopback addresses to whichever card asked.
#include "PrivateNetwork.h"
#include "config/ParameterBlock.h"
#include "net/ReaderDiscovery.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

#include <map>
#include <memory>

#include <sched.h>

using namespace vrx;

namespace {

const QString Card0 = QStringLiteral("127.0.41.1");
const QString Card1 = QStringLiteral("127.0.51.1");

LocalCard Card(const char *name, quint32 address) {
    LocalCard card;
    card.name = QLatin1String(name);
    card.address = address;
    card.prefixLength = 24;
    card.broadcast = address | 0xFF;
    return card;
}

const QList<LocalCard> Computer{Card("vrx0", 0x7F002901), Card("vrx1", 0x7F003301)};

QByteArray Block(quint8 macLast, const char *server = "127.0.41.110") {
    ReaderSettings settings;
    settings.subnetMask = {255, 255, 255, 0};
    settings.serverIp = ParseIpAddress(QLatin1String(server)).bytes;
    settings.readerMac = {0x00, 0x14, 0x7F, 0x29, 0x29, macLast};
    return ParameterBlock::encode(settings);
}

// Hears every query on port 1001 (as a reader bound to the any-address does) and sends the answers
// that are set for the card that asked.
class Readers : public QObject {
public:
    struct Answer {
        QString from;
        QString card; // the card address whose queries it answers; empty: every card's
        QByteArray datagram;
    };

    Readers() {
        QVERIFY(m_ear.bind(QHostAddress::AnyIPv4, 1001));
        connect(&m_ear, &QUdpSocket::readyRead, this, [this] {
            while (m_ear.hasPendingDatagrams()) {
                const QNetworkDatagram query = m_ear.receiveDatagram();
                queries.append(query.senderAddress().toString() + QStringLiteral(" -> ") +
                               query.destinationAddress().toString());
                for (const Answer &answer : std::as_const(answers))
                    if (answer.card.isEmpty() || QHostAddress(answer.card) == query.senderAddress())
                        mouth(answer.from)
                            .writeDatagram(answer.datagram, query.senderAddress(),
                                           quint16(query.senderPort()));
            }
        });
    }

    QList<Answer> answers;
    QStringList queries; // "sender -> destination"

private:
    QUdpSocket &mouth(const QString &address) {
        auto &socket = m_mouths[address];
        if (!socket) {
            socket = std::make_unique<QUdpSocket>();
            socket->bind(QHostAddress(address), 0);
        }
        return *socket;
    }

    QUdpSocket m_ear;
    std::map<QString, std::unique_ptr<QUdpSocket>> m_mouths;
};

DiscoveryOptions Options(int timeoutMs, int retries = 0) {
    DiscoveryOptions options;
    options.timeoutMs = timeoutMs;
    options.retries = retries;
    return options;
}

QStringList Listed(const QList<FoundReader> &readers) {
    QStringList lines;
    for (const FoundReader &reader : readers)
        lines.append(
            QStringLiteral("%1 %2 %3 %4")
                .arg(reader.address, reader.card, reader.cardAddress, MacText(reader.settings.readerMac))
                .trimmed());
    return lines;
}

} // namespace

class TestDiscoveryEngine : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void findsEachReaderOncePerCardInOneWait();
    void takesOnlyParameterBlocksFromOthers();
    void roundsSendAgainAndWaitAgain();
    void readerOutsideTheSubnetGetsItsCommand();
    void readersSharingAnAddressOrAMac();
    void aCardThatCannotBindEndsIt();
    void noCardToBroadcastOn();
    void stopEndsAtOnce();
};

void TestDiscoveryEngine::initTestCase() {
    if (::unshare(CLONE_NEWNET) != 0)
        QSKIP("cannot make a network namespace of its own (needs root): its broadcasts must stay inside one");
    QString why;
    QVERIFY2(BringLoopbackUp(&why), qPrintable(why));
}

void TestDiscoveryEngine::findsEachReaderOncePerCardInOneWait() {
    Readers readers;
    readers.answers = {{"127.0.41.7", Card0, Block(7)},
                       {"127.0.51.9", Card1, Block(9)},
                       {"127.0.41.8", {}, Block(8)}}; // heard on both cards' wires
    ReaderDiscovery discovery;
    QSignalSpy found(&discovery, &ReaderDiscovery::readerFound);
    QSignalSpy finished(&discovery, &ReaderDiscovery::finished);
    QElapsedTimer clock;
    clock.start();
    discovery.start(Options(300), Computer);
    QVERIFY(finished.wait(5000));
    const qint64 elapsed = clock.elapsed();

    QCOMPARE(Listed(discovery.found()), (QStringList{"127.0.41.7 vrx0 127.0.41.1 00-14-7F-29-29-07",
                                                     "127.0.41.8 vrx0 127.0.41.1 00-14-7F-29-29-08",
                                                     "127.0.41.8 vrx1 127.0.51.1 00-14-7F-29-29-08",
                                                     "127.0.51.9 vrx1 127.0.51.1 00-14-7F-29-29-09"}));
    QCOMPARE(found.size(), 4);
    QCOMPARE(finished.size(), 1);
    // One wait, not two: the bound leaves a busy machine room.
    QVERIFY2(elapsed >= 300 && elapsed < 2 * 300, qPrintable(QString::number(elapsed)));
    // Each card sent its subnet's broadcast and the limited broadcast, once.
    readers.queries.sort();
    QCOMPARE(readers.queries, (QStringList{"127.0.41.1 -> 127.0.41.255", "127.0.41.1 -> 255.255.255.255",
                                           "127.0.51.1 -> 127.0.51.255", "127.0.51.1 -> 255.255.255.255"}));
    const FoundReader first = found.first().first().value<FoundReader>();
    QVERIFY(first.discovered);
    QVERIFY(first.reachNote.isEmpty());
}

void TestDiscoveryEngine::takesOnlyParameterBlocksFromOthers() {
    QByteArray noMarkers = Block(21);
    noMarkers[0] = 0x00;
    Readers readers;
    readers.answers = {{Card0, Card0, Block(20)}, // this computer's own address
                       {Card1, Card0, Block(20)}, // the other card's address is this computer's too
                       {"127.0.41.21", Card0, noMarkers},
                       {"127.0.41.22", Card0, Block(22).left(40)},
                       {"127.0.41.23", Card0, QByteArray(200, char(0x11))},
                       {"127.0.41.24", Card0, Block(24)}};
    ReaderDiscovery discovery;
    QSignalSpy finished(&discovery, &ReaderDiscovery::finished);
    discovery.start(Options(200), Computer);
    QVERIFY(finished.wait(5000));
    QCOMPARE(Listed(discovery.found()), QStringList{"127.0.41.24 vrx0 127.0.41.1 00-14-7F-29-29-18"});
}

void TestDiscoveryEngine::roundsSendAgainAndWaitAgain() {
    Readers readers;
    readers.answers = {{"127.0.41.7", Card0, Block(7)}};
    ReaderDiscovery discovery;
    QSignalSpy found(&discovery, &ReaderDiscovery::readerFound);
    QSignalSpy finished(&discovery, &ReaderDiscovery::finished);
    QElapsedTimer clock;
    clock.start();
    DiscoveryOptions options = Options(150, 2);
    options.interfaceName = QStringLiteral("vrx0");
    discovery.start(options, Computer);
    QVERIFY(finished.wait(5000));
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(readers.queries.size(), 6);
    QCOMPARE(discovery.roundsSent(), 3);
    QCOMPARE(found.size(), 1); // answered every round, reported once
    QVERIFY2(elapsed >= 3 * 150 && elapsed < 4 * 150, qPrintable(QString::number(elapsed)));
}

void TestDiscoveryEngine::readerOutsideTheSubnetGetsItsCommand() {
    Readers readers;
    readers.answers = {{"127.0.99.5", Card0, Block(5, "127.0.99.110")}};
    ReaderDiscovery discovery;
    QSignalSpy finished(&discovery, &ReaderDiscovery::finished);
    discovery.start(Options(200), Computer);
    QVERIFY(finished.wait(5000));
    const QList<FoundReader> found = discovery.found();
    QCOMPARE(found.size(), 1);
    QCOMPARE(found[0].address, QStringLiteral("127.0.99.5"));
    QCOMPARE(found[0].cardAddress, Card0);
    QCOMPARE(found[0].reachNote, QStringLiteral("sudo ip addr add 127.0.99.110/24 dev vrx0"));
}

void TestDiscoveryEngine::readersSharingAnAddressOrAMac() {
    Readers readers;
    readers.answers = {{"127.0.41.30", Card0, Block(30)}, // two new readers at one address
                       {"127.0.41.30", Card0, Block(31)},
                       {"127.0.41.40", Card0, Block(44)}, // one MAC at two addresses
                       {"127.0.41.41", Card0, Block(44)}};
    ReaderDiscovery discovery;
    QSignalSpy finished(&discovery, &ReaderDiscovery::finished);
    discovery.start(Options(200), Computer);
    QVERIFY(finished.wait(5000));
    const QList<FoundReader> found = discovery.found();
    QCOMPARE(Listed(found), (QStringList{"127.0.41.30 vrx0 127.0.41.1 00-14-7F-29-29-1E",
                                         "127.0.41.30 vrx0 127.0.41.1 00-14-7F-29-29-1F",
                                         "127.0.41.40 vrx0 127.0.41.1 00-14-7F-29-29-2C",
                                         "127.0.41.41 vrx0 127.0.41.1 00-14-7F-29-29-2C"}));
    QCOMPARE(found[0].sameMacAt, QStringList{});
    QCOMPARE(found[2].sameMacAt, QStringList{"127.0.41.41"});
    QCOMPARE(found[3].sameMacAt, QStringList{"127.0.41.40"});
}

void TestDiscoveryEngine::aCardThatCannotBindEndsIt() {
    Readers readers;
    QUdpSocket holder;
    QVERIFY(holder.bind(QHostAddress(Card1), 1000));
    ReaderDiscovery discovery;
    QSignalSpy failed(&discovery, &ReaderDiscovery::failed);
    QSignalSpy finished(&discovery, &ReaderDiscovery::finished);
    discovery.start(Options(200), Computer);
    QVERIFY(finished.wait(5000));
    QCOMPARE(failed.size(), 1);
    QCOMPARE(failed.first().first().value<SocketError>().number, int(SocketErrorNumber::AddressInUse));
    QCOMPARE(discovery.failedCard().addressText(), Card1);
    QVERIFY(!discovery.isRunning());
    QTest::qWait(50);
    QCOMPARE(readers.queries, QStringList{}); // nothing is sent before every card is bound
}

void TestDiscoveryEngine::noCardToBroadcastOn() {
    ReaderDiscovery discovery;
    QSignalSpy finished(&discovery, &ReaderDiscovery::finished);
    DiscoveryOptions options = Options(200);
    options.interfaceName = QStringLiteral("eth9");
    discovery.start(options, Computer);
    QCOMPARE(finished.size(), 0); // start() returns first
    QVERIFY(finished.wait(1000));
    QCOMPARE(discovery.choice().problem, CardChoiceProblem::NoSuchInterface);
    QCOMPARE(discovery.roundsSent(), 0);
}

void TestDiscoveryEngine::stopEndsAtOnce() {
    Readers readers;
    readers.answers = {{"127.0.41.7", Card0, Block(7)}, {"127.0.41.8", Card0, Block(8)}};
    ReaderDiscovery discovery;
    QSignalSpy finished(&discovery, &ReaderDiscovery::finished);
    int reported = 0;
    connect(&discovery, &ReaderDiscovery::readerFound, &discovery, [&] {
        ++reported;
        discovery.stop();
    });
    QElapsedTimer clock;
    clock.start();
    discovery.start(Options(10000), Computer);
    QVERIFY(finished.wait(5000));
    QVERIFY(clock.elapsed() < 2000);
    QTest::qWait(50);
    QCOMPARE(reported, 1);
    QCOMPARE(discovery.found().size(), 1);
    QCOMPARE(finished.size(), 1);
}

QTEST_GUILESS_MAIN(TestDiscoveryEngine)
#include "tst_discovery_engine.moc"
