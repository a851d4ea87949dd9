// A whole site from the shell: what scan --csv writes is what batch reads, edited with sed or cut,
// and keys go to several readers at once. vrxctl and vrx-reader-sim run as processes, the way a
// technician runs them.
//
// Addresses: readers 127.0.67.11-127.0.67.15, moved ones 127.0.67.4x, keys readers 127.0.68.x.
#include "ProgramRun.h"
#include "ReaderSimulator.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace vrx;

namespace {

const QStringList Site{"127.0.67.11", "127.0.67.12", "127.0.67.13", "127.0.67.14", "127.0.67.15"};

using Result = ProgramResult;

// Runs a shell script in `folder` with vrxctl on its PATH.
Result Shell(const QString &folder, const QString &script, const QByteArray &input = {}) {
    const QString path =
        QFileInfo(QStringLiteral(VRXCTL_PATH)).absolutePath() + u':' + qEnvironmentVariable("PATH");
    return RunProgram(QStringLiteral("sh"), {QStringLiteral("-c"), script},
                      {.folder = folder, .environment = {"PATH=" + path}, .input = input});
}

// vrx-reader-sim with one reader per address, until the fixture goes.
class SimProcess {
public:
    explicit SimProcess(const QStringList &addresses) {
        QStringList arguments;
        for (const QString &address : addresses)
            arguments << QStringLiteral("--address") << address;
        m_process.start(QStringLiteral(VRX_READER_SIM_PATH), arguments);
        // It says so on stderr once each reader listens.
        QSignalSpy output(&m_process, &QProcess::readyReadStandardError);
        QString said;
        while (said.count(QStringLiteral("reader listening on")) < addresses.size() && output.wait(5000))
            said += QString::fromUtf8(m_process.readAllStandardError());
        m_ready = said.count(QStringLiteral("reader listening on")) == addresses.size();
    }
    ~SimProcess() {
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished();
    }
    bool ready() const { return m_ready; }

private:
    QProcess m_process;
    bool m_ready = false;
};

} // namespace

class TestVrxctlSite : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;

private slots:
    void scanCsvIsBatchInput_data();
    void scanCsvIsBatchInput();
    void keysToSeveralReaders();
    void batchDownloadsKeys();
};

void TestVrxctlSite::scanCsvIsBatchInput_data() {
    QTest::addColumn<QString>("edit");      // what the technician does to site.csv
    QTest::addColumn<QString>("reader");    // a reader to read before and afterwards
    QTest::addColumn<QString>("readAt");    // where it is afterwards
    QTest::addColumn<QString>("key");       // the read --json key that changed
    QTest::addColumn<QString>("value");     // its value now
    QTest::addColumn<QString>("unchanged"); // a key that keeps the reader's value
    QTest::addColumn<QString>("changes");   // what batch reports for the first reader

    QTest::newRow("server_ip edited") << "sed -i 's/,192\\.168\\.0\\.110,/,10.20.30.40,/' site.csv"
                                      << "127.0.67.13"
                                      << "127.0.67.13"
                                      << "server_ip"
                                      << "10.20.30.40"
                                      << "mac"
                                      << "server-ip 192.168.0.110 -> 10.20.30.40";
    QTest::newRow("protocol word edited") << "sed -i 's/,udp,/,tcp-client,/' site.csv"
                                          << "127.0.67.15"
                                          << "127.0.67.15"
                                          << "protocol"
                                          << "tcp-client"
                                          << "server_ip"
                                          << "protocol udp -> tcp-client";
    QTest::newRow("columns cut, port edited")
        << "cut -d, -f1,5 site.csv | sed 's/,1234$/,4321/' > cut.csv && mv cut.csv site.csv"
        << "127.0.67.11"
        << "127.0.67.11"
        << "reader_port"
        << "4321"
        << "gateway"
        << "port 1234 -> 4321";
    QTest::newRow("one reader moved, its MAC kept")
        << "sed -i 's/^127\\.0\\.67\\.11,127\\.0\\.67\\.11,/127.0.67.11,127.0.67.41,/' site.csv"
        << "127.0.67.11"
        << "127.0.67.41"
        << "reader_ip"
        << "127.0.67.41"
        << "mac"
        << "ip 127.0.67.11 -> 127.0.67.41";
}

void TestVrxctlSite::scanCsvIsBatchInput() {
    QFETCH(QString, edit);
    QFETCH(QString, reader);
    QFETCH(QString, readAt);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, unchanged);
    QFETCH(QString, changes);

    SimProcess sim(Site);
    QVERIFY(sim.ready());
    const QString folder = m_folder.path();
    const Result before = Shell(folder, QStringLiteral("vrxctl read %1 --json").arg(reader));
    QVERIFY2(before.code == 0, qPrintable(Diagnose(before)));
    const QJsonObject was = QJsonDocument::fromJson(before.out.toUtf8()).object();

    const Result scan = Shell(folder, QStringLiteral("vrxctl scan 127.0.67.10-20 --csv > site.csv"));
    QVERIFY2(scan.code == 0, qPrintable(Diagnose(scan)));
    const Result edited = Shell(folder, edit);
    QVERIFY2(edited.code == 0, qPrintable(Diagnose(edited)));
    const Result batch = Shell(folder, QStringLiteral("vrxctl batch site.csv --verify"));
    QVERIFY2(batch.code == 0, qPrintable(Diagnose(batch)));
    QVERIFY2(batch.out.contains(QStringLiteral("line   2  127.0.67.11      ok  (%1)\n").arg(changes)),
             qPrintable(Diagnose(batch)));
    QVERIFY2(batch.out.endsWith(QStringLiteral("5 of 5 rows configured.\n")), qPrintable(Diagnose(batch)));

    const Result after = Shell(folder, QStringLiteral("vrxctl read %1 --json").arg(readAt));
    QVERIFY2(after.code == 0, qPrintable(Diagnose(after)));
    const QJsonObject now = QJsonDocument::fromJson(after.out.toUtf8()).object();
    QCOMPARE(now.value(key).toVariant().toString(), value);
    QCOMPARE(now.value(unchanged), was.value(unchanged));
}

