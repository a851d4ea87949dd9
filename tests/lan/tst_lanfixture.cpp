// The emulated LAN itself: readers reachable on every LAN and behind the router, broadcasts that stay on
// their LAN, a reader that moves for real, and nothing left behind however a run ends.
#include "EmulatedLan.h"
#include "StandardLan.h"

#include "config/ParameterBlock.h"
#include "fields/AutoMac.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkDatagram>
#include <QProcess>
#include <QSet>
#include <QTest>
#include <QUdpSocket>

#include <csignal>
#include <unistd.h>

using namespace vrx;
using namespace vrx::lan;

namespace {

const QByteArray Query = ParameterQuery();
const char BuildAndWait[] = "--build-lan-and-wait";

// A small LAN on a directly attached /16, as a benchmark builds: readers near both ends and a host.
void DescribeSmallLan(EmulatedLan &lan) {
    lan.addLan(QStringLiteral("S"), QStringLiteral("198.19.0.0/16"));
    lan.addComputerCard(QStringLiteral("S"), QStringLiteral("198.19.0.1"));
    lan.addReader(QStringLiteral("S"), QStringLiteral("198.19.0.5"));
    lan.addReader(QStringLiteral("S"), QStringLiteral("198.19.255.250"));
    lan.addHost(QStringLiteral("S"), QStringLiteral("198.19.128.1"));
}

// The child of the leftover tests: builds the small LAN, says what it made, and waits for its end.
int BuildLanAndWait(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    EmulatedLan lan;
    DescribeSmallLan(lan);
    if (!lan.start()) {
        fprintf(stderr, "%s\n", qPrintable(lan.errorString()));
        return 1;
    }
    QStringList pids;
    for (const qint64 pid : lan.readerProcessIds())
        pids.append(QString::number(pid));
    printf("namespaces %s\npids %s\n", qPrintable(lan.namespaces().join(u' ')), qPrintable(pids.join(u' ')));
    fflush(stdout);
    for (;;)
        ::pause();
}

bool IsGone(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    // A killed reader whose new parent has not reaped it yet is a zombie: as good as gone.
    return !stat.open(QIODevice::ReadOnly) || stat.readAll().contains(") Z ");
}

QStringList ExistingNamespaces(const QStringList &names) {
    QStringList existing;
    for (const QString &name : names) {
        if (QFile::exists(netns::PathOf(name)))
            existing.append(name);
    }
    return existing;
}

QString MachineNetworkState() {
    QProcess ip;
    ip.start(QStringLiteral("ip"), {QStringLiteral("-o"), QStringLiteral("addr")});
    ip.waitForFinished(10000);
    QProcess links;
    links.start(QStringLiteral("ip"), {QStringLiteral("-o"), QStringLiteral("link")});
    links.waitForFinished(10000);
    QString state = QString::fromLocal8Bit(ip.readAllStandardOutput() + links.readAllStandardOutput());
    // Counters and link states of real cards change by themselves; their names and addresses do not.
    state.remove(QRegularExpression(QStringLiteral("valid_lft.*|state \\w+|qlen \\d+|mtu \\d+|<[^>]*>")));
    return state;
}

// Sends the query from the computer's address to a broadcast address and returns the senders of the
// answers, in address order; an answer that is not the sender's own settings block is a "stranger".
QStringList BroadcastAnswers(const EmulatedLan &lan, const QString &from, const QHostAddress &to,
                             qsizetype expected) {
    netns::Entry inside = lan.enter();
    if (!inside.isInside())
        return {inside.errorString()};
    QUdpSocket socket;
    if (!socket.bind(QHostAddress(from), 1000))
        return {socket.errorString()};
    inside.leave(); // the socket stays in the computer's namespace
    if (socket.writeDatagram(Query, to, 1001) != Query.size())
        return {socket.errorString()};

    QStringList senders;
    const auto take = [&] {
        while (socket.hasPendingDatagrams()) {
            const QNetworkDatagram reply = socket.receiveDatagram();
            const QString sender = reply.senderAddress().toString();
            const bool own = reply.senderPort() == 1001 &&
                             DottedText(ParameterBlock::decode(reply.data()).readerIp) == sender;
            senders.append(own ? sender : QStringLiteral("stranger ") + sender);
        }
        return senders.size();
    };
    if (QTest::qWaitFor([&] { return take() >= expected; }, 3000)) {
        // A reader that should not have heard it would answer as fast as these did: listen a moment more.
        QTest::qWait(200);
        take();
    }
    std::sort(senders.begin(), senders.end(), [](const QString &a, const QString &b) {
        return QHostAddress(a).toIPv4Address() < QHostAddress(b).toIPv4Address();
    });
    return senders;
}

// The settings that vrxctl read --json prints, or an empty object.
QJsonObject ReadJson(const ProgramRun &run) {
    return QJsonDocument::fromJson(run.out).object();
}

} // namespace

