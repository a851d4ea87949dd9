#pragma once

#include "ConfigureReader.h"
#include "Console.h"
#include "net/ReaderLink.h"

#include "fileio/OutputFile.h"
#include "link/LocalCards.h"
#include "link/SocketException.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

namespace vrxctl {

using vrx::LinkOptions;

// What every command that talks to readers accepts besides its own options.
struct CommonOptions {
    LinkOptions link; // link.local empty: follow the route to each reader
    bool trace = false;
};

// Sets up a parser for one command: its description, --help, and (withLink) the common options.
void PrepareParser(QCommandLineParser &parser, const QString &description, bool withLink = true);

// Parses "vrxctl <command> args..."; on --help prints the help (with the exit codes) and returns 0,
// on a usage error prints it and returns 2; returns nothing when the command should go on.
std::optional<int> ParseCommand(QCommandLineParser &parser, const QString &command,
                                const QStringList &arguments, Console &console);

// Reads --local, --local-port, --timeout, --retries and --trace; false with an error text on bad input.
bool ReadCommonOptions(const QCommandLineParser &parser, CommonOptions *options, QString *error);

// The value of option --name as a whole number from lowest to highest; false with an error text when
// it is not one.
bool ReadNumber(const QCommandLineParser &parser, const QString &name, int lowest, int highest, int *value,
                QString *error);

// --verify (described by verifyHelp) and --verify-timeout, for the commands that write settings.
QList<QCommandLineOption> VerifyOptions(const QString &verifyHelp);

// The verify's plan when --verify or --verify-timeout is given, else nothing (through *plan); false
// with an error text on a bad number. Read after the common options: the default window is never
// shorter than one reply wait.
bool ReadVerifyOptions(const QCommandLineParser &parser, const CommonOptions &options,
                       std::optional<VerifyPlan> *plan, QString *error);

// Reads the common options and the command's one argument; on bad input prints the failure and returns
// its exit code. `what` names the argument in the message ("reader address", "CSV file").
std::optional<int> ReadSingleArgument(const QCommandLineParser &parser, const QString &command,
                                      const QString &what, Console &console, CommonOptions *options,
                                      QString *argument);

// The same for the commands that address one reader: the argument must be a reader address, and
// comes back in canonical form.
std::optional<int> ReadReaderArgument(const QCommandLineParser &parser, const QString &command,
                                      Console &console, CommonOptions *options, QString *reader);

// An address as vrxctl takes every address (vrx::StrictAddress: four numbers 0-255 joined by three dots,
// nothing else), in canonical form; nothing when bad.
std::optional<QString> ReaderAddress(const QString &text);

// "<what> "<text>" is not an address: ...", the text's control characters escaped.
QString NotAnAddressText(const QString &what, const QString &text);

// The address to bind for a reader: --local when given, else the one the route to the reader uses.
QString LocalFor(const CommonOptions &options, const QString &reader);

// "no route to X: ..." with this computer's cards and addresses, for a target that no card and no
// route reaches.
QString NoRouteText(const QString &target);
// The same, against the given cards: a target on a card's subnet is said to be there (its broadcast
// address is named as such) rather than said to be on no card's subnet.
QString NoRouteText(const QString &target, const QList<vrx::LocalCard> &cards);

// "X is the broadcast address of the subnet of eth1 ...": a target that is one of the cards' subnet
// broadcasts, or 255.255.255.255, which every reader on a wire hears; nothing for any other target.
std::optional<QString> BroadcastTargetText(const QString &target, const QList<vrx::LocalCard> &cards);

// Refuses a broadcast target (BroadcastTargetText, exit 2) before anything is sent; then sets
// options->link.local to LocalFor the reader; when there is no route, prints NoRouteText and returns 3.
std::optional<int> BindLocalFor(const QString &reader, Console &console, CommonOptions *options);

// "cannot write PATH: ..." for an output file that could not be written or created.
QString OutputProblemText(const QString &path, const vrx::OutputOutcome &outcome);

// Prints "vrxctl: <message>" on err and returns the code.
int Fail(Console &console, int code, const QString &message);

// Prints the socket failure in English ("socket error N: ...", see SocketErrorText.h); returns 3.
int ReportSocketError(Console &console, const vrx::SocketException &failure);

QString ExitCodesHelp();

// A file's whole text (UTF-8) when it holds at most `limit` bytes; nothing with an error text when it
// cannot be read or is larger (a `what`, "key file", may hold no more), which is found before it is
// read whole.
std::optional<QString> ReadTextFile(const QString &path, qint64 limit, const QString &what, QString *error);

} // namespace vrxctl
