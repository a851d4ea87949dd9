// Times vrxctl as the operator runs it (a process, start-up included) against simulated readers that
// live in this program's event loop:
//   1. scan of a /24 holding 10 readers, and its ratio to one reply wait (goal: 1.2 or less);
//   2. batch of 100 readers, each moved to a new address and verified there (goal: under 2 s).
// Usage: bench_scan [runs]   (default 5; the median is reported)
#include "ReaderSimulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int ReplyWaitMs = 200;

struct Timed {
    int exitCode = -1;
    double ms = 0;
    QByteArray output;
};

// Runs vrxctl while this thread's event loop serves the simulated readers.
Timed RunVrxctl(const QStringList &arguments) {
    QProcess process;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral(VRXCTL_PATH), arguments);
    loop.exec();
    return {process.exitCode(), clock.nsecsElapsed() / 1e6,
            process.readAllStandardOutput() + process.readAllStandardError()};
}

double Median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool Fail(const char *what, const Timed &run) {
    std::fprintf(stderr, "%s failed with exit %d:\n%s\n", what, run.exitCode, run.output.constData());
    return false;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const int runs = std::max(1, argc > 1 ? atoi(argv[1]) : 5);
    QTextStream out(stdout);

    // 1. Scan: 10 readers spread over 127.1.10.0/24.
    vrx::ReaderSimulator scanned;
    for (int i = 0; i < 10; ++i)
        if (!scanned.addReader(QStringLiteral("127.1.10.%1").arg(7 + 23 * i)))
            return 1;
    QList<double> scanTimes;
    for (int run = 0; run < runs; ++run) {
        const Timed scan = RunVrxctl({"scan", "127.1.10.0/24", "--local", "127.0.39.1"});
        if (scan.exitCode != 0 || scan.output.count("127.1.10.") != 20)
            return Fail("scan", scan), 1;
        scanTimes.append(scan.ms);
    }
    const double scanMs = Median(scanTimes);
    out << QStringLiteral("scan of a /24 (254 addresses, 10 readers): %1 ms median of %2 runs; "
                          "ratio to one %3 ms wait: %4 (goal <= 1.2)\n")
               .arg(scanMs, 0, 'f', 1)
               .arg(runs)
               .arg(ReplyWaitMs)
               .arg(scanMs / ReplyWaitMs, 0, 'f', 2);
    out.flush();

    // 2. Batch: 100 readers, each moved to a new address and read back there. Each run moves them
    // from one block to the other, so every run has real work to do.
    vrx::ReaderSimulator batched;
    for (int i = 1; i <= 100; ++i)
        if (!batched.addReader(QStringLiteral("127.1.20.%1").arg(i)))
            return 1;
    QTemporaryDir dir;
    QList<double> batchTimes;
    for (int run = 0; run < runs; ++run) {
        const int from = run % 2 ? 21 : 20;
        const int to = run % 2 ? 20 : 21;
        QString csv = QStringLiteral("address,ip,mac,server-port\n");
        for (int i = 1; i <= 100; ++i)
            csv +=
                QStringLiteral("127.1.%1.%3,127.1.%2.%3,auto,%4\n").arg(from).arg(to).arg(i).arg(2000 + run);
        const QString path = dir.filePath(QStringLiteral("batch%1.csv").arg(run));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(csv.toUtf8());
        file.close();
        const Timed batch = RunVrxctl({"batch", path, "--verify", "--local", "127.0.39.2"});
        if (batch.exitCode != 0 || !batch.output.contains("100 of 100 rows configured"))
            return Fail("batch", batch), 1;
        batchTimes.append(batch.ms);
    }
    const double batchMs = Median(batchTimes);
    out << QStringLiteral("batch of 100 readers with --verify (each moved to a new address): %1 ms median of "
                          "%2 runs (goal < 2000 ms)\n")
               .arg(batchMs, 0, 'f', 1)
               .arg(runs);
    return 0;
}
