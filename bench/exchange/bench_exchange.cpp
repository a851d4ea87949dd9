// Prints, in one run on loopback (127.0.49.1 computer, 127.0.49.101 reader):
//  - the median time of a read through the window's read path (Command1_Click against an in-process
//    simulated reader), the median round trip of a bare UDP ping-pong between two plain sockets on the
//    same addresses and ports, and their ratio (goal <= 1.5);
//  - where the read's time goes: the exchange alone (QueryReaderParameters: send, wait, classify),
//    a plain socket's round trip with the simulated reader, closing and binding the socket again, and
//    showing the block in the former fields;
//  - the CPU time one read costs when no reply comes and the 200 ms wait runs out (goal <= 2 ms);
//  - the read again with the traffic log window open, which records and shows every datagram, against
//    the read with it closed (the figure above, where recording costs a pointer check).
// Runs offscreen unless QT_QPA_PLATFORM says otherwise; the message box is a silent recorder.
// Usage: bench_exchange [rounds]   (default 500)
#include "SimulatedReader.h"
#include "app/Form1.h"
#include "app/MessageBox.h"
#include "app/TrafficLogWindow.h"
#include "config/ParameterBlock.h"
#include "link/ExchangeState.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkDatagram>
#include <QUdpSocket>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

const QString Computer = QStringLiteral("127.0.49.1");
const QString Reader = QStringLiteral("127.0.49.101");
constexpr int WarmUp = 20;
constexpr int SilentReads = 10;
constexpr double RatioGoal = 1.5;
constexpr double CpuGoalMs = 2.0;

class SilentRecorder final : public vrx::MessageBox {
public:
    void Show(const QString &text) override { last = text; }
    QString last;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Median microseconds of `rounds` runs of step after a warm-up; step returns false on a failure.
bool Time(int rounds, const std::function<bool()> &step, double &medianUs, const char *what) {
    std::vector<double> micros;
    QElapsedTimer clock;
    for (int round = 0; round < WarmUp + rounds; ++round) {
        clock.start();
        const bool ok = step();
        const double us = double(clock.nsecsElapsed()) / 1e3;
        if (!ok) {
            std::fprintf(stderr, "%s: round %d failed\n", what, round);
            return false;
        }
        if (round >= WarmUp)
            micros.push_back(us);
    }
    medianUs = Median(micros);
    return true;
}

// A plain socket on computer:1000 that sends the query to reader:1001 and waits for a block, served
// by this thread's event loop like the window's socket.
class PlainComputer {
public:
    PlainComputer() {
        ok = socket.bind(QHostAddress(Computer), 1000, QAbstractSocket::DontShareAddress);
        QObject::connect(&socket, &QUdpSocket::readyRead, [this] {
            while (socket.hasPendingDatagrams())
                answered = socket.receiveDatagram().data().size() == vrx::ParameterBlock::Size;
        });
    }
    bool roundTrip() {
        answered = false;
        QElapsedTimer clock;
        clock.start();
        socket.writeDatagram(query, QHostAddress(Reader), 1001);
        while (!answered && clock.elapsed() < 1000)
            loop.processEvents(QEventLoop::WaitForMoreEvents);
        return answered;
    }
    bool ok = false;

private:
    QUdpSocket socket;
    QEventLoop loop;
    bool answered = false;
    const QByteArray query = vrx::ParameterQuery();
};

// A plain socket on reader:1001 that answers every datagram with a block's worth of bytes.
class PlainReader {
public:
    PlainReader() {
        ok = socket.bind(QHostAddress(Reader), 1001, QAbstractSocket::DontShareAddress);
        QObject::connect(&socket, &QUdpSocket::readyRead, [this] {
            while (socket.hasPendingDatagrams()) {
                const QNetworkDatagram request = socket.receiveDatagram();
                socket.writeDatagram(answer, request.senderAddress(), quint16(request.senderPort()));
            }
        });
    }
    bool ok = false;

private:
    QUdpSocket socket;
    const QByteArray answer = QByteArray(vrx::ParameterBlock::Size, '\x7E');
};

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 && QByteArray(argv[1]).toInt() > 0 ? QByteArray(argv[1]).toInt() : 500;