class TestLanFixture : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void readsAReaderOnEachLan_data();
    void readsAReaderOnEachLan();
    void arpOnlyHostGivesNoReply();
    void broadcastReachesExactlyItsLan_data();
    void broadcastReachesExactlyItsLan();
    void readerOfAnotherSubnetAnswersOnTheWire();
    void configureMovesAReaderOnItsCard();
    void describedMistakesAreRefused_data();
    void describedMistakesAreRefused();
    void readerThatDoesNotStartFailsTheStart();
    void teardownLeavesNothing();
    void interruptedRunRemovesItsLan();
    void leftoversOfAKilledRunAreRemovedByTheNextStart();

private:
    // The child builds a LAN; returns its namespaces and reader pids once it says it is ready.
    bool startChildLan(QProcess &child, QStringList *namespaces, QList<qint64> *pids);

    EmulatedLan lan;
    const QString moving = QStringLiteral("198.18.17.33");
};

void TestLanFixture::initTestCase() {
    if (const QString why = EmulatedLan::Unavailable(); !why.isEmpty())
        QSKIP(qPrintable(why));
    standard::Describe(lan, {{moving, {QStringLiteral("--restart-delay"), QStringLiteral("300")}}});
    QElapsedTimer clock;
    clock.start();
    QVERIFY2(lan.start(), qPrintable(lan.errorString()));
    qInfo("standard LAN with %d readers up in %lld ms", int(lan.readers().size()), clock.elapsed());
    QCOMPARE(lan.readers().size(), 14);
}

void TestLanFixture::cleanupTestCase() {
    const QStringList names = lan.namespaces();
    lan.stop();
    QCOMPARE(ExistingNamespaces(names), QStringList());
}

void TestLanFixture::readsAReaderOnEachLan_data() {
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("from"); // the computer's address the query leaves from
    QTest::newRow("LAN A, directly attached /20") << "198.18.26.64"
                                                  << "198.18.16.2";
    QTest::newRow("LAN A, its last host address") << "198.18.31.254"
                                                  << "198.18.16.2";
    QTest::newRow("LAN B, the second card") << "198.18.32.57"
                                            << "198.18.32.2";
    QTest::newRow("LAN C, behind the router") << "198.18.48.99"
                                              << "198.18.32.2";
}

void TestLanFixture::readsAReaderOnEachLan() {
    QFETCH(QString, reader);
    QFETCH(QString, from);
    const ProgramRun run = lan.vrxctl({QStringLiteral("read"), reader, QStringLiteral("--json")});
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    const QJsonObject settings = ReadJson(run);
    QCOMPARE(settings.value(QStringLiteral("reader_ip")).toString(), reader);
    QCOMPARE(settings.value(QStringLiteral("mac")).toString(),
             DeriveMacFromIp(reader).mac.value_or(QString()));
    // The reader saw the computer's own address: routed, not translated.
    QVERIFY2(lan.waitForReaderLog(reader, (from + QStringLiteral(":1000 -> ") + reader).toLatin1(), 2000),
             lan.readerLog(reader).constData());
}

void TestLanFixture::arpOnlyHostGivesNoReply() {
    const QString host = lan.hostsOn(standard::A).value(0);
    QCOMPARE(host, QStringLiteral("198.18.20.20"));
    const ProgramRun run = lan.vrxctl({QStringLiteral("read"), host});
    QVERIFY2(run.finished && run.exitCode == 1, qPrintable(run.describe()));
    QVERIFY2(run.err.contains("no reply"), qPrintable(run.describe()));
    // The host did answer ARP: the computer knows its MAC now.
    const ProgramRun neighbours = lan.run(EmulatedLan::Computer, QStringLiteral("ip"),
                                          {QStringLiteral("neigh"), QStringLiteral("show"), host});
    QVERIFY2(neighbours.out.contains("lladdr"), qPrintable(neighbours.describe()));
}

