// The window as the operator first sees it: every default, index, list, grid cell and place.
#include "MessageRecorder.h"
#include "app/Form1.h"
#include "link/LocalAddress.h"

#include <QAbstractSocket>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace vrx;

class TestForm1Startup : public QObject {
    Q_OBJECT

    MessageRecorder *messages = nullptr;
    Form1 *form = nullptr;

    TwipScale twips() const { return TwipScale(form->logicalDpiX(), form->logicalDpiY()); }

    template <typename T>
    T *child(const QString &name) const {
        return form->findChild<T *>(name);
    }

private slots:
    void init() {
        messages = new MessageRecorder;
        form = new Form1(*messages);
    }
    void cleanup() {
        delete form;
        delete messages;
    }

    void windowIsShownEnabledAndQuiet() {
        QVERIFY(form->isVisible());
        QVERIFY(form->isEnabled());
        QCOMPARE(form->windowTitle(), QStringLiteral("VRX-K系列在线配置"));
        QVERIFY(messages->shown.isEmpty());
        QCOMPARE(form->Exchange.ExchangeStatus, qint16(0));
        QCOMPARE(form->Exchange.LocalIp, LocalIP());
        QVERIFY(form->findChildren<QAbstractSocket *>().isEmpty()); // nothing bound at start-up
    }

