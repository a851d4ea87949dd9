// vrxctl as a process against simulated and deliberately misbehaving readers on loopback: nothing it
// writes is lost or half written, no input makes it grow without bound, a typo in an address sends
// nothing, and a stray or late datagram does not end an exchange.
//
// Addresses: 127.17.x.1 is the computer, readers 127.17.x.10 and up, strays 127.17.x.99.
#include "ProgramRun.h"
#include "ReaderSimulator.h"
#include "SmallDisk.h"

#include "config/ParameterBlock.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QNetworkDatagram>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/types.h>

using namespace vrx;

namespace {

using Result = ProgramResult;

QString WriteFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

QByteArray ReadFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A reader that was busy when the first settings query came: it answers that query only when the
// second one arrives, and answers the second only just before it echoes the block that follows, so that
// the answer arrives while vrxctl waits for the echo.
class SlowFirstAnswer : public QObject {
public:
    explicit SlowFirstAnswer(const QString &address) {
        m_socket.bind(QHostAddress(address), 1001);
        m_block = ParameterBlock::encode(SimulatedReader::DefaultSettings(QHostAddress(address)));
        connect(&m_socket, &QUdpSocket::readyRead, this, [this] {
            while (m_socket.hasPendingDatagrams()) {
                const QNetworkDatagram datagram = m_socket.receiveDatagram();
                const auto reply = [&](const QByteArray &bytes) {
                    m_socket.writeDatagram(bytes, datagram.senderAddress(), quint16(datagram.senderPort()));
                };
                if (datagram.data() == ParameterQuery()) {
                    if (++m_queries == 2)
                        reply(m_block); // the late answer to the first query
                } else if (datagram.data().size() == ParameterBlock::Size) {
                    reply(m_block); // the answer to the second query, late too
                    reply(datagram.data());
                    m_block = datagram.data();
                }
            }
        });
    }
    bool bound() const { return m_socket.state() == QAbstractSocket::BoundState; }
    QByteArray settings() const { return m_block; }

private:
    QUdpSocket m_socket;
    QByteArray m_block;
    int m_queries = 0;
};

// Sends a datagram of 200 bytes from another address to whoever wrote to the reader, at once: the
// reader itself answers 60 ms later.
class Stray : public QObject {
public:
    Stray(const QString &address, SimulatedReader *reader) {
        m_socket.bind(QHostAddress(address), 0);
        connect(reader, &SimulatedReader::datagramReceived, this, [this](const WireRecord &record) {
            m_socket.writeDatagram(QByteArray(200, '\x5A'), QHostAddress(record.peer), record.peerPort);
            ++sent;
        });
    }
    int sent = 0;

private:
    QUdpSocket m_socket;
};

// The largest resident set any finished child of this test reached, in bytes.
qint64 LargestChildResident() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

bool IsCharacterDevice(const QString &path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISCHR(status.st_mode);
}

const QString KeyArgument = QStringLiteral("A1B2C3D4E5F6");

} // namespace

class TestVrxctlSafety : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void zeroDeviceIsRefusedAtOnce_data();
    void zeroDeviceIsRefusedAtOnce();
    void largeFilesAreRefusedBySize();
    void shortKeyNamesFileAndLine();
    void malformedAddressSendsNothing_data();
    void malformedAddressSendsNothing();
    void strayDatagramIsIgnored_data();
    void strayDatagramIsIgnored();
    void retriesResendTheQuery();
    void lateSettingsReplyIsNotTheEcho();
    void reportGoesWhereItIsTold_data();
    void reportGoesWhereItIsTold();
    void reportOnAFullDisk();
    void reportIntoAReadOnlyFolder();
    void busyPortPrintsNoListing_data();
    void busyPortPrintsNoListing();
    void scanListsWhatItFoundOnASignal_data();
    void scanListsWhatItFoundOnASignal();
    void batchStopsAndReportsOnASignal_data();
    void batchStopsAndReportsOnASignal();
    void batchCellsAreBoundedAndShownEscaped_data();
    void batchCellsAreBoundedAndShownEscaped();
    void batchConfiguresARepeatedReaderOnce();
};

