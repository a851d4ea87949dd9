// vrxctl run as a process against simulated readers on loopback. The readers live in this test's
// event loop, which runs while the test waits for vrxctl to finish.
//
// Addresses: computer side 127.0.30.x / 127.0.35.x / 127.0.36.1 (127.0.0.1 under wine), readers
// 127.0.31.x-127.0.34.x and 127.0.36.x, scans in 127.1.5.0/24.
#include "ComputerAddress.h"
#include "ProgramRun.h"
#include "ReaderSimulator.h"
#include "Vrxctl.h"

#include "config/ParameterBlock.h"
#include "fields/HexText.h"
#include "link/LocalCards.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkDatagram>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

using namespace vrx;
using vrx::test::ComputerAddress;

namespace {

using Result = ProgramResult;

// The computer's address, and a wait long enough that a busy machine cannot make a simulated reader
// look silent; tests of the wait itself give --timeout after this, and the last value given counts.
QStringList Local(const QString &address) {
    return {QStringLiteral("--local"), ComputerAddress(address), QStringLiteral("--timeout"),
            QStringLiteral("1000")};
}

// How long the reader took to answer the verify, by the line that reports it ("Verified: the reader
// at A answered after 1.63 s and reports all 11 settings as written."); -1 without that line.
double VerifiedAfter(const QString &out, const QString &address) {
    const QRegularExpressionMatch match =
        QRegularExpression("\nVerified: the reader at " + QRegularExpression::escape(address) +
                           " answered after (\\d+\\.\\d\\d) s and reports all 11 settings as written\\.\n")
            .match(out);
    return match.hasMatch() ? match.captured(1).toDouble() : -1;
}

const QStringList Wait200{QStringLiteral("--timeout"), QStringLiteral("200")};

QString WriteFile(const QTemporaryDir &dir, const QString &name, const QString &text) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(text.toUtf8());
    return path;
}

} // namespace

class TestVrxctlCommands : public QObject {
    Q_OBJECT

    QTemporaryDir m_files; // for test data rows that name a file

private slots:
    void socketErrorInEnglishUnderAChineseLocale();
    void keysToAnAbsentReaderSaysNoReply();
    void replyOfTheWrongLengthIsSaidSo();
    void versionAndHelp();
    void readPrintsTableAndJson();
    void readFromTheRoutedLocalAddress();
    void readWithoutReplyFails();
    void readIgnoresABlockFromAnotherAddress();
    void configureWritesOnlyWhatIsGiven();
    void configureRefusesBadInputBeforeSending();
    void configureFailsOnADifferentEcho();
    void configureVerifiesAtTheNewAddress();
    void verifyReportsAMismatchOrSilence();
    void verifyWaitsForAReaderThatRestarts();
    void verifyWaitsForASlowReader();
    void configureDryRunWritesNothing();
    void configureFromJson();
    void keysFromOneKeyAndFromFile();
    void keysFailOnADifferentEchoAndNeverShowKeys();
    void scanFindsExactlyTheReaders();
    void scanFlagsADuplicateMac();
    void scanOutputsCsvAndRefusesHugeRanges();
    void scanWithNobodyThere();
    void batchSkipsABadRowAndGoesOn();
    void batchDrawsProgressOnATerminal();
    void socketErrorsInEnglishInEveryCommand_data();
    void socketErrorsInEnglishInEveryCommand();
    void bindRefusals();
};

void TestVrxctlCommands::versionAndHelp() {
    const Result version = Vrxctl({"--version"});
    VERIFY_EXIT(version, 0);
    QCOMPARE(version.out.trimmed(), QStringLiteral("vrxctl " VRX_VERSION));
    for (const QString command : {"read", "configure", "keys", "scan", "batch"}) {
        const Result help = Vrxctl({command, "--help"});
        VERIFY_EXIT(help, 0);
        QVERIFY2(help.out.startsWith("Usage: vrxctl " + command), qPrintable(help.out));
        QVERIFY(help.out.contains("3  socket error"));
    }
    VERIFY_EXIT(Vrxctl({"frobnicate"}), 2);
    VERIFY_EXIT(Vrxctl({"read", "--bogus", "127.0.31.1"}), 2);
    VERIFY_EXIT(Vrxctl({"read", "127.0.31.1", "--timeout", "0"}), 2);
}

