// Scanning on the emulated LAN, where loopback's shortcuts are gone: every address of a card's own
// network needs ARP, the kernel's neighbour table and the socket's send buffer fill up, and readers lie
// behind two cards and a router.
//
// The neighbour table is the whole machine's, the emulated router's included: the scan through the
// router runs first, while the table is empty, since the router resolves each of its addresses itself
// (a real router has a table of its own). The test runs alone (RUN_SERIAL): the /20 scan fills the table
// nearly to its limit, which would take the room other LAN tests need.
#include "EmulatedLan.h"
#include "StandardLan.h"

#include "config/ParameterBlock.h"
#include "link/SSock.h"
#include "net/AddressRange.h"
#include "net/ReaderScan.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

using namespace vrx;
using namespace vrx::lan;

namespace {

// The addresses of the readers a vrxctl scan --json listed, in its order.
QStringList Listed(const ProgramRun &run) {
    QStringList addresses;
    for (const QJsonValue &reader : QJsonDocument::fromJson(run.out).array())
        addresses.append(reader[QLatin1String("address")].toString());
    return addresses;
}

QStringList OnBlock(const QStringList &addresses, const QString &prefix) {
    QStringList on;
    for (const QString &address : addresses)
        if (address.startsWith(prefix))
            on.append(address);
    return on;
}

} // namespace

class TestLanScan : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void eachCardAndTheRouterInOneScan();
    void directlyAttachedTwentyListsExactlyItsReaders();
    void theEngineReportsTheCardOfEachReader();
    void aTargetNothingReachesNamesTheCards();
    void aFullSendBufferIsWaitedOut();

private:
    EmulatedLan lan;
};

void TestLanScan::initTestCase() {
    if (const QString why = EmulatedLan::Unavailable(); !why.isEmpty())
        QSKIP(qPrintable(why));
    standard::Describe(lan);
    QVERIFY2(lan.start(), qPrintable(lan.errorString()));
}

void TestLanScan::cleanupTestCase() {
    lan.stop();
}

void TestLanScan::directlyAttachedTwentyListsExactlyItsReaders() {
    // 4094 addresses that all need ARP: four times what the neighbour table holds at once.
    const ProgramRun run = lan.vrxctl({"scan", lan.subnetOf(standard::A), "--json"}, 120000);
    QVERIFY2(run.succeeded(), run.err.constData());
    QCOMPARE(Listed(run), lan.readersOn(standard::A));
    QCOMPARE(lan.readersOn(standard::A).size(), 8);
    QVERIFY(!Listed(run).contains(lan.hostsOn(standard::A).value(0))); // answers ARP, not the query
    QVERIFY2(!run.err.contains("socket error"), run.err.constData());
}

void TestLanScan::eachCardAndTheRouterInOneScan() {
    // A /24 of each card's network and the /24 behind the router: each card's address for its own.
    const ProgramRun run = lan.vrxctl(
        {"scan", "198.18.16.0/24", lan.subnetOf(standard::B), lan.subnetOf(standard::C), "--json"});
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    const QStringList expected = OnBlock(lan.readersOn(standard::A), QStringLiteral("198.18.16.")) +
                                 lan.readersOn(standard::B) + lan.readersOn(standard::C);
    QCOMPARE(Listed(run), expected);
    QVERIFY2(!run.err.contains("socket error"), run.err.constData());
    // Who asked each reader: its own network's card, and eth1 for the readers behind the router.
    const QString fromA = lan.computerAddress(standard::A) + QStringLiteral(":1000 -> ");
    const QString fromB = lan.computerAddress(standard::B) + QStringLiteral(":1000 -> ");
    QVERIFY(lan.readerLog(QStringLiteral("198.18.16.3")).contains(fromA.toLatin1()));
    QVERIFY(lan.readerLog(lan.readersOn(standard::B).front()).contains(fromB.toLatin1()));
    QVERIFY(lan.readerLog(lan.readersOn(standard::C).front()).contains(fromB.toLatin1()));
}

