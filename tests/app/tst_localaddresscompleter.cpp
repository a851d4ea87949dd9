// 本机IP offers this computer's IPv4 addresses, each listed with its card, and stays free text.
#include "WindowFixture.h"
#include "app/Form1.h"
#include "app/LocalAddressCompleter.h"
#include "link/LocalCards.h"

#include <QAbstractItemView>
#include <QTest>

using namespace vrx;

namespace {

LocalCard Card(const QString &name, const QString &address, bool loopback = false) {
    LocalCard card;
    card.name = name;
    card.address = QHostAddress(address).toIPv4Address();
    card.prefixLength = loopback ? 8 : 24;
    card.loopback = loopback;
    return card;
}

} // namespace

class TestLocalAddressCompleter : public QObject, public WindowFixture {
    Q_OBJECT

    QCompleter *completer() const { return form->TextPCIP->completer(); }
    QStringList listed() const {
        QStringList entries;
        const QAbstractItemModel *model = completer()->completionModel();
        for (int row = 0; row < model->rowCount(); ++row)
            entries << model->index(row, 0).data().toString();
        return entries;
    }
    // The field as the operator finds it on tabbing into it: focused, with its text selected.
    void focusField() {
        form->TextPCIP->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(form->TextPCIP->hasFocus());
    }

private slots:
    void init() { QVERIFY(openWindow()); }
    void cleanup() { closeWindow(); }

    void downListsThisComputersAddresses() {
        QList<LocalCard> cards = LocalCards();
        QVERIFY(!cards.isEmpty()); // loopback at least
        std::stable_partition(cards.begin(), cards.end(), [](const LocalCard &c) { return !c.loopback; });
        QStringList expected;
        for (const LocalCard &card : cards)
            expected << card.addressText() + "  " + card.name;

        focusField();
        QTest::keyClick(form->TextPCIP, Qt::Key_Down);
        QTRY_VERIFY(completer()->popup()->isVisible());
        QCOMPARE(listed(), expected);

        // A choice puts the address alone into the field.
        QTest::keyClick(completer()->popup(), Qt::Key_Down);
        QTest::keyClick(completer()->popup(), Qt::Key_Return);
        QTRY_VERIFY(!completer()->popup()->isVisible());
        QCOMPARE(form->TextPCIP->text(), cards.front().addressText());
        QVERIFY(messages->shown.isEmpty());
    }

    void typingNarrowsTheList() {
        focusField();
        static_cast<LocalAddressCompleter *>(completer())
            ->setCards({Card("lo", "127.0.0.1", true), Card("eth0", "198.18.0.1"),
                        Card("eth1", "198.18.16.1"), Card("eth1", "198.18.16.2")});
        form->TextPCIP->selectAll();
        QTest::keyClicks(form->TextPCIP, "198.18.1");
        QTRY_VERIFY(completer()->popup()->isVisible());
        QCOMPARE(listed(), (QStringList{"198.18.16.1  eth1", "198.18.16.2  eth1"}));
        QTest::keyClick(completer()->popup(), Qt::Key_Down);
        QTest::keyClick(completer()->popup(), Qt::Key_Down);
        QTest::keyClick(completer()->popup(), Qt::Key_Return);
        QCOMPARE(form->TextPCIP->text(), QStringLiteral("198.18.16.2"));
    }

    void loopbackListedLast() {
        focusField();
        static_cast<LocalAddressCompleter *>(completer())
            ->setCards({Card("lo", "127.0.0.1", true), Card("eth0", "198.18.0.1")});
        QTest::keyClick(form->TextPCIP, Qt::Key_Down);
        QTRY_VERIFY(completer()->popup()->isVisible());
        QCOMPARE(listed(), (QStringList{"198.18.0.1  eth0", "127.0.0.1  lo"}));
    }

    // The field keeps the focus while its list is open: it has not been left, so no edit has ended.
    void openingTheListEndsNoEdit() {
        focusField();
        int finished = 0;
        connect(form->TextPCIP, &QLineEdit::editingFinished, this, [&] { ++finished; });
        QTest::keyClick(form->TextPCIP, Qt::Key_Down);
        QTRY_VERIFY(completer()->popup()->isVisible());
        form->TextPCIP->selectAll();
        QTest::keyClicks(form->TextPCIP, "127.");
        QVERIFY(completer()->popup()->isVisible());
        QCOMPARE(finished, 0);
    }

    void staysFreeText() {
        focusField();
        form->TextPCIP->selectAll();
        QTest::keyClicks(form->TextPCIP, "no such address, 999.1");
        QCOMPARE(form->TextPCIP->text(), QStringLiteral("no such address, 999.1"));
        QTest::keyClick(form->TextPCIP, Qt::Key_Escape);
        QCOMPARE(form->TextPCIP->text(), QStringLiteral("no such address, 999.1"));
    }
};

QTEST_MAIN(TestLocalAddressCompleter)
#include "tst_localaddresscompleter.moc"
