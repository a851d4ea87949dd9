#include "Vrxctl.h"

#include "CommandLine.h"
#include "Commands.h"
#include "ExitCode.h"

#include "words/Catalogue.h"

namespace vrxctl {

namespace {

QString Usage() {
    return QStringLiteral(
               "Usage: vrxctl <command> [options]\n"
               "Reads, configures and scans VRX card readers over UDP (local port 1000 -> reader port "
               "1001).\n"
               "\n"
               "Commands:\n"
               "  read READER            Print a reader's settings (--json).\n"
               "  configure READER ...   Change a reader's settings; succeeds only on the exact echo.\n"
               "  keys READER ...        Download the 32 sector keys (--key HEX12 or --file FILE).\n"
               "  scan RANGE...          Find the readers in address ranges (--json, --csv).\n"
               "  discover               Find the readers on this computer's networks by broadcast\n"
               "                         (--interface NAME, --json, --csv).\n"
               "  batch FILE.csv         Configure many readers from a CSV file.\n"
               "\n"
               "Options of every reader command: --local ADDR, --local-port N (1000), --timeout MS (200),\n"
               "--retries N (0), --trace. 'vrxctl <command> --help' tells more.\n"
               "  --version              Print the version.\n"
               "\n") +
           ExitCodesHelp();
}

} // namespace

int RunVrxctl(const QStringList &arguments, Console &console) {
    // vrxctl words the shared results as the window does, always in English.
    vrx::UseEnglishWords(true);
    const QString command = arguments.value(0);
    const QStringList rest = arguments.mid(1);
    int code = BadInput;
    if (command == QLatin1String("read"))
        code = RunRead(rest, console);
    else if (command == QLatin1String("configure"))
        code = RunConfigure(rest, console);
    else if (command == QLatin1String("keys"))
        code = RunKeys(rest, console);
    else if (command == QLatin1String("scan"))
        code = RunScan(rest, console);
    else if (command == QLatin1String("discover"))
        code = RunDiscover(rest, console);
    else if (command == QLatin1String("batch"))
        code = RunBatch(rest, console);
    else if (command == QLatin1String("--version") || command == QLatin1String("-v")) {
        console.out << "vrxctl " << VRX_VERSION << '\n';
        code = Success;
    } else if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
               command == QLatin1String("help")) {
        console.out << Usage();
        code = Success;
    } else {
        console.err << (command.isEmpty() ? QStringLiteral("vrxctl: give a command\n")
                                          : QStringLiteral("vrxctl: unknown command \"%1\"\n").arg(command))
                    << Usage();
        code = BadInput;
    }
    console.out.flush();
    console.err.flush();
    return code;
}

} // namespace vrxctl
