// Two sockets of this program on one local port: both bind, each sees every datagram that arrives after
// its own bind, and another program is still kept out.
#include "ComputerAddress.h"
#include "link/SSock.h"

#include <QNetworkDatagram>
#include <QTest>
#include <QUdpSocket>

#include <memory>

using namespace vrx;

namespace {

// This test's own loopback addresses. Under wine only 127.0.0.1 keeps its address, so the computer and
// the reader are both there, told apart by their ports.
const QString Computer = vrx::test::ComputerAddress(QStringLiteral("127.0.81.1"));
const QString Reader = vrx::test::ComputerAddress(QStringLiteral("127.0.81.2"));
const QString Specific = QStringLiteral("127.0.81.5");
const QString OtherLocal = QStringLiteral("127.0.81.6");

// Every datagram one socket delivered, in order.
struct Arrivals {
    explicit Arrivals(SSock &sock) {
        QObject::connect(&sock, &SSock::DataArrival, &sock,
                         [this](const QByteArray &datagram, const QString &sender) {
                             taken << datagram;
                             senders << sender;
                         });
    }
    QList<QByteArray> taken;
    QStringList senders;
};

bool PortIsFree(const QString &address, quint16 port) {
    QUdpSocket probe;
    return probe.bind(QHostAddress(address), port, QAbstractSocket::DontShareAddress);
}

bool PortTakenEvenWithSharing(const QString &address, quint16 port) {
    QUdpSocket intruder;
    return !intruder.bind(QHostAddress(address), port,
                          QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint);
}

// A port that nobody holds on any address: binding every address to port 1000 would take it from the
// tests running beside this one.
quint16 FreePort() {
    QUdpSocket probe;
    if (!probe.bind(QHostAddress::AnyIPv4, 0, QAbstractSocket::DontShareAddress))
        return 0;
    return probe.localPort();
}

int ThrownNumber(const std::function<void()> &operation) {
    try {
        operation();
    } catch (const SocketException &e) {
        return e.number();
    }
    return 0;
}

// Everything the reader sent so far has reached its socket: a mark sent after it to a socket of its own
// has arrived, and loopback delivers in order.
bool Settle(QUdpSocket &reader) {
    QUdpSocket settle;
    if (!settle.bind(QHostAddress(vrx::test::ComputerAddress(QStringLiteral("127.0.81.3"))), 0))
        return false;
    reader.writeDatagram("mark", settle.localAddress(), settle.localPort());
    return QTest::qWaitFor([&] { return settle.hasPendingDatagrams(); }, 2000);
}

// A datagram that a fresh socket bound now would not see has certainly arrived: loopback delivers in
// order, so once `probe` reached `witness`, everything sent before it reached its socket too.
bool SettledBy(QUdpSocket &reader, const QString &to, quint16 port, const Arrivals &witness) {
    const QByteArray probe = QByteArrayLiteral("probe");
    reader.writeDatagram(probe, QHostAddress(to), port);
    return QTest::qWaitFor([&] { return witness.taken.contains(probe); }, 2000);
}

} // namespace

class TestSharedPort : public QObject {
    Q_OBJECT

    QUdpSocket reader;

private slots:
    void initTestCase() { QVERIFY(reader.bind(QHostAddress(Reader), 1001)); }
    void cleanup() {
        while (reader.hasPendingDatagrams())
            reader.receiveDatagram();
    }

    void twoSocketsShareOnePort();
    void laterHolderSeesOnlyWhatArrivesAfterItsBind();
    void closedHolderTakesThePortBackBesideAnother();
    void portIsReleasedWithItsLastHolder();
    void handlerMayDestroyAnotherHolder();
    void readyToSendHandlerMayDestroyEveryHolder();
    void wildcardBesideSpecific_data();
    void wildcardBesideSpecific();
    void specificBesideWildcardMustBeLocal();
};

