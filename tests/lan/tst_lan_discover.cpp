// vrxctl discover on the emulated LAN: the readers of both of the computer's cards (not those behind the
// router), each with its card, in about one wait; one card only; a reader moved into another subnet
// listed with the command that reaches it; and what was tried when nothing answers.
#include "EmulatedLan.h"
#include "StandardLan.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTest>

using namespace vrx::lan;

namespace {

// Long enough that a busy machine cannot make a reader look silent; the runs are timed against it.
const QString Wait = QStringLiteral("1000");
constexpr qint64 WaitMs = 1000;

// "address card" of every item that discover --json printed, in its order.
QStringList Listed(const ProgramRun &run) {
    QStringList items;
    for (const QJsonValue &item : QJsonDocument::fromJson(run.out).array())
        items.append(item[QLatin1String("address")].toString() + u' ' +
                     item[QLatin1String("interface")].toString());
    return items;
}

QStringList OnCard(const QStringList &readers, const QString &card) {
    QStringList items;
    for (const QString &reader : readers)
        items.append(reader + u' ' + card);
    return items;
}

} // namespace

class TestLanDiscover : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void findsTheReadersOfBothCardsInOneWait();
    void oneCardOnly_data();
    void oneCardOnly();
    void readerMovedIntoAnotherSubnetIsListedWithItsNote();
    void nothingAnsweringSaysWhatWasTried();

private:
    QStringList both() const {
        return OnCard(lan.readersOn(standard::A), lan.computerCard(standard::A)) +
               OnCard(lan.readersOn(standard::B), lan.computerCard(standard::B));
    }

    EmulatedLan lan;
    const QString moving = QStringLiteral("198.18.26.64");
};

void TestLanDiscover::initTestCase() {
    if (const QString why = EmulatedLan::Unavailable(); !why.isEmpty())
        QSKIP(qPrintable(why));
    standard::Describe(lan);
    QVERIFY2(lan.start(), qPrintable(lan.errorString()));
    QCOMPARE(lan.computerCard(standard::A), QStringLiteral("eth0"));
    QCOMPARE(lan.computerCard(standard::B), QStringLiteral("eth1"));
}

void TestLanDiscover::cleanupTestCase() {
    lan.stop();
}

void TestLanDiscover::findsTheReadersOfBothCardsInOneWait() {
    const ProgramRun run =
        lan.vrxctl({QStringLiteral("discover"), QStringLiteral("--json"), QStringLiteral("--timeout"), Wait});
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    // Every reader of LANs A and B once, with its card, in address order; none of LAN C behind the
    // router, and not the host that answers only ARP.
    QCOMPARE(Listed(run), both());
    QCOMPARE(lan.readersOn(standard::A).size() + lan.readersOn(standard::B).size(), 11);
    for (const QJsonValue &item : QJsonDocument::fromJson(run.out).array()) {
        QCOMPARE(item[QLatin1String("reader_ip")].toString(), item[QLatin1String("address")].toString());
        QVERIFY(item[QLatin1String("reach")].isNull());
        QCOMPARE(item[QLatin1String("duplicate_mac")].toBool(), false);
    }
    // One wait, start-up included; a second round or a wait per card would take twice as long.
    QVERIFY2(run.elapsedMs >= WaitMs && run.elapsedMs < 2 * WaitMs, qPrintable(run.describe()));
    QCOMPARE(run.err, QByteArray());
}

void TestLanDiscover::oneCardOnly_data() {
    QTest::addColumn<QStringList>("option");
    QTest::addColumn<QString>("lanName");

    QTest::newRow("--interface eth0") << QStringList{"--interface", "eth0"} << standard::A;
    QTest::newRow("--interface eth1") << QStringList{"--interface", "eth1"} << standard::B;
    QTest::newRow("--local of the second card") << QStringList{"--local", "198.18.32.2"} << standard::B;
}

void TestLanDiscover::oneCardOnly() {
    QFETCH(QStringList, option);
    QFETCH(QString, lanName);

    const ProgramRun run = lan.vrxctl(
        QStringList{QStringLiteral("discover"), QStringLiteral("--csv"), QStringLiteral("--timeout"), Wait} +
        option);
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    QStringList lines = QString::fromUtf8(run.out).split(u'\n', Qt::SkipEmptyParts);
    QVERIFY2(lines.value(0).startsWith(QLatin1String("address,interface,reader_ip,")),
             qPrintable(run.describe()));
    lines.removeFirst();
    QStringList listed;
    for (const QString &line : lines)
        listed.append(line.section(u',', 0, 0) + u' ' + line.section(u',', 1, 1));
    QCOMPARE(listed, OnCard(lan.readersOn(lanName), lan.computerCard(lanName)));
}

