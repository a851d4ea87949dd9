// The socket layer's calls to the operating system, through SSock, on whichever system the test runs:
// the same checks pass on Linux and on Windows (under wine too). Only 127.0.0.1 is used, on ports the
// system hands out, since wine gives any other loopback address 0.0.0.0.
#include "link/QtSocketErrors.h"
#include "link/SSock.h"
#include "link/SystemErrors.h"
#include "words/SocketWords.h"

#include <QNetworkDatagram>
#include <QTest>
#include <QUdpSocket>

using namespace vrx;

namespace {

const QString Loopback = QStringLiteral("127.0.0.1");

quint16 FreePort() {
    QUdpSocket probe;
    return probe.bind(QHostAddress(Loopback), 0, QAbstractSocket::DontShareAddress) ? probe.localPort() : 0;
}

} // namespace

class TestDatagramSystem : public QObject {
    Q_OBJECT

private slots:
    void trySend_data();
    void trySend();
    void sendBufferGrows();
    void refusedBindReason_data();
    void refusedBindReason();
};

void TestDatagramSystem::trySend_data() {
    QTest::addColumn<int>("bytes");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("number");      // the socket control's number on failure
    QTest::addColumn<QString>("wording"); // in the description on failure

    QTest::newRow("a query") << 9 << int(SSock::SendOutcome::Sent) << 0 << QString();
    QTest::newRow("the largest datagram") << 65507 << int(SSock::SendOutcome::Sent) << 0 << QString();
    QTest::newRow("too long for UDP") << 70000 << int(SSock::SendOutcome::Failed)
                                      << SocketErrorNumber::MessageTooLong << QStringLiteral("数据报太长");
}

// The engine's send reaches a peer whole, or fails with the system's own reason in the description.
void TestDatagramSystem::trySend() {
    QFETCH(int, bytes);
    QFETCH(int, outcome);
    QFETCH(int, number);
    QFETCH(QString, wording);

    QUdpSocket peer;
    QVERIFY(peer.bind(QHostAddress(Loopback), 0));
    peer.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 1 << 18);
    SSock sock;
    sock.Bind(FreePort(), Loopback);
    const QByteArray data(bytes, 'q');
    SocketError error;
    QCOMPARE(int(sock.TrySendData(data, QHostAddress(Loopback).toIPv4Address(), peer.localPort(), &error)),
             outcome);
    if (outcome != int(SSock::SendOutcome::Sent)) {
        QCOMPARE(error.number, number);
        QVERIFY2(SocketErrorDescription(error).contains(wording), qPrintable(SocketErrorDescription(error)));
        return;
    }
    QVERIFY(QTest::qWaitFor([&] { return peer.hasPendingDatagrams(); }, 5000));
    const QNetworkDatagram received = peer.receiveDatagram(70000);
    QCOMPARE(received.data().size(), bytes);
    QCOMPARE(received.senderPort(), sock.LocalPort());
}

// What is asked for is granted (Linux doubles it for its own bookkeeping; Windows gives it as asked).
void TestDatagramSystem::sendBufferGrows() {
    SSock sock;
    QCOMPARE(sock.SendBufferSize(), 0); // closed
    sock.Bind(FreePort(), Loopback);
    const int before = sock.SendBufferSize();
    QVERIFY(before > 0);
    sock.SetSendBufferSize(before * 2);
    QVERIFY2(sock.SendBufferSize() >= before * 2, qPrintable(QString::number(sock.SendBufferSize())));
}

void TestDatagramSystem::refusedBindReason_data() {
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("expected"); // empty: the system gives no reason of its own
    QTest::addColumn<QString>("never");    // advice that this system must not give
#ifdef Q_OS_WIN
    // No port needs a privilege on Windows: never advice about root or capabilities.
    const QString held = QStringLiteral("已被另一个程序独占，或者在系统保留的端口范围内");
    QTest::newRow("1000") << 1000 << held << QStringLiteral("cap_net_bind_service");
    QTest::newRow("50000") << 50000 << held << QStringLiteral("root");
#else
    QTest::newRow("1000") << 1000
                          << QStringLiteral(
                                 "小于1024，绑定它需要管理员权限（root）或 cap_net_bind_service 能力")
                          << QStringLiteral("netsh");
    QTest::newRow("1023") << 1023 << QStringLiteral("端口 1023 小于1024") << QStringLiteral("独占");
    QTest::newRow("1024") << 1024 << QString() << QStringLiteral("cap_net_bind_service");
#endif
}

void TestDatagramSystem::refusedBindReason() {
    QFETCH(int, port);
    QFETCH(QString, expected);
    QFETCH(QString, never);
    // The socket control's failure for a refused bind carries the system's reason, and its words say it.
    const SocketError error =
        SocketErrorFromQt(QAbstractSocket::SocketAccessError, {SocketErrorContext::Binding, Loopback, port});
    QCOMPARE(error.number, SocketErrorNumber::AccessDenied);
    QCOMPARE(error.bindRefusal == BindRefusal::None, expected.isEmpty());
    const QString text = SocketErrorDescription(error);
    QVERIFY2(text.contains(expected.isEmpty() ? QStringLiteral("权限不足") : expected), qPrintable(text));
    QVERIFY2(!text.contains(never), qPrintable(text));
}

QTEST_GUILESS_MAIN(TestDatagramSystem)
#include "tst_datagramsystem.moc"