void TestVrxctlCommands::readPrintsTableAndJson() {
    ReaderSimulator sim;
    QVERIFY(sim.addReader("127.0.31.10"));
    const Result table = Vrxctl(QStringList{"read", "127.0.31.10"} + Local("127.0.30.1"));
    VERIFY_EXIT(table, 0);
    QVERIFY2(table.out.contains(QRegularExpression("Reader IP\\s+127.0.31.10\n")), qPrintable(table.out));
    QVERIFY(table.out.contains(QRegularExpression("MAC\\s+00-14-7F-00-1F-0A\n")));

    const Result json = Vrxctl(QStringList{"read", "127.0.31.10", "--json"} + Local("127.0.30.1"));
    VERIFY_EXIT(json, 0);
    const QJsonObject object = QJsonDocument::fromJson(json.out.toUtf8()).object();
    QCOMPARE(object.keys(),
             (QStringList{"beep", "gateway", "heartbeat", "key_source", "mac", "protocol", "reader_ip",
                          "reader_port", "server_ip", "server_port", "subnet_mask"}));
    // The keys come in the order of the block, not sorted.
    qsizetype previous = -1;
    for (const QString key : {"reader_ip", "subnet_mask", "gateway", "reader_port", "server_ip",
                              "server_port", "mac", "protocol", "heartbeat", "beep", "key_source"}) {
        QVERIFY2(json.out.indexOf('"' + key + '"') > previous, qPrintable(key));
        previous = json.out.indexOf('"' + key + '"');
    }
    QCOMPARE(object.value("reader_ip").toString(), QStringLiteral("127.0.31.10"));
    QCOMPARE(object.value("gateway").toString(), QStringLiteral("127.0.31.1"));
    QCOMPARE(object.value("reader_port").toInt(), 1234);
    QCOMPARE(object.value("protocol").toString(), QStringLiteral("udp"));
    QCOMPARE(object.value("beep").toString(), QStringLiteral("on"));
    QCOMPARE(sim.received().size(), 2); // one query each, no retries
}

void TestVrxctlCommands::readFromTheRoutedLocalAddress() {
    // Without --local the route to a loopback reader gives 127.0.0.1, which is not the reader's address,
    // so its reply is not mistaken for this computer's own datagram.
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader("127.1.5.99");
    QVERIFY(reader);
    const Result result = Vrxctl({"read", "127.1.5.99", "--json"});
    if (result.code == 3 && result.err.contains("address in use"))
        QSKIP("127.0.0.1:1000 is held by another program");
    VERIFY_EXIT(result, 0);
    QCOMPARE(reader->received().constFirst().peer, QStringLiteral("127.0.0.1"));
    QCOMPARE(reader->received().constFirst().peerPort, quint16(1000));
}

void TestVrxctlCommands::readWithoutReplyFails() {
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader("127.0.31.11");
    QVERIFY(reader);
    reader->setSilent(true);
    const Result result =
        Vrxctl(QStringList{"read", "127.0.31.11", "--retries", "2"} + Local("127.0.30.1") + Wait200);
    VERIFY_EXIT(result, 1);
    QVERIFY(result.err.contains("no reply from 127.0.31.11 within 200 ms"));
    QCOMPARE(reader->received().size(), 3); // the query and two retries

    // A late reply is one that did not come at all.
    reader->setSilent(false);
    reader->setDelay(400);
    VERIFY_EXIT(Vrxctl(QStringList{"read", "127.0.31.11"} + Local("127.0.30.1") + Wait200), 1);
    VERIFY_EXIT(
        Vrxctl(QStringList{"read", "127.0.31.11"} + Local("127.0.30.1") + QStringList{"--timeout", "1500"}),
        0);
}

void TestVrxctlCommands::readIgnoresABlockFromAnotherAddress() {
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader("127.0.31.12");
    QVERIFY(reader);
    QString error;
    QVERIFY2(reader->setReplyFrom("127.0.31.13", &error), qPrintable(error));
    const Result result = Vrxctl(QStringList{"read", "127.0.31.12", "--trace"} + Local("127.0.30.1"));
    VERIFY_EXIT(result, 1);
    // The block did arrive, and the trace shows it, but it was not from the reader asked.
    QVERIFY2(result.err.contains("<- 127.0.31.13:1001  41 bytes"), qPrintable(result.err));
}

void TestVrxctlCommands::configureWritesOnlyWhatIsGiven() {
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader("127.0.31.20");
    QVERIFY(reader);
    const ReaderSettings before = reader->settings();
    const Result result = Vrxctl(
        QStringList{"configure", "127.0.31.20", "--port", "80", "--protocol", "tcp-client", "--beep", "off"} +
        Local("127.0.30.2"));
    VERIFY_EXIT(result, 0);
    QVERIFY(result.out.contains("port 1234 -> 80"));
    QVERIFY(result.out.contains("protocol udp -> tcp-client"));
    ReaderSettings expected = before;
    expected.readerPort = 80;
    expected.readerProtocol = Protocol::TcpClient;
    expected.beepOnRead = Beep::Silent;
    QCOMPARE(reader->settings(), expected);
}

