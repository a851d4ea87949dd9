// vrxctl as the operator runs it (a process, start-up included) on the emulated LAN of tests/lan, each
// line a time against the bound that the network itself sets, measured in this run:
//   - discover on both cards of the standard LAN against one wait;
//   - how many new neighbours (ARPs nobody answers) the kernel's neighbour table admits per second;
//   - scan of a directly attached /20 (8 readers, a host that answers ARP only) and of a directly
//     attached /16 (readers near both ends) against the bound that rate sets: addresses / admitted per
//     second.
// Usage (needs root: it builds namespaces; the scan lines fill the machine's neighbour table for
// seconds at a time, so run it while no tests run, e.g. under the tests' lock):
//   flock /tmp/vrx-ctest.lock build/bin/bench_lan [runs] [--no-16]   (runs: of discover, default 5)
//   build/bin/bench_lan --hold    builds the LANs, says how to enter their computers, and waits for
//                                 Ctrl+C: for trying commands by hand where they can do no harm
#include "BenchLines.h"
#include "StandardLan.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>

#include <unistd.h>

namespace vrx::lan::bench {

double Median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

} // namespace vrx::lan::bench

using namespace vrx::lan;

namespace {

bool Start(EmulatedLan &lan) {
    if (lan.start())
        return true;
    std::fprintf(stderr, "bench_lan: %s\n", qPrintable(lan.errorString()));
    return false;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    int runs = 5;
    for (const QString &argument : arguments)
        if (argument.toInt() > 0)
            runs = argument.toInt();
    if (const QString why = EmulatedLan::Unavailable(); !why.isEmpty()) {
        std::fprintf(stderr, "bench_lan: %s\n", qPrintable(why));
        return 2;
    }
    EmulatedLan lan;
    standard::Describe(lan);
    EmulatedLan sixteen;
    bench::DescribeSixteen(sixteen);
    if (!Start(lan) || !Start(sixteen))
        return 1;
    QTextStream out(stdout);
    if (arguments.contains(QStringLiteral("--hold"))) {
        out << "The LANs run. The standard LAN's computer: ip netns exec "
            << lan.namespaceOf(EmulatedLan::Computer) << " COMMAND; the /16's: ip netns exec "
            << sixteen.namespaceOf(EmulatedLan::Computer) << " COMMAND. Ctrl+C removes them." << Qt::endl;
        for (;;)
            ::pause();
    }

    bool ok = bench::DiscoverLine(lan, runs, out);
    out.flush();
    QString error;
    const bench::Admission admission =
        bench::MeasureAdmission(sixteen, bench::Sixteen, QStringLiteral("198.19.64.1"), &error);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "bench_lan: measuring the neighbour table: %s\n", qPrintable(error));
        return 1;
    }
    out << QStringLiteral("neighbour table: admits %1 new neighbours at once, the next %2 ms later: %3 per "
                          "second")
               .arg(admission.atOnce)
               .arg(admission.lifetimeMs)
               .arg(admission.perSecond(), 0, 'f', 1)
        << Qt::endl;
    bench::LetArpsSettle(admission, {&lan, &sixteen});
    ok = bench::ScanLine(lan, admission, QStringLiteral("/20"), standard::A, out) && ok;
    if (!arguments.contains(QStringLiteral("--no-16"))) {
        bench::LetArpsSettle(admission, {&lan, &sixteen});
        ok = bench::ScanLine(sixteen, admission, QStringLiteral("/16"), bench::Sixteen, out) && ok;
    }
    lan.stop();
    sixteen.stop();
    return ok ? 0 : 1;
}
