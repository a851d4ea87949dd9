// The menu bar above the window's controls: its exact texts, the client area that keeps the layout
// under it, and the items that the window answers itself (about, quit).
#include "MenuDriver.h"
#include "WindowFixture.h"
#include "app/Form1.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

using namespace vrx;

class TestForm1Menu : public QObject, public WindowFixture {
    Q_OBJECT

private slots:
    void init() { QVERIFY(openWindow()); }
    void cleanup() { closeWindow(); }

    void menuTexts() {
        const QList<std::pair<QString, QStringList>> expected = {
            {"文件", {"导入密码…", "导出密码…", "退出"}},
            {"工具", {"查找读卡器…", "通信记录"}},
            {"语言", {"中文", "English"}},
            {"帮助", {"使用说明", "关于"}},
        };
        QCOMPARE(MenuTexts(form->MenuBar), expected);
    }

    void clientAreaUnderTheMenuBar() {
        const TwipScale t(form->logicalDpiX(), form->logicalDpiY());
        QVERIFY(form->MenuBar->isVisible());
        QCOMPARE(form->MenuBar->geometry().top(), 0);
        QVERIFY(form->MenuBar->height() > 0);
        QCOMPARE(form->ClientArea->geometry(), QRect(0, form->MenuBar->height(), t.x(9360), t.y(10380)));
        // The window is exactly menu bar plus client area, and keeps that size.
        QCOMPARE(form->size(), QSize(t.x(9360), t.y(10380) + form->MenuBar->height()));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        // Every control that sat on the window sits on the client area, at the same place.
        const QList<QWidget *> placed = {form->Frame4[0],     form->Frame4[1], form->Label1,   form->Label5,
                                         form->TextFindIP[0], form->TextPCIP,  form->Command1, form->Command3,
                                         form->Frame2,        form->Label3,    form->Command5};
        for (QWidget *widget : placed)
            QCOMPARE(widget->parentWidget(), form->ClientArea);
        QCOMPARE(form->Frame4[1]->pos(), QPoint(t.x(120), t.y(120)));
        QCOMPARE(form->Command5->geometry().bottom(), t.y(9570) + t.y(600) - 1);
    }

    void aboutNamesProgramVersionAndLicence() {
        QString failure;
        QVERIFY2(ChooseMenuItem(form, "帮助", "关于", &failure), qPrintable(failure));
        QCOMPARE(messages->shown.size(), 1);
        const QString about = messages->shown.front();
        QVERIFY2(about.contains(QStringLiteral("版本 ") + QStringLiteral(VRX_VERSION)), qPrintable(about));
        QVERIFY(about.contains("vrx-config"));
        QVERIFY(about.contains("许可：专有软件"));
    }

    void trafficLogItemOpensTheLog() {
        QString failure;
        QVERIFY2(ChooseMenuItem(form, "工具", "通信记录", &failure), qPrintable(failure));
        const auto isLogShown = [] {
            for (QWidget *window : QApplication::topLevelWidgets())
                if (window->windowTitle() == QStringLiteral("通信记录") && window->isVisible())
                    return true;
            return false;
        };
        QTRY_VERIFY(isLogShown());
        QVERIFY(messages->shown.isEmpty());
    }

    void quitClosesTheWindow() {
        form->setAttribute(Qt::WA_DeleteOnClose);
        QString failure;
        QVERIFY2(ChooseMenuItem(form, "文件", "退出", &failure), qPrintable(failure));
        QTRY_VERIFY(form.isNull());
        QVERIFY(messages->shown.isEmpty());
    }
};

QTEST_MAIN(TestForm1Menu)
#include "tst_form1menu.moc"