void TestVrxctlCommands::configureRefusesBadInputBeforeSending() {
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader("127.0.31.21");
    QVERIFY(reader);
    // Several bad fields: the window names the reader IP first.
    const Result result = Vrxctl(QStringList{"configure", "127.0.31.21", "--server-port", "0", "--mac",
                                             "1-2-3", "--ip", "127.0.31.0"} +
                                 Local("127.0.30.2"));
    VERIFY_EXIT(result, 2);
    QVERIFY2(result.err.contains("reader IP (--ip)"), qPrintable(result.err));
    QVERIFY(!result.err.contains("--mac"));
    VERIFY_EXIT(Vrxctl(QStringList{"configure", "127.0.31.21", "--heartbeat", "maybe"} + Local("127.0.30.2")),
                2);
    QVERIFY(reader->received().isEmpty());
}

void TestVrxctlCommands::configureFailsOnADifferentEcho() {
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader("127.0.31.22");
    QVERIFY(reader);
    reader->setCorruptEcho(true);
    const Result result =
        Vrxctl(QStringList{"configure", "127.0.31.22", "--port", "81"} + Local("127.0.30.2"));
    VERIFY_EXIT(result, 1);
    QVERIFY2(result.err.contains("echo differs"), qPrintable(result.err));

    reader->setCorruptEcho(false);
    reader->setSilent(true);
    const Result silent =
        Vrxctl(QStringList{"configure", "127.0.31.22", "--port", "81"} + Local("127.0.30.2"));
    VERIFY_EXIT(silent, 1);
    QVERIFY(silent.err.contains("nothing was written"));
}

void TestVrxctlCommands::configureVerifiesAtTheNewAddress() {
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader("127.0.31.30");
    QVERIFY(reader);
    const Result result = Vrxctl(QStringList{"configure", "127.0.31.30", "--ip", "127.0.31.31", "--mac",
                                             "auto", "--gateway", "127.0.31.254", "--verify"} +
                                 Local("127.0.30.3"));
    VERIFY_EXIT(result, 0);
    const double seconds = VerifiedAfter(result.out, "127.0.31.31");
    QVERIFY2(seconds >= 0 && seconds < 1, qPrintable(result.out));
    QVERIFY(result.out.contains("mac 00-14-7F-00-1F-1E -> 00-14-7F-00-1F-1F"));
    QCOMPARE(sim.reader("127.0.31.31"), reader);
    // The read-back went to the new address.
    QCOMPARE(reader->received().constLast().local, QStringLiteral("127.0.31.31"));
    QCOMPARE(reader->received().constLast().bytes, ParameterQuery());
}

void TestVrxctlCommands::verifyReportsAMismatchOrSilence() {
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader("127.0.31.60");
    SimulatedReader *squatter = sim.addReader("127.0.31.61");
    QVERIFY(reader && squatter);
    // The new address is taken: the reader confirms but stays, and another reader answers there.
    const Result mismatch = Vrxctl(
        QStringList{"configure", "127.0.31.60", "--ip", "127.0.31.61", "--verify"} + Local("127.0.30.7"));
    VERIFY_EXIT(mismatch, 1);
    QVERIFY(mismatch.out.contains("the reader echoed them exactly"));
    QVERIFY2(
        mismatch.err.contains("verify mismatch at 127.0.31.61: mac written 00-14-7F-00-1F-3C, reader reports "
                              "00-14-7F-00-1F-3D"),
        qPrintable(mismatch.err));

    // Nobody answers at the new address: asked again at growing intervals (2, 4, 8 ... 250 ms), not
    // flooded, then given up when the verify's time is over.
    SimulatedReader *mute = sim.addReader("127.0.31.62");
    QVERIFY(mute);
    mute->setSilent(true);
    QElapsedTimer clock;
    QList<qint64> times; // when each query arrived
    connect(mute, &SimulatedReader::datagramReceived, this, [&](const WireRecord &record) {
        QCOMPARE(record.bytes, ParameterQuery());
        times.append(clock.elapsed());
    });
    clock.start();
    const Result silent =
        Vrxctl(QStringList{"configure", "127.0.31.60", "--ip", "127.0.31.62", "--verify-timeout", "1000"} +
               Local("127.0.30.7") + Wait200);
    VERIFY_EXIT(silent, 1);
    QVERIFY2(silent.err.contains("verify: no reply from 127.0.31.62 within 1000 ms"), qPrintable(silent.err));
    // 0, 2, 6, 14, 30, 62, 126, 254, 504, 754 ms after the first: ten, and never more than four a
    // second once the gaps have grown.
    QVERIFY2(times.size() >= 8 && times.size() <= 11, qPrintable(QString::number(times.size())));
    for (qsizetype i = 8; i < times.size(); ++i)
        QVERIFY2(times[i] - times[i - 1] >= 200, qPrintable(QStringLiteral("query %1").arg(i)));
}

