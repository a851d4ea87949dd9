#include "app/Form1.h"

#include "app/Form1Layout.h"
#include "link/LocalAddress.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QScreen>

#include <algorithm>

namespace vrx {

namespace {

const QString BlankMac = QStringLiteral("00-00-00-00-00-00");
constexpr std::array<const char *, 6> KeyHeadings = {
    QT_TRANSLATE_NOOP("vrx::Form1", "区号"),  QT_TRANSLATE_NOOP("vrx::Form1", "A密码"),
    QT_TRANSLATE_NOOP("vrx::Form1", "B密码"), QT_TRANSLATE_NOOP("vrx::Form1", "区号"),
    QT_TRANSLATE_NOOP("vrx::Form1", "A密码"), QT_TRANSLATE_NOOP("vrx::Form1", "B密码"),
};
constexpr std::array<int, 6> KeyColumnWidths = {600, 1600, 1600, 600, 1600, 1600};
// Left edge of the key fields of grid columns 1, 2, 4 and 5.
constexpr std::array<int, 4> KeyFieldLefts = {800, 2400, 4600, 6200};

constexpr int RowHeight = 350;
constexpr int FieldLeft = 1600;
constexpr int TextWidth = 2400;
constexpr int TextHeight = 150;
constexpr int ListWidth = 2300;

// Text fields of rows 1 to 7 sit a little lower in their row than the list boxes of rows 8 to 11.
constexpr int TextTop(int row) {
    return 200 + RowHeight * row;
}
constexpr int ListTop(int row) {
    return 140 + RowHeight * row;
}
constexpr int CheckLeft = 3300;

} // namespace

QPoint Form1::CentredPosition(const QSize &screen, const QSize &window) {
    return {qRound((screen.width() - window.width()) / 2.0),
            qRound((screen.height() - window.height()) / 2.0)};
}

void Form1::Form_Load() {
    // 1. Centre the window on the screen, even where that puts it partly off the screen. The native
    // window is made first so that its frame counts in the window's size.
    winId();
    if (const QScreen *display = screen())
        move(display->geometry().topLeft() +
             CentredPosition(display->geometry().size(), frameGeometry().size()));

    // 2.
    TextMac[0]->setText(BlankMac);
    TextMac[1]->setText(BlankMac);
    // 3.
    Exchange.ExchangeStatus = Status::None;
    // 4.
    for (int side : {0, 1}) {
        CombUDP[side]->setCurrentIndex(0);
        CombSend[side]->setCurrentIndex(1);
    }
    // 5. Only asks the system for its address; no socket is bound until an operation needs one.
    Exchange.LocalIp = LocalIP();
    // 6.
    for (int side : {0, 1}) {
        CombBeep[side]->addItem(tr(layout::BeepItems[0]));
        CombBeep[side]->addItem(tr(layout::BeepItems[1]));
        CombBeep[side]->setCurrentIndex(1);
    }
    // 7.
    for (int side : {0, 1}) {
        CombPass[side]->addItem(tr(layout::KeySourceItems[0]));
        CombPass[side]->addItem(tr(layout::KeySourceItems[1]));
        CombPass[side]->setCurrentIndex(0);
    }
    // The list items in the window's language from now on, by position, so the selection stays.
    Translated([this] { RetranslateListItems(); });
    // 8. to 10.
    LayKeyGrid();
    // 11.
    for (int side : {0, 1}) {
        FlexGrid *grid = MSFlexGrid1[side];
        grid->setColumnWidth(0, m_twips.x(1500));
        grid->setColumnWidth(1, m_twips.x(2600));
        grid->resize(m_twips.x(4200), m_twips.y(12 * RowHeight + 50));
        for (int row = 0; row < 12; ++row)
            grid->setRowHeight(row, m_twips.y(RowHeight));
    }
    // 12.
    for (FieldEdit *field : Text1)
        field->resize(m_twips.x(TextWidth), m_twips.y(TextHeight));
    // 13. and 14.
    LayParameterGrid(0);
    LayParameterGrid(1);
    // 15.
    show();
    setEnabled(true);
}

void Form1::LayKeyGrid() {
    FlexGrid *grid = MSFlexGrid2;
    // 8.
    grid->resize(grid->width(), m_twips.y(3100));
    for (int column = 0; column < 6; ++column)
        grid->setColumnWidth(column, m_twips.x(KeyColumnWidths[column]));
    for (int row = 1; row <= 8; ++row)
        grid->setRowHeight(row, m_twips.y(RowHeight));
    Translated([grid] {
        for (int column = 0; column < 6; ++column)
            grid->setTextMatrix(0, column, tr(KeyHeadings[column]));
    });

    // 9. Grid row j + 1 holds sector j (A, B) on the left and sector j + 8 on the right.
    for (int j = 0; j < 8; ++j) {
        const int top = m_twips.y(RowHeight * (j + 1) + 180);
        for (int quarter = 0; quarter < 4; ++quarter)
            TextPass[j + 8 * quarter]->move(m_twips.x(KeyFieldLefts[quarter]), top);
    }

    // 10. Both sector-number columns look fixed.
    const QColor fixed = grid->backColorFixed();
    for (int row = 1; row <= 8; ++row) {
        grid->setTextMatrix(row, 0, QString::number(row - 1));
        grid->setCellBackColor(row, 3, fixed);
        grid->setTextMatrix(row, 3, QString::number(row + 7));
    }
}

void Form1::LayParameterGrid(int side) {
    FlexGrid *grid = MSFlexGrid1[side];
    Translated([grid] {
        grid->setTextMatrix(0, 0, tr("名称"));
        grid->setTextMatrix(0, 1, tr("值"));
        for (int row = 1; row <= 11; ++row)
            grid->setTextMatrix(row, 0, tr(layout::RowLabels[row - 1]));
    });
    for (int row = 1; row <= 11; ++row)
        PlaceParameterRow(side, row);
}

void Form1::PlaceParameterRow(int side, int row) {
    const bool target = side == 0;
    const int left = m_twips.x(FieldLeft);
    if (row <= 6) {
        FieldEdit *field = Text1[layout::Text1IndexOfRow[row - 1] + (target ? 0 : layout::FormerOffset)];
        field->move(left, m_twips.y(TextTop(row)));
        // The target reader address gets its default here, which lets the automatic MAC follow it;
        // the former side starts empty until a reader has been read.
        if (row == 1 && target)
            field->setText(QStringLiteral("192.168.0.101"));
        else if (!target)
            field->setText(QString());
        return;
    }
    if (row == 7) {
        TextMac[side]->move(left, m_twips.y(TextTop(row)));
        if (target)
            Check1->move(m_twips.x(CheckLeft), m_twips.y(TextTop(row)));
        return;
    }
    const std::array<ListBox *, 4> lists = {CombUDP[side], CombSend[side], CombBeep[side], CombPass[side]};
    ListBox *list = lists[row - 8];
    // The box's height follows from its font, which must leave it inside its grid row. Rounding to
    // pixels leaves the four rows a pixel more or less room; all four boxes take the font of the least.
    const FlexGrid *grid = MSFlexGrid1[side];
    int room = grid->height();
    for (int listRow = 8; listRow <= 11; ++listRow) {
        const int rowBottom = grid->y() + grid->contentsRect().top() + grid->rowViewportPosition(listRow) +
                              grid->rowHeight(listRow);
        room = std::min(room, rowBottom - m_twips.y(ListTop(listRow)));
    }
    list->fitFontToHeight(room);
    list->resize(m_twips.x(ListWidth), list->sizeHint().height());
    list->move(left, m_twips.y(ListTop(row)));
    if (!target)
        list->setText(QString());
}

} // namespace vrx