void TestLanFixture::broadcastReachesExactlyItsLan_data() {
    QTest::addColumn<QString>("lanName");
    QTest::addColumn<QString>("to"); // empty: the LAN's subnet-directed broadcast
    QTest::newRow("LAN A, its subnet's broadcast") << standard::A << QString();
    QTest::newRow("LAN A, 255.255.255.255 from its card") << standard::A << "255.255.255.255";
    QTest::newRow("LAN B, its subnet's broadcast") << standard::B << QString();
}

void TestLanFixture::broadcastReachesExactlyItsLan() {
    QFETCH(QString, lanName);
    QFETCH(QString, to);
    const QHostAddress destination = to.isEmpty() ? lan.broadcastOf(lanName) : QHostAddress(to);

    QCOMPARE(BroadcastAnswers(lan, lan.computerAddress(lanName), destination, lan.readersOn(lanName).size()),
             lan.readersOn(lanName));
}

// A reader still on another subnet (as one on its factory settings) hears the limited broadcast on its
// wire and answers the computer over the wire.
void TestLanFixture::readerOfAnotherSubnetAnswersOnTheWire() {
    EmulatedLan small;
    DescribeSmallLan(small);
    small.addReader(QStringLiteral("S"), QStringLiteral("198.18.200.5/24"));
    QVERIFY2(small.start(), qPrintable(small.errorString()));
    QCOMPARE(small.readersOn(QStringLiteral("S")),
             QStringList({"198.18.200.5", "198.19.0.5", "198.19.255.250"}));
    const ProgramRun card = small.run(QStringLiteral("198.18.200.5"), QStringLiteral("ip"),
                                      {QStringLiteral("-4"), QStringLiteral("-o"), QStringLiteral("addr")});
    QVERIFY2(card.out.contains("inet 198.18.200.5/24 brd 198.18.200.255"), qPrintable(card.describe()));
    QCOMPARE(BroadcastAnswers(small, QStringLiteral("198.19.0.1"), QHostAddress::Broadcast, 3),
             small.readersOn(QStringLiteral("S")));
}

void TestLanFixture::configureMovesAReaderOnItsCard() {
    const QString target = QStringLiteral("198.18.25.5");
    const ProgramRun configure =
        lan.vrxctl({QStringLiteral("configure"), moving, QStringLiteral("--ip"), target,
                    QStringLiteral("--mask"), QStringLiteral("255.255.224.0"), QStringLiteral("--gateway"),
                    QStringLiteral("198.18.16.9"), QStringLiteral("--mac"), QStringLiteral("auto")});
    QVERIFY2(configure.succeeded(), qPrintable(configure.describe()));
    // The echo left from the old address; then the reader restarted and renumbered its card.
    QVERIFY(lan.waitForReaderLog(moving, "restarting for 300 ms", 2000));
    QVERIFY2(lan.waitForReaderLog(moving,
                                  "moved on eth0 from 198.18.17.33/20 via 198.18.16.1 to 198.18.25.5/19 "
                                  "via 198.18.16.9",
                                  5000),
             lan.readerLog(moving).constData());
    const ProgramRun card = lan.run(moving, QStringLiteral("ip"),
                                    {QStringLiteral("-4"), QStringLiteral("-o"), QStringLiteral("addr"),
                                     QStringLiteral("show"), QStringLiteral("eth0")});
    QVERIFY2(card.out.contains("inet 198.18.25.5/19 brd 198.18.31.255") &&
                 !card.out.contains(moving.toLatin1()),
             qPrintable(card.describe()));
    const ProgramRun route =
        lan.run(moving, QStringLiteral("ip"),
                {QStringLiteral("route"), QStringLiteral("show"), QStringLiteral("default")});
    QVERIFY2(route.out.trimmed() == "default via 198.18.16.9 dev eth0", qPrintable(route.describe()));

    // Read back at the new address. The computer's first ARP for it may have gone out while the reader
    // restarted; the kernel asks again after a second, so each read waits long enough for that.
    ProgramRun readBack;
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     readBack = lan.vrxctl({QStringLiteral("read"), target, QStringLiteral("--json"),
                                            QStringLiteral("--timeout"), QStringLiteral("1500")});
                     return readBack.succeeded();
                 },
                 10000),
             qPrintable(readBack.describe()));
    QCOMPARE(ReadJson(readBack).value(QStringLiteral("reader_ip")).toString(), target);
    QCOMPARE(ReadJson(readBack).value(QStringLiteral("subnet_mask")).toString(),
             QStringLiteral("255.255.224.0"));
    const ProgramRun old = lan.vrxctl({QStringLiteral("read"), moving});
    QVERIFY2(old.finished && old.exitCode == 1, qPrintable(old.describe()));

    // And home again, so that the LAN is as described for whatever runs next.
    const ProgramRun back =
        lan.vrxctl({QStringLiteral("configure"), target, QStringLiteral("--ip"), moving,
                    QStringLiteral("--mask"), QStringLiteral("255.255.240.0"), QStringLiteral("--gateway"),
                    QStringLiteral("198.18.16.1"), QStringLiteral("--mac"), QStringLiteral("auto")});
    QVERIFY2(back.succeeded(), qPrintable(back.describe()));
    QVERIFY(lan.waitForReaderLog(moving, "moved on eth0 from 198.18.25.5/19", 5000));
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     readBack = lan.vrxctl({QStringLiteral("read"), moving, QStringLiteral("--timeout"),
                                            QStringLiteral("1500")});
                     return readBack.succeeded();
                 },
                 10000),
             qPrintable(readBack.describe()));
}