void TestVrxctlCommands::verifyWaitsForAReaderThatRestarts() {
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader("127.0.36.30");
    QVERIFY(reader);
    // Silent for 800 ms after the echo, then at its new address: the next repeat finds it there.
    reader->setRestartDelay(800);
    const Result moved = Vrxctl(QStringList{"configure", "127.0.36.30", "--ip", "127.0.36.31", "--verify"} +
                                Local("127.0.36.1"));
    VERIFY_EXIT(moved, 0);
    const double seconds = VerifiedAfter(moved.out, "127.0.36.31");
    QVERIFY2(seconds >= 0.8 && seconds < 2.0, qPrintable(moved.out));
    QCOMPARE(sim.reader("127.0.36.31"), reader);
}

void TestVrxctlCommands::verifyWaitsForASlowReader() {
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader("127.0.36.20");
    QVERIFY(reader);
    // Every reply takes 700 ms: the read-back's too, which the verify waits for and reports.
    reader->setDelay(700);
    const Result slow = Vrxctl(QStringList{"configure", "127.0.36.20", "--beep", "off", "--verify"} +
                               Local("127.0.36.1") + QStringList{"--timeout", "1500"});
    VERIFY_EXIT(slow, 0);
    const double seconds = VerifiedAfter(slow.out, "127.0.36.20");
    QVERIFY2(seconds >= 0.69 && seconds < 1.5, qPrintable(slow.out));

    // A verify shorter than the reader's answer fails, with exit 1, after the write was confirmed. The
    // answers to the first verify's repeats come first: they would be taken for a wrong echo.
    QVERIFY(QTest::qWaitFor([&] { return reader->sent().size() == reader->received().size(); }, 5000));
    const Result impatient =
        Vrxctl(QStringList{"configure", "127.0.36.20", "--beep", "on", "--verify-timeout", "400"} +
               Local("127.0.36.1") + QStringList{"--timeout", "1500"});
    VERIFY_EXIT(impatient, 1);
    QVERIFY2(impatient.out.contains("the reader echoed them exactly"), qPrintable(Diagnose(impatient)));
    QVERIFY2(impatient.err.contains("vrxctl: verify: no reply from 127.0.36.20 within 400 ms"),
             qPrintable(impatient.err));

    // The option's own mistakes are usage errors, before anything is sent.
    const int before = reader->received().size();
    for (const QString bad : {"0", "x", "600001"}) {
        const Result refused =
            Vrxctl(QStringList{"configure", "127.0.36.20", "--beep", "on", "--verify-timeout", bad} +
                   Local("127.0.36.1"));
        VERIFY_EXIT(refused, 2);
        QVERIFY2(refused.err.contains("--verify-timeout must be a number from 1 to 600000"),
                 qPrintable(refused.err));
    }
    QCOMPARE(reader->received().size(), before);
}

void TestVrxctlCommands::configureDryRunWritesNothing() {
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader("127.0.31.32");
    QVERIFY(reader);
    const ReaderSettings before = reader->settings();
    const Result result = Vrxctl(QStringList{"configure", "127.0.31.32", "--server-port", "80", "--dry-run"} +
                                 Local("127.0.30.3"));
    VERIFY_EXIT(result, 0);
    ReaderSettings expected = before;
    expected.serverPort = 80;
    const QString hex = QString::fromLatin1(ParameterBlock::encode(expected).toHex(' ').toUpper());
    QVERIFY2(result.out.contains(hex), qPrintable(result.out));
    QVERIFY(result.out.contains("server-port 1234 -> 80"));
    QCOMPARE(reader->settings(), before);
    QCOMPARE(reader->received().size(), 1); // the query only
}

