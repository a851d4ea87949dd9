// vrxctl scan as the operator meets it on a long scan: its progress line on a terminal, Ctrl+C, and the
// rate cap. Simulated readers on loopback live in this test's event loop.
//
// Addresses: computer side 127.0.61.x (127.0.0.1 under wine), readers 127.1.62.x and 127.1.63.x.
#include "ComputerAddress.h"
#include "ReaderSimulator.h"
#include "ReaderSocket.h"
#include "Vrxctl.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#ifndef Q_OS_WIN
#include <csignal>
#endif

using namespace vrx;
using vrx::test::ComputerAddress;

class TestVrxctlScan : public QObject {
    Q_OBJECT

private slots:
    void progressOnATerminalOnly();
    void ctrlCListsWhatWasFound();
    void rateCapsTheQueries();
};

void TestVrxctlScan::progressOnATerminalOnly() {
    // In-process: the command's own event loop serves the simulated readers too.
    ReaderSimulator sim;
    QVERIFY(sim.addReader("127.1.62.5") && sim.addReader("127.1.62.150"));
    const QStringList scan{"scan", "127.1.62.1-160", "--rate",
                           "100",  "--local",        ComputerAddress("127.0.61.1")};
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    vrxctl::Console terminal{outStream, errStream, true};
    QCOMPARE(vrxctl::RunVrxctl(scan, terminal), 0); // 1.6 s of sending
    QVERIFY2(
        err.contains(QRegularExpression("\r\\d+ of 160 addresses \\(\\d+%\\), [12] readers? found, about "
                                        "0:0\\d left")),
        qPrintable(err));
    QVERIFY2(err.endsWith("\n"), qPrintable(err)); // the line is left standing, the prompt below it
    QVERIFY(out.contains("2 of 160 addresses answered"));

    // Not a terminal: nothing but the result.
    err.clear();
    vrxctl::Console pipe{outStream, errStream, false};
    QCOMPARE(vrxctl::RunVrxctl(scan, pipe), 0);
    QVERIFY2(err.isEmpty(), qPrintable(err));
}

void TestVrxctlScan::ctrlCListsWhatWasFound() {
#ifdef Q_OS_WIN
    QSKIP("Ctrl+C reaches a Windows console program as a console event, which one process cannot send to "
          "another it did not start in a console of its own");
#else
    ReaderSimulator sim;
    SimulatedReader *early = sim.addReader("127.1.63.3");
    SimulatedReader *late = sim.addReader("127.1.63.200");
    QVERIFY(early && late);
    QProcess vrxctl;
    vrxctl.start(QStringLiteral(VRXCTL_PATH), {"scan", "127.1.63.1-250", "--rate", "100", "--local",
                                               ComputerAddress("127.0.61.2"), "--json"});
    QVERIFY(vrxctl.waitForStarted());
    QVERIFY(QTest::qWaitFor([&] { return !early->received().isEmpty(); }, 5000));
    ::kill(pid_t(vrxctl.processId()), SIGINT);
    QSignalSpy finished(&vrxctl, &QProcess::finished);
    QVERIFY(finished.wait(3000)); // the wait for due replies is one timeout, not the rest of the scan
    const QString out = QString::fromUtf8(vrxctl.readAllStandardOutput());
    const QString err = QString::fromUtf8(vrxctl.readAllStandardError());
    QCOMPARE(vrxctl.exitStatus(), QProcess::NormalExit);
    QVERIFY2(vrxctl.exitCode() == 130, qPrintable(err));
    QVERIFY2(out.contains("\"address\": \"127.1.63.3\""), qPrintable(out));
    QVERIFY(!out.contains("127.1.63.200"));
    QVERIFY(late->received().isEmpty());
    QVERIFY2(err.contains(QRegularExpression("interrupted: \\d+ of 250 addresses were scanned; the list is "
                                             "incomplete")),
             qPrintable(err));
#endif
}

void TestVrxctlScan::rateCapsTheQueries() {
    ReaderSimulator sim;
    const QStringList addresses = ReaderSimulator::ConsecutiveAddresses("127.1.63.240", 11);
    for (const QString &address : addresses)
        QVERIFY(sim.addReader(address));
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    vrxctl::Console console{outStream, errStream, false};
    QCOMPARE(
        vrxctl::RunVrxctl(
            {"scan", "127.1.63.240-250", "--rate", "20", "--local", ComputerAddress("127.0.61.3")}, console),
        0);
    QVERIFY(out.contains("11 of 11 addresses answered"));
    // 20 a second: one every 50 ms, never two closer together. Through the reader relay (under wine) a
    // query is seen when this event loop gets to the relay's datagram, which can bunch two: there the
    // whole span tells the rate, less a hop's delay.
    const bool relayed = qEnvironmentVariableIsSet(ReaderSocket::RelayVariable);
    QList<qint64> times;
    for (const QString &address : addresses)
        times.append(sim.reader(address)->received().front().time);
    std::sort(times.begin(), times.end());
    for (int i = 1; i < times.size() && !relayed; ++i)
        QVERIFY2(times[i] - times[i - 1] >= 45, qPrintable(QString::number(times[i] - times[i - 1])));
    QVERIFY2(times.last() - times.first() >= (relayed ? 400 : 10 * 45),
             qPrintable(QString::number(times.last() - times.first())));

    QCOMPARE(vrxctl::RunVrxctl({"scan", "127.1.63.240", "--rate", "0"}, console), 2);
    QVERIFY(err.contains("--rate must be a number from 1 to 1000000"));
}

QTEST_GUILESS_MAIN(TestVrxctlScan)
#include "tst_vrxctl_scan.moc"
