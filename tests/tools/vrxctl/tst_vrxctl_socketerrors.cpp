// Every socket failure the link layer can report reaches vrxctl's terminal in English: the failures of
// the real socket control, provoked on loopback, and every mapping of a Qt socket error. The catalogue
// words each typed failure in both languages: Chinese as the window shows it, English as vrxctl does.
//
// Addresses: 127.0.37.x.
#include "SocketErrorText.h"
#include "Trace.h"
#include "ComputerAddress.h"

#include "link/LocalCards.h"
#include "link/QtSocketErrors.h"
#include "link/SSock.h"
#include "words/Catalogue.h"
#include "words/SocketWords.h"

#include <QCoreApplication>
#include <QMetaEnum>
#include <QRegularExpression>
#include <QTest>
#include <QUdpSocket>

#include <functional>

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <cerrno>
#endif

using namespace vrx;
using namespace vrxctl;

Q_DECLARE_METATYPE(std::function<void(Trace &)>)

using Provoke = std::function<void(SSock &)>;
Q_DECLARE_METATYPE(Provoke)
Q_DECLARE_METATYPE(vrx::SocketError)

namespace {

// The system's own numbers of three failures, as the system call reports them.
#ifdef Q_OS_WIN
constexpr int InUse = WSAEADDRINUSE;
constexpr int Unreachable = WSAENETUNREACH;
constexpr int Unlisted = WSAEDISCON; // one the words have no entry for
#else
constexpr int InUse = EADDRINUSE;
constexpr int Unreachable = ENETUNREACH;
constexpr int Unlisted = EIO;
#endif

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

// The window's words: the catalogue's source texts, with no translator in front of them.
QString InChinese(const SocketError &error) {
    UseEnglishWords(false);
    const QString words = SocketErrorDescription(error);
    UseEnglishWords(true);
    return words;
}

SocketError Typed(int number, SocketFault fault, SocketErrorContext context = {}) {
    return SocketError::Of(number, fault, std::move(context));
}

} // namespace

class TestVrxctlSocketErrors : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(UseEnglishWords(true)); }
    void catalogue_data();
    void catalogue();
    void socketControlFailures_data();
    void socketControlFailures();
    void qtFailures_data();
    void qtFailures();
    void everyQtFailureInEnglish();
    void describedFailurePassesItsText();
    void traceWordsEngineEventsInEnglish_data();
    void traceWordsEngineEventsInEnglish();
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
    if (test::UnderWine() && QByteArray(QTest::currentDataTag()) == "address this computer lacks")
        QSKIP("wine binds an address the computer lacks without complaint; Windows refuses it");
    const SocketError error = Thrown(provoke);
    QVERIFY2(error.number != 0, "the socket control did not fail");
    QVERIFY2(HasChinese(InChinese(error)), qPrintable(InChinese(error))); // the window's words
    QCOMPARE(SocketFailureText(error), english);
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
        << QStringLiteral("socket error 10000: cannot send to 198.18.1.3:1001 (unknown socket error)");
#ifndef Q_OS_WIN
    QTest::newRow("privileged port")
        << int(QAbstractSocket::SocketAccessError) << bind << 1000
        << QStringLiteral("The address is protected")
        << QStringLiteral(
               "socket error 10013: no privilege to bind 198.18.1.3:1000: ports below 1024 need root "
               "or the cap_net_bind_service capability (sudo setcap cap_net_bind_service=+ep %1)")
               .arg(QCoreApplication::applicationFilePath());
#endif
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
    Q_UNUSED(qtText); // Qt's own text is in the process's language: only the error's value is worded
    QCOMPARE(SocketFailureText(SocketErrorFromQt(QAbstractSocket::SocketError(qtError), context)), english);
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
                        const SocketError error =
                            SocketErrorFromQt(qtError, context, cards, qtText.isEmpty() ? 0 : Unlisted);
                        const QString text = SocketFailureText(error);
                        const QString row = QStringLiteral("%1 %2 %3 \"%4\": %5 -> %6")
                                                .arg(QLatin1String(errors.key(i)))
                                                .arg(int(operation))
                                                .arg(port)
                                                .arg(qtText, InChinese(error), text);
                        QVERIFY2(HasChinese(InChinese(error)), qPrintable(row));
                        QVERIFY2(!HasChinese(text), qPrintable(row));
                        QVERIFY2(text.startsWith(QStringLiteral("socket error %1: ").arg(error.number)),
                                 qPrintable(row));
                        ++checked;
                    }
    }
    QVERIFY(checked > 500);
}

// A failure made without a fault (a stand-in's, a test's) keeps the text it was given.
void TestVrxctlSocketErrors::describedFailurePassesItsText() {
    const SocketError described{SocketErrorNumber::AddressInUse, QStringLiteral("held by the test")};
    QCOMPARE(SocketFailureText(described), QStringLiteral("socket error 10048: held by the test"));
}