void TestVrxctlCommands::configureFromJson() {
    ReaderSimulator sim;
    SimulatedReader *source = sim.addReader("127.0.31.33");
    SimulatedReader *target = sim.addReader("127.0.31.34");
    QVERIFY(source && target);
    ReaderSettings wanted = source->settings();
    wanted.serverIp = {127, 0, 30, 99};
    wanted.keySource = KeySource::Reader;
    source->setSettings(wanted);
    const Result read = Vrxctl(QStringList{"read", "127.0.31.33", "--json"} + Local("127.0.30.3"));
    VERIFY_EXIT(read, 0);
    QTemporaryDir dir;
    // Everything from the first reader except its address and MAC, which the options override.
    const QString path = WriteFile(dir, "settings.json", read.out);
    const Result result = Vrxctl(QStringList{"configure", "127.0.31.34", "--from", path, "--ip",
                                             "127.0.31.34", "--mac", "auto", "--verify"} +
                                 Local("127.0.30.3"));
    VERIFY_EXIT(result, 0);
    wanted.readerIp = {127, 0, 31, 34};
    wanted.readerMac = {0x00, 0x14, 127, 0, 31, 34};
    QCOMPARE(target->settings(), wanted);

    const QString bad = WriteFile(dir, "bad.json", R"({"reader_port": 80, "colour": "red"})");
    const Result refused =
        Vrxctl(QStringList{"configure", "127.0.31.34", "--from", bad} + Local("127.0.30.3"));
    VERIFY_EXIT(refused, 2);
    QVERIFY(refused.err.contains("colour"));
}

void TestVrxctlCommands::keysFromOneKeyAndFromFile() {
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader("127.0.31.40");
    QVERIFY(reader);
    const Result one =
        Vrxctl(QStringList{"keys", "127.0.31.40", "--key", "a1b2c3d4e5f6"} + Local("127.0.30.4"));
    VERIFY_EXIT(one, 0);
    QCOMPARE(reader->key(15, true), QByteArray::fromHex("A1B2C3D4E5F6"));

    QTemporaryDir dir;
    QString text = "# sector A-key B-key\n";
    for (int s = 0; s < 16; ++s)
        text += QStringLiteral("%1 0000000000%2 1111111111%2\n").arg(s).arg(s, 2, 10, QChar('0'));
    const Result file = Vrxctl(
        QStringList{"keys", "127.0.31.40", "--file", WriteFile(dir, "keys.txt", text)} + Local("127.0.30.4"));
    VERIFY_EXIT(file, 0);
    QCOMPARE(reader->key(9, false), QByteArray::fromHex("000000000009"));
    QCOMPARE(reader->key(12, true), QByteArray::fromHex("111111111112"));

    const Result missing = Vrxctl(
        QStringList{"keys", "127.0.31.40", "--file", WriteFile(dir, "short.txt", text.section('\n', 0, 15))} +
        Local("127.0.30.4"));
    VERIFY_EXIT(missing, 2);
    QVERIFY2(missing.err.contains("sector 15"), qPrintable(missing.err));
    VERIFY_EXIT(Vrxctl(QStringList{"keys", "127.0.31.40", "--key", "FFFF"} + Local("127.0.30.4")), 2);
}

void TestVrxctlCommands::keysFailOnADifferentEchoAndNeverShowKeys() {
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader("127.0.31.41");
    QVERIFY(reader);
    reader->setCorruptEcho(true);
    const Result result =
        Vrxctl(QStringList{"keys", "127.0.31.41", "--key", "A1B2C3D4E5F6", "--trace"} + Local("127.0.30.4"));
    VERIFY_EXIT(result, 1);
    QVERIFY(result.err.contains("-> 127.0.31.41:1001  200 bytes  E1 E1 E1 E1 ************"));
    QVERIFY(result.err.contains("<- 127.0.31.41:1001  200 bytes"));
    QVERIFY(!result.err.contains("A1 B2") && !result.out.contains("A1 B2"));
    QVERIFY(!result.err.contains("A1B2", Qt::CaseInsensitive));
}

void TestVrxctlCommands::scanFindsExactlyTheReaders() {
    ReaderSimulator sim;
    const QStringList addresses{"127.1.5.7", "127.1.5.200", "127.1.5.20", "127.1.5.254", "127.1.5.1"};
    for (const QString &address : addresses)
        QVERIFY(sim.addReader(address));
    // A reader just outside the block must not be found.
    QVERIFY(sim.addReader("127.1.6.1"));
    const Result result = Vrxctl(QStringList{"scan", "127.1.5.0/24", "--json"} + Local("127.0.35.1"));
    VERIFY_EXIT(result, 0);
    const QJsonArray found = QJsonDocument::fromJson(result.out.toUtf8()).array();
    QStringList listed;
    for (const QJsonValue &reader : found) {
        listed.append(reader["address"].toString());
        QCOMPARE(reader["reader_ip"].toString(), reader["address"].toString());
        QCOMPARE(reader["duplicate_mac"].toBool(), false);
    }
    QCOMPARE(listed, (QStringList{"127.1.5.1", "127.1.5.7", "127.1.5.20", "127.1.5.200", "127.1.5.254"}));
    // Every reader was asked exactly once.
    for (const QString &address : addresses)
        QCOMPARE(sim.reader(address)->received().size(), 1);
    QVERIFY(sim.reader("127.1.6.1")->received().isEmpty());
}

