#include "app/FlexGrid.h"

#include <QHeaderView>

namespace vrx {

FlexGrid::FlexGrid(int rows, int columns, QWidget *parent)
    : QTableWidget(rows, columns, parent)
    , m_backColorFixed(palette().color(QPalette::Button)) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setAutoScroll(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone); // a long label is cut at the cell edge, never shortened with "…"
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            auto *item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled);
            const bool fixed = r == 0 || c == 0;
            item->setBackground(fixed ? m_backColorFixed : QColor(Qt::white));
            setItem(r, c, item);
        }
    }
}

QTableWidgetItem *FlexGrid::cell(int row, int column) const {
    QTableWidgetItem *found = item(row, column);
    Q_ASSERT_X(found, "FlexGrid", "cell outside the grid");
    return found;
}

QString FlexGrid::textMatrix(int row, int column) const {
    return cell(row, column)->text();
}

void FlexGrid::setTextMatrix(int row, int column, const QString &text) {
    cell(row, column)->setText(text);
}

QColor FlexGrid::cellBackColor(int row, int column) const {
    return cell(row, column)->background().color();
}

void FlexGrid::setCellBackColor(int row, int column, const QColor &color) {
    cell(row, column)->setBackground(color);
}

void FlexGrid::setDefaultRowHeight(int pixels) {
    verticalHeader()->setDefaultSectionSize(pixels);
}

} // namespace vrx
