// An empty 本机IP binds every local IPv4 address: a technician who does not know the computer's address
// can still read a reader. Runs in a network namespace of its own (see PrivateNetwork.h), or, where none
// can be made, alone (the test is registered to run serially).
#include "MessageRecorder.h"
#include "PrivateNetwork.h"
#include "SimulatedReader.h"
#include "app/Form1.h"
#include "link/ExchangeState.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

using namespace vrx;

namespace {
const QString Reader = QStringLiteral("127.0.70.101");
const QString Success = QStringLiteral("获取设备参数成功！");
QString g_network; // where the test runs, for the log
} // namespace

class TestEmptyComputerAddress : public QObject {
    Q_OBJECT

    MessageRecorder *messages = nullptr;
    Form1 *form = nullptr;
    SimulatedReader *reader = nullptr;

    // Reads the reader with the computer address as given; true on the read's success message.
    bool read(const QString &computerText) {
        form->TextPCIP->setText(computerText);
        form->TextFindIP[0]->setText(Reader);
        messages->shown.clear();
        QTest::mouseClick(form->Command1, Qt::LeftButton);
        return messages->shown == QStringList{Success};
    }

private slots:
    void initTestCase() { qInfo("network: %s", qPrintable(g_network)); }
    void init() {
        reader = new SimulatedReader(Reader);
        QString error;
        QVERIFY2(reader->start(&error), qPrintable(error));
        messages = new MessageRecorder;
        form = new Form1(*messages);
    }
    void cleanup() {
        delete form;
        delete messages;
        delete reader;
    }

    // Blanks alone count as empty: there is no address in them to bind.
    void readsThroughEveryAddress_data() {
        QTest::addColumn<QString>("computer");
        QTest::newRow("empty") << QString();
        QTest::newRow("blanks") << QStringLiteral("   ");
    }
    void readsThroughEveryAddress() {
        QFETCH(QString, computer);
        QSignalSpy arrivals(form->SSock.get(), &SSock::DataArrival);
        QVERIFY2(read(computer), qPrintable(messages->shown.join(u'|')));
        QCOMPARE(form->SSock->BoundAddress(), QStringLiteral("0.0.0.0"));
        QCOMPARE(form->Text1[6]->text(), Reader);
        // The reply was recognised by the reader's plain dotted address.
        QCOMPARE(arrivals.size(), 1);
        QCOMPARE(arrivals.at(0).at(1).toString(), Reader);
        const QList<WireRecord> received = reader->received();
        QCOMPARE(received.size(), 1);
        QCOMPARE(received.at(0).peerPort, 1000);
    }

    // Bound to every address, the socket also hears this computer's own address; what comes from it is
    // still ignored, while the same datagram from elsewhere counts.
    void ownAddressIsStillIgnored() {
        QVERIFY(read(QString()));
        const QString own = form->Exchange.LocalIp;
        QVERIFY(!own.isEmpty());
        QList<std::pair<QString, qint16>> seen; // sender and the status right after it was classified
        connect(form->SSock.get(), &SSock::DataArrival, this, [&](const QByteArray &, const QString &sender) {
            seen.append({sender, form->Exchange.ExchangeStatus});
        });
        form->Exchange.ExchangeStatus = Status::None;

        const QByteArray keyEcho(200, '\x5A'); // counted from any sender but this computer
        QUdpSocket fromOwn;
        QVERIFY(fromOwn.bind(QHostAddress(own), 0));
        fromOwn.writeDatagram(keyEcho, QHostAddress(own), 1000);
        QUdpSocket fromElsewhere;
        QVERIFY(fromElsewhere.bind(QHostAddress(QStringLiteral("127.0.70.7")), 0));
        fromElsewhere.writeDatagram(keyEcho, QHostAddress(own), 1000);

        QTRY_COMPARE_WITH_TIMEOUT(seen.size(), 2, 2000);
        QCOMPARE(seen.at(0), (std::pair<QString, qint16>{own, Status::None}));
        QCOMPARE(seen.at(1).first, QStringLiteral("127.0.70.7"));
        QVERIFY(seen.at(1).second != Status::None);
    }

    // Every address includes one where another program holds the port: the bind fails as any would.
    void portTakenOnOneAddress() {
        QUdpSocket holder;
        QVERIFY(
            holder.bind(QHostAddress(QStringLiteral("127.0.70.5")), 1000, QAbstractSocket::DontShareAddress));
        QVERIFY(!read(QString()));
        QCOMPARE(messages->shown.size(), 1);
        QVERIFY2(messages->shown[0].contains(QStringLiteral("地址正在使用")), qPrintable(messages->shown[0]));
        QCOMPARE(form->SSock->State(), 0);
    }
};

int main(int argc, char *argv[]) {
    QString why;
    g_network = EnterPrivateNetwork(&why) ? QStringLiteral("a namespace of its own")
                                          : QStringLiteral("this machine's (%1)").arg(why);
    QApplication app(argc, argv);
    TestEmptyComputerAddress test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_emptycomputeraddress.moc"