void TestVrxctlCommands::scanFlagsADuplicateMac() {
    ReaderSimulator sim;
    SimulatedReader *a = sim.addReader("127.1.5.30");
    SimulatedReader *b = sim.addReader("127.1.5.31");
    SimulatedReader *c = sim.addReader("127.1.5.32");
    QVERIFY(a && b && c);
    ReaderSettings copy = c->settings();
    copy.readerMac = a->settings().readerMac;
    c->setSettings(copy);
    const Result result = Vrxctl(QStringList{"scan", "127.1.5.30-32"} + Local("127.0.35.2"));
    VERIFY_EXIT(result, 0);
    QVERIFY2(result.out.contains(QRegularExpression("127.1.5.30 .* DUPLICATE MAC \\(also at 127.1.5.32\\)")),
             qPrintable(result.out));
    QVERIFY(result.out.contains(QRegularExpression("127.1.5.32 .* DUPLICATE MAC \\(also at 127.1.5.30\\)")));
    QVERIFY(!result.out.contains(QRegularExpression("127.1.5.31 .*DUPLICATE")));
    QVERIFY(result.out.contains("3 of 3 addresses answered; 2 of them share a MAC"));
    QVERIFY(result.err.contains("warning: MAC 00-14-7F-01-05-1E answers at 127.1.5.30 and 127.1.5.32"));
}

void TestVrxctlCommands::scanOutputsCsvAndRefusesHugeRanges() {
    ReaderSimulator sim;
    QVERIFY(sim.addReader("127.1.5.40"));
    const Result csv = Vrxctl(QStringList{"scan", "127.1.5.40", "127.1.5.41", "--csv"} + Local("127.0.35.3"));
    VERIFY_EXIT(csv, 0);
    const QStringList lines = csv.out.trimmed().split('\n');
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0],
             QStringLiteral("address,reader_ip,subnet_mask,gateway,reader_port,server_ip,server_port,mac,"
                            "protocol,heartbeat,beep,key_source,duplicate_mac"));
    QCOMPARE(lines[1], QStringLiteral("127.1.5.40,127.1.5.40,255.255.255.0,127.1.5.1,1234,192.168.0.110,1234,"
                                      "00-14-7F-01-05-28,udp,on,on,command,no"));

    const Result huge = Vrxctl(QStringList{"scan", "127.1.0.0/15"} + Local("127.0.35.3"));
    VERIFY_EXIT(huge, 2);
    QVERIFY2(huge.err.contains("at most 65536"), qPrintable(huge.err));
}

void TestVrxctlCommands::scanWithNobodyThere() {
    const Result result = Vrxctl(QStringList{"scan", "127.1.7.0/28"} + Local("127.0.35.4"));
    VERIFY_EXIT(result, 1);
    QVERIFY(result.err.contains("no reader answered in 14 addresses"));
}