void TestSharedPort::twoSocketsShareOnePort() {
    SSock first, second;
    first.Bind(1000, Computer);
    second.Bind(1000, Computer);
    QCOMPARE(first.State(), 1);
    QCOMPARE(second.State(), 1);
    QCOMPARE(second.BoundAddress(), Computer);
    QVERIFY(PortTakenEvenWithSharing(Computer, 1000));

    Arrivals one(first), two(second);
    reader.writeDatagram(QByteArray(41, 'x'), QHostAddress(Computer), 1000);
    QTRY_COMPARE_WITH_TIMEOUT(one.taken.size(), 1, 2000);
    QTRY_COMPARE_WITH_TIMEOUT(two.taken.size(), 1, 2000);
    QCOMPARE(two.senders, QStringList{Reader});

    for (SSock *sock : {&first, &second}) {
        sock->setRemoteHost(Reader);
        sock->setRemotePort(1001);
        sock->SendData("from either");
        QTRY_VERIFY_WITH_TIMEOUT(reader.hasPendingDatagrams(), 2000);
        const QNetworkDatagram sent = reader.receiveDatagram();
        QCOMPARE(sent.senderAddress(), QHostAddress(Computer));
        QCOMPARE(sent.senderPort(), 1000);
    }
}

void TestSharedPort::laterHolderSeesOnlyWhatArrivesAfterItsBind() {
    SSock first;
    first.Bind(1000, Computer);
    Arrivals one(first);
    // Queued on the socket before the second binds, and not yet taken.
    reader.writeDatagram("early", QHostAddress(Computer), 1000);
    QVERIFY(Settle(reader));

    SSock second;
    second.Bind(1000, Computer);
    Arrivals two(second);
    reader.writeDatagram("late", QHostAddress(Computer), 1000);
    QTRY_COMPARE_WITH_TIMEOUT(one.taken, QList<QByteArray>({"early", "late"}), 2000);
    QTRY_COMPARE_WITH_TIMEOUT(two.taken, QList<QByteArray>{"late"}, 2000);
}

void TestSharedPort::closedHolderTakesThePortBackBesideAnother() {
    SSock window, scan;
    window.Bind(1000, Computer);
    scan.Bind(1000, Computer);
    Arrivals windowGot(window), scanGot(scan);

    window.Close();
    reader.writeDatagram("while closed", QHostAddress(Computer), 1000);
    window.Bind(1000, Computer); // at once, as every operation does
    reader.writeDatagram("after", QHostAddress(Computer), 1000);
    QTRY_COMPARE_WITH_TIMEOUT(scanGot.taken, QList<QByteArray>({"while closed", "after"}), 2000);
    QTRY_COMPARE_WITH_TIMEOUT(windowGot.taken, QList<QByteArray>{"after"}, 2000);

    // Closed over a pass of the event loop, then bound again: the same.
    window.Close();
    reader.writeDatagram("gone", QHostAddress(Computer), 1000);
    QVERIFY(SettledBy(reader, Computer, 1000, scanGot));
    window.Bind(1000, Computer);
    reader.writeDatagram("fresh", QHostAddress(Computer), 1000);
    QTRY_COMPARE_WITH_TIMEOUT(windowGot.taken, QList<QByteArray>({"after", "fresh"}), 2000);
    QTRY_VERIFY_WITH_TIMEOUT(scanGot.taken.endsWith("fresh"), 2000);
}

void TestSharedPort::portIsReleasedWithItsLastHolder() {
    auto first = std::make_unique<SSock>();
    SSock second;
    first->Bind(1000, Computer);
    second.Bind(1000, Computer);
    Arrivals two(second);

    first->Close();
    QVERIFY(SettledBy(reader, Computer, 1000, two)); // the event loop has run: first let go
    QVERIFY(!PortIsFree(Computer, 1000));
    first.reset();
    QVERIFY(!PortIsFree(Computer, 1000));

    second.Close();
    QTRY_VERIFY_WITH_TIMEOUT(PortIsFree(Computer, 1000), 2000);
}

void TestSharedPort::handlerMayDestroyAnotherHolder() {
    SSock first;
    auto *second = new SSock;
    first.Bind(1000, Computer);
    second->Bind(1000, Computer);
    int secondTook = 0;
    connect(second, &SSock::DataArrival, this, [&] { ++secondTook; });
    Arrivals one(first);
    connect(&first, &SSock::DataArrival, this, [&] {
        delete second;
        second = nullptr;
    });
    reader.writeDatagram("one", QHostAddress(Computer), 1000);
    reader.writeDatagram("two", QHostAddress(Computer), 1000);
    QTRY_COMPARE_WITH_TIMEOUT(one.taken.size(), 2, 2000);
    QVERIFY(second == nullptr);
    QVERIFY(secondTook <= 1); // offered the first datagram only if it came before `first` in line
}

