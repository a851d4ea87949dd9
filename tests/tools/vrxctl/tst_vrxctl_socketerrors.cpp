// Every socket failure the link layer can report reaches vrxctl's terminal in English: the failures of
// the real socket control, provoked on loopback, and every mapping of a Qt socket error.
//
// Addresses: 127.0.37.x.
#include "SocketErrorText.h"
#include "Trace.h"

#include "link/LocalCards.h"
#include "link/QtSocketErrors.h"
#include "link/SSock.h"

#include <QCoreApplication>
#include <QMetaEnum>
#include <QRegularExpression>
#include <QTest>
#include <QUdpSocket>

#include <functional>

using namespace vrx;
using namespace vrxctl;

using Provoke = std::function<void(SSock &)>;
Q_DECLARE_METATYPE(Provoke)

namespace {

// Han characters, CJK punctuation and full-width forms: what must never reach vrxctl's terminal.
bool HasChinese(const QString &text) {
    static const QRegularExpression chinese(
        QStringLiteral("[\\x{2E80}-\\x{9FFF}\\x{F900}-\\x{FAFF}\\x{FF00}-\\x{FFEF}]"));
    return text.contains(chinese);
}

SocketError Thrown(const Provoke &provoke) {
    SSock sock;
    try {
        provoke(sock);
    } catch (const SocketException &failure) {
        return failure.error();
    }
    return {};
}

QString Addresses() {
    return QStringLiteral("this computer's addresses: ") + CardListText(LocalCards());
}

} // namespace

class TestVrxctlSocketErrors : public QObject {
    Q_OBJECT

private slots:
    void socketControlFailures_data();
    void socketControlFailures();
    void qtFailures_data();
    void qtFailures();
    void everyQtFailureInEnglish();
    void unknownDescriptionFallsBackToItsNumber();
    void traceWordsReceiveFailuresInEnglish();
};

void TestVrxctlSocketErrors::socketControlFailures_data() {
    QTest::addColumn<Provoke>("provoke");
    QTest::addColumn<QString>("english");

    QTest::newRow("local port 0") << Provoke([](SSock &s) {
        s.Bind(0, QStringLiteral("127.0.37.1"));
    }) << QStringLiteral("socket error 40014: LocalPort 0 is out of range (1-65535)");
    QTest::newRow("remote port too large")
        << Provoke([](SSock &s) { s.setRemotePort(70000); })
        << QStringLiteral("socket error 40014: RemotePort 70000 is out of range (0-65535)");
    QTest::newRow("bound twice")
        << Provoke([](SSock &s) {
               s.Bind(1000, QStringLiteral("127.0.37.1"));
               s.Bind(1000, QStringLiteral("127.0.37.1"));
           })
        << QStringLiteral("socket error 40006: the socket is already bound to 127.0.37.1:1000 and must be "
                          "closed before it is bound again");
    QTest::newRow("local text not an address")
        << Provoke([](SSock &s) { s.Bind(1000, QStringLiteral("localhost")); })
        << QStringLiteral(
               "socket error 10049: cannot bind port 1000: the local address \"localhost\" is not an "
               "IPv4 address; give --local with one of this computer's addresses (%1)")
               .arg(Addresses());
    QTest::newRow("address this computer lacks")
        << Provoke([](SSock &s) { s.Bind(1000, QStringLiteral("198.19.255.1")); })
        << QStringLiteral("socket error 10049: cannot bind 198.19.255.1:1000: this computer has no such "
                          "address; give --local with one of its addresses (%1)")
               .arg(Addresses());
    QTest::newRow("port held by another program")
        << Provoke([](SSock &s) {
               QUdpSocket holder;
               if (holder.bind(QHostAddress(QStringLiteral("127.0.37.2")), 1000,
                               QAbstractSocket::DontShareAddress))
                   s.Bind(1000, QStringLiteral("127.0.37.2"));
           })
        << QStringLiteral(
               "socket error 10048: address in use: another program holds 127.0.37.2:1000; close it "
               "or give another --local");
    QTest::newRow("send while unbound")
        << Provoke([](SSock &s) { s.SendData("x"); })
        << QStringLiteral("socket error 40006: cannot send: the socket is not "
                          "bound to a local address");
    QTest::newRow("send without reader address") << Provoke([](SSock &s) {
        s.Bind(1000, QStringLiteral("127.0.37.3"));
        s.SendData("x");
    }) << QStringLiteral("socket error 40006: cannot send: no reader address (RemoteHost) is set");
    QTest::newRow("reader address not an address") << Provoke([](SSock &s) {
        s.Bind(1000, QStringLiteral("127.0.37.3"));
        s.setRemoteHost(QStringLiteral("reader"));
        s.SendData("x");
    }) << QStringLiteral("socket error 10014: the reader address \"reader\" is not an IPv4 address");
    QTest::newRow("reader address 0.0.0.0") << Provoke([](SSock &s) {
        s.Bind(1000, QStringLiteral("127.0.37.3"));
        s.setRemoteHost(QStringLiteral("0.0.0.0"));
        s.setRemotePort(1001);
        s.SendData("x");
    }) << QStringLiteral("socket error 10049: cannot send to 0.0.0.0: give the reader's address");
    QTest::newRow("reader port 0") << Provoke([](SSock &s) {
        s.Bind(1000, QStringLiteral("127.0.37.3"));
        s.setRemoteHost(QStringLiteral("127.0.37.4"));
        s.SendData("x");
    }) << QStringLiteral("socket error 40014: RemotePort 0 is out of range (1-65535)");
}