void TestVrxctlCommands::batchSkipsABadRowAndGoesOn() {
    ReaderSimulator sim;
    SimulatedReader *moving = sim.addReader("127.0.32.10");
    SimulatedReader *bad = sim.addReader("127.0.32.11");
    SimulatedReader *silent = sim.addReader("127.0.32.12");
    SimulatedReader *corrupt = sim.addReader("127.0.32.13");
    SimulatedReader *plain = sim.addReader("127.0.32.14");
    QVERIFY(moving && bad && silent && corrupt && plain);
    silent->setSilent(true);
    corrupt->setCorruptEcho(true);
    const ReaderSettings badBefore = bad->settings();

    QTemporaryDir dir;
    const QString csv = WriteFile(dir, "readers.csv",
                                  "# address,ip,port,server-ip,beep\n"
                                  "address,ip,port,server-ip,beep\n"
                                  "127.0.32.10,127.0.32.20,,127.0.30.50,off\n"
                                  "127.0.32.11,,80,127.0.30.50,sometimes\n" // line 4: bad word, never sent
                                  "127.0.32.12,,81,,\n"
                                  "127.0.32.13,,82,,\n"
                                  "127.0.32.14,,83,,on\n");
    const QString reportPath = dir.filePath("report.csv");
    const Result result =
        Vrxctl(QStringList{"batch", csv, "--verify", "--report", reportPath} + Local("127.0.30.5"));
    VERIFY_EXIT(result, 2); // a row was invalid
    QVERIFY2(result.err.contains("line 4: skipped: beep on read (--beep): \"sometimes\""),
             qPrintable(result.err));
    QVERIFY(bad->received().isEmpty());
    QCOMPARE(bad->settings(), badBefore);
    QCOMPARE(sim.reader("127.0.32.20"), moving);
    QCOMPARE(moving->settings().serverIp, (AddressBytes{127, 0, 30, 50}));
    QCOMPARE(plain->settings().readerPort, quint16(83));

    QFile reportFile(reportPath);
    QVERIFY(reportFile.open(QIODevice::ReadOnly));
    const QStringList report = QString::fromUtf8(reportFile.readAll()).trimmed().split('\n');
    QCOMPARE(report.size(), 6);
    QCOMPARE(report[0], QStringLiteral("line,address,result,changes"));
    QVERIFY2(
        report[1].startsWith("3,127.0.32.10,ok,ip 127.0.32.10 -> 127.0.32.20; server-ip 192.168.0.110 -> "
                             "127.0.30.50; beep on -> off"),
        qPrintable(report[1]));
    QVERIFY(report[2].startsWith("4,127.0.32.11,\"invalid: beep on read (--beep)"));
    QCOMPARE(report[3], QStringLiteral("5,127.0.32.12,no reply,"));
    QCOMPARE(report[4], QStringLiteral("6,127.0.32.13,echo differs,port 1234 -> 82"));
    QCOMPARE(report[5], QStringLiteral("7,127.0.32.14,ok,port 1234 -> 83"));

    // Without the bad row the failures alone give 1.
    const QString failing = WriteFile(dir, "failing.csv", "address,port\n127.0.32.12,81\n127.0.32.14,84\n");
    VERIFY_EXIT(Vrxctl(QStringList{"batch", failing} + Local("127.0.30.5")), 1);
    QCOMPARE(plain->settings().readerPort, quint16(84));
}

void TestVrxctlCommands::batchDrawsProgressOnATerminal() {
    // In-process: the command's own event loop serves the simulated readers too.
    ReaderSimulator sim;
    QVERIFY(sim.addReader("127.0.33.10") && sim.addReader("127.0.33.11"));
    QTemporaryDir dir;
    const QString csv = WriteFile(dir, "two.csv", "address,server-port\n127.0.33.10,90\n127.0.33.11,91\n");
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    vrxctl::Console terminal{outStream, errStream, true};
    QCOMPARE(vrxctl::RunVrxctl({"batch", csv, "--local", ComputerAddress("127.0.30.8")}, terminal), 0);
    QVERIFY2(err.contains("\r[---------------"), qPrintable(err));
    QVERIFY(err.endsWith("\r[##############################]   2/2\n"));
    QCOMPARE(sim.reader("127.0.33.11")->settings().serverPort, quint16(91));

    // Not a terminal: no progress bar at all.
    err.clear();
    vrxctl::Console pipe{outStream, errStream, false};
    QCOMPARE(vrxctl::RunVrxctl({"batch", csv, "--local", ComputerAddress("127.0.30.8")}, pipe), 0);
    QVERIFY2(err.isEmpty(), qPrintable(err));
}

void TestVrxctlCommands::socketErrorsInEnglishInEveryCommand_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message"); // the whole line, on stderr or (batch: the row) on stdout

    const QString csv = WriteFile(m_files, "one.csv", "address,port\n127.0.31.50,81\n");
    const QString inUse = QStringLiteral("socket error 10048: address in use: another program holds %1:1000; "
                                         "close it or give another --local")
                              .arg(ComputerAddress("127.0.30.6"));
    QTest::newRow("read") << QStringList{"read", "127.0.31.50"} << "vrxctl: " + inUse;
    QTest::newRow("configure") << QStringList{"configure", "127.0.31.50", "--port", "81"}
                               << "vrxctl: " + inUse;
    QTest::newRow("configure --verify")
        << QStringList{"configure", "127.0.31.50", "--port", "81", "--verify"} << "vrxctl: " + inUse;
    QTest::newRow("keys") << QStringList{"keys", "127.0.31.50", "--key", "A1B2C3D4E5F6"}
                          << "vrxctl: " + inUse;
    QTest::newRow("batch") << QStringList{"batch", csv} << "line   2  127.0.31.50      " + inUse;
    QTest::newRow("scan") << QStringList{"scan", "127.0.31.50-51"} << "vrxctl: " + inUse;
}