void TestVrxctlSafety::zeroDeviceIsRefusedAtOnce_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("batch") << QStringList{"batch", "/dev/zero"}
                           << "/dev/zero holds more than 16777216 bytes, more than a batch file may hold";
    QTest::newRow("keys --file") << QStringList{"keys", "127.17.0.10", "--file", "/dev/zero"}
                                 << "/dev/zero holds more than 65536 bytes, more than a key file may hold";
}

void TestVrxctlSafety::zeroDeviceIsRefusedAtOnce() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const Result result = Vrxctl(arguments);
    VERIFY_EXIT(result, 2);
    QVERIFY2(result.err.contains(message), qPrintable(result.err));
    QVERIFY2(result.ms < 1000, qPrintable(QString::number(result.ms)));
    // AddressSanitizer's shadow memory alone takes more than the bound, whatever the program reads; the
    // bound is checked in the ordinary build.
#ifndef __SANITIZE_ADDRESS__
    QVERIFY2(LargestChildResident() < 50 * 1024 * 1024, qPrintable(QString::number(LargestChildResident())));
#endif
}

void TestVrxctlSafety::largeFilesAreRefusedBySize() {
    const QString batch = path("large.csv");
    QFile file(batch);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(16 * 1024 * 1024 + 1));
    file.close();
    Result result = Vrxctl({"batch", batch});
    VERIFY_EXIT(result, 2);
    QVERIFY2(result.err.contains(batch + " is 16777217 bytes"), qPrintable(result.err));

    const QString keys = WriteFile(path("large-keys.txt"), QByteArray(64 * 1024 + 1, '#'));
    result = Vrxctl({"keys", "127.17.0.10", "--file", keys});
    VERIFY_EXIT(result, 2);
    QVERIFY2(result.err.contains(keys + " is 65537 bytes"), qPrintable(result.err));
}

void TestVrxctlSafety::shortKeyNamesFileAndLine() {
    QByteArray text = "# sector A B\n";
    for (int sector = 0; sector < 16; ++sector)
        text += QByteArray::number(sector) + (sector == 3 ? " A1B2C3 " : " A1B2C3D4E5F6 ") + "B1B2B3B4B5B6\n";
    const QString keys = WriteFile(path("short.txt"), text);
    ReaderSimulator sim;
    QVERIFY(sim.addReader("127.17.0.10"));
    const Result result = Vrxctl({"keys", "127.17.0.10", "--file", keys, "--local", "127.17.0.1"});
    VERIFY_EXIT(result, 2);
    QVERIFY2(
        result.err.contains(keys + ": line 5: the A key of sector 3 is shorter than 12 hexadecimal digits"),
        qPrintable(result.err));
    QVERIFY(sim.received().isEmpty());
}

void TestVrxctlSafety::malformedAddressSendsNothing_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("named");
    const QString reader = QStringLiteral("127.17.1.10");
    for (const QString typo : {"127.17.1.10.99", "127.17.1.10.1.2.3", "127.17.1.10.", "127..17.1.10",
                               "127. 17.1.10", "127", " 127.17.1.10", "127.17.1.256"}) {
        QTest::newRow(qPrintable("read " + typo))
            << QStringList{"read", typo} << QStringLiteral("reader address \"%1\"").arg(typo);
        QTest::newRow(qPrintable("keys " + typo)) << QStringList{"keys", typo, "--key", KeyArgument}
                                                  << QStringLiteral("reader address \"%1\"").arg(typo);
    }
    QTest::newRow("--ip") << QStringList{"configure", reader, "--ip", "127.17.1.60.5"}
                          << "--ip \"127.17.1.60.5\"";
    QTest::newRow("--ip with blanks")
        << QStringList{"configure", reader, "--ip", " 127.17.1.60 "} << "--ip \" 127.17.1.60 \"";
    QTest::newRow("--server-ip") << QStringList{"configure", reader, "--server-ip", "10.1.2.3.4"}
                                 << "--server-ip \"10.1.2.3.4\"";
    QTest::newRow("--mask") << QStringList{"configure", reader, "--mask", "255.255.255"}
                            << "--mask \"255.255.255\"";
    QTest::newRow("--gateway") << QStringList{"configure", reader, "--gateway", "127.17.1.1x"}
                               << "--gateway \"127.17.1.1x\"";
    QTest::newRow("--local") << QStringList{"read", reader, "--local", "127.17.1.1."}
                             << "--local \"127.17.1.1.\"";
    QTest::newRow("a control character is shown escaped")
        << QStringList{"read", "127.17.1.10\n"} << "reader address \"127.17.1.10\\n\"";
}