// Typed failure -> the window's Chinese and vrxctl's English, from the one catalogue.
void TestVrxctlSocketErrors::catalogue_data() {
    QTest::addColumn<SocketError>("error");
    QTest::addColumn<QString>("chinese");
    QTest::addColumn<QString>("english");

    const SocketErrorContext bind{SocketErrorContext::Binding, QStringLiteral("198.18.1.3"), 1000};
    const SocketErrorContext send{SocketErrorContext::Sending, QStringLiteral("198.18.1.4"), 1001};
    const SocketErrorContext receive{SocketErrorContext::Receiving, QString(), 0};
    const QList<LocalCard> cards{{QStringLiteral("lo"), 0x7F000001, 8, 0, true},
                                 {QStringLiteral("eth0"), 0xC6120001, 20, 0xC6120FFF, false}};

    QTest::newRow("in use, from errno")
        << SocketErrorOfSystem(InUse, bind)
        << QStringLiteral("绑定本机地址 198.18.1.3:1000 失败：地址正在使用，端口 1000 "
                          "已被另一个程序占用。（地址已在使用）")
        << QStringLiteral("cannot bind 198.18.1.3:1000: address in use: another program holds port 1000 "
                          "(address already in use)");
    QTest::newRow("unreachable, from errno")
        << SocketErrorOfSystem(Unreachable, send)
        << QStringLiteral("发送到 198.18.1.4:1001 失败：网络不可达。（网络不可达）")
        << QStringLiteral("cannot send to 198.18.1.4:1001: network unreachable (network is unreachable)");
    QTest::newRow("unknown errno")
        << SocketErrorOfSystem(Unlisted, send)
        << QStringLiteral("发送到 198.18.1.4:1001 失败。（系统错误 %1）").arg(Unlisted)
        << QStringLiteral("cannot send to 198.18.1.4:1001 (system error %1)").arg(Unlisted);
    QTest::newRow("reset while receiving")
        << SocketErrorFromQt(QAbstractSocket::ConnectionRefusedError, receive)
        << QStringLiteral("接收数据失败：连接由远程端重新设置（对方端口没有程序接收）。")
        << QStringLiteral(
               "cannot receive: connection reset by the remote end (no program receives on its port)");
#ifdef Q_OS_WIN
    QTest::newRow("port held or reserved")
        << SocketErrorFromQt(QAbstractSocket::SocketAccessError, bind)
        << QStringLiteral(
               "绑定本机地址 198.18.1.3:1000 失败：端口 1000 已被另一个程序独占，或者在系统保留的端口范围内"
               "（netsh interface ipv4 show excludedportrange protocol=udp）。")
        << QStringLiteral("cannot bind 198.18.1.3:1000: port 1000 is held by another program for itself, or "
                          "lies in a range the system reserves (netsh interface ipv4 show excludedportrange "
                          "protocol=udp)");
#else
    QTest::newRow("privileged port")
        << SocketErrorFromQt(QAbstractSocket::SocketAccessError, bind)
        << QStringLiteral(
               "绑定本机地址 198.18.1.3:1000 失败：端口 1000 小于1024，绑定它需要管理员权限（root）或 "
               "cap_net_bind_service 能力。")
        << QStringLiteral(
               "cannot bind 198.18.1.3:1000: port 1000 is below 1024: binding it needs root or the "
               "cap_net_bind_service capability");
#endif
    QTest::newRow("address not here")
        << SocketErrorFromQt(QAbstractSocket::SocketAddressNotAvailableError, bind, cards)
        << QStringLiteral("本机IP“198.18.1.3”不是本机的地址，无法绑定端口 1000。请填写本机的IP地址。"
                          "本机的地址：eth0 198.18.0.1/20，lo 127.0.0.1/8")
        << QStringLiteral(
               "cannot bind port 1000: \"198.18.1.3\" is not an address of this computer. Enter one "
               "of its addresses. this computer's addresses: eth0 198.18.0.1/20, lo 127.0.0.1/8");
    QTest::newRow("no address at all")
        << SocketErrorFromQt(QAbstractSocket::SocketAddressNotAvailableError, bind)
        << QStringLiteral("本机IP“198.18.1.3”不是本机的地址，无法绑定端口 1000。请填写本机的IP地址。"
                          "本机没有可用的IPv4地址。")
        << QStringLiteral(
               "cannot bind port 1000: \"198.18.1.3\" is not an address of this computer. Enter one "
               "of its addresses. this computer has no IPv4 address that is up");
    QTest::newRow("not bound") << Typed(SocketErrorNumber::WrongState, SocketFault::NotBound)
                               << QStringLiteral("套接字尚未绑定本机地址，不能发送。")
                               << QStringLiteral("cannot send: the socket is not bound to a local address");
    SocketError range = Typed(SocketErrorNumber::OutOfRange, SocketFault::PortOutOfRange, {});
    range.context.port = 70000;
    range.portName = QStringLiteral("RemotePort");
    QTest::newRow("port out of range") << range << QStringLiteral("RemotePort 70000 超出范围（0-65535）。")
                                       << QStringLiteral("RemotePort 70000 is out of range (0-65535)");
    SocketError noRoute = Typed(SocketErrorNumber::NetworkUnreachable, SocketFault::NoRoute,
                                {SocketErrorContext::Sending, QStringLiteral("198.19.9.9"), 0});
    noRoute.cards = cards;
    noRoute.moreAddresses = 3;
    QTest::newRow("no route")
        << noRoute
        << QStringLiteral("本机没有网卡或路由能到达 198.19.9.9（另有 3 个地址同样无法到达）。"
                          "本机的网卡：eth0 198.18.0.1/20, lo 127.0.0.1/8。")
        << QStringLiteral(
               "no card or route of this computer reaches 198.19.9.9 (and 3 more addresses that "
               "cannot be reached either); this computer's cards: eth0 198.18.0.1/20, lo 127.0.0.1/8");
}