void TestVrxctlSite::keysToSeveralReaders() {
    ReaderSimulator sim;
    for (const QString address : {"127.0.68.11", "127.0.68.12", "127.0.68.13"})
        QVERIFY(sim.addReader(address));
    sim.reader(QStringLiteral("127.0.68.13"))->setCorruptEcho(true);
    const QString folder = m_folder.path();

    const Result given = Shell(folder, QStringLiteral("vrxctl keys --key A1B2C3D4E5F6 --timeout 1000 "
                                                      "127.0.68.11 127.0.68.12 127.0.68.99 bad"));
    QVERIFY2(given.code == 2, qPrintable(Diagnose(given)));
    QCOMPARE(given.out, QStringLiteral("127.0.68.11      ok\n"
                                       "127.0.68.12      ok\n"
                                       "127.0.68.99      no reply\n"
                                       "bad              invalid: not a reader address\n"
                                       "2 of 4 readers took the keys.\n"));
    QCOMPARE(sim.reader(QStringLiteral("127.0.68.12"))->key(15, true), QByteArray::fromHex("A1B2C3D4E5F6"));
    // Nothing but the query reached the reader that was not there to answer it, and no key is printed.
    QVERIFY(!given.out.contains(QStringLiteral("A1B2")) && !given.err.contains(QStringLiteral("A1B2")));

    const Result piped = Shell(folder, QStringLiteral("vrxctl keys --key 0A0B0C0D0E0F --timeout 1000 -"),
                               "127.0.68.13\n127.0.68.11, 127.0.68.12\n");
    QVERIFY2(piped.code == 1, qPrintable(Diagnose(piped)));
    QCOMPARE(piped.out, QStringLiteral("127.0.68.13      keys: echo differs\n"
                                       "127.0.68.11      ok\n"
                                       "127.0.68.12      ok\n"
                                       "2 of 3 readers took the keys.\n"));
    QCOMPARE(sim.reader(QStringLiteral("127.0.68.11"))->key(0, false), QByteArray::fromHex("0A0B0C0D0E0F"));

    // A list longer than any site is refused before anything is sent.
    sim.clearRecords();
    const Result flood = Shell(folder, QStringLiteral("vrxctl keys --key 0A0B0C0D0E0F -"),
                               QByteArray("127.0.68.11\n").repeated(100000));
    QVERIFY2(flood.code == 2 && flood.err.contains(QStringLiteral("longer than")),
             qPrintable(Diagnose(flood)));
    QVERIFY(sim.received().isEmpty());
}

void TestVrxctlSite::batchDownloadsKeys() {
    ReaderSimulator sim;
    for (const QString address : {"127.0.68.21", "127.0.68.22"})
        QVERIFY(sim.addReader(address));
    const QString folder = m_folder.path();
    QString keyFile;
    for (int sector = 0; sector < 16; ++sector)
        keyFile += QStringLiteral("%1 %2%2%2%2%2%2 B0B1B2B3B4B5\n").arg(sector).arg(sector + 16, 2, 16);
    QFile file(folder + QStringLiteral("/site.keys"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(keyFile.toUtf8());
    file.close();

    // A keys column alone writes only the keys; --keys serves the rows that name none.
    const Result onlyKeys = Shell(folder, QStringLiteral("printf 'address,keys\\n127.0.68.21,site.keys\\n"
                                                         "127.0.68.22,missing.keys\\n' > k.csv && "
                                                         "vrxctl batch k.csv --timeout 1000"));
    QVERIFY2(onlyKeys.code == 2, qPrintable(Diagnose(onlyKeys)));
    QVERIFY2(onlyKeys.out.startsWith(QStringLiteral("line   2  127.0.68.21      ok  (keys downloaded)\n"
                                                    "line   3  127.0.68.22      invalid: keys: ")),
             qPrintable(Diagnose(onlyKeys)));
    QCOMPARE(sim.reader(QStringLiteral("127.0.68.21"))->key(3, false), QByteArray::fromHex("131313131313"));
    QCOMPARE(sim.reader(QStringLiteral("127.0.68.22"))->keyFrame(), SimulatedReader::DefaultKeyFrame());

    const Result everyRow =
        Shell(folder, QStringLiteral("printf 'address,beep\\n127.0.68.21,off\\n127.0.68.22,off\\n'"
                                     " > b.csv && vrxctl batch b.csv --keys site.keys --timeout 1000"));
    QVERIFY2(everyRow.code == 0, qPrintable(Diagnose(everyRow)));
    QVERIFY2(everyRow.out.contains(QStringLiteral("127.0.68.22      ok  (keys downloaded; beep on -> off)")),
             qPrintable(Diagnose(everyRow)));
    QCOMPARE(sim.reader(QStringLiteral("127.0.68.22"))->key(15, true), QByteArray::fromHex("B0B1B2B3B4B5"));
    QCOMPARE(sim.reader(QStringLiteral("127.0.68.22"))->settings().beepOnRead, Beep::Silent);
}

QTEST_GUILESS_MAIN(TestVrxctlSite)
#include "tst_vrxctl_site.moc"
