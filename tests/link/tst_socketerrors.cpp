#include "link/QtSocketErrors.h"
#include "link/SocketErrors.h"
#include "words/SocketWords.h"

#include <QTest>

using namespace vrx;

Q_DECLARE_METATYPE(vrx::LocalCard)

class TestSocketErrors : public QObject {
    Q_OBJECT

private slots:
    void message_data();
    void message();
    void qtErrors_data();
    void qtErrors();
    void addressNotHereListsTheCards_data();
    void addressNotHereListsTheCards();
};

void TestSocketErrors::message_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("silentReset");
    QTest::addColumn<QString>("message"); // null: no box at all

    const QString own = QStringLiteral("own description");
    QTest::newRow("10014") << 10014 << false << QStringLiteral("无效参数！请确认读卡器IP填写是否正确！");
    QTest::newRow("10048") << 10048 << false << QStringLiteral("地址正在使用！");
    QTest::newRow("10048 silent") << 10048 << true << QStringLiteral("地址正在使用！");
    QTest::newRow("10054") << 10054 << false << QStringLiteral("连接由远程端重新设置！");
    QTest::newRow("10054 silent") << 10054 << true << QString();
    QTest::newRow("40006") << 40006 << false << QStringLiteral("所需事物或请求的错误协议或连接状态！");
    QTest::newRow("40014") << 40014 << false
                           << QStringLiteral("传递到一个函数的参数格式不正确或未传递到指定范围！端口范围"
                                             "\u201c1-65535！\u201d");
    QTest::newRow("10049") << 10049 << false << own;
    QTest::newRow("10013 silent") << 10013 << true << own;
    QTest::newRow("0") << 0 << false << own;
}

void TestSocketErrors::message() {
    QFETCH(int, number);
    QFETCH(bool, silentReset);
    QFETCH(QString, message);

    const std::optional<QString> shown =
        SocketErrorMessage(SocketError{number, QStringLiteral("own description")}, silentReset);
    QCOMPARE(shown.has_value(), !message.isNull());
    if (shown)
        QCOMPARE(*shown, message);
}

void TestSocketErrors::qtErrors_data() {
    QTest::addColumn<int>("qtError");
    QTest::addColumn<int>("operation");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("number");
    QTest::addColumn<QStringList>("mentions");

    const int bind = SocketErrorContext::Binding;
    const int send = SocketErrorContext::Sending;
    const int receive = SocketErrorContext::Receiving;
    QTest::newRow("in use") << int(QAbstractSocket::AddressInUseError) << bind << 1000 << 10048
                            << QStringList{"127.0.20.9:1000", "地址正在使用"};
    QTest::newRow("invalid argument") << int(QAbstractSocket::UnsupportedSocketOperationError) << bind << 1000
                                      << 10014 << QStringList{"无效参数"};
    QTest::newRow("refused on receive") << int(QAbstractSocket::ConnectionRefusedError) << receive << 0
                                        << 10054 << QStringList{"连接由远程端重新设置"};
    QTest::newRow("wrong state") << int(QAbstractSocket::OperationError) << send << 1001 << 40006
                                 << QStringList{"127.0.20.9:1001"};
    // A refused bind: on Linux a port below 1024 needs a privilege and a higher one lacks a permission;
    // on Windows no port needs a privilege, so another program holds it or the system reserves it.
#ifdef Q_OS_WIN
    QTest::newRow("refused, port 1000") << int(QAbstractSocket::SocketAccessError) << bind << 1000 << 10013
                                        << QStringList{"端口 1000 已被另一个程序独占", "excludedportrange"};
    QTest::newRow("refused, port 5000") << int(QAbstractSocket::SocketAccessError) << bind << 5000 << 10013
                                        << QStringList{"端口 5000 已被另一个程序独占", "excludedportrange"};
#else
    QTest::newRow("refused, port 1000") << int(QAbstractSocket::SocketAccessError) << bind << 1000 << 10013
                                        << QStringList{"1000", "管理员权限", "cap_net_bind_service"};
    QTest::newRow("refused, port 5000")
        << int(QAbstractSocket::SocketAccessError) << bind << 5000 << 10013 << QStringList{"权限不足"};
#endif
    QTest::newRow("address not here")
        << int(QAbstractSocket::SocketAddressNotAvailableError) << bind << 1000 << 10049
        << QStringList{"本机IP“127.0.20.9”不是本机的地址", "端口 1000"};
    QTest::newRow("too large") << int(QAbstractSocket::DatagramTooLargeError) << send << 1001 << 10040
                               << QStringList{"数据报太长"};
    QTest::newRow("unknown keeps a description")
        << int(QAbstractSocket::UnknownSocketError) << send << 1001 << 10000 << QStringList{"发送到"};
}

void TestSocketErrors::qtErrors() {
    QFETCH(int, qtError);
    QFETCH(int, operation);
    QFETCH(int, port);
    QFETCH(int, number);
    QFETCH(QStringList, mentions);

    const SocketErrorContext context{
        SocketErrorContext::Operation(operation),
        operation == SocketErrorContext::Receiving ? QString() : QStringLiteral("127.0.20.9"), port};
    const SocketError error = SocketErrorFromQt(QAbstractSocket::SocketError(qtError), context);
    QCOMPARE(error.number, number);
    const QString description = SocketErrorDescription(error);
    for (const QString &mention : mentions)
        QVERIFY2(description.contains(mention), qPrintable(description));
    QVERIFY2(!description.contains(QLatin1String("Unknown error")), qPrintable(description));
    // Never the other system's advice.
#ifdef Q_OS_WIN
    QVERIFY2(!description.contains(QLatin1String("cap_net_bind_service")), qPrintable(description));
#else
    QVERIFY2(!description.contains(QLatin1String("netsh")), qPrintable(description));
#endif
}

void TestSocketErrors::addressNotHereListsTheCards_data() {
    QTest::addColumn<QList<LocalCard>>("cards");
    QTest::addColumn<QString>("description");

    const QString start =
        QStringLiteral("本机IP“10.9.9.9”不是本机的地址，无法绑定端口 1000。请填写本机的IP地址。");
    // Loopback goes last whatever the system's order: the operator looks for a real card first.
    QTest::newRow("two cards and loopback")
        << QList<LocalCard>{{QStringLiteral("lo"), 0x7F000001, 8, 0, true},
                            {QStringLiteral("eth0"), 0xC6120001, 20, 0xC6120FFF, false},
                            {QStringLiteral("eth1"), 0xC6121001, 24, 0xC61210FF, false}}
        << start + QStringLiteral("本机的地址：eth0 198.18.0.1/20，eth1 198.18.16.1/24，lo 127.0.0.1/8");
    QTest::newRow("no address at all")
        << QList<LocalCard>{} << start + QStringLiteral("本机没有可用的IPv4地址。");
}

void TestSocketErrors::addressNotHereListsTheCards() {
    QFETCH(QList<LocalCard>, cards);
    QFETCH(QString, description);
    const SocketError error =
        SocketErrorFromQt(QAbstractSocket::SocketAddressNotAvailableError,
                          {SocketErrorContext::Binding, QStringLiteral("10.9.9.9"), 1000}, cards);
    QCOMPARE(error.number, 10049);
    QCOMPARE(SocketErrorDescription(error), description);
}

QTEST_APPLESS_MAIN(TestSocketErrors)
#include "tst_socketerrors.moc"