void TestLanFixture::describedMistakesAreRefused_data() {
    QTest::addColumn<QString>("subnet");
    QTest::addColumn<QString>("computer");
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("readerLan");
    QTest::addColumn<QString>("mention");
    QTest::newRow("subnet outside the test range") << "10.0.0.0/24"
                                                   << "10.0.0.2"
                                                   << "10.0.0.5"
                                                   << "X"
                                                   << "not a subnet inside 198.18.0.0/15";
    QTest::newRow("subnet not aligned") << "198.18.16.7/20"
                                        << "198.18.16.2"
                                        << "198.18.16.5"
                                        << "X"
                                        << "not a subnet inside";
    QTest::newRow("reader outside its LAN") << "198.18.16.0/24"
                                            << "198.18.16.2"
                                            << "198.18.17.5"
                                            << "X"
                                            << "not a host address of 198.18.16.0/24 (LAN X)";
    QTest::newRow("reader on the broadcast address") << "198.18.16.0/24"
                                                     << "198.18.16.2"
                                                     << "198.18.16.255"
                                                     << "X"
                                                     << "not a host address";
    QTest::newRow("reader on the computer's address") << "198.18.16.0/24"
                                                      << "198.18.16.2"
                                                      << "198.18.16.2"
                                                      << "X"
                                                      << "198.18.16.2 is taken";
    QTest::newRow("subnet of its own outside the test range") << "198.18.16.0/24"
                                                              << "198.18.16.2"
                                                              << "10.1.0.5/24"
                                                              << "X"
                                                              << "not a host address of 10.1.0.0/24";
    QTest::newRow("subnet of its own, prefix too long") << "198.18.16.0/24"
                                                        << "198.18.16.2"
                                                        << "198.18.40.5/33"
                                                        << "X"
                                                        << "not a host address";
    QTest::newRow("unknown LAN") << "198.18.16.0/24"
                                 << "198.18.16.2"
                                 << "198.18.16.5"
                                 << "Y"
                                 << "no LAN Y";
    QTest::newRow("not a subnet") << "198.18.16.0"
                                  << "198.18.16.2"
                                  << "198.18.16.5"
                                  << "X"
                                  << "not an IPv4 subnet";
}

void TestLanFixture::describedMistakesAreRefused() {
    QFETCH(QString, subnet);
    QFETCH(QString, computer);
    QFETCH(QString, reader);
    QFETCH(QString, readerLan);
    QFETCH(QString, mention);
    EmulatedLan wrong;
    wrong.addLan(QStringLiteral("X"), subnet);
    wrong.addComputerCard(QStringLiteral("X"), computer);
    wrong.addReader(readerLan, reader);
    QVERIFY(!wrong.start());
    QVERIFY2(wrong.errorString().contains(mention), qPrintable(wrong.errorString()));
    QVERIFY(wrong.namespaces().isEmpty()); // refused before anything was made
}

void TestLanFixture::readerThatDoesNotStartFailsTheStart() {
    EmulatedLan broken;
    DescribeSmallLan(broken);
    broken.addReader(QStringLiteral("S"), QStringLiteral("198.19.7.7"),
                     {QStringLiteral("--reply-length"), QStringLiteral("-5")});
    QVERIFY(!broken.start(10000));
    QVERIFY2(broken.errorString().contains("198.19.7.7 (ended)") &&
                 broken.errorString().contains("--reply-length"),
             qPrintable(broken.errorString()));
    QVERIFY(!broken.isRunning());
    QCOMPARE(ExistingNamespaces(broken.namespaces()), QStringList());
}