// A socket failure is "socket error N: ..." in English in every command, and exit 3 as before.
void TestVrxctlCommands::socketErrorsInEnglishInEveryCommand() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    ReaderSimulator sim;
    QVERIFY(sim.addReader("127.0.31.50"));
    QUdpSocket holder;
    QVERIFY(
        holder.bind(QHostAddress(ComputerAddress("127.0.30.6")), 1000, QAbstractSocket::DontShareAddress));
    const Result result = Vrxctl(arguments + Local("127.0.30.6"));
    VERIFY_EXIT(result, 3);
    QVERIFY2((result.err + result.out).split('\n').contains(message), qPrintable(Diagnose(result)));
    QVERIFY2(
        !(result.err + result.out).contains(QRegularExpression("[\\x{2E80}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]")),
        qPrintable(Diagnose(result)));
}

void TestVrxctlCommands::bindRefusals() {
    VRX_SKIP_UNDER_WINE("wine binds an address the computer lacks without complaint");
    ReaderSimulator sim;
    QVERIFY(sim.addReader("127.0.31.50"));
    // An address this computer does not have: the bind is refused before anything is sent, and the
    // message lists the addresses it has.
    const Result foreign = Vrxctl(QStringList{"read", "127.0.31.50"} + Local("198.19.255.1"));
    VERIFY_EXIT(foreign, 3);
    QCOMPARE(
        foreign.err.trimmed(),
        "vrxctl: socket error 10049: cannot bind 198.19.255.1:1000: this computer has no such address; give "
        "--local with one of its addresses (this computer's addresses: " +
            CardListText(LocalCards()) + ")");
    QVERIFY(sim.reader("127.0.31.50")->received().isEmpty());
    VERIFY_EXIT(Vrxctl(QStringList{"read", "127.0.31.50", "--local", "not-an-address"}), 2);
}

// The system's words for an error are not taken from the process's locale: under Chinese the message
// is still English and still names the address and port.
void TestVrxctlCommands::socketErrorInEnglishUnderAChineseLocale() {
    ReaderSimulator sim;
    QVERIFY(sim.addReader("127.0.31.70"));
    QUdpSocket holder;
    QVERIFY(
        holder.bind(QHostAddress(ComputerAddress("127.0.30.9")), 1000, QAbstractSocket::DontShareAddress));
    const Result result =
        Vrxctl(QStringList{"read", "127.0.31.70"} + Local("127.0.30.9"),
               {.environment = {"LANG=zh_CN.UTF-8", "LC_ALL=zh_CN.UTF-8", "LANGUAGE=zh_CN"}});
    VERIFY_EXIT(result, 3);
    QVERIFY2(result.err.contains(QStringLiteral("address in use: another program holds %1:1000")
                                     .arg(ComputerAddress("127.0.30.9"))),
             qPrintable(Diagnose(result)));
    QVERIFY2(!result.err.contains(QRegularExpression("[\\x{2E80}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]")),
             qPrintable(Diagnose(result)));
}

// A reader that does not answer the key frame is reported as read reports it, not as a wrong echo.
void TestVrxctlCommands::keysToAnAbsentReaderSaysNoReply() {
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader("127.0.31.71");
    QVERIFY(reader);
    reader->setSilent(true);
    const Result result =
        Vrxctl(QStringList{"keys", "127.0.31.71", "--key", "A1B2C3D4E5F6"} + Local("127.0.30.1") + Wait200);
    VERIFY_EXIT(result, 1);
    QCOMPARE(result.err.trimmed(), QStringLiteral("vrxctl: no reply from 127.0.31.71 within 200 ms"));
}

// A reply that came but was not a parameter block is not reported as no reply.
void TestVrxctlCommands::replyOfTheWrongLengthIsSaidSo() {
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader("127.0.31.72");
    QVERIFY(reader);
    reader->setReplyLength(40);
    const Result result = Vrxctl(QStringList{"read", "127.0.31.72"} + Local("127.0.30.1"));
    VERIFY_EXIT(result, 1);
    QCOMPARE(result.err.trimmed(),
             QStringLiteral(
                 "vrxctl: the reply from 127.0.31.72 was 40 bytes long, not the 41 of a parameter block"));
}

QTEST_GUILESS_MAIN(TestVrxctlCommands)
#include "tst_vrxctl_commands.moc"