    SilentRecorder messages;
    auto form = std::make_unique<vrx::Form1>(messages);
    form->TextPCIP->setText(Computer);
    form->TextFindIP[0]->setText(Reader);
    auto reader = std::make_unique<vrx::SimulatedReader>(Reader);
    QString error;
    if (!reader->start(&error)) {
        std::fprintf(stderr, "simulated reader: %s\n", qPrintable(error));
        return 1;
    }

    const QString success = QStringLiteral("获取设备参数成功！");
    double read = 0, logged = 0, exchange = 0, rebind = 0, show = 0, simulator = 0, bare = 0;
    const auto readOnce = [&] {
        messages.last.clear();
        form->Command1_Click();
        return messages.last == success;
    };
    bool ok = Time(rounds, readOnce, read, "read");
    form->ShowTrafficLog();
    ok = ok && Time(rounds, readOnce, logged, "read with the traffic log open");
    delete form->findChild<vrx::TrafficLogWindow *>();
    ok = ok && Time(
                   rounds,
                   [&] {
                       form->Exchange.ExchangeStatus = vrx::Status::None;
                       return form->QueryReaderParameters();
                   },
                   exchange, "exchange");
    ok = ok && Time(
                   rounds,
                   [&] {
                       form->SSock->Close();
                       form->SSock->Bind(1000, Computer);
                       return true;
                   },
                   rebind, "close and bind");
    ok = ok && Time(
                   rounds,
                   [&] {
                       form->ShowReaderParameters();
                       return true;
                   },
                   show, "show");
    if (!ok)
        return 1;

    // No answer: the read waits out its 200 ms; what it costs is the thread's CPU time.
    reader->setSilent(true);
    std::vector<double> cpuMs, wallMs;
    QElapsedTimer wall;
    for (int round = 0; round < SilentReads; ++round) {
        const double before = ThreadCpuMs();
        wall.start();
        form->Command1_Click();
        cpuMs.push_back(ThreadCpuMs() - before);
        wallMs.push_back(double(wall.nsecsElapsed()) / 1e6);
        if (messages.last != QStringLiteral("获取设备参数失败！")) {
            std::fprintf(stderr, "a read without an answer did not fail: %s\n", qPrintable(messages.last));
            return 1;
        }
    }
    reader->setSilent(false);

    // Plain sockets on the same addresses and ports: first against the simulated reader, then bare.
    form.reset();
    {
        PlainComputer computer;
        if (!computer.ok ||
            !Time(
                rounds, [&] { return computer.roundTrip(); }, simulator, "simulator ping-pong"))
            return 1;
    }
    reader.reset();
    {
        PlainReader plainReader;
        PlainComputer computer;
        if (!plainReader.ok || !computer.ok ||
            !Time(
                rounds, [&] { return computer.roundTrip(); }, bare, "bare ping-pong"))
            return 1;
    }

    const double ratio = read / bare;
    const double cpu = Median(cpuMs);
    std::printf("medians of %d rounds, microseconds\n", rounds);
    std::printf("  read through the window (Command1_Click)     %8.1f\n", read);
    std::printf("  bare UDP ping-pong, two plain sockets        %8.1f\n", bare);
    std::printf("  ratio read / bare ping-pong                  %8.2f   goal <= %.1f: %s\n", ratio, RatioGoal,
                ratio <= RatioGoal ? "met" : "NOT MET");
    std::printf("  read with the traffic log window open        %8.1f\n", logged);
    std::printf("  ratio read with the log open / closed        %8.2f\n", logged / read);
    std::printf("where the read's time goes\n");
    std::printf("  exchange only (QueryReaderParameters)        %8.1f\n", exchange);
    std::printf("  plain socket <-> simulated reader ping-pong  %8.1f\n", simulator);
    std::printf("  ratio exchange / simulator ping-pong         %8.2f\n", exchange / simulator);
    std::printf("  close and bind the socket again              %8.1f\n", rebind);
    std::printf("  show the block in the former fields          %8.1f\n", show);
    std::printf("read without a reply (median of %d)\n", SilentReads);
    std::printf("  wall %.1f ms, CPU %.3f ms (max %.3f)   goal <= %.1f ms: %s\n", Median(wallMs), cpu,
                *std::max_element(cpuMs.begin(), cpuMs.end()), CpuGoalMs,
                cpu <= CpuGoalMs ? "met" : "NOT MET");
    return 0;
}
