// vrxctl as the operator runs it (a process, start-up included) on the emulated LAN of tests/lan, each
// line a time against the bound that the network itself sets, measured in this run.
// Usage: bench_lan [runs]   (default 5; medians are reported). Needs root: it builds namespaces.
#include "BenchLines.h"
#include "StandardLan.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>

namespace vrx::lan::bench {

double Median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

} // namespace vrx::lan::bench

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const int runs = std::max(1, argc > 1 ? atoi(argv[1]) : 5);
    if (const QString why = vrx::lan::EmulatedLan::Unavailable(); !why.isEmpty()) {
        std::fprintf(stderr, "bench_lan: %s\n", qPrintable(why));
        return 2;
    }
    vrx::lan::EmulatedLan lan;
    vrx::lan::standard::Describe(lan);
    if (!lan.start()) {
        std::fprintf(stderr, "bench_lan: %s\n", qPrintable(lan.errorString()));
        return 1;
    }
    QTextStream out(stdout);
    bool ok = vrx::lan::bench::DiscoverLine(lan, runs, out);
    out.flush();
    lan.stop();
    return ok ? 0 : 1;
}
