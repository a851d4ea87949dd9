#pragma once

#include <QTableWidget>

namespace vrx {

// A read-only grid of text cells whose first row and first column are fixed: they carry the headings
// and row labels and are painted in the fixed-cell colour; the other cells are white. No scroll bars,
// no selection, no editing: the window lays its own fields over the cells.
class FlexGrid : public QTableWidget {
    Q_OBJECT

public:
    FlexGrid(int rows, int columns, QWidget *parent = nullptr);

    QString textMatrix(int row, int column) const;
    void setTextMatrix(int row, int column, const QString &text);

    QColor cellBackColor(int row, int column) const;
    void setCellBackColor(int row, int column, const QColor &color);

    // The background of the fixed row and column.
    QColor backColorFixed() const { return m_backColorFixed; }

    // Height of every row that start-up leaves alone.
    void setDefaultRowHeight(int pixels);

private:
    QTableWidgetItem *cell(int row, int column) const;

    QColor m_backColorFixed;
};

} // namespace vrx
