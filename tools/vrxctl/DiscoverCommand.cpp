#include "CommandLine.h"
#include "Commands.h"
#include "ExitCode.h"
#include "ReaderListing.h"
#include "Trace.h"

#include "link/LocalCards.h"
#include "net/ReaderDiscovery.h"
#include "net/ReaderExchange.h"

#include <QEventLoop>

namespace vrxctl {

namespace {

// What the card options ask for, and which of this computer's cards they leave, in words.
QString CardChoiceText(const vrx::CardChoice &choice, const vrx::DiscoveryOptions &options,
                       const QList<vrx::LocalCard> &cards) {
    const QString list = cards.isEmpty() ? QStringLiteral("none") : vrx::CardListText(cards);
    switch (choice.problem) {
    case vrx::CardChoiceProblem::None:
        return {};
    case vrx::CardChoiceProblem::NoBroadcastCard:
        return QStringLiteral(
                   "no network card of this computer can broadcast (an IPv4 address with a broadcast "
                   "address, not loopback); this computer's cards: %1")
            .arg(list);
    case vrx::CardChoiceProblem::NoSuchInterface:
        return QStringLiteral("--interface %1: this computer has no card of that name with an IPv4 address; "
                              "its cards: %2")
            .arg(options.interfaceName, list);
    case vrx::CardChoiceProblem::InterfaceWithoutBroadcast:
        return QStringLiteral("--interface %1: the card cannot broadcast (loopback, point-to-point or no "
                              "broadcast address); this computer's cards: %2")
            .arg(options.interfaceName, list);
    case vrx::CardChoiceProblem::NotLocalAddress:
        return QStringLiteral("--local %1 is not an address of this computer; its cards: %2")
            .arg(options.local, list);
    case vrx::CardChoiceProblem::LocalWithoutBroadcast:
        return QStringLiteral(
                   "--local %1: its card cannot broadcast (loopback, point-to-point or no broadcast "
                   "address); this computer's cards: %2")
            .arg(options.local, list);
    case vrx::CardChoiceProblem::BothGiven:
        return QStringLiteral("give --interface or --local, not both");
    }
    return {};
}

QString TriedText(const vrx::ReaderDiscovery &discovery, const vrx::DiscoveryOptions &options) {
    QStringList cards;
    for (const vrx::LocalCard &card : discovery.choice().cards)
        cards.append(vrx::BroadcastTargetsText(card));
    const int rounds = std::max(discovery.roundsSent(), 1);
    return QStringLiteral("sent the query from port %1 to port %2 %3, waiting %4 ms%5 for answers: %6")
        .arg(options.localPort)
        .arg(vrx::ReaderPort)
        .arg(rounds == 1 ? QStringLiteral("once") : QStringLiteral("%1 times").arg(rounds))
        .arg(options.timeoutMs)
        .arg(rounds == 1 ? QString() : QStringLiteral(" after each"))
        .arg(cards.join(QStringLiteral("; ")));
}

} // namespace

int RunDiscover(const QStringList &arguments, Console &console) {
    QCommandLineParser parser;
    PrepareParser(
        parser,
        QStringLiteral("Finds the readers on the networks of this computer's cards without knowing "
                       "their addresses: sends the settings query as a broadcast from every IPv4 card "
                       "that has a broadcast address, to the card's subnet broadcast and to "
                       "255.255.255.255 (which also reaches a reader set to another subnet on the same "
                       "wire), and lists every reader that answers within the wait, once per card it "
                       "answered on, in address order. A reader outside its card's subnet is listed "
                       "with the command that makes it reachable. Readers behind a router do not hear "
                       "a broadcast: scan their range instead. With --local, only the card with that "
                       "address broadcasts."));
    parser.addOption({QStringLiteral("interface"),
                      QStringLiteral("Broadcast only on this card (eth0, enp3s0)."), QStringLiteral("NAME")});
    parser.addOptions(ListingOptions());
    if (const auto exit = ParseCommand(parser, QStringLiteral("discover"), arguments, console))
        return *exit;

    CommonOptions common;
    QString error;
    if (!ReadCommonOptions(parser, &common, &error))
        return Fail(console, BadInput, error);
    if (!parser.positionalArguments().isEmpty())
        return Fail(console, BadInput,
                    QStringLiteral("discover takes no address; to query addresses, use 'vrxctl scan RANGE'"));
    ListingFormat format = ListingFormat::Table;
    if (!ReadListingFormat(parser, &format, &error))
        return Fail(console, BadInput, error);

    Trace trace(&console.err, common.trace);
    vrx::DiscoveryOptions options;
    options.interfaceName = parser.value(QStringLiteral("interface")).trimmed();
    options.local = common.link.local;
    options.localPort = common.link.localPort;
    options.timeoutMs = common.link.timeoutMs;
    options.retries = common.link.retries;
    options.observer = &trace;

    const QList<vrx::LocalCard> cards = vrx::LocalCards();
    const vrx::CardChoice choice = vrx::ChooseDiscoveryCards(cards, options.interfaceName, options.local);
    if (!choice.ok())
        return Fail(console,
                    choice.problem == vrx::CardChoiceProblem::NoBroadcastCard ? SocketFailure : BadInput,
                    CardChoiceText(choice, options, cards));

    vrx::ReaderDiscovery discovery;
    std::optional<vrx::SocketError> failure;
    QEventLoop loop;
    QObject::connect(&discovery, &vrx::ReaderDiscovery::failed,
                     [&](const vrx::SocketError &socketError) { failure = socketError; });
    QObject::connect(&discovery, &vrx::ReaderDiscovery::finished, &loop, &QEventLoop::quit);
    discovery.start(options, cards);
    loop.exec();
    if (failure) // its description names the card's address
        return ReportSocketError(console, vrx::SocketException(*failure));

    const QList<vrx::FoundReader> found = discovery.found();
    WarnSharedMacs(console, found);
    WarnSharedAddresses(console, found);
    // An empty table would say nothing: the message below says what was tried.
    if (!found.isEmpty() || format != ListingFormat::Table) {
        const int shared = PrintReaders(console, found, format, {.interface = true, .reach = true});
        if (format == ListingFormat::Table) {
            QStringList names;
            for (const vrx::LocalCard &card : discovery.choice().cards)
                if (!names.contains(card.name))
                    names.append(card.name);
            console.out << QStringLiteral("%1 %2 answered the broadcast on %3")
                               .arg(found.size())
                               .arg(found.size() == 1 ? QStringLiteral("reader") : QStringLiteral("readers"))
                               .arg(names.join(QStringLiteral(", ")));
            EndSummary(console, shared);
        }
    }
    console.out.flush();
    if (found.isEmpty())
        return Fail(
            console, NotConfirmed,
            QStringLiteral("no reader answered. Tried: %1. Likely causes: no reader on these cards' "
                           "networks (readers behind a router do not hear a broadcast: scan their range); "
                           "a firewall on this computer dropping the answers to UDP port %2; a reader "
                           "slower than the wait (raise --timeout or --retries).")
                .arg(TriedText(discovery, options))
                .arg(options.localPort));
    return Success;
}

} // namespace vrxctl
