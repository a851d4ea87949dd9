// vrxctl's one-reader commands on the emulated LAN: each binds the card that reaches the reader, a
// verify waits for a reader that restarts on its new address (and gives up in bounded time on one that
// never comes back), and a target that nothing reaches is named with the computer's cards.
#include "EmulatedLan.h"
#include "StandardLan.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace vrx::lan;

namespace {

// On the standard LAN (StandardLan.h): the computer's eth0 on A, eth1 on B, C behind the router.
const QString CardA = QStringLiteral("198.18.16.2");
const QString CardB = QStringLiteral("198.18.32.2");
const QString Moving = QStringLiteral("198.18.17.33");   // restarts for 1.5 s after a configure that moves it
const QString NeverBack = QStringLiteral("198.18.19.7"); // restarts for longer than any test waits
const QString ToOtherSubnet = QStringLiteral("198.18.22.129");
const QString Plain = QStringLiteral("198.18.16.200");
const QString OnB = QStringLiteral("198.18.32.11");
const QString BehindRouter = QStringLiteral("198.18.48.12");
const QString Nowhere = QStringLiteral("198.19.200.5"); // no card and no route of the computer reaches it

QString Text(const QByteArray &bytes) {
    return QString::fromUtf8(bytes);
}

} // namespace

class TestLanCards : public QObject {
    Q_OBJECT

    EmulatedLan lan;
    QTemporaryDir files;

