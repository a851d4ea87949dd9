#include "app/TrafficTableModel.h"

#include "words/TrafficWords.h"

#include <QFontDatabase>

#include <algorithm>

namespace vrx {

TrafficTableModel::TrafficTableModel(TrafficLog &log, QObject *parent)
    : QAbstractTableModel(parent)
    , m_log(log)
    , m_first(log.FirstNumber())
    , m_end(log.FirstNumber() + quint64(log.RowCount())) {
    m_update.setSingleShot(true);
    m_update.setInterval(UpdateIntervalMs);
    connect(&m_update, &QTimer::timeout, this, &TrafficTableModel::Update);
    m_log.SetChangeListener([this] {
        if (!m_update.isActive())
            m_update.start();
    });
}

TrafficTableModel::~TrafficTableModel() {
    m_log.SetChangeListener({});
}

void TrafficTableModel::Update() {
    m_update.stop();
    const quint64 first = m_log.FirstNumber();
    const quint64 end = first + quint64(m_log.RowCount());
    if (first > m_first) {
        const quint64 gone = std::min(first, m_end) - m_first;
        if (gone > 0) {
            beginRemoveRows({}, 0, int(gone) - 1);
            m_first += gone;
            endRemoveRows();
        }
        // Rows that came and went between two updates were never shown.
        m_first = first;
        m_end = std::max(m_end, first);
    }
    if (end > m_end) {
        beginInsertRows({}, int(m_end - m_first), int(end - m_first) - 1);
        m_end = end;
        endInsertRows();
    }
}

int TrafficTableModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_end - m_first);
}

int TrafficTableModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : TrafficLog::ColumnCount;
}

QVariant TrafficTableModel::data(const QModelIndex &index, int role) const {
    const auto column = TrafficLog::Column(index.column());
    if (role == Qt::FontRole && column == TrafficLog::Column::Bytes)
        return QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (role == Qt::TextAlignmentRole &&
        (column == TrafficLog::Column::Time || column == TrafficLog::Column::Length))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    // Until the next update the view may still ask for a row that the log has just dropped.
    const quint64 number = m_first + quint64(index.row());
    if (number < m_log.FirstNumber() || number >= m_log.FirstNumber() + quint64(m_log.RowCount()))
        return {};
    return TrafficCellText(m_log.At(qsizetype(number - m_log.FirstNumber())), column, m_showKeys);
}

QVariant TrafficTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return TrafficColumnTitle(TrafficLog::Column(section));
}

void TrafficTableModel::SetShowKeys(bool show) {
    if (show == m_showKeys)
        return;
    m_showKeys = show;
    if (rowCount() > 0) {
        const int bytes = int(TrafficLog::Column::Bytes);
        emit dataChanged(index(0, bytes), index(rowCount() - 1, bytes), {Qt::DisplayRole});
    }
}

void TrafficTableModel::Retranslate() {
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
}

} // namespace vrx