void TestVrxctlSocketErrors::catalogue() {
    QFETCH(SocketError, error);
    QFETCH(QString, chinese);
    QFETCH(QString, english);
    QCOMPARE(InChinese(error), chinese);
    QCOMPARE(SocketErrorDescription(error), english);
    QVERIFY(!HasChinese(SocketFailureText(error)));
}

// The engine reports what it meets as values; the trace words each in English on a line of its own.
void TestVrxctlSocketErrors::traceWordsEngineEventsInEnglish_data() {
    QTest::addColumn<std::function<void(Trace &)>>("event");
    QTest::addColumn<QString>("line");
    ScanPacingReport pacing;
    pacing.arp = true;
    pacing.tableRead = true;
    pacing.tableLimit = 1024;
    pacing.tableInUse = 24;
    pacing.window = 500;
    pacing.lifetimeMs = 3000;
    pacing.onLinkWaitMs = 3200;
    pacing.latenessMs = 7;
    pacing.sendBufferBytes = 425984;
    pacing.bytesPerQuery = 768;
    pacing.tableRefusals = 2;
    pacing.interruptions = 1;
    pacing.bufferWaits = 3;
    ScanPacingReport assumed = pacing;
    assumed.tableRead = false;

    QTest::newRow("receive failure")
        << std::function<void(Trace &)>([](Trace &trace) {
               trace.receiveFailed(SocketErrorFromQt(QAbstractSocket::ConnectionRefusedError,
                                                     {SocketErrorContext::Receiving, QString(), 0}));
           })
        << "socket error 10054: cannot receive: connection reset by the remote end (no program receives on "
           "its port)";
    QTest::newRow("pacing planned")
        << std::function<void(Trace &)>([=](Trace &trace) { trace.pacingPlanned(pacing); })
        << "pacing: at most 500 addresses waiting for ARP at once (neighbour table: limit 1024, 24 entries "
           "in use); an unanswered ARP holds its entry 3000 ms; a query that needs ARP waits 3200 ms";
    QTest::newRow("pacing planned on an unreadable table")
        << std::function<void(Trace &)>([=](Trace &trace) { trace.pacingPlanned(assumed); })
        << "pacing: at most 500 addresses waiting for ARP at once (neighbour table: limit 1024, 24 entries "
           "in use, not readable: assumed); an unanswered ARP holds its entry 3000 ms; a query that needs "
           "ARP waits 3200 ms";
    QTest::newRow("pacing met")
        << std::function<void(Trace &)>([=](Trace &trace) { trace.pacingMet(pacing); })
        << "pacing met: 2 sends dropped by the kernel and 1 interrupted by an ICMP message's error, all "
           "sent again; 3 waits for a full send buffer; entries freed 7 ms late; send buffer 425984 bytes, "
           "768 bytes per query waiting for ARP; window 500";
    QTest::newRow("an answer from this computer's own address")
        << std::function<void(Trace &)>([](Trace &trace) {
               trace.ignored(QStringLiteral("198.18.16.2"), AwaitVerdict::FromThisComputer);
           })
        << "ignored the datagram from 198.18.16.2: sent from this computer's own address";
}

void TestVrxctlSocketErrors::traceWordsEngineEventsInEnglish() {
    QFETCH(std::function<void(Trace &)>, event);
    QFETCH(QString, line);
    QString text;
    QTextStream err(&text);
    Trace trace(&err, true);
    event(trace);
    static const QRegularExpression time(QStringLiteral("^ *\\d+\\.\\d{3} ms  "));
    QVERIFY2(text.endsWith(u'\n') && text.count(u'\n') == 1, qPrintable(text));
    QCOMPARE(text.chopped(1).remove(time), line);
    QVERIFY(!HasChinese(text));
}

QTEST_GUILESS_MAIN(TestVrxctlSocketErrors)
#include "tst_vrxctl_socketerrors.moc"