    // The computer's addresses as vrxctl lists them: its two cards, then loopback.
    QString computerAddresses() const {
        return QStringLiteral("this computer's addresses: eth0 %1/20, eth1 %2/24, lo 127.0.0.1/8")
            .arg(CardA, CardB);
    }

private slots:
    void initTestCase() {
        if (const QString why = EmulatedLan::Unavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        const auto restartFor = [](const char *ms) { return QStringList{"--restart-delay", ms}; };
        standard::Describe(lan, {{Moving, restartFor("1500")},
                                 {NeverBack, restartFor("600000")},
                                 {ToOtherSubnet, restartFor("200")}});
        QVERIFY2(lan.start(), qPrintable(lan.errorString()));
    }
    void cleanupTestCase() { lan.stop(); }

    // Without --local each command binds the address of the card whose subnet holds the reader: the
    // reader sees the query come from that card's address and port 1000.
    void eachCommandBindsTheCardThatReachesTheReader_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("reader");
        QTest::addColumn<QString>("card");

        QTest::newRow("read on eth0") << QStringList{"read", Plain} << Plain << CardA;
        QTest::newRow("read on eth1") << QStringList{"read", OnB} << OnB << CardB;
        QTest::newRow("configure on eth1")
            << QStringList{"configure", OnB, "--beep", "off", "--verify"} << OnB << CardB;
        QTest::newRow("keys on eth1") << QStringList{"keys", OnB, "--key", "A1B2C3D4E5F6"} << OnB << CardB;
        QTest::newRow("read behind the router") << QStringList{"read", BehindRouter} << BehindRouter << CardB;
    }
    void eachCommandBindsTheCardThatReachesTheReader() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, reader);
        QFETCH(QString, card);
        const QByteArray fromCard =
            (card + QStringLiteral(":1000 -> ") + reader + QStringLiteral(":1001")).toLatin1();
        const qsizetype before = lan.readerLog(reader).count(fromCard);
        const ProgramRun run = lan.vrxctl(arguments);
        QVERIFY2(run.succeeded(), qPrintable(run.describe()));
        QVERIFY2(lan.waitForReaderLog(reader, fromCard, 2000, int(before + 1)),
                 lan.readerLog(reader).constData());
        const QString other = card == CardA ? CardB : CardA;
        QVERIFY2(!lan.readerLog(reader).contains((other + QStringLiteral(":1000")).toLatin1()),
                 lan.readerLog(reader).constData());
    }

    void batchBindsEachRowsCard() {
        const QString csv = files.filePath(QStringLiteral("two-cards.csv"));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("address,server-port\n%1,9001\n%2,9002\n").arg(Plain, OnB).toUtf8());
        file.close();
        const ProgramRun run = lan.vrxctl({"batch", csv, "--verify"});
        QVERIFY2(run.succeeded(), qPrintable(run.describe()));
        QVERIFY2(Text(run.out).contains(QStringLiteral("2 of 2 rows configured.")),
                 qPrintable(run.describe()));
        QVERIFY(lan.waitForReaderLog(
            Plain, QByteArrayLiteral("198.18.16.2:1000 -> 198.18.16.200:1001 41 bytes"), 2000));
        QVERIFY(lan.waitForReaderLog(OnB, QByteArrayLiteral("198.18.32.2:1000 -> 198.18.32.11:1001 41 bytes"),
                                     2000));
    }

    // The reader echoes, restarts its stack for 1.5 s and takes its new address: the verify keeps
    // asking there, gently, and reports how long the reader took.
    void verifyWaitsForAReaderThatRestarts() {
        const QString moved = QStringLiteral("198.18.17.133");
        const ProgramRun run = lan.vrxctl({"configure", Moving, "--ip", moved, "--mac", "auto", "--verify"});
        QVERIFY2(run.succeeded(), qPrintable(run.describe()));
        const QRegularExpression verified(
            QStringLiteral("\nVerified: the reader at 198\\.18\\.17\\.133 answered after (\\d+\\.\\d\\d) s "
                           "and reports all 11 "
                           "settings as written\\.\n"));
        const QRegularExpressionMatch match = verified.match(Text(run.out));
        QVERIFY2(match.hasMatch(), qPrintable(run.describe()));
        const double seconds = match.captured(1).toDouble();
        QVERIFY2(seconds >= 1.5 && seconds < 5.0, qPrintable(match.captured(1)));
        QVERIFY2(Text(run.out).contains(QStringLiteral("mac 00-14-C6-12-11-21 -> 00-14-C6-12-11-85")),
                 qPrintable(run.describe()));
        QVERIFY(lan.waitForReaderLog(
            Moving,
            QByteArrayLiteral("moved on eth0 from 198.18.17.33/20 via 198.18.16.1 to 198.18.17.133/20"),
            1000));
        QVERIFY(lan.waitForReaderLog(Moving, QByteArrayLiteral("-> 198.18.17.133:1001"), 2000));
        // Asked again while it restarted, but never flooded: at most four queries a second.
        const qsizetype queries = lan.readerLog(Moving).count(QByteArrayLiteral("-> 198.18.17.133:1001")) +
                                  lan.readerLog(Moving).count(QByteArrayLiteral("ignored: restarting"));
        QVERIFY2(queries <= 4 * seconds + 10, qPrintable(QString::number(queries)));

        // It answers there now, with the settings written, and no longer at its old address.
        const ProgramRun read = lan.vrxctl({"read", moved, "--json"});
        QVERIFY2(read.succeeded(), qPrintable(read.describe()));
        const QJsonObject settings = QJsonDocument::fromJson(read.out).object();
        QCOMPARE(settings.value("reader_ip").toString(), moved);
        QCOMPARE(settings.value("mac").toString(), QStringLiteral("00-14-C6-12-11-85"));
        const ProgramRun old = lan.vrxctl({"read", Moving});
        QCOMPARE(old.exitCode, 1);
    }

    // A reader that never comes back: the write was confirmed, the verify fails with its message and
    // exit 1 once the default five seconds have passed, not later.
    void verifyGivesUpOnAReaderThatNeverComesBack() {
        const ProgramRun run =
            lan.vrxctl({"configure", NeverBack, "--ip", "198.18.19.107", "--mac", "auto", "--verify"});
        QVERIFY2(run.finished && run.exitCode == 1, qPrintable(run.describe()));
        QVERIFY2(Text(run.out).contains(
                     QStringLiteral("Settings written to 198.18.19.7: the reader echoed them exactly.")),
                 qPrintable(run.describe()));
        QCOMPARE(Text(run.err),
                 QStringLiteral("vrxctl: verify: no reply from 198.18.19.107 within 5000 ms\n"));
        QVERIFY2(run.elapsedMs >= 5000 && run.elapsedMs < 7000, qPrintable(run.describe()));
    }

    // A target that nothing reaches is named with the computer's cards (exit 3). A subnet's broadcast
    // address, or the broadcast to every wire, would reach every reader there: it is refused as such
    // (exit 2) before anything is sent, not said to be on no card's subnet.
    void targetThatIsNoReader_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString noRoute =
            QStringLiteral("no route to %1: no card of this computer is on its subnet and no route leads "
                           "there (%2); give --local with one of these addresses, or give a card an address "
                           "on the reader's subnet")
                .arg(Nowhere, computerAddresses());
        QTest::newRow("read") << QStringList{"read", Nowhere} << 3 << noRoute;
        QTest::newRow("configure") << QStringList{"configure", Nowhere, "--beep", "off", "--verify"} << 3
                                   << noRoute;
        QTest::newRow("keys") << QStringList{"keys", Nowhere, "--key", "A1B2C3D4E5F6"} << 3 << noRoute;
        const QString broadcastOfB = QStringLiteral(
            "198.18.32.255 is the broadcast address of the subnet of eth1 (198.18.32.2/24), not a reader's: "
            "give the reader's own address (vrxctl discover --interface eth1 finds the readers there)");
        QTest::newRow("read of eth1's broadcast")
            << QStringList{"read", "198.18.32.255"} << 2 << broadcastOfB;
        QTest::newRow("keys to eth1's broadcast")
            << QStringList{"keys", "198.18.32.255", "--key", "A1B2C3D4E5F6"} << 2 << broadcastOfB;
        QTest::newRow("configure to eth0's broadcast, from its card")
            << QStringList{"configure", "198.18.31.255", "--beep", "off", "--local", CardA} << 2
            << QStringLiteral(
                   "198.18.31.255 is the broadcast address of the subnet of eth0 (198.18.16.2/20), "
                   "not a reader's: give the reader's own address (vrxctl discover --interface "
                   "eth0 finds the readers there)");
        QTest::newRow("read of the broadcast to every wire")
            << QStringList{"read", "255.255.255.255"} << 2
            << QStringLiteral(
                   "255.255.255.255 is the broadcast to every reader on this computer's wires, not "
                   "a reader's address: give the reader's own address (vrxctl discover finds the "
                   "readers)");
    }
    void targetThatIsNoReader() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const ProgramRun run = lan.vrxctl(arguments);
        QVERIFY2(run.finished && run.exitCode == exitCode, qPrintable(run.describe()));
        QCOMPARE(Text(run.err), QStringLiteral("vrxctl: ") + message + u'\n');
        QVERIFY(run.out.isEmpty());
    }

    // In a batch the row that nothing reaches fails with the same words, a broadcast row is refused, and
    // the others go on.
    void batchRowThatNothingReaches() {
        const QString csv = files.filePath(QStringLiteral("nowhere.csv"));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("address,server-port\n%1,9003\n%2,9004\n198.18.32.255,9005\n")
                       .arg(Nowhere, Plain)
                       .toUtf8());
        file.close();
        const ProgramRun run = lan.vrxctl({"batch", csv});
        QVERIFY2(run.finished && run.exitCode == 3, qPrintable(run.describe()));
        QVERIFY2(Text(run.out).contains(
                     QStringLiteral("line   2  %1  no route to %2: ").arg(Nowhere, -15).arg(Nowhere)),
                 qPrintable(run.describe()));
        QVERIFY(Text(run.out).contains(computerAddresses()));
        QVERIFY2(Text(run.out).contains(QStringLiteral("line   3  %1  ok").arg(Plain, -15)),
                 qPrintable(run.describe()));
        // A row for a subnet's broadcast address would reach every reader there: it is not sent.
        QVERIFY2(
            Text(run.out).contains(QStringLiteral("line   4  %1  invalid: 198.18.32.255 is the broadcast "
                                                  "address of the subnet of eth1")
                                       .arg(QStringLiteral("198.18.32.255"), -15)),
            qPrintable(run.describe()));
    }

    // The factory case: the technician gives the card an address in the subnet that the reader moves
    // to, and the verify asks from that address, since the reader answers only on its own subnet. (Last:
    // the card's extra address would change the computer's address list.)
    void verifyAsksFromTheCardsAddressInTheNewSubnet() {
        const QStringList address{"198.19.0.110/24", "dev", "eth0"};
        const ProgramRun add =
            lan.run(EmulatedLan::Computer, QStringLiteral("ip"), QStringList{"addr", "add"} + address);
        QVERIFY2(add.succeeded(), qPrintable(add.describe()));
        const ProgramRun run =
            lan.vrxctl({"configure", ToOtherSubnet, "--ip", "198.19.0.129", "--mask", "255.255.255.0",
                        "--gateway", "198.19.0.1", "--mac", "auto", "--verify"});
        lan.run(EmulatedLan::Computer, QStringLiteral("ip"), QStringList{"addr", "del"} + address);
        QVERIFY2(run.succeeded(), qPrintable(run.describe()));
        QVERIFY2(
            Text(run.out).contains(QStringLiteral("Verified: the reader at 198.19.0.129 answered after ")),
            qPrintable(run.describe()));
        // The write went from the first address of the card, the verify from the one in the new subnet.
        QVERIFY2(lan.waitForReaderLog(ToOtherSubnet, "198.18.16.2:1000 -> 198.18.22.129:1001 41 bytes", 2000),
                 lan.readerLog(ToOtherSubnet).constData());
        QVERIFY2(lan.waitForReaderLog(ToOtherSubnet, "198.19.0.110:1000 -> 198.19.0.129:1001 8 bytes", 2000),
                 lan.readerLog(ToOtherSubnet).constData());
    }
};

QTEST_GUILESS_MAIN(TestLanCards)
#include "tst_lan_cards.moc"