    void targetFields_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("limit");
        QTest::newRow("reader address") << 0 << "192.168.0.101" << 1 << 15;
        QTest::newRow("subnet mask") << 1 << "255.255.255.0" << 2 << 15;
        QTest::newRow("gateway") << 2 << "192.168.0.1" << 3 << 15;
        QTest::newRow("server address in row 5") << 3 << "192.168.0.110" << 5 << 15;
        QTest::newRow("reader port in row 4") << 4 << "1234" << 4 << 5;
        QTest::newRow("server port") << 5 << "1234" << 6 << 5;
        QTest::newRow("former reader address") << 6 << "" << 1 << 15;
        QTest::newRow("former subnet mask") << 7 << "" << 2 << 15;
        QTest::newRow("former gateway") << 8 << "" << 3 << 15;
        QTest::newRow("former server address in row 5") << 9 << "" << 5 << 15;
        QTest::newRow("former reader port in row 4") << 10 << "" << 4 << 5;
        QTest::newRow("former server port") << 11 << "" << 6 << 5;
    }

    void targetFields() {
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(int, row);
        QFETCH(int, limit);
        FieldEdit *field = child<FieldEdit>(QStringLiteral("Text1_%1").arg(index));
        QVERIFY(field);
        QCOMPARE(form->Text1[index], field);
        QCOMPARE(field->text(), text);
        QVERIFY(field->isEnabled());
        QCOMPARE(field->inputLimit(), limit);
        const int side = index < 6 ? 0 : 1;
        QCOMPARE(field->parentWidget(), form->Frame1[side]);
        const TwipScale t = twips();
        QCOMPARE(field->geometry(), QRect(t.x(1600), t.y(200 + 350 * row), t.x(2400), t.y(150)));
    }

    void groups() {
        QCOMPARE(form->Frame4[0]->title(), QStringLiteral("目标IP信息"));
        QCOMPARE(form->Frame4[1]->title(), QStringLiteral("原IP信息"));
        QCOMPARE(form->Frame4[0]->objectName(), QStringLiteral("Frame4_0"));
        QVERIFY(form->Frame4[1]->x() < form->Frame4[0]->x()); // former on the left
        QCOMPARE(form->Frame4[0]->size(), form->Frame4[1]->size());
        for (int side : {0, 1}) {
            QCOMPARE(form->Frame1[side]->parentWidget(), form->Frame4[side]);
            QVERIFY(form->Frame1[side]->title().isEmpty());
            QCOMPARE(form->MSFlexGrid1[side]->parentWidget(), form->Frame1[side]);
        }
        QCOMPARE(form->Frame2->title(), QStringLiteral("准备下载的密码"));
    }

    void macFields() {
        QCOMPARE(form->TextMac[0]->text(), QStringLiteral("00-14-C0-A8-00-65"));
        QVERIFY(!form->TextMac[0]->isEnabled());
        QCOMPARE(form->TextMac[1]->text(), QStringLiteral("00-00-00-00-00-00"));
        QVERIFY(!form->TextMac[1]->isEnabled());
        QVERIFY(form->TextMac[1]->isReadOnly());
        QCOMPARE(form->TextMac[0]->inputLimit(), 17);
        QVERIFY(form->Check1->isChecked());
        QCOMPARE(form->Check1->text(), QStringLiteral("自动"));
        QCOMPARE(child<FieldEdit>("TextMac_1"), form->TextMac[1]);
        const TwipScale t = twips();
        for (int side : {0, 1})
            QCOMPARE(form->TextMac[side]->geometry(), QRect(t.x(1600), t.y(2650), t.x(1695), t.y(300)));
        QCOMPARE(form->Check1->geometry(), QRect(t.x(3300), t.y(2650), t.x(735), t.y(255)));
        QCOMPARE(form->Check1->parentWidget(), form->Frame1[0]);
    }

    void lists_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<int>("row");
        const QStringList protocols = {"UDP", "TCP服务器", "TCP客户端"};
        const QStringList heartbeat = {"不发送", "发送"};
        const QStringList beeper = {"不发声", "发声"};
        const QStringList keys = {"命令中的密码", "读卡器内部密码"};
        QTest::newRow("target protocol") << "CombUDP_0" << protocols << 0 << "UDP" << true << 8;
        QTest::newRow("target heartbeat") << "CombSend_0" << heartbeat << 1 << "发送" << true << 9;
        QTest::newRow("target beeper") << "CombBeep_0" << beeper << 1 << "发声" << false << 10;
        QTest::newRow("target keys") << "CombPass_0" << keys << 0 << "命令中的密码" << false << 11;
        QTest::newRow("former protocol") << "CombUDP_1" << protocols << -1 << "" << true << 8;
        QTest::newRow("former heartbeat") << "CombSend_1" << heartbeat << -1 << "" << true << 9;
        QTest::newRow("former beeper") << "CombBeep_1" << beeper << -1 << "" << true << 10;
        QTest::newRow("former keys") << "CombPass_1" << keys << -1 << "" << true << 11;
    }

    void lists() {
        QFETCH(QString, name);
        QFETCH(QStringList, items);
        QFETCH(int, selected);
        QFETCH(QString, text);
        QFETCH(bool, editable);
        QFETCH(int, row);
        ListBox *list = child<ListBox>(name);
        QVERIFY(list);
        QStringList actual;
        for (int i = 0; i < list->count(); ++i)
            actual << list->itemText(i);
        QCOMPARE(actual, items);
        QCOMPARE(list->currentIndex(), selected);
        QCOMPARE(list->currentText(), text);
        QCOMPARE(list->isEditable(), editable);
        QVERIFY(list->isEnabled());
        const TwipScale t = twips();
        QCOMPARE(list->pos(), QPoint(t.x(1600), t.y(140 + 350 * row)));
        QCOMPARE(list->width(), t.x(2300));
    }

    void listArraysByIndex() {
        QCOMPARE(form->CombUDP[1], child<ListBox>("CombUDP_1"));
        QCOMPARE(form->CombSend[0], child<ListBox>("CombSend_0"));
        QCOMPARE(form->CombBeep[1], child<ListBox>("CombBeep_1"));
        QCOMPARE(form->CombPass[0], child<ListBox>("CombPass_0"));
    }

    void parameterGrids() {
        const QStringList labels = {"读卡器IP",     "读卡器子网掩码", "读卡器默认网关",
                                    "读卡器端口",   "服务器计算机IP", "服务器计算机端口",
                                    "MAC",          "读卡器协议",     "是否需发送心跳",
                                    "读卡时蜂鸣器", "密码选择"};
        const TwipScale t = twips();
        for (int side : {0, 1}) {
            FlexGrid *grid = child<FlexGrid>(QStringLiteral("MSFlexGrid1_%1").arg(side));
            QCOMPARE(grid, form->MSFlexGrid1[side]);
            QCOMPARE(grid->rowCount(), 12);
            QCOMPARE(grid->columnCount(), 2);
            QCOMPARE(grid->textMatrix(0, 0), QStringLiteral("名称"));
            QCOMPARE(grid->textMatrix(0, 1), QStringLiteral("值"));
            for (int row = 1; row <= 11; ++row) {
                QCOMPARE(grid->textMatrix(row, 0), labels[row - 1]);
                QVERIFY(grid->textMatrix(row, 1).isEmpty());
            }
            QCOMPARE(grid->geometry(), QRect(0, t.y(120), t.x(4200), t.y(4250)));
            QCOMPARE(grid->columnWidth(0), t.x(1500));
            QCOMPARE(grid->columnWidth(1), t.x(2600));
            for (int row = 0; row < 12; ++row)
                QCOMPARE(grid->rowHeight(row), t.y(350));
        }
    }

    void keyGrid() {
        FlexGrid *grid = child<FlexGrid>("MSFlexGrid2");
        QCOMPARE(grid, form->MSFlexGrid2);
        QCOMPARE(grid->rowCount(), 9);
        QCOMPARE(grid->columnCount(), 6);
        const QStringList headings = {"区号", "A密码", "B密码", "区号", "A密码", "B密码"};
        for (int column = 0; column < 6; ++column)
            QCOMPARE(grid->textMatrix(0, column), headings[column]);
        for (int row = 1; row <= 8; ++row) {
            QCOMPARE(grid->textMatrix(row, 0), QString::number(row - 1));
            QCOMPARE(grid->textMatrix(row, 3), QString::number(row + 7));
            QCOMPARE(grid->cellBackColor(row, 3), grid->backColorFixed());
            QCOMPARE(grid->cellBackColor(row, 0), grid->backColorFixed());
            QCOMPARE(grid->cellBackColor(row, 1), QColor(Qt::white));
            QCOMPARE(grid->cellBackColor(row, 5), QColor(Qt::white));
        }
        QVERIFY(grid->backColorFixed() != QColor(Qt::white));
        const TwipScale t = twips();
        QCOMPARE(grid->geometry(), QRect(t.x(120), t.y(240), t.x(7620), t.y(3100)));
        const int widths[] = {600, 1600, 1600, 600, 1600, 1600};
        for (int column = 0; column < 6; ++column)
            QCOMPARE(grid->columnWidth(column), t.x(widths[column]));
        for (int row = 1; row <= 8; ++row)
            QCOMPARE(grid->rowHeight(row), t.y(350));
    }

    void keyFields() {
        const TwipScale t = twips();
        const int lefts[] = {800, 2400, 4600, 6200};
        for (int j = 0; j < 8; ++j) {
            for (int quarter = 0; quarter < 4; ++quarter) {
                const int index = j + 8 * quarter;
                FieldEdit *field = child<FieldEdit>(QStringLiteral("TextPass_%1").arg(index));
                QVERIFY(field);
                QCOMPARE(form->TextPass[index], field);
                QCOMPARE(field->text(), QStringLiteral("3C5A7E9B1D2F"));
                QCOMPARE(field->inputLimit(), 12);
                QVERIFY(field->isEnabled());
                QCOMPARE(field->parentWidget(), form->Frame2);
                const int width = quarter < 2 ? 1335 : 1215;
                QCOMPARE(field->geometry(),
                         QRect(t.x(lefts[quarter]), t.y(350 * (j + 1) + 180), t.x(width), t.y(285)));
            }
        }
    }

    void addressesLabelsAndButtons() {
        QCOMPARE(child<FieldEdit>("TextFindIP_0"), form->TextFindIP[0]);
        QCOMPARE(form->TextFindIP[0]->text(), QStringLiteral("192.168.0.101"));
        QCOMPARE(form->TextFindIP[0]->inputLimit(), 0);
        QCOMPARE(child<FieldEdit>("TextPCIP"), form->TextPCIP);
        QCOMPARE(form->TextPCIP->text(), QStringLiteral("192.168.0.110"));
        QCOMPARE(form->TextPCIP->inputLimit(), 0);
        QCOMPARE(child<QLabel>("Label1")->text(), QStringLiteral("读卡器IP:"));
        QCOMPARE(child<QLabel>("Label5")->text(), QStringLiteral("本机IP:"));
        QCOMPARE(child<QLabel>("Label3")->text(),
                 QStringLiteral("下载密码说明：配置的内容中，要选择有使用读卡器内部 或者 读写命令中的密码，"
                                "如果使用读卡器内部密码验证，才需要下载密码到读卡中；"
                                "如果使用读写命令中密码，就不用下载密码到读卡器中了。"));
        QCOMPARE(form->Label3->palette().color(QPalette::Window), QColor(224, 224, 224));
        const QList<std::pair<QString, QString>> buttons = {
            {"Command1", "读取读卡器参数"}, {"Command3", "配置读卡器参数"}, {"Command5", "下载读卡器密码"}};
        for (const auto &[name, caption] : buttons) {
            QPushButton *button = child<QPushButton>(name);
            QVERIFY2(button, qPrintable(name));
            QCOMPARE(button->text(), caption);
            QVERIFY(button->isEnabled());
        }
        // Layout order: addresses under the groups, the key group below, note and download at the bottom.
        QVERIFY(form->Label1->y() > form->Frame4[1]->geometry().bottom());
        QVERIFY(form->Label5->y() > form->Label1->y());
        QVERIFY(form->Command1->x() > form->TextFindIP[0]->geometry().right());
        QCOMPARE(form->Command3->geometry().right(), form->Frame4[0]->geometry().right());
        QVERIFY(form->Frame2->y() > form->TextPCIP->geometry().bottom());
        QVERIFY(form->Label3->y() > form->Frame2->geometry().bottom());
        QVERIFY(form->Command5->x() > form->Label3->geometry().right());
    }

    void windowCentredOnItsScreen() {
        const QRect screen = form->screen()->geometry();
        QCOMPARE(form->pos(),
                 screen.topLeft() + Form1::CentredPosition(screen.size(), form->frameGeometry().size()));
    }

    void centredPosition_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("fits") << QSize(1280, 1024) << QSize(624, 692) << QPoint(328, 166);
        QTest::newRow("odd difference rounds") << QSize(1281, 1025) << QSize(624, 692) << QPoint(329, 167);
        QTest::newRow("larger than the screen, not clamped")
            << QSize(800, 600) << QSize(624, 692) << QPoint(88, -46);
        QTest::newRow("much larger") << QSize(320, 240) << QSize(1000, 1000) << QPoint(-340, -380);
    }

    void centredPosition() {
        QFETCH(QSize, screen);
        QFETCH(QSize, window);
        QFETCH(QPoint, expected);
        QCOMPARE(Form1::CentredPosition(screen, window), expected);
    }
};

QTEST_MAIN(TestForm1Startup)
#include "tst_form1startup.moc"