void TestVrxctlSafety::malformedAddressSendsNothing() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, named);
    ReaderSimulator sim;
    QVERIFY(sim.addReader("127.17.1.10"));
    // Before the row's own options: of an option given twice, the last counts.
    const Result result =
        Vrxctl(arguments.mid(0, 1) + QStringList{"--local", "127.17.1.1"} + arguments.mid(1));
    VERIFY_EXIT(result, 2);
    QVERIFY2(result.err.contains(named + " is not an address"), qPrintable(result.err));
    QVERIFY(result.out.isEmpty());
    QVERIFY(sim.received().isEmpty());
}

void TestVrxctlSafety::strayDatagramIsIgnored_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("read") << QStringList{"read", "127.17.2.10"};
    QTest::newRow("configure") << QStringList{"configure", "127.17.2.10", "--port", "81"};
    QTest::newRow("keys") << QStringList{"keys", "127.17.2.10", "--key", KeyArgument};
}

void TestVrxctlSafety::strayDatagramIsIgnored() {
    QFETCH(QStringList, arguments);
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader("127.17.2.10");
    QVERIFY(reader);
    ReaderFaults late;
    late.delayMs = 60;
    QVERIFY(reader->setFaults(late));
    Stray stray("127.17.2.99", reader);
    const Result result =
        Vrxctl(arguments + QStringList{"--local", "127.17.2.1", "--timeout", "1000", "--trace"});
    VERIFY_EXIT(result, 0);
    QVERIFY(stray.sent > 0);
    QVERIFY2(result.err.contains("ignored the datagram from 127.17.2.99"), qPrintable(result.err));
}

void TestVrxctlSafety::retriesResendTheQuery() {
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader("127.17.2.20");
    QVERIFY(reader);
    reader->setSilent(true);
    Stray stray("127.17.2.99", reader);
    const Result result =
        Vrxctl({"read", "127.17.2.20", "--local", "127.17.2.1", "--timeout", "100", "--retries", "3"});
    VERIFY_EXIT(result, 1);
    QCOMPARE(reader->received().size(), 4);
}

void TestVrxctlSafety::lateSettingsReplyIsNotTheEcho() {
    SlowFirstAnswer reader("127.17.3.10");
    QVERIFY(reader.bound());
    const Result result = Vrxctl({"configure", "127.17.3.10", "--port", "81", "--local", "127.17.3.1",
                                  "--timeout", "200", "--retries", "1", "--trace"});
    VERIFY_EXIT(result, 0);
    QVERIFY2(result.err.contains("a late answer to an earlier settings query"), qPrintable(result.err));
    QCOMPARE(ParameterBlock::decode(reader.settings()).readerPort, quint16(81));
}

void TestVrxctlSafety::reportGoesWhereItIsTold_data() {
    QTest::addColumn<QString>("report"); // "fifo" and "folder/..." are made in the test's folder
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("sent");
    QTest::addColumn<QString>("message");
    QTest::newRow("a character device")
        << "/dev/full" << 3 << true << "cannot write /dev/full: No space left on device";
    QTest::newRow("a FIFO") << "fifo" << 0 << true << "";
    QTest::newRow("standard output") << "-" << 0 << true << "";
    QTest::newRow("/dev/stdout") << "/dev/stdout" << 0 << true << "";
    QTest::newRow("a missing folder") << "missing/report.csv" << 2 << false << "its folder does not exist";
    QTest::newRow("a folder") << "." << 2 << false << "it is a folder";
}

