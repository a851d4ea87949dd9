// vrxctl scan of a directly attached subnet as the operator runs it (a process, start-up included).
#include "BenchLines.h"

#include "net/AddressRange.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace vrx::lan::bench {

void DescribeSixteen(EmulatedLan &lan) {
    lan.addLan(Sixteen, QStringLiteral("198.19.0.0/16"));
    lan.addComputerCard(Sixteen, QStringLiteral("198.19.0.2"));
    for (const char *reader : {"198.19.0.5", "198.19.0.200", "198.19.255.1", "198.19.255.254"})
        lan.addReader(Sixteen, QString::fromLatin1(reader));
    lan.addHost(Sixteen, QStringLiteral("198.19.128.1"));
}

bool ScanLine(const EmulatedLan &lan, const Admission &admission, const QString &what, const QString &lanName,
              QTextStream &out) {
    const QString block = lan.subnetOf(lanName);
    // Every address but the computer's own needs ARP.
    const qsizetype addresses = ExpandRanges({block}).addresses.size() - 1;
    const QStringList expected = lan.readersOn(lanName);
    const ProgramRun run = lan.vrxctl({"scan", block, "--json"}, 15 * 60 * 1000);
    if (!run.finished || run.err.contains("socket error")) {
        out << what << ": " << run.describe() << Qt::endl;
        return false;
    }
    qsizetype found = 0;
    for (const QJsonValue &reader : QJsonDocument::fromJson(run.out).array())
        found += expected.contains(reader[QLatin1String("address")].toString());
    const double seconds = run.elapsedMs / 1000.0;
    const double bound = addresses / admission.perSecond();
    out << QStringLiteral(
               "scan of a directly attached %1 (%2 addresses needing ARP, exit %3): %4 s; %5 of %6 "
               "readers found (%7%, goal 100%); bound %2 / %8 admitted per second = %9 s; ratio "
               "%10 (goal <= 1.2)")
               .arg(what)
               .arg(addresses)
               .arg(run.exitCode)
               .arg(seconds, 0, 'f', 2)
               .arg(found)
               .arg(expected.size())
               .arg(found * 100 / std::max<qsizetype>(1, expected.size()))
               .arg(admission.perSecond(), 0, 'f', 1)
               .arg(bound, 0, 'f', 2)
               .arg(seconds / bound, 0, 'f', 2)
        << Qt::endl;
    return found == expected.size();
}

} // namespace vrx::lan::bench
