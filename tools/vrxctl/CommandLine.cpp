#include "CommandLine.h"

#include "ExitCode.h"
#include "InputProblems.h"
#include "ReaderOperations.h"
#include "ShownText.h"
#include "SocketErrorText.h"

#include "fields/AddressText.h"
#include "link/LocalCards.h"
#include "net/AddressRange.h"

#include "fileio/BoundedFile.h"
#include "fileio/OutputFile.h"

#include <QCoreApplication>

namespace vrxctl {

void PrepareParser(QCommandLineParser &parser, const QString &description, bool withLink) {
    parser.setApplicationDescription(description);
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    if (!withLink)
        return;
    parser.addOptions({
        {QStringLiteral("local"),
         QStringLiteral(
             "The computer's address to bind (default: the address the route to the reader uses)."),
         QStringLiteral("ADDR")},
        {QStringLiteral("local-port"), QStringLiteral("The local port to bind (default 1000)."),
         QStringLiteral("N"), QStringLiteral("1000")},
        {QStringLiteral("timeout"), QStringLiteral("How long to wait for each reply, in ms (default 200)."),
         QStringLiteral("MS"), QStringLiteral("200")},
        {QStringLiteral("retries"), QStringLiteral("How often to resend an unanswered request (default 0)."),
         QStringLiteral("N"), QStringLiteral("0")},
        {QStringLiteral("trace"),
         QStringLiteral("Print every datagram sent and received on stderr (keys are masked).")},
    });
}

QString ExitCodesHelp() {
    return QStringLiteral(
        "Exit codes:\n"
        "  0  success\n"
        "  1  the reader did not confirm (no reply, wrong echo, verify mismatch; "
        "scan and discover: nothing found)\n"
        "  2  bad input or usage\n"
        "  3  socket error (bind refused, address in use, no privilege, no card or route reaches the "
        "reader), or an output file that could not be written (no space, I/O error)\n"
        "  130  interrupted by Ctrl+C, 143 by SIGTERM (scan and batch: what was done so far is listed)\n");
}

std::optional<int> ParseCommand(QCommandLineParser &parser, const QString &command,
                                const QStringList &arguments, Console &console) {
    const QString program = QStringLiteral("vrxctl ") + command;
    if (!parser.parse(QStringList{program} + arguments))
        return Fail(console, BadInput,
                    parser.errorText() + QStringLiteral("\nTry 'vrxctl %1 --help'.").arg(command));
    if (parser.isSet(QStringLiteral("help"))) {
        QString help = parser.helpText();
        // Qt names the executable's path in the usage line; name the command instead.
        const int end = help.indexOf(u'\n');
        QString usage = help.left(end);
        const QString executable =
            QCoreApplication::instance() ? QCoreApplication::arguments().value(0) : QString();
        if (!executable.isEmpty())
            usage.replace(executable, program);
        console.out << usage << help.mid(end) << u'\n' << ExitCodesHelp();
        console.out.flush();
        return Success;
    }
    return std::nullopt;
}

bool ReadNumber(const QCommandLineParser &parser, const QString &name, int lowest, int highest, int *value,
                QString *error) {
    bool ok = false;
    const int number = parser.value(name).trimmed().toInt(&ok);
    if (!ok || number < lowest || number > highest) {
        *error = QStringLiteral("--%1 must be a number from %2 to %3").arg(name).arg(lowest).arg(highest);
        return false;
    }
    *value = number;
    return true;
}

bool ReadCommonOptions(const QCommandLineParser &parser, CommonOptions *options, QString *error) {
    if (parser.isSet(QStringLiteral("local"))) {
        const auto local = ReaderAddress(parser.value(QStringLiteral("local")));
        if (!local) {
            *error = NotAnAddressText(QStringLiteral("--local"), parser.value(QStringLiteral("local")));
            return false;
        }
        options->link.local = *local;
    }
    options->trace = parser.isSet(QStringLiteral("trace"));
    return ReadNumber(parser, QStringLiteral("local-port"), 1, 65535, &options->link.localPort, error) &&
           ReadNumber(parser, QStringLiteral("timeout"), 1, 60000, &options->link.timeoutMs, error) &&
           ReadNumber(parser, QStringLiteral("retries"), 0, 100, &options->link.retries, error);
}

QList<QCommandLineOption> VerifyOptions(const QString &verifyHelp) {
    return {
        {QStringLiteral("verify"), verifyHelp},
        {QStringLiteral("verify-timeout"),
         QStringLiteral(
             "How long the verify goes on asking, in ms (default %1, or --timeout when longer); implies "
             "--verify. A reader that takes a new address restarts its network stack, which takes a second "
             "or two, and this computer asks for the new address's MAC (ARP) only once a second and starts "
             "over after three unanswered questions: %2 s find a reader that is back within about four.")
             .arg(DefaultVerifyTimeoutMs)
             .arg(DefaultVerifyTimeoutMs / 1000),
         QStringLiteral("MS")},
    };
}

bool ReadVerifyOptions(const QCommandLineParser &parser, const CommonOptions &options,
                       std::optional<VerifyPlan> *plan, QString *error) {
    plan->reset();
    VerifyPlan verify;
    verify.localFollowsRoute = !parser.isSet(QStringLiteral("local"));
    if (parser.isSet(QStringLiteral("verify-timeout"))) {
        if (!ReadNumber(parser, QStringLiteral("verify-timeout"), 1, 600000, &verify.windowMs, error))
            return false;
    } else if (parser.isSet(QStringLiteral("verify"))) {
        verify.windowMs = std::max(DefaultVerifyTimeoutMs, options.link.timeoutMs);
    } else {
        return true;
    }
    *plan = verify;
    return true;
}

std::optional<QString> ReaderAddress(const QString &text) {
    const std::optional<quint32> address = vrx::StrictAddress(text);
    if (!address)
        return std::nullopt;
    return vrx::AddressText(*address);
}

QString NotAnAddressText(const QString &what, const QString &text) {
    return QStringLiteral("%1 \"%2\" is not an address: give four numbers from 0 to 255 joined by dots, "
                          "such as 192.168.0.101")
        .arg(what, EscapedText(text));
}

QString LocalFor(const CommonOptions &options, const QString &reader) {
    if (!options.link.local.isEmpty())
        return options.link.local;
    return vrx::RouteLocalAddress(reader);
}

QString NoRouteText(const QString &target) {
    return NoRouteText(target, vrx::LocalCards());
}

std::optional<QString> BroadcastTargetText(const QString &target, const QList<vrx::LocalCard> &cards) {
    const std::optional<quint32> address = vrx::StrictAddress(target);
    if (!address)
        return std::nullopt;
    if (*address == 0xFFFFFFFFu)
        return QStringLiteral("%1 is the broadcast to every reader on this computer's wires, not a reader's "
                              "address: give the reader's own address (vrxctl discover finds the readers)")
            .arg(target);
    for (const vrx::LocalCard &card : cards) {
        if (card.broadcast != 0 && *address == card.broadcast)
            return QStringLiteral(
                       "%1 is the broadcast address of the subnet of %2 (%3), not a reader's: give "
                       "the reader's own address (vrxctl discover --interface %2 finds the readers "
                       "there)")
                .arg(target, card.name, card.subnetText());
    }
    return std::nullopt;
}

QString NoRouteText(const QString &target, const QList<vrx::LocalCard> &cards) {
    if (const std::optional<QString> broadcast = BroadcastTargetText(target, cards))
        return *broadcast;
    const std::optional<quint32> address = vrx::StrictAddress(target);
    if (const std::optional<vrx::LocalCard> card =
            address ? vrx::CardOnSubnet(cards, *address) : std::nullopt)
        return QStringLiteral("no route to %1, although %2 (%3) is on its subnet: give --local %4, or check "
                              "that the card is up")
            .arg(target, card->name, card->subnetText(), card->addressText());
    return QStringLiteral("no route to %1: no card of this computer is on its subnet and no route leads "
                          "there (%2); give --local with one of these addresses, or give a card an address "
                          "on the reader's subnet")
        .arg(target, cards.isEmpty()
                         ? QStringLiteral("this computer has no IPv4 address that is up")
                         : QStringLiteral("this computer's addresses: ") + vrx::CardListText(cards));
}

std::optional<int> BindLocalFor(const QString &reader, Console &console, CommonOptions *options) {
    // Every reader on the wire hears a broadcast and would take the settings or keys meant for one.
    if (const std::optional<QString> broadcast = BroadcastTargetText(reader, vrx::LocalCards()))
        return Fail(console, BadInput, *broadcast);
    options->link.local = LocalFor(*options, reader);
    if (options->link.local.isEmpty())
        return Fail(console, SocketFailure, NoRouteText(reader));
    return std::nullopt;
}

QString OutputProblemText(const QString &path, const vrx::OutputOutcome &outcome) {
    const QString reason = outcome.reason.isEmpty() ? QString() : QStringLiteral(": ") + outcome.reason;
    switch (outcome.problem) {
    case vrx::OutputProblem::None:
        break;
    case vrx::OutputProblem::IsFolder:
        return QStringLiteral("cannot write %1: it is a folder").arg(path);
    case vrx::OutputProblem::NoFolder:
        return QStringLiteral("cannot write %1: its folder does not exist").arg(path);
    case vrx::OutputProblem::CannotCreate:
        return QStringLiteral("cannot write %1: no right to create or write it%2").arg(path, reason);
    case vrx::OutputProblem::WriteFailed:
        return QStringLiteral("cannot write %1%2").arg(path, reason);
    }
    return {};
}

int Fail(Console &console, int code, const QString &message) {
    console.err << "vrxctl: " << message << Qt::endl;
    return code;
}

int ReportSocketError(Console &console, const vrx::SocketException &failure) {
    return Fail(console, SocketFailure, SocketFailureText(failure.error()));
}

std::optional<QString> ReadTextFile(const QString &path, qint64 limit, const QString &what, QString *error) {
    const vrx::BoundedFile file = vrx::ReadBoundedFile(path, limit);
    switch (file.problem) {
    case vrx::BoundedFileProblem::None:
        return QString::fromUtf8(file.bytes);
    case vrx::BoundedFileProblem::CannotOpen:
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.reason);
        break;
    case vrx::BoundedFileProblem::TooLarge:
        *error = (file.size >= 0 ? QStringLiteral("%1 is %2 bytes").arg(path).arg(file.size)
                                 : QStringLiteral("%1 holds more than %2 bytes").arg(path).arg(limit)) +
                 QStringLiteral(", more than a %1 may hold (%2 bytes); it was not read").arg(what).arg(limit);
        break;
    }
    return std::nullopt;
}

std::optional<int> ReadSingleArgument(const QCommandLineParser &parser, const QString &command,
                                      const QString &what, Console &console, CommonOptions *options,
                                      QString *argument) {
    QString error;
    if (!ReadCommonOptions(parser, options, &error))
        return Fail(console, BadInput, error);
    if (parser.positionalArguments().size() != 1)
        return Fail(console, BadInput,
                    QStringLiteral("give one %1; try 'vrxctl %2 --help'").arg(what, command));
    *argument = parser.positionalArguments().front();
    return std::nullopt;
}

std::optional<int> ReadReaderArgument(const QCommandLineParser &parser, const QString &command,
                                      Console &console, CommonOptions *options, QString *reader) {
    QString text;
    if (const auto exit =
            ReadSingleArgument(parser, command, QStringLiteral("reader address"), console, options, &text))
        return exit;
    const auto address = ReaderAddress(text);
    if (!address)
        return Fail(console, BadInput, NotAnAddressText(QStringLiteral("reader address"), text));
    *reader = *address;
    return std::nullopt;
}

} // namespace vrxctl