void TestVrxctlSafety::reportGoesWhereItIsTold() {
    QFETCH(QString, report);
    QFETCH(int, exitCode);
    QFETCH(bool, sent);
    QFETCH(QString, message);
    QTemporaryDir folder;
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader("127.17.4.10");
    QVERIFY(reader);
    const QString csv = WriteFile(folder.filePath("readers.csv"), "address,port\n127.17.4.10,81\n");
    QProcess fifoReader; // a reader of its own: opening a FIFO waits for the writer
    if (report == "fifo") {
        QVERIFY(::mkfifo(QFile::encodeName(folder.filePath("fifo")).constData(), 0600) == 0);
        fifoReader.start("cat", {folder.filePath("fifo")});
        QVERIFY(fifoReader.waitForStarted());
    }
    const Result result =
        Vrxctl({"batch", csv, "--report", report, "--local", "127.17.4.1", "--timeout", "1000"},
               {.folder = folder.path()});
    VERIFY_EXIT(result, exitCode);
    QVERIFY2(result.err.contains(message), qPrintable(result.err));
    QCOMPARE(!reader->received().isEmpty(), sent);
    const QByteArray expected = "line,address,result,changes\n2,127.17.4.10,ok,port 1234 -> 81\n";
    if (report == "fifo") {
        QVERIFY(fifoReader.state() == QProcess::NotRunning || fifoReader.waitForFinished());
        QCOMPARE(fifoReader.readAllStandardOutput(), expected);
        QVERIFY(QFileInfo(folder.filePath("fifo")).exists() && !QFileInfo(folder.filePath("fifo")).isFile());
    }
    if (report == "-" || report == "/dev/stdout") {
        QVERIFY2(result.out.endsWith(QString::fromUtf8(expected)), qPrintable(result.out));
        QVERIFY(!QFileInfo::exists(folder.filePath("-")));
    }
    if (report == "/dev/full")
        QVERIFY(IsCharacterDevice("/dev/full"));
}

void TestVrxctlSafety::reportOnAFullDisk() {
    const QString disk = path("full");
    QString why;
    if (!smalldisk::Mount(disk, 64 * 1024, false, &why))
        QSKIP(qPrintable(why));
    const QString old = WriteFile(disk + "/report.csv", "line,address,result,changes\n2,127.17.5.10,ok,\n");
    QVERIFY(!old.isEmpty());
    QVERIFY(smalldisk::Fill(disk));
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader("127.17.5.10");
    QVERIFY(reader);
    const QString csv = WriteFile(path("full.csv"), "address,port\n127.17.5.10,81\n");
    const Result result =
        Vrxctl({"batch", csv, "--report", old, "--local", "127.17.5.1", "--timeout", "1000"});
    smalldisk::Unmount(disk);
    VERIFY_EXIT(result, 3);
    QVERIFY2(result.err.contains("cannot write " + old + ": No space left on device"),
             qPrintable(result.err));
    QCOMPARE(reader->settings().readerPort, quint16(81));
    QVERIFY2(result.out.contains("1 of 1 rows configured."), qPrintable(result.out));
}

void TestVrxctlSafety::reportIntoAReadOnlyFolder() {
    const QString disk = path("read-only");
    QString why;
    if (!smalldisk::Mount(disk, 64 * 1024, true, &why))
        QSKIP(qPrintable(why));
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader("127.17.5.20");
    QVERIFY(reader);
    const QString csv = WriteFile(path("ro.csv"), "address,port\n127.17.5.20,81\n");
    const Result result = Vrxctl(
        {"batch", csv, "--report", disk + "/report.csv", "--local", "127.17.5.1", "--timeout", "1000"});
    smalldisk::Unmount(disk);
    VERIFY_EXIT(result, 2);
    QVERIFY2(result.err.contains("no right to create or write it") && result.err.contains("nothing was sent"),
             qPrintable(result.err));
    QVERIFY(result.out.isEmpty());
    QCOMPARE(reader->received().size(), 0);
}

void TestVrxctlSafety::busyPortPrintsNoListing_data() {
    QTest::addColumn<QStringList>("format");
    QTest::newRow("table") << QStringList{};
    QTest::newRow("json") << QStringList{"--json"};
    QTest::newRow("csv") << QStringList{"--csv"};
}