// The reader takes a mask that still holds the computer's address, so it answers on the wire; the
// computer's card is not on its subnet, so only the note tells how to read it. Following the note to
// the letter (without sudo: the test is root) makes it readable, and undoing it makes it unreachable again.
void TestLanDiscover::readerMovedIntoAnotherSubnetIsListedWithItsNote() {
    const QString target = QStringLiteral("198.18.99.5");
    const ProgramRun configure =
        lan.vrxctl({QStringLiteral("configure"), moving, QStringLiteral("--ip"), target,
                    QStringLiteral("--mask"), QStringLiteral("255.255.0.0"), QStringLiteral("--server-ip"),
                    QStringLiteral("198.18.99.110"), QStringLiteral("--mac"), QStringLiteral("auto")});
    QVERIFY2(configure.succeeded(), qPrintable(configure.describe()));
    QVERIFY2(lan.waitForReaderLog(moving, "moved on eth0 from 198.18.26.64/20", 5000),
             lan.readerLog(moving).constData());

    const QString add = QStringLiteral("sudo ip addr add 198.18.99.110/16 dev eth0");
    const QString remove = QStringLiteral("sudo ip addr del 198.18.99.110/16 dev eth0");
    ProgramRun run;
    // The computer's first ARP after the move may fail; the next discovery finds it.
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     run = lan.vrxctl({QStringLiteral("discover"), QStringLiteral("--interface"),
                                       QStringLiteral("eth0"), QStringLiteral("--timeout"), Wait});
                     return run.succeeded() && run.out.contains(target.toLatin1());
                 },
                 10000),
             qPrintable(run.describe()));
    const QStringList lines = QString::fromUtf8(run.out).split(u'\n');
    const qsizetype row = lines.indexOf(QRegularExpression(QStringLiteral("198\\.18\\.99\\.5 +eth0 .*")));
    QVERIFY2(row > 0, qPrintable(run.describe()));
    QCOMPARE(lines.value(row + 1),
             QStringLiteral("  note: 198.18.99.5 answered from outside the subnet of eth0 (198.18.16.2). To "
                            "reach it, give eth0 an address in its subnet for this session: %1 (and take it "
                            "away afterwards: %2)")
                 .arg(add, remove));
    QCOMPARE(lines.filter(QStringLiteral("  note: ")).size(), 1);

    const ProgramRun unreachable = lan.vrxctl({QStringLiteral("read"), target});
    QVERIFY2(unreachable.finished && unreachable.exitCode != 0, qPrintable(unreachable.describe()));
    const auto ip = [&](const QString &command) {
        return lan.run(EmulatedLan::Computer, QStringLiteral("ip"), command.split(u' ').mid(2));
    };
    const ProgramRun added = ip(add);
    QVERIFY2(added.succeeded(), qPrintable(added.describe()));
    const ProgramRun read = lan.vrxctl(
        {QStringLiteral("read"), target, QStringLiteral("--json"), QStringLiteral("--timeout"), Wait});
    QVERIFY2(read.succeeded(), qPrintable(read.describe()));
    QCOMPARE(QJsonDocument::fromJson(read.out)[QLatin1String("reader_ip")].toString(), target);
    const ProgramRun removed = ip(remove);
    QVERIFY2(removed.succeeded(), qPrintable(removed.describe()));
    const ProgramRun again = lan.vrxctl({QStringLiteral("read"), target});
    QVERIFY2(again.finished && again.exitCode != 0, qPrintable(again.describe()));
}

void TestLanDiscover::nothingAnsweringSaysWhatWasTried() {
    EmulatedLan quiet;
    quiet.addLan(QStringLiteral("Q"), QStringLiteral("198.18.64.0/24"));
    quiet.addComputerCard(QStringLiteral("Q"), QStringLiteral("198.18.64.2"));
    quiet.addHost(QStringLiteral("Q"), QStringLiteral("198.18.64.9"));
    QVERIFY2(quiet.start(), qPrintable(quiet.errorString()));

    const ProgramRun run = quiet.vrxctl({QStringLiteral("discover")});
    QVERIFY2(run.finished && run.exitCode == 1, qPrintable(run.describe()));
    QCOMPARE(run.out, QByteArray());
    const QString err = QString::fromUtf8(run.err);
    QVERIFY2(
        err.startsWith(QLatin1String("vrxctl: no reader answered. Tried: sent the query from port 1000 to "
                                     "port 1001 once, waiting 200 ms for answers: eth0 198.18.64.2/24: "
                                     "198.18.64.255, 255.255.255.255. Likely causes: no reader on these "
                                     "cards' networks")),
        qPrintable(err));
    QVERIFY2(err.contains(QLatin1String("a firewall on this computer dropping the answers to UDP port 1000")),
             qPrintable(err));
    quiet.stop();
}

QTEST_GUILESS_MAIN(TestLanDiscover)
#include "tst_lan_discover.moc"
