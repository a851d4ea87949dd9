#include "net/ReaderDiscovery.h"

#include "config/ParameterBlock.h"
#include "link/SSock.h"
#include "net/AddressRange.h"
#include "net/FoundReaders.h"
#include "net/ReachAdvice.h"
#include "net/ReaderExchange.h"

#include <QPointer>

namespace vrx {

ReaderDiscovery::ReaderDiscovery(QObject *parent)
    : QObject(parent) {
    m_roundTimer.setSingleShot(true);
    m_roundTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_roundTimer, &QTimer::timeout, this, [this] {
        if (m_round <= m_options.retries)
            sendRound();
        else
            end(true);
    });
}

ReaderDiscovery::~ReaderDiscovery() = default;

void ReaderDiscovery::start(const DiscoveryOptions &options) {
    start(options, LocalCards());
}

void ReaderDiscovery::start(const DiscoveryOptions &options, const QList<LocalCard> &computerCards) {
    if (m_running)
        end(false);
    m_sockets.clear();
    m_options = options;
    m_computerCards = computerCards;
    m_ownAddresses.clear();
    for (const LocalCard &card : computerCards)
        m_ownAddresses.insert(card.addressText());
    m_choice = ChooseDiscoveryCards(computerCards, options.interfaceName, options.local);
    m_found.clear();
    m_heard.clear();
    m_failedCard = {};
    m_round = 0;
    m_running = true;
    m_roundTimer.start(0);
}

void ReaderDiscovery::stop() {
    if (m_running)
        end(true);
}

QList<FoundReader> ReaderDiscovery::found() const {
    QList<FoundReader> readers = m_found;
    SortFoundReaders(readers);
    MarkSharedMacs(readers);
    return readers;
}

bool ReaderDiscovery::bindSockets() {
    for (const LocalCard &card : std::as_const(m_choice.cards)) {
        auto socket = std::make_unique<SSock>();
        connect(socket.get(), &SSock::DataArrival, this,
                [this, card](const QByteArray &datagram, const QString &sender) {
                    arrival(card, datagram, sender);
                });
        connect(socket.get(), &SSock::Error, this, [this](const SocketError &error) {
            if (m_options.observer)
                m_options.observer->receiveFailed(error);
        });
        try {
            socket->Bind(m_options.localPort, card.addressText());
            socket->setRemotePort(ReaderPort);
        } catch (const SocketException &failure) {
            fail(card, failure.error());
            return false;
        }
        m_sockets.push_back(std::move(socket));
    }
    return true;
}

void ReaderDiscovery::sendRound() {
    if (m_round == 0) {
        if (!m_choice.ok()) {
            end(true);
            return;
        }
        if (!bindSockets())
            return;
    }
    const QByteArray query = ParameterQuery();
    for (size_t i = 0; i < m_sockets.size(); ++i) {
        const LocalCard &card = m_choice.cards[qsizetype(i)];
        for (quint32 target : BroadcastTargets(card)) {
            m_sockets[i]->setRemoteHost(AddressText(target));
            if (m_options.observer)
                m_options.observer->sent(AddressText(target), ReaderPort, query);
            try {
                m_sockets[i]->SendData(query);
            } catch (const SocketException &failure) {
                fail(card, failure.error());
                return;
            }
        }
    }
    ++m_round;
    m_roundTimer.start(m_options.timeoutMs);
}

void ReaderDiscovery::arrival(const LocalCard &card, const QByteArray &datagram, const QString &sender) {
    if (!m_running)
        return;
    if (m_options.observer)
        m_options.observer->received(sender, ReaderPort, datagram);
    if (m_ownAddresses.contains(sender)) {
        if (m_options.observer)
            m_options.observer->ignored(sender, AwaitVerdict::FromThisComputer);
        return;
    }
    // Any host may answer a broadcast: a block without both markers is not taken for a reader's.
    const std::optional<ReaderSettings> settings =
        ParameterBlock::hasMarkers(datagram) ? ReportedSettings(datagram, sender, card.addressText())
                                             : std::nullopt;
    const std::optional<quint32> address = StrictAddress(sender);
    if (!settings || !address)
        return;
    // Two readers at one address (new readers at their factory address) differ by their MAC.
    const QString key = card.name + u' ' + sender + u' ' + MacText(settings->readerMac);
    if (m_heard.contains(key))
        return; // the same reader heard again: it answers both broadcasts, and every round
    m_heard.insert(key);

    FoundReader reader;
    reader.address = sender;
    reader.settings = *settings;
    reader.card = card.name;
    reader.cardAddress = card.addressText();
    for (const LocalCard &other : std::as_const(m_computerCards))
        if (other.name == card.name && other.onSubnet(*address))
            reader.cardAddress = other.addressText(); // the card's address in the reader's subnet
    reader.discovered = true;
    if (NeedsReachAdvice(m_computerCards, *address))
        reader.reachNote = ReachAdviceFor(card.name, *address, *settings).addCommand();
    m_found.append(reader);
    emit readerFound(reader);
}

void ReaderDiscovery::fail(const LocalCard &card, const SocketError &error) {
    m_failedCard = card;
    const QPointer<ReaderDiscovery> self(this);
    emit failed(error);
    if (self && m_running)
        end(true);
}

void ReaderDiscovery::end(bool announce) {
    m_roundTimer.stop();
    m_running = false;
    for (const auto &socket : m_sockets)
        socket->Close();
    if (announce)
        emit finished();
}

} // namespace vrx