void TestVrxctlSafety::busyPortPrintsNoListing() {
    QFETCH(QStringList, format);
    QUdpSocket holder;
    QVERIFY(holder.bind(QHostAddress("127.17.6.1"), 1000));
    const Result result = Vrxctl(QStringList{"scan", "127.17.6.10-20", "--local", "127.17.6.1"} + format);
    VERIFY_EXIT(result, 3);
    QCOMPARE(result.out, QString());
}

void TestVrxctlSafety::scanListsWhatItFoundOnASignal_data() {
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("SIGINT") << int(SIGINT) << 130;
    QTest::newRow("SIGTERM") << int(SIGTERM) << 143;
}

void TestVrxctlSafety::scanListsWhatItFoundOnASignal() {
    QFETCH(int, signal);
    QFETCH(int, exitCode);
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader("127.17.7.10");
    QVERIFY(reader);
    const Result result = Vrxctl({"scan", "127.17.7.10-20", "--local", "127.17.7.1", "--timeout", "10000"},
                                 {.whileRunning = [&](QProcess &process) {
                                     // Once the reader has answered, the scan still waits for the others.
                                     QTRY_VERIFY_WITH_TIMEOUT(!reader->sent().isEmpty(), 10000);
                                     ::kill(pid_t(process.processId()), signal);
                                 }});
    VERIFY_EXIT(result, exitCode);
    QVERIFY2(result.out.contains("127.17.7.10") && result.out.contains("1 of 11 addresses answered"),
             qPrintable(result.out));
}

void TestVrxctlSafety::batchStopsAndReportsOnASignal_data() {
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("SIGINT") << int(SIGINT) << 130;
    QTest::newRow("SIGTERM") << int(SIGTERM) << 143;
}

void TestVrxctlSafety::batchStopsAndReportsOnASignal() {
    QFETCH(int, signal);
    QFETCH(int, exitCode);
    ReaderSimulator sim;
    ReaderFaults slow;
    slow.delayMs = 100;
    QByteArray csv = "address,port\n";
    QStringList addresses;
    for (int i = 0; i < 6; ++i) {
        addresses << QStringLiteral("127.17.8.%1").arg(10 + i);
        SimulatedReader *reader = sim.addReader(addresses.back());
        QVERIFY(reader && reader->setFaults(slow));
        csv += addresses.back().toUtf8() + ",81\n";
    }
    QTemporaryDir folder;
    const QString report = folder.filePath("report.csv");
    const Result result = Vrxctl({"batch", WriteFile(folder.filePath("readers.csv"), csv), "--report", report,
                                  "--local", "127.17.8.1", "--timeout", "1000"},
                                 {.whileRunning = [&](QProcess &process) {
                                     QTRY_VERIFY_WITH_TIMEOUT(!sim.readers()[1]->received().isEmpty(), 10000);
                                     ::kill(pid_t(process.processId()), signal);
                                 }});
    VERIFY_EXIT(result, exitCode);
    QStringList asked;
    for (SimulatedReader *reader : sim.readers())
        if (!reader->received().isEmpty())
            asked << reader->address();
    QVERIFY2(asked.size() >= 2 && asked.size() < 6, qPrintable(asked.join(' ')));
    const QStringList reportLines = QString::fromUtf8(ReadFile(report)).trimmed().split('\n');
    QCOMPARE(reportLines.size(), asked.size() + 1);
    const QStringList listing = result.out.trimmed().split('\n');
    QCOMPARE(listing.size(), asked.size() + 1); // and the summary
    for (int i = 0; i < asked.size(); ++i) {
        QVERIFY2(reportLines[i + 1].startsWith(QStringLiteral("%1,%2,ok,").arg(i + 2).arg(asked[i])),
                 qPrintable(reportLines[i + 1]));
        QVERIFY2(listing[i].contains(QRegularExpression(QRegularExpression::escape(asked[i]) + " +ok ")),
                 qPrintable(listing[i]));
        QCOMPARE(sim.reader(asked[i])->settings().readerPort,
                 quint16(81)); // the row in flight was waited out
    }
    QVERIFY2(result.err.contains(QStringLiteral("interrupted: %1 of 6 readers were asked").arg(asked.size())),
             qPrintable(result.err));
}

