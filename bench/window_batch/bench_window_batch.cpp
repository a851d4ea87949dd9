// Times 批量配置 with verify of 50 simulated readers in the window (offscreen, from the click to the
// last row's result) against vrxctl batch --verify of the same 50 readers with the same settings (a
// process, start-up included, as the operator runs it), alternating the two, and prints the ratio of
// the medians. Goal: 1.3 or less. The readers live in this program's event loop on 127.1.30.x.
// Usage: bench_window_batch [runs]   (default 3)
#include "ReaderSimulator.h"
#include "app/FindReaders.h"
#include "app/Form1.h"
#include "app/MessageBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int Readers = 50;
const QString Computer = QStringLiteral("127.1.30.1");

class QuietMessages final : public vrx::MessageBox {
public:
    void Show(const QString &text) override { shown << text; }
    bool Confirm(const QString &, const QString &) override { return true; }
    QStringList shown;
};

double Median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString ReaderAddress(int i) {
    return QStringLiteral("127.1.30.%1").arg(10 + i);
}

// The settings of the target panel as a batch file: every reader keeps its address and MAC.
QString BatchFile(const QString &server) {
    QString csv = QStringLiteral(
        "address,mask,gateway,port,server-ip,server-port,protocol,heartbeat,beep,key-source\n");
    for (int i = 0; i < Readers; ++i)
        csv += QStringLiteral("%1,255.255.255.0,192.168.0.1,1234,%2,1234,udp,on,on,command\n")
                   .arg(ReaderAddress(i), server);
    return csv;
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = std::max(1, argc > 1 ? atoi(argv[1]) : 3);
    QTextStream out(stdout);

    vrx::ReaderSimulator simulator;
    for (int i = 0; i < Readers; ++i)
        if (!simulator.addReader(ReaderAddress(i)))
            return 1;

    QuietMessages messages;
    vrx::Form1 form(messages);
    form.TextPCIP->setText(Computer);
    form.ShowFindReaders();
    vrx::FindReaders &find = *form.FindReadersDialog;
    find.TextRange->setText(QStringLiteral("127.1.30.10-127.1.30.%1").arg(10 + Readers - 1));
    find.Scan();
    if (!QTest::qWaitFor([&] { return !find.Searching(); }, 30000) ||
        find.TableReaders->rowCount() != Readers) {
        std::fprintf(stderr, "the scan listed %d readers\n", int(find.TableReaders->rowCount()));
        return 1;
    }
    find.TableReaders->selectAll();

    QTemporaryDir dir;
    QList<double> windowTimes, vrxctlTimes;
    for (int run = 0; run < runs; ++run) {
        // A new server address each time, so that every run writes.
        const QString windowServer = QStringLiteral("127.1.31.%1").arg(2 * run + 1);
        form.Text1[3]->setText(windowServer);
        QElapsedTimer clock;
        clock.start();
        find.CommandBatchConfigure->click();
        if (!QTest::qWaitFor([&] { return !find.Busy(); }, 120000))
            return 1;
        windowTimes.append(clock.nsecsElapsed() / 1e6);
        for (int row = 0; row < Readers; ++row)
            if (find.TableReaders->item(row, vrx::ResultColumn)->text() != QStringLiteral("成功")) {
                std::fprintf(stderr, "window row %d: %s\n", row,
                             qPrintable(find.TableReaders->item(row, vrx::ResultColumn)->text()));
                return 1;
            }

        const QString path = dir.filePath(QStringLiteral("batch%1.csv").arg(run));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(BatchFile(QStringLiteral("127.1.31.%1").arg(2 * run + 2)).toUtf8());
        file.close();
        QProcess vrxctl;
        QEventLoop loop;
        QObject::connect(&vrxctl, &QProcess::finished, &loop, &QEventLoop::quit);
        clock.restart();
        vrxctl.start(QStringLiteral(VRXCTL_PATH), {"batch", path, "--verify", "--local", Computer});
        loop.exec();
        vrxctlTimes.append(clock.nsecsElapsed() / 1e6);
        const QByteArray output = vrxctl.readAllStandardOutput();
        if (vrxctl.exitCode() != 0 || !output.contains(QByteArray::number(Readers) + " of " +
                                                       QByteArray::number(Readers) + " rows configured")) {
            std::fprintf(stderr, "vrxctl batch failed (%d):\n%s%s\n", vrxctl.exitCode(), output.constData(),
                         vrxctl.readAllStandardError().constData());
            return 1;
        }
    }
    const double windowMs = Median(windowTimes);
    const double vrxctlMs = Median(vrxctlTimes);
    out << QStringLiteral("批量配置 of %1 readers with verify in the window: %2 ms; vrxctl batch --verify of "
                          "the same: %3 ms (medians of %4 runs); ratio %5 (goal <= 1.3)\n")
               .arg(Readers)
               .arg(windowMs, 0, 'f', 1)
               .arg(vrxctlMs, 0, 'f', 1)
               .arg(runs)
               .arg(windowMs / vrxctlMs, 0, 'f', 2);
    return 0;
}
