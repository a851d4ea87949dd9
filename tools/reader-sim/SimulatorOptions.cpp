#include "SimulatorOptions.h"

#include "CardNetwork.h"
#include "ReaderSimulator.h"
#include "RelayMessage.h"
#include "link/SSock.h"

#include <QCommandLineParser>

namespace vrx {

namespace {

ParsedSimulatorOptions Failure(const QString &text) {
    ParsedSimulatorOptions parsed;
    parsed.action = ParsedSimulatorOptions::Fail;
    parsed.text = text;
    return parsed;
}

bool ReadNumber(const QCommandLineParser &parser, const QString &name, int lowest, int highest, int *value,
                QString *error) {
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const int number = parser.value(name).toInt(&ok);
    if (!ok || number < lowest || number > highest) {
        *error = QStringLiteral("--%1 wants a number from %2 to %3, not \"%4\"")
                     .arg(name)
                     .arg(lowest)
                     .arg(highest)
                     .arg(parser.value(name));
        return false;
    }
    *value = number;
    return true;
}

} // namespace

ParsedSimulatorOptions ParseSimulatorOptions(const QStringList &arguments) {
    QCommandLineParser parser;
    const QString simulated = QStringLiteral(
        "Simulated VRX card readers on loopback addresses, port 1001. Each answers the parameter "
        "query with its settings, echoes a settings block or key frame with the right markers "
        "and takes it, and ignores everything else. One log line per datagram goes to stderr; "
        "keys are never logged.");
    const QString device = QStringLiteral(
        "With --interface, one reader is a device on a network card instead: it takes the card's "
        "address, mask and default gateway as its settings, hears unicast and broadcast queries, and "
        "after a configure that changes them it echoes, then renumbers the card (old address off, new "
        "address on, default route to the new gateway). It refuses to run in the machine's own network "
        "namespace: start it in a namespace of its own (ip netns exec NAME vrx-reader-sim --interface "
        "eth0).");
    parser.setApplicationDescription(CanControlCards() ? simulated + QStringLiteral("\n\n") + device
                                                       : simulated);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version."));
    const QCommandLineOption address(
        QStringLiteral("address"),
        QStringLiteral("Run a reader on this address (repeatable; default 127.0.0.101)."),
        QStringLiteral("ip"));
    const QCommandLineOption card(
        QStringLiteral("interface"),
        QStringLiteral("Run one reader as a device on this network card, in a network namespace of its own "
                       "(Linux)."),
        QStringLiteral("card"));
    const QCommandLineOption restartDelay(
        QStringLiteral("restart-delay"),
        QStringLiteral("After a configure that moves a reader, answer nothing for ms milliseconds before "
                       "taking the new address (default 0)."),
        QStringLiteral("ms"));
    const QCommandLineOption count(
        QStringLiteral("count"), QStringLiteral("Run n readers on consecutive addresses from the first one."),
        QStringLiteral("n"));
    const QCommandLineOption delay(QStringLiteral("delay"), QStringLiteral("Answer ms milliseconds late."),
                                   QStringLiteral("ms"));
    const QCommandLineOption silent(QStringLiteral("silent"),
                                    QStringLiteral("Answer nothing, change nothing."));
    const QCommandLineOption corrupt(QStringLiteral("corrupt-echo"),
                                     QStringLiteral("Echo settings and keys with the last byte changed."));
    const QCommandLineOption length(QStringLiteral("reply-length"),
                                    QStringLiteral("Cut or zero-pad every reply to n bytes."),
                                    QStringLiteral("n"));
    const QCommandLineOption from(
        QStringLiteral("reply-from"),
        QStringLiteral("Send replies from this address instead of the reader's own."), QStringLiteral("ip"));
    const QCommandLineOption nonLoopback(
        QStringLiteral("allow-non-loopback"),
        QStringLiteral("Allow addresses outside 127.0.0.0/8 (real networks)."));
    const QCommandLineOption relay(
        QStringLiteral("relay"),
        QStringLiteral("Run no readers: bind loopback addresses for simulated readers inside programs that "
                       "cannot bind them (under wine), which ask for them at ip:port (on loopback; port 0: "
                       "any free one, printed when it listens)."),
        QStringLiteral("ip:port"));
    parser.addOptions({help, version, address, count, delay, silent, corrupt, length, from, restartDelay,
                       nonLoopback, relay});
    if (CanControlCards())
        parser.addOption(card);

    if (!parser.parse(arguments))
        return Failure(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return Failure(
            QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));
    if (parser.isSet(help)) {
        ParsedSimulatorOptions parsed;
        parsed.action = ParsedSimulatorOptions::ShowHelp;
        parsed.text = parser.helpText();
        return parsed;
    }
    if (parser.isSet(version)) {
        ParsedSimulatorOptions parsed;
        parsed.action = ParsedSimulatorOptions::ShowVersion;
        parsed.text = QStringLiteral("vrx-reader-sim %1").arg(QStringLiteral(VRX_VERSION));
        return parsed;
    }

    SimulatorOptions options;
    if (parser.isSet(relay)) {
        QList<QCommandLineOption> readerOptions{address, count, delay,        silent,     corrupt,
                                                length,  from,  restartDelay, nonLoopback};
        if (CanControlCards())
            readerOptions.append(card);
        for (const QCommandLineOption &reader : readerOptions) {
            if (parser.isSet(reader))
                return Failure(QStringLiteral("--relay runs no readers of its own: it goes without --%1")
                                   .arg(reader.names().first()));
        }
        const auto endpoint = ParseRelayEndpoint(parser.value(relay));
        if (!endpoint || !endpoint->first.isLoopback())
            return Failure(QStringLiteral("--relay wants a loopback address and port (127.0.0.1:47011), not "
                                          "\"%1\"")
                               .arg(parser.value(relay)));
        options.relay = parser.value(relay);
        ParsedSimulatorOptions parsed;
        parsed.action = ParsedSimulatorOptions::Run;
        parsed.options = options;
        return parsed;
    }
    options.allowNonLoopback = parser.isSet(nonLoopback);
    options.faults.silent = parser.isSet(silent);
    options.faults.corruptEcho = parser.isSet(corrupt);
    QString error;
    int readers = 1;
    if (!ReadNumber(parser, count.names().first(), 1, 254, &readers, &error) ||
        !ReadNumber(parser, delay.names().first(), 0, 600000, &options.faults.delayMs, &error) ||
        !ReadNumber(parser, restartDelay.names().first(), 0, 600000, &options.restartDelayMs, &error) ||
        !ReadNumber(parser, length.names().first(), 0, 65507, &options.faults.replyLength, &error))
        return Failure(error);

    if (parser.isSet(card)) {
        if (parser.isSet(address) || parser.isSet(count))
            return Failure(QStringLiteral("--interface runs one reader on the card's own address: it goes "
                                          "with neither --address nor --count"));
        options.card = parser.value(card);
        if (options.card.isEmpty())
            return Failure(QStringLiteral("--interface wants the name of a network card"));
        // The card lives in a network namespace of its own (checked when it starts): its addresses and
        // those --reply-from names are the namespace's, not a real network's.
        options.allowNonLoopback = true;
    }

    QStringList addresses = parser.values(address);
    if (addresses.isEmpty() && options.card.isEmpty())
        addresses.append(QStringLiteral("127.0.0.101"));
    for (const QString &text : addresses) {
        if (!SSock::ParseIPv4(text))
            return Failure(QStringLiteral("--address: \"%1\" is not an IPv4 address").arg(text));
    }
    if (parser.isSet(count)) {
        if (addresses.size() > 1)
            return Failure(QStringLiteral("--count goes with a single --address"));
        addresses = ReaderSimulator::ConsecutiveAddresses(addresses.first(), readers, &error);
        if (addresses.isEmpty())
            return Failure(error);
    }
    if (!options.allowNonLoopback) {
        for (const QString &text : addresses) {
            if (!SSock::ParseIPv4(text)->isLoopback())
                return Failure(
                    QStringLiteral("%1 is not a loopback address; add --allow-non-loopback to use a real "
                                   "network")
                        .arg(text));
        }
    }
    if (parser.isSet(from)) {
        const std::optional<QHostAddress> replyFrom = SSock::ParseIPv4(parser.value(from));
        if (!replyFrom)
            return Failure(
                QStringLiteral("--reply-from: \"%1\" is not an IPv4 address").arg(parser.value(from)));
        if (!replyFrom->isLoopback() && !options.allowNonLoopback)
            return Failure(
                QStringLiteral("--reply-from %1 is not a loopback address").arg(parser.value(from)));
        options.faults.replyFrom = replyFrom->toString();
    }
    options.addresses = addresses;

    ParsedSimulatorOptions parsed;
    parsed.action = ParsedSimulatorOptions::Run;
    parsed.options = options;
    return parsed;
}

} // namespace vrx
