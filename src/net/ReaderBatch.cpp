#include "net/ReaderBatch.h"

#include "fields/AddressText.h"
#include "link/LocalCards.h"

namespace vrx {

std::optional<std::array<quint8, 4>> AddressAbove(const std::array<quint8, 4> &first, qsizetype offset) {
    quint64 value = 0;
    for (quint8 byte : first)
        value = value << 8 | byte;
    value += quint64(offset);
    if (offset < 0 || value > 0xFFFFFFFFu)
        return std::nullopt;
    return std::array<quint8, 4>{quint8(value >> 24), quint8(value >> 16), quint8(value >> 8), quint8(value)};
}

ReaderBatch::ReaderBatch(ReaderLink &link, BatchOptions options, BatchObserver *observer)
    : m_link(link)
    , m_options(std::move(options))
    , m_observer(observer)
    , m_linkLocal(link.options().local) {}

std::optional<ReaderWork> ReaderBatch::workFor(const BatchItem &item, qsizetype row) const {
    ReaderWork work{item.change, item.keyFrame, m_options.verify, m_options.dryRun};
    if (m_options.firstNewAddress) {
        const auto address = AddressAbove(*m_options.firstNewAddress, row);
        if (!address)
            return std::nullopt;
        if (!work.change)
            work.change = SettingsChange();
        work.change->values.insert(SettingField::ReaderIp, DottedText(*address));
        work.change->values.insert(SettingField::Mac, QStringLiteral("auto"));
    }
    return work;
}

ConfigureOutcome ReaderBatch::runRow(const BatchItem &item, qsizetype row) {
    ConfigureOutcome outcome;
    QString local = item.local;
    if (local.isEmpty())
        local = m_options.localFollowsRoute ? RouteLocalAddress(item.address) : m_linkLocal;
    if (local.isEmpty() && m_options.localFollowsRoute) {
        outcome.result = ConfigureResult::NoRoute;
        outcome.unreachable = item.address;
        return outcome;
    }
    const std::optional<ReaderWork> work = workFor(item, row);
    if (!work) {
        outcome.result = ConfigureResult::NoAddressLeft;
        return outcome;
    }
    m_link.setLocal(local);
    return ConfigureReader(m_link, item.address, *work);
}

void ReaderBatch::run(const QList<BatchItem> &items) {
    m_stopRequested = false;
    m_outcomes = QList<ConfigureOutcome>(items.size());
    for (qsizetype row = 0; row < items.size() && !m_stopRequested; ++row) {
        if (m_observer)
            m_observer->rowStarted(row);
        m_outcomes[row] = runRow(items[row], row);
        if (m_observer) {
            m_observer->rowFinished(row, m_outcomes[row]);
            m_observer->progress(row + 1, items.size());
        }
    }
}

} // namespace vrx
