// The window on the emulated LAN, offscreen, with this thread in the computer's namespace: with a card's
// address in 本机IP it reads, configures (the reader moves, and is read at its new address) and
// downloads keys exactly as on loopback; an address that is not this computer's is refused with a
// description that lists the computer's addresses.
#include "EmulatedLan.h"
#include "MessageRecorder.h"
#include "StandardLan.h"

#include "app/Form1.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>

using namespace vrx;
using namespace vrx::lan;

namespace {

// On the standard LAN (StandardLan.h): the computer's eth0 on A, eth1 on B.
const QString CardA = QStringLiteral("198.18.16.2");
const QString CardB = QStringLiteral("198.18.32.2");
const QString Reader = QStringLiteral("198.18.26.64");
const QString Moved = QStringLiteral("198.18.26.164");
const QString OnB = QStringLiteral("198.18.32.57");

const QString ReadSuccess = QStringLiteral("获取设备参数成功！");
const QString KeysSuccess = QStringLiteral("下载密码成功！");
const QString CrLf = QStringLiteral("\r\n");

} // namespace

class TestLanWindow : public QObject {
    Q_OBJECT

    EmulatedLan lan;
    netns::Entry inside;
    MessageRecorder messages;
    Form1 *form = nullptr;

    QStringList click(QPushButton *button) {
        messages.shown.clear();
        QTest::mouseClick(button, Qt::LeftButton);
        return messages.shown;
    }
    QStringList formerTexts() const {
        QStringList texts;
        for (int index = 6; index < 12; ++index)
            texts << form->Text1[index]->text();
        texts << form->TextMac[1]->text();
        return texts;
    }

private slots:
    void initTestCase() {
        if (const QString why = EmulatedLan::Unavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        // A device that restarts its stack for a moment after a configure that moves it.
        standard::Describe(lan, {{Reader, {QStringLiteral("--restart-delay"), QStringLiteral("300")}}});
        QVERIFY2(lan.start(), qPrintable(lan.errorString()));
        // Everything the window makes from here on, its socket included, lives in the computer.
        inside = lan.enter();
        QVERIFY2(inside.isInside(), qPrintable(inside.errorString()));
        form = new Form1(messages);
    }
    void cleanupTestCase() {
        delete form;
        inside.leave();
        lan.stop();
    }

    void readsAReaderOnTheFirstCard() {
        form->TextPCIP->setText(CardA);
        form->TextFindIP[0]->setText(Reader);
        QCOMPARE(click(form->Command1), QStringList{ReadSuccess});
        QCOMPARE(formerTexts(), (QStringList{Reader, "255.255.240.0", "198.18.16.1", "192.168.0.110", "1234",
                                             "1234", "00-14-C6-12-1A-40"}));
        QCOMPARE(form->SSock->BoundAddress(), CardA);
    }

    void readsAReaderOnTheSecondCard() {
        form->TextPCIP->setText(CardB);
        form->TextFindIP[0]->setText(OnB);
        QCOMPARE(click(form->Command1), QStringList{ReadSuccess});
        QCOMPARE(form->Text1[6]->text(), OnB);
        QCOMPARE(form->TextMac[1]->text(), QStringLiteral("00-14-C6-12-20-39"));
    }

    // The reader echoes from its old address, restarts and takes the new one: read there, it shows
    // what was written.
    void configuresAReaderThatMoves() {
        form->TextPCIP->setText(CardA);
        form->TextFindIP[0]->setText(Reader);
        form->Check1->setChecked(true); // the MAC follows the reader IP
        const QStringList targets{Moved, "255.255.240.0", "198.18.16.1", CardA, "1234", "4321"};
        for (int index = 0; index < 6; ++index)
            form->Text1[index]->setText(targets[index]);
        QCOMPARE(form->TextMac[0]->text(), QStringLiteral("00-14-C6-12-1A-A4"));

        const QStringList summary{
            "读卡器IP      ：198.18.26.164",
            "读卡器子网掩码：255.255.240.0",
            "读卡器默认网关：198.18.16.1",
            "读卡器端口    ：1234",
            "服务器计算机IP：198.18.16.2",
            "服务器端口    ：4321",
            "MAC           ：00-14-C6-12-1A-A4",
            "读卡器协议    ：UDP",
            "是否需发送心跳：发送",
            "读卡时蜂鸣器  ：发声",
            "密码选择      ：使用命令中的密码",
        };
        QCOMPARE(click(form->Command3),
                 QStringList{QStringLiteral("设置成功！") + CrLf + CrLf + summary.join(CrLf) + CrLf});
        QVERIFY(lan.waitForReaderLog(
            Reader,
            QByteArrayLiteral("moved on eth0 from 198.18.26.64/20 via 198.18.16.1 to 198.18.26.164/20"),
            5000));

        form->TextFindIP[0]->setText(Moved);
        QCOMPARE(click(form->Command1), QStringList{ReadSuccess});
        QCOMPARE(formerTexts(), (QStringList{Moved, "255.255.240.0", "198.18.16.1", CardA, "1234", "4321",
                                             "00-14-C6-12-1A-A4"}));
    }

    void downloadsKeys() {
        form->TextPCIP->setText(CardA);
        form->TextFindIP[0]->setText(Moved);
        for (int field = 0; field < 32; ++field)
            form->TextPass[field]->setText(
                QStringLiteral("A1B2C3D4E5%1").arg(field, 2, 10, QLatin1Char('0')));
        QCOMPARE(click(form->Command5), QStringList{KeysSuccess});
        QVERIFY(lan.waitForReaderLog(Reader, QByteArrayLiteral("key frame: stored 32 keys, echoing"), 1000));
        QVERIFY(lan.readerLog(Reader).contains(
            (CardA + QStringLiteral(":1000 -> 198.18.26.164:1001 200 bytes")).toLatin1()));
    }

    // 本机IP that is no address of this computer: refused before anything is sent, and the box lists
    // the addresses the operator may copy, its cards first.
    void anAddressOfAnotherComputerListsThisComputersAddresses() {
        form->TextPCIP->setText(QStringLiteral("198.18.16.99"));
        form->TextFindIP[0]->setText(Moved);
        const QByteArray query = QByteArrayLiteral("198.18.16.2:1000 -> 198.18.26.164:1001 8 bytes");
        const qsizetype queries = lan.readerLog(Reader).count(query);
        QCOMPARE(click(form->Command1),
                 QStringList{QStringLiteral(
                     "本机IP“198.18.16.99”不是本机的地址，无法绑定端口 1000。请填写本机的IP地址。"
                     "本机的地址：eth0 198.18.16.2/20，eth1 198.18.32.2/24，lo 127.0.0.1/8")});
        QCOMPARE(form->SSock->State(), 0);
        // And the window goes on: with a card's address the next read works. Its query is the only one
        // the reader got: the refused read sent nothing.
        form->TextPCIP->setText(CardA);
        QCOMPARE(click(form->Command1), QStringList{ReadSuccess});
        QVERIFY(lan.waitForReaderLog(Reader, query, 2000, int(queries + 1)));
        QCOMPARE(lan.readerLog(Reader).count(query), queries + 1);
    }
};

QTEST_MAIN(TestLanWindow)
#include "tst_lan_window.moc"