void TestVrxctlSafety::batchCellsAreBoundedAndShownEscaped_data() {
    QTest::addColumn<QByteArray>("row");      // line 2 of a file whose header is "address,port,ip"
    QTest::addColumn<QString>("warning");     // on stderr
    QTest::addColumn<QString>("listed");      // the listing's line
    QTest::addColumn<QByteArray>("reported"); // the report's line
    QTest::newRow("a line break") << QByteArray("\"127.17.9.10\n\",81,\n")
                                  << "line 2: skipped: address \"127.17.9.10\\n\" is not an address"
                                  << "line   2  127.17.9.10\\n"
                                  << QByteArray("2,\"127.17.9.10\n\",\"invalid: address");
    QTest::newRow("a NUL byte") << QByteArray("127.17.9.10") + '\0' + ",81,\n"
                                << "line 2: skipped: address \"127.17.9.10\\0\" is not an address"
                                << "line   2  127.17.9.10\\0"
                                << QByteArray("2,127.17.9.10") + '\0' + ",\"invalid: address";
    QTest::newRow("a long cell") << QByteArray("127.17.9.10,81,") + QByteArray(2000, '1') + "\n"
                                 << "line 2: skipped: column ip: a cell of 2000 characters, more than 1024"
                                 << "line   2  127.17.9.10"
                                 << QByteArray("2,127.17.9.10,\"invalid: column ip");
    QTest::newRow("an ip column with five numbers")
        << QByteArray("127.17.9.10,81,127.17.9.60.5\n")
        << "line 2: skipped: ip \"127.17.9.60.5\" is not an address"
        << "line   2  127.17.9.10" << QByteArray("2,127.17.9.10,\"invalid: ip");
}

void TestVrxctlSafety::batchCellsAreBoundedAndShownEscaped() {
    QFETCH(QByteArray, row);
    QFETCH(QString, warning);
    QFETCH(QString, listed);
    QFETCH(QByteArray, reported);
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader("127.17.9.10");
    QVERIFY(reader);
    QTemporaryDir folder;
    const QString report = folder.filePath("report.csv");
    const Result result =
        Vrxctl({"batch", WriteFile(folder.filePath("readers.csv"), "address,port,ip\n" + row), "--report",
                report, "--local", "127.17.9.1"});
    VERIFY_EXIT(result, 2);
    QVERIFY2(result.err.contains(warning), qPrintable(result.err));
    QVERIFY2(result.err.size() < 1024 && result.out.size() < 1024, qPrintable(Diagnose(result)));
    const QStringList lines = result.out.split('\n');
    QCOMPARE(lines.size(), 3); // the row, the summary and the end of the last line
    QVERIFY2(lines[0].startsWith(listed), qPrintable(lines[0]));
    QVERIFY(!result.out.contains(QChar(0)));
    QVERIFY2(ReadFile(report).contains("\n" + reported), ReadFile(report).constData());
    QVERIFY(reader->received().isEmpty());
}

void TestVrxctlSafety::batchConfiguresARepeatedReaderOnce() {
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader("127.17.9.20");
    QVERIFY(reader);
    QTemporaryDir folder;
    const QString csv = WriteFile(folder.filePath("readers.csv"),
                                  "address,port\n127.17.9.20,81\n127.17.9.020,82\n127.17.9.20,83\n");
    const Result result = Vrxctl({"batch", csv, "--local", "127.17.9.1", "--timeout", "1000"});
    VERIFY_EXIT(result, 2);
    QCOMPARE(result.err.count("is already configured by line 2"), 2);
    QCOMPARE(reader->settings().readerPort, quint16(81));
    int blocks = 0;
    for (const WireRecord &record : reader->received())
        blocks += record.bytes.size() == ParameterBlock::Size;
    QCOMPARE(blocks, 1);
}

QTEST_MAIN(TestVrxctlSafety)
#include "tst_vrxctl_safety.moc"
