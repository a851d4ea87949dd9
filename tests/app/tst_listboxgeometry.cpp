// The four list boxes of each group lie inside the grid rows they sit in, their text unclipped, at the
// dpi this run has. CTest runs it at 96 dpi, at 144 dpi laid out in 144-dpi pixels (Qt's scaling off),
// and at 144 dpi through Qt's scaling; VRX_EXPECTED_DPI names the dpi each run must really have.
#include "MessageRecorder.h"
#include "app/Form1.h"

#include <QAbstractItemView>
#include <QGroupBox>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>

using namespace vrx;

class TestListBoxGeometry : public QObject {
    Q_OBJECT

    MessageRecorder messages;
    Form1 *form = nullptr;

    ListBox *list(int side, int row) const {
        const std::array<ListBox *, 4> lists = {form->CombUDP[side], form->CombSend[side],
                                                form->CombBeep[side], form->CombPass[side]};
        return lists[row - 8];
    }

    // Row `row` of the group's value column, in the coordinates of the group the boxes lie in.
    QRect valueCell(int side, int row) const {
        const FlexGrid *grid = form->MSFlexGrid1[side];
        const QPoint topLeft = grid->viewport()->mapTo(
            form->Frame1[side], QPoint(grid->columnViewportPosition(1), grid->rowViewportPosition(row)));
        return QRect(topLeft, QSize(grid->columnWidth(1), grid->rowHeight(row)));
    }

private slots:
    void initTestCase() {
        form = new Form1(messages);
        QVERIFY(QTest::qWaitForWindowExposed(form));
        const int expected = qEnvironmentVariableIntValue("VRX_EXPECTED_DPI");
        const int actual = qRound(form->logicalDpiY() * form->devicePixelRatioF());
        qInfo("dpi %d: logical %d, device pixel ratio %.2f", actual, form->logicalDpiY(),
              form->devicePixelRatioF());
        QCOMPARE(actual, expected ? expected : 96);
    }
    void cleanupTestCase() { delete form; }

    void insideItsRow_data() {
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("row");
        for (int side : {0, 1})
            for (int row = 8; row <= 11; ++row)
                QTest::addRow("%s row %d", side == 0 ? "target" : "former", row) << side << row;
    }
    void insideItsRow() {
        QFETCH(int, side);
        QFETCH(int, row);
        const ListBox *box = list(side, row);
        const QRect cell = valueCell(side, row);
        QVERIFY2(cell.contains(box->geometry()),
                 qPrintable(QStringLiteral("box %1,%2 %3x%4 outside row %5,%6 %7x%8")
                                .arg(box->x())
                                .arg(box->y())
                                .arg(box->width())
                                .arg(box->height())
                                .arg(cell.x())
                                .arg(cell.y())
                                .arg(cell.width())
                                .arg(cell.height())));

        // The text part is as tall as the text at least.
        QStyleOptionComboBox option;
        option.initFrom(box);
        option.editable = box->isEditable();
        option.rect = box->rect();
        const QRect text =
            box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
        QVERIFY2(
            box->fontMetrics().height() <= text.height(),
            qPrintable(
                QStringLiteral("text %1 high, room %2").arg(box->fontMetrics().height()).arg(text.height())));
        if (box->isEditable())
            QVERIFY(box->lineEdit()->height() >= box->lineEdit()->fontMetrics().height());
    }

    // One font for all eight boxes; their popup lists show the choices in the window's own font.
    void oneFontAndAFullSizedPopup() {
        const QFont boxes = list(0, 8)->font();
        for (int side : {0, 1})
            for (int row = 8; row <= 11; ++row)
                QCOMPARE(list(side, row)->font(), boxes);
        ListBox *protocol = list(0, 8);
        protocol->showPopup();
        QCOMPARE(protocol->view()->font().pointSizeF(), form->font().pointSizeF());
        protocol->hidePopup();
    }
};

QTEST_MAIN(TestListBoxGeometry)
#include "tst_listboxgeometry.moc"
