// discover on both of the computer's cards of the standard LAN: its time, start-up included, against the
// one wait it must spend listening (goal: 1.3 or less), with every reader of both cards found each run.
#include "BenchLines.h"
#include "StandardLan.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>

namespace vrx::lan::bench {

bool DiscoverLine(const EmulatedLan &lan, int runs, QTextStream &out) {
    constexpr int WaitMs = 200; // vrxctl's default wait
    const qsizetype readers = lan.readersOn(standard::A).size() + lan.readersOn(standard::B).size();
    QList<double> times;
    qsizetype found = 0;
    for (int run = 0; run < runs; ++run) {
        const ProgramRun discover = lan.vrxctl({QStringLiteral("discover"), QStringLiteral("--json")});
        if (!discover.succeeded()) {
            std::fprintf(stderr, "discover failed: %s\n", qPrintable(discover.describe()));
            return false;
        }
        times.append(double(discover.elapsedMs));
        found += QJsonDocument::fromJson(discover.out).array().size();
    }
    const double median = Median(times);
    out << QStringLiteral("discover on 2 cards (%1 readers): %2 ms median of %3 runs, start-up included; "
                          "ratio to one %4 ms wait: %5 (goal <= 1.3); readers found: %6%\n")
               .arg(readers)
               .arg(median, 0, 'f', 0)
               .arg(runs)
               .arg(WaitMs)
               .arg(median / WaitMs, 0, 'f', 2)
               .arg(100.0 * double(found) / double(readers * runs), 0, 'f', 0);
    return true;
}

} // namespace vrx::lan::bench
