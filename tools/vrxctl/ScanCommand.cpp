#include "CommandLine.h"
#include "Commands.h"
#include "ExitCode.h"
#include "InputProblems.h"
#include "InterruptWatch.h"
#include "ProgressLine.h"
#include "ReaderListing.h"
#include "Trace.h"

#include "net/AddressRange.h"
#include "net/ReaderScan.h"

#include <QEventLoop>

#include <optional>

namespace vrxctl {

namespace {

// The first address no card and no route reaches, and how many more there are.
QString UnreachableText(const vrx::ScanTargets &targets) {
    QString first = vrx::AddressText(targets.unreachable.front());
    if (targets.unreachable.size() > 1)
        first += QStringLiteral(" (and %1 more addresses of the ranges)").arg(targets.unreachable.size() - 1);
    return NoRouteText(first);
}

struct ScanOutcome {
    std::optional<vrx::SocketError> failure;
    bool interrupted = false;
    int interruptExit = Interrupted; // 130 for Ctrl+C, 143 for SIGTERM
};

// Runs the scan in an event loop with its progress on a terminal; Ctrl+C stops it (the replies already
// due are still waited for), a second Ctrl+C ends the wait.
ScanOutcome RunScanLoop(vrx::ReaderScan &scan, const vrx::ScanTargets &targets,
                        const vrx::ScanOptions &options, Console &console, bool trace) {
    ScanOutcome outcome;
    ProgressLine line(console);
    if (trace)
        line.disable(); // the trace's lines would run through it
    InterruptWatch interrupts;
    QEventLoop loop;
    QObject::connect(&scan, &vrx::ReaderScan::finished, &loop, &QEventLoop::quit);
    QObject::connect(&scan, &vrx::ReaderScan::failed,
                     [&](const vrx::SocketError &error) { outcome.failure = error; });
    QObject::connect(&scan, &vrx::ReaderScan::progress,
                     [&](qint64 done, qint64 total, int found, qint64 msLeft) {
                         line.show(ScanProgressText(done, total, found, msLeft));
                     });
    QObject::connect(&interrupts, &InterruptWatch::interrupted, [&](int count) {
        outcome.interrupted = true;
        outcome.interruptExit = interrupts.exitCode();
        if (count == 1) {
            line.finish();
            console.err << QStringLiteral("vrxctl: stopping: waiting for the replies already due (Ctrl+C "
                                          "again to stop at once)")
                        << Qt::endl;
        }
        scan.stop();
    });
    scan.start(targets, options);
    if (scan.isRunning())
        loop.exec();
    line.finish();
    return outcome;
}

} // namespace

int RunScan(const QStringList &arguments, Console &console) {
    QCommandLineParser parser;
    PrepareParser(
        parser,
        QStringLiteral(
            "Sends the settings query to every address of the ranges and lists those that answer with a "
            "parameter block, in address order. A MAC seen at two addresses is flagged. At most 65536 "
            "addresses.\n"
            "Each address is asked from the computer's address that the route to it uses (each card's own "
            "address for its own network; --local for all). Behind a router, or on loopback, queries go out "
            "as fast as --rate allows and a /24 takes about one wait. On a card's own network every address "
            "needs ARP first: the queries are paced by what the kernel's neighbour table admits (about 340 "
            "new addresses a second with its defaults, shared by the whole machine), and each waits until "
            "its ARP has had every chance (about 2 s) plus the wait; a directly attached /24 takes about "
            "2.3 s, a /20 about 15 s, a /16 about 3.5 minutes. Nothing is lost to a full send buffer or "
            "neighbour table: such queries are sent again when there is room.\n"
            "On a terminal, a scan that lasts shows its progress on stderr. Ctrl+C stops sending, waits for "
            "the replies already due (a second Ctrl+C stops at once), lists what was found and exits with "
            "130."));
    parser.addPositionalArgument(
        QStringLiteral("RANGE"),
        QStringLiteral("An address, a CIDR block (127.0.0.0/24) or a first-last range "
                       "(127.0.0.10-127.0.0.20 or 127.0.0.10-20)."),
        QStringLiteral("RANGE..."));
    parser.addOptions(ListingOptions());
    parser.addOption({QStringLiteral("rate"),
                      QStringLiteral("Send at most N queries per second (default: as fast as the network "
                                     "admits). Behind a router, the router resolves every address itself: "
                                     "lower the rate if readers there are missed."),
                      QStringLiteral("N")});
    if (const auto exit = ParseCommand(parser, QStringLiteral("scan"), arguments, console))
        return *exit;

    CommonOptions options;
    QString error;
    if (!ReadCommonOptions(parser, &options, &error))
        return Fail(console, BadInput, error);
    ListingFormat format = ListingFormat::Table;
    if (!ReadListingFormat(parser, &format, &error))
        return Fail(console, BadInput, error);
    vrx::ScanOptions scanOptions{options.link.local, options.link.localPort, options.link.timeoutMs,
                                 options.link.retries, 0};
    if (parser.isSet(QStringLiteral("rate")) &&
        !ReadNumber(parser, QStringLiteral("rate"), 1, 1000000, &scanOptions.ratePerSecond, &error))
        return Fail(console, BadInput, error);
    const vrx::AddressList addresses = vrx::ExpandRanges(parser.positionalArguments());
    if (!addresses.ok())
        return Fail(console, BadInput, RangeProblemText(addresses));
    if (addresses.addresses.isEmpty())
        return Fail(console, BadInput, QStringLiteral("the ranges hold no address"));
    const vrx::ScanTargets targets = vrx::RouteScanTargets(addresses.addresses, options.link.local);
    if (!targets.ok())
        return Fail(console, SocketFailure, UnreachableText(targets));

    Trace trace(&console.err, options.trace);
    vrx::ReaderScan scan;
    scan.setObserver(&trace);
    const ScanOutcome outcome = RunScanLoop(scan, targets, scanOptions, console, options.trace);
    const QList<vrx::FoundReader> &found = scan.found();
    // A scan that could not send its first query has nothing to list: the failure says it all.
    if (outcome.failure && scan.sent() == 0)
        return ReportSocketError(console, vrx::SocketException(*outcome.failure));
    WarnSharedMacs(console, found);

    const int shared = PrintReaders(console, found, format);
    if (format == ListingFormat::Table) {
        console.out << QStringLiteral("%1 of %2 addresses answered")
                           .arg(found.size())
                           .arg(addresses.addresses.size());
        EndSummary(console, shared);
    }
    console.out.flush();
    if (outcome.failure)
        return ReportSocketError(console, vrx::SocketException(*outcome.failure));
    if (outcome.interrupted)
        return Fail(console, outcome.interruptExit,
                    QStringLiteral("interrupted: %1 of %2 addresses were scanned; the list is incomplete")
                        .arg(scan.done())
                        .arg(scan.total()));
    if (found.isEmpty())
        return Fail(console, NotConfirmed,
                    QStringLiteral("no reader answered in %1 addresses").arg(addresses.addresses.size()));
    return Success;
}

} // namespace vrxctl
