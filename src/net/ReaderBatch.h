#pragma once

#include "net/ConfigureReader.h"
#include "net/ReaderLink.h"

#include "config/SettingsChange.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace vrx {

// One reader of a batch.
struct BatchItem {
    QString address;                      // canonical dotted text: where the reader is now
    std::optional<SettingsChange> change; // the settings to write; none: write no settings
    QByteArray keyFrame;                  // the key frame to download; empty: no keys
    QString local; // this computer's address to ask it from; empty: as BatchOptions say
};

struct BatchOptions {
    std::optional<VerifyPlan> verify; // read each written reader back, patiently
    bool dryRun = false;              // read and check every reader; write nothing
    // An item without its own local address is asked from the address the route to it uses (no
    // route: NoRoute); when off, from the link's own local address.
    bool localFollowsRoute = true;
    // The readers take new addresses from here upward, one each in the order of the items, and their
    // MACs follow the new address as the window's automatic MAC does. None: every reader keeps its own
    // address and MAC unless its change says otherwise.
    std::optional<std::array<quint8, 4>> firstNewAddress;
};

// Sees a batch go by. Called on the batch's thread, while it runs.
class BatchObserver {
public:
    virtual ~BatchObserver() = default;
    virtual void rowStarted(qsizetype row) { Q_UNUSED(row); }
    virtual void rowFinished(qsizetype row, const ConfigureOutcome &outcome) {
        Q_UNUSED(row);
        Q_UNUSED(outcome);
    }
    // After each row: how many of the rows are finished.
    virtual void progress(qsizetype done, qsizetype total) {
        Q_UNUSED(done);
        Q_UNUSED(total);
    }
};

// Works through many readers one after the other on one ReaderLink: each is read first, then its keys
// and settings are written and, with a verify plan, read back (ConfigureReader). The link waits for
// replies in an event loop, so the caller's events (a stop button, a redraw, an interrupt) are handled
// while a row is in flight.
class ReaderBatch {
public:
    ReaderBatch(ReaderLink &link, BatchOptions options, BatchObserver *observer = nullptr);

    // Returns when every item is done or after the row in flight when stop() was called.
    void run(const QList<BatchItem> &items);

    // The row in flight finishes; the rows not yet started are left untouched (NotStarted).
    void stop() { m_stopRequested = true; }
    bool stopRequested() const { return m_stopRequested; }

    // One per item of the last run, in their order.
    const QList<ConfigureOutcome> &outcomes() const { return m_outcomes; }

    // The work for item `row`: its change with the new address and automatic MAC when the options
    // number the readers. Nothing when the numbering runs past 255.255.255.255.
    std::optional<ReaderWork> workFor(const BatchItem &item, qsizetype row) const;

private:
    ConfigureOutcome runRow(const BatchItem &item, qsizetype row);

    ReaderLink &m_link;
    BatchOptions m_options;
    BatchObserver *m_observer;
    QString m_linkLocal; // the link's own local address, for items asked from it
    QList<ConfigureOutcome> m_outcomes;
    bool m_stopRequested = false;
};

// The address `offset` places above `first`; nothing past 255.255.255.255.
std::optional<std::array<quint8, 4>> AddressAbove(const std::array<quint8, 4> &first, qsizetype offset);

} // namespace vrx