// The last holder let go inside the port's own report of room to send: the port outlives the report.
void TestSharedPort::readyToSendHandlerMayDestroyEveryHolder() {
    auto *first = new SSock;
    auto *second = new SSock;
    first->Bind(1000, Computer);
    second->Bind(1000, Computer);
    int told = 0;
    const auto destroyBoth = [&] {
        ++told;
        delete std::exchange(first, nullptr);
        delete std::exchange(second, nullptr);
    };
    connect(first, &SSock::ReadyToSend, this, destroyBoth);
    connect(second, &SSock::ReadyToSend, this, destroyBoth);
    first->NotifyWhenWritable();
    second->NotifyWhenWritable();
    QTRY_VERIFY_WITH_TIMEOUT(!first, 2000);
    QCOMPARE(told, 1);
    QVERIFY(PortIsFree(Computer, 1000));
}

void TestSharedPort::wildcardBesideSpecific_data() {
    QTest::addColumn<bool>("wildcardFirst");
    QTest::newRow("every address bound first") << true;
    QTest::newRow("the specific address bound first") << false;
}

// The kernel refuses every address beside one of them on a port that is not shared; the sockets of this
// program get along all the same, each seeing what a socket of its own would see.
void TestSharedPort::wildcardBesideSpecific() {
    VRX_SKIP_UNDER_WINE("wine binds the specific address to the any-address too, so the two cannot be told "
                        "apart");
    QFETCH(bool, wildcardFirst);
    const quint16 port = FreePort();
    QVERIFY(port != 0);
    auto every = std::make_unique<SSock>();
    SSock specific;
    Arrivals specificGot(specific);
    if (wildcardFirst) {
        every->Bind(port, QStringLiteral("0.0.0.0"));
        specific.Bind(port, Specific);
    } else {
        specific.Bind(port, Specific);
        reader.writeDatagram("before", QHostAddress(Specific), port); // moves with it to the new socket
        QTRY_COMPARE_WITH_TIMEOUT(specificGot.taken.size(), 1, 2000);
        reader.writeDatagram("queued", QHostAddress(Specific), port);
        QVERIFY(Settle(reader));
        every->Bind(port, QStringLiteral("0.0.0.0"));
    }
    Arrivals everyGot(*every);
    QCOMPARE(every->BoundAddress(), QStringLiteral("0.0.0.0"));
    QCOMPARE(specific.BoundAddress(), Specific);
    QVERIFY(PortTakenEvenWithSharing(Specific, port));

    reader.writeDatagram("to specific", QHostAddress(Specific), port);
    reader.writeDatagram("to another", QHostAddress(OtherLocal), port);
    QTRY_COMPARE_WITH_TIMEOUT(everyGot.taken, QList<QByteArray>({"to specific", "to another"}), 2000);
    const QList<QByteArray> expected = wildcardFirst ? QList<QByteArray>{"to specific"}
                                                     : QList<QByteArray>{"before", "queued", "to specific"};
    QTRY_COMPARE_WITH_TIMEOUT(specificGot.taken, expected, 2000);

    // Each sends from its own address.
    specific.setRemoteHost(Reader);
    specific.setRemotePort(1001);
    specific.SendData("from specific");
    QTRY_VERIFY_WITH_TIMEOUT(reader.hasPendingDatagrams(), 2000);
    const QNetworkDatagram sent = reader.receiveDatagram();
    QCOMPARE(sent.data(), QByteArray("from specific"));
    QCOMPARE(sent.senderAddress(), QHostAddress(Specific));
    QCOMPARE(sent.senderPort(), int(port));

    // The specific socket goes on alone once every address is let go.
    every.reset();
    reader.writeDatagram("alone", QHostAddress(Specific), port);
    QTRY_VERIFY_WITH_TIMEOUT(specificGot.taken.endsWith("alone"), 2000);
    specific.Close();
    QTRY_VERIFY_WITH_TIMEOUT(PortIsFree(QStringLiteral("0.0.0.0"), port), 2000);
}

void TestSharedPort::specificBesideWildcardMustBeLocal() {
    VRX_SKIP_UNDER_WINE("wine binds the specific address to the any-address too, and binds an address the "
                        "computer lacks without complaint");
    const quint16 port = FreePort();
    SSock every, stranger;
    every.Bind(port, QStringLiteral("0.0.0.0"));
    QCOMPARE(ThrownNumber([&] { stranger.Bind(port, QStringLiteral("10.255.255.1")); }), 10049);
    QCOMPARE(stranger.State(), 0);
    QCOMPARE(every.State(), 1);
}

QTEST_GUILESS_MAIN(TestSharedPort)
#include "tst_sharedport.moc"