void TestVrxctlSocketErrors::socketControlFailures() {
    QFETCH(Provoke, provoke);
    QFETCH(QString, english);
    const SocketError error = Thrown(provoke);
    QVERIFY2(error.number != 0, "the socket control did not fail");
    QVERIFY2(HasChinese(error.description), qPrintable(error.description)); // the window's words
    QCOMPARE(SocketFailureText(error), english);
    QVERIFY(SocketErrorIsRecognised(error));
}

void TestVrxctlSocketErrors::qtFailures_data() {
    QTest::addColumn<int>("qtError");
    QTest::addColumn<int>("operation");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("qtText");
    QTest::addColumn<QString>("english");

    const int bind = SocketErrorContext::Binding;
    const int send = SocketErrorContext::Sending;
    const int receive = SocketErrorContext::Receiving;
    QTest::newRow("send refused by the system")
        << int(QAbstractSocket::UnknownSocketError) << send << 1001
        << QStringLiteral("Unable to send a datagram")
        << QStringLiteral("socket error 10000: cannot send to 198.18.1.3:1001 (Unable to send a datagram)");
    QTest::newRow("privileged port")
        << int(QAbstractSocket::SocketAccessError) << bind << 1000
        << QStringLiteral("The address is protected")
        << QStringLiteral(
               "socket error 10013: no privilege to bind 198.18.1.3:1000: ports below 1024 need root "
               "or the cap_net_bind_service capability (sudo setcap cap_net_bind_service=+ep %1)")
               .arg(QCoreApplication::applicationFilePath());
    QTest::newRow("reset while receiving")
        << int(QAbstractSocket::ConnectionRefusedError) << receive << 0 << QString()
        << QStringLiteral(
               "socket error 10054: cannot receive: connection reset by the remote end (no program "
               "receives on its port)");
}

void TestVrxctlSocketErrors::qtFailures() {
    QFETCH(int, qtError);
    QFETCH(int, operation);
    QFETCH(int, port);
    QFETCH(QString, qtText);
    QFETCH(QString, english);
    const SocketErrorContext context{
        SocketErrorContext::Operation(operation),
        operation == SocketErrorContext::Receiving ? QString() : QStringLiteral("198.18.1.3"), port};
    QCOMPARE(SocketFailureText(SocketErrorFromQt(QAbstractSocket::SocketError(qtError), qtText, context)),
             english);
}

// Whatever Qt reports, in whatever operation: the English says it without the fall-back to the number.
void TestVrxctlSocketErrors::everyQtFailureInEnglish() {
    const QMetaEnum errors = QMetaEnum::fromType<QAbstractSocket::SocketError>();
    const QList<LocalCard> someCards{{QStringLiteral("lo"), 0x7F000001, 8, 0, true},
                                     {QStringLiteral("eth0"), 0xC6120001, 20, 0xC6120FFF, false}};
    int checked = 0;
    for (int i = 0; i < errors.keyCount(); ++i) {
        const auto qtError = QAbstractSocket::SocketError(errors.value(i));
        for (const auto operation :
             {SocketErrorContext::Binding, SocketErrorContext::Sending, SocketErrorContext::Receiving})
            for (const int port : {80, 1000, 1001, 5000})
                for (const QString &qtText : {QString(), QStringLiteral("Unknown error"),
                                              QStringLiteral("Unable to send a datagram")})
                    for (const QList<LocalCard> &cards : {QList<LocalCard>(), someCards}) {
                        const SocketErrorContext context{operation,
                                                         operation == SocketErrorContext::Receiving
                                                             ? QString()
                                                             : QStringLiteral("198.18.1.3"),
                                                         port};
                        const SocketError error = SocketErrorFromQt(qtError, qtText, context, cards);
                        const QString text = SocketFailureText(error);
                        const QString row = QStringLiteral("%1 %2 %3 \"%4\": %5 -> %6")
                                                .arg(QLatin1String(errors.key(i)))
                                                .arg(int(operation))
                                                .arg(port)
                                                .arg(qtText, error.description, text);
                        QVERIFY2(SocketErrorIsRecognised(error), qPrintable(row));
                        QVERIFY2(!HasChinese(text), qPrintable(row));
                        QVERIFY2(text.startsWith(QStringLiteral("socket error %1: ").arg(error.number)),
                                 qPrintable(row));
                        ++checked;
                    }
    }
    QVERIFY(checked > 500);
}

void TestVrxctlSocketErrors::unknownDescriptionFallsBackToItsNumber() {
    const SocketError unknown{SocketErrorNumber::AddressInUse, QStringLiteral("一个新的说明")};
    QVERIFY(!SocketErrorIsRecognised(unknown));
    QCOMPARE(SocketFailureText(unknown), QStringLiteral("socket error 10048: address in use"));
    // A recognised form whose detail is not English is not passed on either.
    const SocketError chineseDetail{10000, QStringLiteral("发送到 198.18.1.3:1001 失败。（无法发送）")};
    QCOMPARE(SocketFailureText(chineseDetail), QStringLiteral("socket error 10000: the socket failed"));
}

void TestVrxctlSocketErrors::traceWordsReceiveFailuresInEnglish() {
    QString text;
    QTextStream err(&text);
    Trace trace(&err, true);
    trace.receiveFailed(SocketErrorFromQt(QAbstractSocket::ConnectionRefusedError, QString(),
                                          {SocketErrorContext::Receiving, QString(), 0}));
    QVERIFY2(text.contains(QStringLiteral(" ms  socket error 10054: cannot receive: connection reset by the "
                                          "remote end")),
             qPrintable(text));
    QVERIFY(!HasChinese(text));
}

QTEST_GUILESS_MAIN(TestVrxctlSocketErrors)
#include "tst_vrxctl_socketerrors.moc"
