// The "查找读卡器" dialog on the emulated LAN, offscreen, with this thread in the computer's namespace:
// 广播查找 lists the readers of both cards (not those behind the router), each with its card; 使用 on one
// of them fills 读卡器IP and 本机IP and reads it; the broadcast works beside the window's socket on
// every address (an empty 本机IP); 扫描 of a card's subnet and of the subnet behind the
// router lists exactly their readers; a LAN without readers is answered with what was tried.
#include "EmulatedLan.h"
#include "MessageRecorder.h"
#include "StandardLan.h"

#include "app/FindReaders.h"
#include "app/Form1.h"
#include "fields/AutoMac.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <memory>

using namespace vrx;
using namespace vrx::lan;

namespace {

const QString ReadSuccess = QStringLiteral("获取设备参数成功！");

// The MAC a simulated reader on a card reports: the one the window derives from its address.
QString MacOf(const QString &address) {
    return DeriveMacFromIp(address).mac.value_or(QString());
}

// The window and its dialog, made in the namespace the thread is in.
struct Window {
    MessageRecorder messages;
    std::unique_ptr<Form1> form = std::make_unique<Form1>(messages);

    FindReaders &dialog() {
        if (!form->FindReadersDialog || !form->FindReadersDialog->isVisible())
            form->ShowFindReaders();
        return *form->FindReadersDialog;
    }
    bool run(QPushButton *button) {
        QTest::mouseClick(button, Qt::LeftButton);
        return QTest::qWaitFor([this] { return !form->FindReadersDialog->Searching(); }, 20000);
    }
    bool scan(const QString &range) {
        dialog().TextRange->setText(range);
        return run(dialog().CommandScan);
    }
    // "address | MAC | card" of every row, in the table's order.
    QStringList rows() {
        QStringList listed;
        QTableWidget *table = dialog().TableReaders;
        for (int row = 0; row < table->rowCount(); ++row)
            listed << QStringList{table->item(row, 0)->text(), table->item(row, 1)->text(),
                                  table->item(row, vrx::CardColumn)->text()}
                          .join(QStringLiteral(" | "));
        return listed;
    }
};

} // namespace

class TestLanFind : public QObject {
    Q_OBJECT

    EmulatedLan lan;
    netns::Entry inside;
    std::unique_ptr<Window> window;

    QStringList expectedRows(const QString &lanName, const QString &card) const {
        QStringList rows;
        for (const QString &reader : lan.readersOn(lanName))
            rows << QStringList{reader, MacOf(reader), card}.join(QStringLiteral(" | "));
        return rows;
    }
    QString cardOf(const QString &lanName) const {
        return lan.computerCard(lanName) + u' ' + lan.computerAddress(lanName);
    }

private slots:
    void initTestCase() {
        if (const QString why = EmulatedLan::Unavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        standard::Describe(lan);
        QVERIFY2(lan.start(), qPrintable(lan.errorString()));
        inside = lan.enter();
        QVERIFY2(inside.isInside(), qPrintable(inside.errorString()));
        window = std::make_unique<Window>();
    }
    void cleanupTestCase() {
        window.reset();
        inside.leave();
        lan.stop();
    }

    void broadcastListsTheReadersOfEveryCard() {
        QVERIFY(window->run(window->dialog().CommandDiscover));
        QCOMPARE(window->rows(), expectedRows(standard::A, cardOf(standard::A)) +
                                     expectedRows(standard::B, cardOf(standard::B)));
        QCOMPARE(window->messages.shown, QStringList());
    }

    // With an empty 本机IP the window's socket holds port 1000 on every address; the broadcast still goes
    // out from each card's own address and tells the cards apart by the address each answer came to.
    void broadcastBesideTheWindowOnEveryAddress() {
        window->form->TextPCIP->setText(QString());
        window->form->TextFindIP[0]->setText(lan.readersOn(standard::A).first());
        QTest::mouseClick(window->form->Command1, Qt::LeftButton);
        QCOMPARE(window->messages.shown, QStringList{ReadSuccess});
        QCOMPARE(window->form->SSock->BoundAddress(), QStringLiteral("0.0.0.0"));
        window->messages.shown.clear();

        QVERIFY(window->run(window->dialog().CommandDiscover));
        QCOMPARE(window->rows(), expectedRows(standard::A, cardOf(standard::A)) +
                                     expectedRows(standard::B, cardOf(standard::B)));
        QCOMPARE(window->messages.shown, QStringList());
        QCOMPARE(window->form->SSock->State(), 1);
    }

    void useOfADiscoveredReaderReadsItThroughItsCard() {
        const QString reader = lan.readersOn(standard::B).at(1);
        window->form->TextPCIP->setText(QStringLiteral("192.168.0.110"));
        FindReaders &find = window->dialog();
        QTableWidget *table = find.TableReaders;
        const QList<QTableWidgetItem *> found = table->findItems(reader, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        table->selectRow(found.first()->row());
        QTest::mouseClick(find.CommandUse, Qt::LeftButton);

        QCOMPARE(window->form->TextFindIP[0]->text(), reader);
        QCOMPARE(window->form->TextPCIP->text(), lan.computerAddress(standard::B));
        QCOMPARE(window->messages.shown, QStringList{ReadSuccess});
        QCOMPARE(window->form->Text1[6]->text(), reader);
        QCOMPARE(window->form->TextMac[1]->text(), MacOf(reader));
        window->messages.shown.clear();
    }

    void scanOfACardsSubnetAndOfTheSubnetBehindTheRouter() {
        // 本机IP holds the card's address on B: the scan of B goes out from it, and so, by the route
        // through the router, does the scan of C.
        window->form->TextPCIP->setText(lan.computerAddress(standard::B));
        QVERIFY(window->scan(lan.subnetOf(standard::B)));
        QCOMPARE(window->rows(), expectedRows(standard::B, cardOf(standard::B)));
        QVERIFY(window->scan(lan.subnetOf(standard::C)));
        QCOMPARE(window->rows(), expectedRows(standard::C, cardOf(standard::B)));
        QCOMPARE(window->messages.shown, QStringList());
    }

    void aLanWithoutReadersSaysWhatWasTried() {
        EmulatedLan quiet;
        quiet.addLan(QStringLiteral("Q"), QStringLiteral("198.18.64.0/24"));
        quiet.addComputerCard(QStringLiteral("Q"), QStringLiteral("198.18.64.2"));
        QVERIFY2(quiet.start(), qPrintable(quiet.errorString()));
        inside.leave();
        {
            netns::Entry there = quiet.enter();
            QVERIFY2(there.isInside(), qPrintable(there.errorString()));
            Window alone;
            QVERIFY(alone.run(alone.dialog().CommandDiscover));
            QCOMPARE(alone.rows(), QStringList());
            QCOMPARE(alone.messages.shown.size(), 1);
            const QString said = alone.messages.shown.first();
            QVERIFY2(
                said.startsWith(QStringLiteral("没有找到读卡器。已从以下网卡广播查询（读卡器端口1001）：\n"
                                               "eth0 198.18.64.2/24：198.18.64.255、255.255.255.255\n")),
                qPrintable(said));
            QVERIFY2(said.contains(QStringLiteral("防火墙")), qPrintable(said));
        }
        inside = lan.enter();
        QVERIFY(inside.isInside());
        quiet.stop();
    }
};

QTEST_MAIN(TestLanFind)
#include "tst_lan_find.moc"
