#pragma once

#include "link/TrafficLog.h"

#include <QAbstractTableModel>
#include <QTimer>

namespace vrx {

// The traffic log as a table for a view. Rows come in at the socket's pace, a flood included, and a
// view that hears of each repaints for each, inside the very waits for replies that the rows record.
// So the view hears of them in batches, at most UpdateIntervalMs apart: a change of the log schedules
// one update, which tells the view which rows went (the oldest, or all on a clear) and which came.
class TrafficTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int UpdateIntervalMs = 100;

    explicit TrafficTableModel(TrafficLog &log, QObject *parent = nullptr);
    ~TrafficTableModel() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    bool ShowsKeys() const { return m_showKeys; }
    void SetShowKeys(bool show);
    // The headings and every row read again, in the language now spoken.
    void Retranslate();
    // Brings the rows the view knows up to the log now, without waiting for the next pass.
    void Update();

private:
    TrafficLog &m_log;
    QTimer m_update;
    bool m_showKeys = false;
    // The rows the view knows, by the log's row numbers: [m_first, m_end).
    quint64 m_first = 0;
    quint64 m_end = 0;
};

} // namespace vrx