void TestLanFixture::teardownLeavesNothing() {
    const QString machineBefore = MachineNetworkState();
    EmulatedLan small;
    DescribeSmallLan(small);
    QVERIFY2(small.start(), qPrintable(small.errorString()));
    const QStringList names = small.namespaces();
    const QList<qint64> pids = small.readerProcessIds();
    QCOMPARE(pids.size(), 2);
    QCOMPARE(ExistingNamespaces(names), names);
    const ProgramRun read = small.vrxctl({QStringLiteral("read"), QStringLiteral("198.19.255.250")});
    QVERIFY2(read.succeeded(), qPrintable(read.describe()));
    // The machine's own namespace has no card, address or route of the LAN, even while it runs.
    QCOMPARE(MachineNetworkState(), machineBefore);

    small.stop();
    QCOMPARE(ExistingNamespaces(names), QStringList());
    for (const qint64 pid : pids)
        QVERIFY2(::kill(pid_t(pid), 0) != 0 && errno == ESRCH, qPrintable(QString::number(pid)));
    QCOMPARE(MachineNetworkState(), machineBefore);
}

bool TestLanFixture::startChildLan(QProcess &child, QStringList *namespaces, QList<qint64> *pids) {
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(BuildAndWait)});
    QByteArray said;
    const bool ready = QTest::qWaitFor(
        [&] {
            said += child.readAllStandardOutput();
            return said.count('\n') >= 2 || child.state() == QProcess::NotRunning;
        },
        30000);
    const QList<QByteArray> lines = said.split('\n');
    if (!ready || lines.size() < 2 || !lines[0].startsWith("namespaces ")) {
        qWarning("the child did not build its LAN: %s %s", said.constData(),
                 child.readAllStandardError().constData());
        return false;
    }
    *namespaces = QString::fromLatin1(lines[0].mid(11)).split(u' ');
    for (const QByteArray &pid : lines[1].mid(5).split(' '))
        pids->append(pid.toLongLong());
    return true;
}

// SIGTERM (ctest's timeout, a Ctrl+C) ends a run with its LAN removed on the spot.
void TestLanFixture::interruptedRunRemovesItsLan() {
    QProcess child;
    QStringList namespaces;
    QList<qint64> pids;
    QVERIFY(startChildLan(child, &namespaces, &pids));
    QCOMPARE(ExistingNamespaces(namespaces), namespaces);

    ::kill(pid_t(child.processId()), SIGTERM);
    QVERIFY(child.waitForFinished(10000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit); // it still dies of the signal
    QCOMPARE(ExistingNamespaces(namespaces), QStringList());
    QVERIFY(QTest::qWaitFor([&] { return std::all_of(pids.begin(), pids.end(), IsGone); }, 5000));
}

// A SIGKILL leaves the LAN behind; the next start removes it, and only it.
void TestLanFixture::leftoversOfAKilledRunAreRemovedByTheNextStart() {
    QProcess child;
    QStringList namespaces;
    QList<qint64> pids;
    QVERIFY(startChildLan(child, &namespaces, &pids));
    ::kill(pid_t(child.processId()), SIGKILL);
    QVERIFY(child.waitForFinished(10000));
    QCOMPARE(ExistingNamespaces(namespaces), namespaces);
    // Its simulators die with it.
    QVERIFY(QTest::qWaitFor([&] { return std::all_of(pids.begin(), pids.end(), IsGone); }, 5000));

    EmulatedLan next;
    DescribeSmallLan(next);
    QVERIFY2(next.start(), qPrintable(next.errorString()));
    QCOMPARE(ExistingNamespaces(namespaces), QStringList());
    // The LAN of this (living) process is untouched.
    QCOMPARE(ExistingNamespaces(lan.namespaces()), lan.namespaces());
    QVERIFY(lan.vrxctl({QStringLiteral("read"), QStringLiteral("198.18.32.11")}).succeeded());
}

int main(int argc, char **argv) {
    if (argc > 1 && qstrcmp(argv[1], BuildAndWait) == 0)
        return BuildLanAndWait(argc, argv);
    QCoreApplication app(argc, argv);
    TestLanFixture test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_lanfixture.moc"