void TestLanScan::theEngineReportsTheCardOfEachReader() {
    // As the window runs it: in this thread's event loop, sockets made inside the computer.
    ReaderScan scan;
    QSignalSpy found(&scan, &ReaderScan::readerFound);
    QSignalSpy finished(&scan, &ReaderScan::finished);
    QSignalSpy failed(&scan, &ReaderScan::failed);
    {
        netns::Entry inside = lan.enter();
        QVERIFY2(inside.isInside(), qPrintable(inside.errorString()));
        scan.start(ExpandRanges({"198.18.16.1-198.18.16.8", lan.subnetOf(standard::C)}).addresses, {});
    }
    QVERIFY(finished.wait(20000));
    QCOMPARE(failed.count(), 0);
    QCOMPARE(found.count(), 1 + lan.readersOn(standard::C).size());
    QStringList seen;
    for (const FoundReader &reader : scan.found())
        seen.append(QStringLiteral("%1 %2 %3").arg(reader.address, reader.card, reader.cardAddress));
    QStringList expected{QStringLiteral("198.18.16.3 %1 %2")
                             .arg(lan.computerCard(standard::A), lan.computerAddress(standard::A))};
    for (const QString &reader : lan.readersOn(standard::C))
        expected.append(QStringLiteral("%1 %2 %3")
                            .arg(reader, lan.computerCard(standard::B), lan.computerAddress(standard::B)));
    QCOMPARE(seen, expected);
}

void TestLanScan::aTargetNothingReachesNamesTheCards() {
    const QString reader = QStringLiteral("198.18.16.3");
    const qsizetype asked = lan.readerLog(reader).count("-> 198.18.16.3:1001");
    const ProgramRun run = lan.vrxctl({"scan", reader, "10.0.0.0/30"});
    QCOMPARE(run.exitCode, 3);
    const QString err = QString::fromUtf8(run.err);
    QVERIFY2(err.contains("no route to 10.0.0.1 (and 1 more addresses of the ranges): no card of this "
                          "computer"),
             qPrintable(err));
    for (const QString &lanName : {standard::A, standard::B})
        QVERIFY2(err.contains(
                     QStringLiteral("%1 %2/").arg(lan.computerCard(lanName), lan.computerAddress(lanName))),
                 qPrintable(err));
    QCOMPARE(lan.readerLog(reader).count("-> 198.18.16.3:1001"), asked); // nothing was sent
}

void TestLanScan::aFullSendBufferIsWaitedOut() {
    // Queries to addresses where nobody answers ARP wait in the send buffer until the kernel gives up:
    // with the default buffer, a few hundred fill it. That is back-pressure, never a failure.
    SSock socket;
    {
        netns::Entry inside = lan.enter();
        QVERIFY2(inside.isInside(), qPrintable(inside.errorString()));
        socket.Bind(1999, lan.computerAddress(standard::A));
    }
    const quint32 first = *StrictAddress(QStringLiteral("198.18.24.1")); // nobody on 198.18.24-25
    int sent = 0;
    SSock::SendOutcome outcome = SSock::SendOutcome::Sent;
    SocketError error;
    for (; sent < 500; ++sent) {
        outcome = socket.TrySendData(ParameterQuery(), first + quint32(sent), 1001, &error);
        if (outcome != SSock::SendOutcome::Sent)
            break;
    }
    QVERIFY2(outcome == SSock::SendOutcome::Busy, qPrintable(error.description));
    QVERIFY2(sent > 50 && sent < 500, qPrintable(QString::number(sent)));
    QVERIFY(socket.SendQueueBytes() >= sent * 100); // every one of them still held, waiting for ARP

    QSignalSpy ready(&socket, &SSock::ReadyToSend);
    socket.NotifyWhenWritable();
    QVERIFY(!ready.wait(500)); // no room until the kernel gives those ARPs up
    QVERIFY(ready.count() == 1 || ready.wait(6000));
    QCOMPARE(socket.TrySendData(ParameterQuery(), first + quint32(sent), 1001, &error),
             SSock::SendOutcome::Sent);
}

QTEST_GUILESS_MAIN(TestLanScan)
#include "tst_lan_scan.moc"
