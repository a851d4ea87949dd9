#include "SocketErrorText.h"

#include "link/QtSocketErrors.h"

#include <QCoreApplication>
#include <QList>
#include <QRegularExpression>

#include <functional>

namespace vrxctl {

namespace {

using Match = QRegularExpressionMatch;

// One text the link layer writes, and how to say it in English.
struct Rendering {
    QRegularExpression pattern;
    std::function<QString(const Match &)> english;
};

QString Setcap() {
    return QStringLiteral("sudo setcap cap_net_bind_service=+ep %1")
        .arg(QCoreApplication::instance() ? QCoreApplication::applicationFilePath()
                                          : QStringLiteral("vrxctl"));
}

// "本机的地址：eth0 198.18.0.1/20，lo 127.0.0.1/8" or "本机没有可用的IPv4地址。" as the window lists them.
QString AddressesInEnglish(const QString &listed) {
    static const QString prefix = QStringLiteral("本机的地址：");
    if (!listed.startsWith(prefix))
        return QStringLiteral("this computer has no IPv4 address that is up");
    return QStringLiteral("this computer's addresses: ") +
           listed.mid(prefix.size()).replace(QStringLiteral("，"), QStringLiteral(", "));
}

// The descriptions that SSock writes whole.
const QList<Rendering> &WholeDescriptions() {
    static const QList<Rendering> renderings{
        {QRegularExpression(
             QStringLiteral("^本机IP“(.*)”不是本机的地址，无法绑定端口 (\\d+)。请填写本机的IP地址。(.*)$")),
         [](const Match &m) {
             return QStringLiteral(
                        "cannot bind %1:%2: this computer has no such address; give --local with one "
                        "of its addresses (%3)")
                 .arg(m.captured(1), m.captured(2), AddressesInEnglish(m.captured(3)));
         }},
        {QRegularExpression(
             QStringLiteral("^本机IP“(.*)”不是IPv4地址，无法绑定端口 (\\d+)。请填写本机的IPv4地址。(.*)$")),
         [](const Match &m) {
             return QStringLiteral(
                        "cannot bind port %2: the local address \"%1\" is not an IPv4 address; give "
                        "--local with one of this computer's addresses (%3)")
                 .arg(m.captured(1), m.captured(2), AddressesInEnglish(m.captured(3)));
         }},
        {QRegularExpression(QStringLiteral("^(RemotePort|LocalPort) (-?\\d+) 超出范围（(\\d+)-65535）。$")),
         [](const Match &m) {
             return QStringLiteral("%1 %2 is out of range (%3-65535)")
                 .arg(m.captured(1), m.captured(2), m.captured(3));
         }},
        {QRegularExpression(QStringLiteral("^套接字已经绑定在 (\\S+)，须先关闭才能再次绑定。$")),
         [](const Match &m) {
             return QStringLiteral(
                        "the socket is already bound to %1 and must be closed before it is bound again")
                 .arg(m.captured(1));
         }},
        {QRegularExpression(QStringLiteral("^套接字尚未绑定本机地址，不能发送。$")),
         [](const Match &) {
             return QStringLiteral("cannot send: the socket is not bound to a local address");
         }},
        {QRegularExpression(QStringLiteral("^尚未设置读卡器地址（RemoteHost），不能发送。$")),
         [](const Match &) { return QStringLiteral("cannot send: no reader address (RemoteHost) is set"); }},
        {QRegularExpression(QStringLiteral("^读卡器地址“(.*)”不是IPv4地址。$")),
         [](const Match &m) {
             return QStringLiteral("the reader address \"%1\" is not an IPv4 address").arg(m.captured(1));
         }},
        {QRegularExpression(
             QStringLiteral("^读卡器地址 0\\.0\\.0\\.0 不能作为发送目标，请填写读卡器的IP地址。$")),
         [](const Match &) { return QStringLiteral("cannot send to 0.0.0.0: give the reader's address"); }},
    };
    return renderings;
}

// What SocketErrorFromQt says went wrong after what was being done ("绑定本机地址 A:P 失败：…。").
// `doing` is that part in English, `endpoint` its address and port.
struct Failure {
    QString doing;
    QString endpoint;
    bool binding = false;
};

const QList<Rendering> &Conditions() {
    static const QList<Rendering> renderings{
        {QRegularExpression(QStringLiteral("^地址正在使用，端口 (\\d+) 已被另一个程序占用。$")),
         [](const Match &m) {
             return QStringLiteral("address in use: another program holds port %1").arg(m.captured(1));
         }},
        {QRegularExpression(QStringLiteral("^无效参数。$")),
         [](const Match &) { return QStringLiteral("invalid argument"); }},
        {QRegularExpression(QStringLiteral("^连接由远程端重新设置（对方端口没有程序接收）。$")),
         [](const Match &) {
             return QStringLiteral("connection reset by the remote end (no program receives on its port)");
         }},
        {QRegularExpression(QStringLiteral("^套接字的当前状态不允许这个操作。$")),
         [](const Match &) { return QStringLiteral("the socket's state does not allow this"); }},
        {QRegularExpression(QStringLiteral(
             "^端口 (\\d+) 小于1024，绑定它需要管理员权限（root）或 cap_net_bind_service 能力。$")),
         [](const Match &) {
             return QStringLiteral("no privilege: ports below 1024 need root or the cap_net_bind_service "
                                   "capability (%1)")
                 .arg(Setcap());
         }},
        {QRegularExpression(QStringLiteral("^权限不足。$")),
         [](const Match &) { return QStringLiteral("permission denied"); }},
        {QRegularExpression(QStringLiteral("^地址不可用。$")),
         [](const Match &) { return QStringLiteral("address not available"); }},
        {QRegularExpression(QStringLiteral("^数据报太长。$")),
         [](const Match &) { return QStringLiteral("datagram too long"); }},
        {QRegularExpression(QStringLiteral("^网络不可达。$")),
         [](const Match &) { return QStringLiteral("network unreachable"); }},
        {QRegularExpression(QStringLiteral("^系统资源不足。$")),
         [](const Match &) { return QStringLiteral("out of system resources (no buffer space)"); }},
        {QRegularExpression(QStringLiteral("^操作超时。$")),
         [](const Match &) { return QStringLiteral("timed out"); }},
    };
    return renderings;
}

std::optional<QString> Rendered(const QList<Rendering> &renderings, const QString &text) {
    for (const Rendering &rendering : renderings)
        if (const Match match = rendering.pattern.match(text); match.hasMatch())
            return rendering.english(match);
    return std::nullopt;
}

// "绑定本机地址 A:P 失败：<condition>（<Qt's detail>）" and its kin, in English.
std::optional<QString> QtFailureInEnglish(const QString &description) {
    static const QRegularExpression form(QStringLiteral(
        "^(?:绑定本机地址 (\\S+) 失败|发送到 (\\S+) 失败|接收数据失败)(?:：(.*。)|。)(?:（(.*)）)?$"));
    const Match match = form.match(description);
    if (!match.hasMatch())
        return std::nullopt;
    Failure failure;
    if (match.hasCaptured(1)) {
        failure = {QStringLiteral("cannot bind %1").arg(match.captured(1)), match.captured(1), true};
    } else if (match.hasCaptured(2)) {
        failure = {QStringLiteral("cannot send to %1").arg(match.captured(2)), match.captured(2), false};
    } else {
        failure.doing = QStringLiteral("cannot receive");
    }
    QString detail = match.captured(4);
    if (detail == QStringLiteral("未知的套接字错误"))
        detail = QStringLiteral("unknown socket error");

    if (!match.hasCaptured(3))
        return detail.isEmpty() ? failure.doing : failure.doing + QStringLiteral(" (%1)").arg(detail);
    const std::optional<QString> condition = Rendered(Conditions(), match.captured(3));
    if (!condition)
        return std::nullopt;
    // A bind that another program or the missing privilege refuses says what to do instead.
    if (failure.binding && condition->startsWith(QLatin1String("address in use")))
        return QStringLiteral("address in use: another program holds %1; close it or give another --local")
            .arg(failure.endpoint);
    if (failure.binding && condition->startsWith(QLatin1String("no privilege")))
        return QStringLiteral("no privilege to bind %1: %2")
            .arg(failure.endpoint, condition->section(QStringLiteral(": "), 1));
    QString text = failure.doing + QStringLiteral(": ") + *condition;
    if (!detail.isEmpty())
        text += QStringLiteral(" (%1)").arg(detail);
    return text;
}

std::optional<QString> InEnglish(const QString &description) {
    if (auto whole = Rendered(WholeDescriptions(), description))
        return whole;
    return QtFailureInEnglish(description);
}

bool HasChinese(const QString &text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x2E80 && u <= 0x9FFF) || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFF00 && u <= 0xFFEF))
            return true;
    }
    return false;
}

// What the number alone means, for a description this table does not know.
QString MeaningOf(int number) {
    namespace N = vrx::SocketErrorNumber;
    switch (number) {
    case N::AccessDenied:
        return QStringLiteral("permission denied");
    case N::InvalidArgument:
        return QStringLiteral("invalid argument");
    case N::MessageTooLong:
        return QStringLiteral("datagram too long");
    case N::AddressInUse:
        return QStringLiteral("address in use");
    case N::AddressNotAvailable:
        return QStringLiteral("address not available");
    case N::NetworkUnreachable:
        return QStringLiteral("network unreachable");
    case N::ConnectionReset:
        return QStringLiteral("connection reset by the remote end");
    case N::NoBufferSpace:
        return QStringLiteral("out of system resources (no buffer space)");
    case N::TimedOut:
        return QStringLiteral("timed out");
    case N::WrongState:
        return QStringLiteral("wrong protocol or connection state for the request");
    case N::OutOfRange:
        return QStringLiteral("argument badly formed or out of range: ports run from 1 to 65535");
    default:
        break;
    }
    return QStringLiteral("the socket failed");
}

} // namespace

bool SocketErrorIsRecognised(const vrx::SocketError &error) {
    const std::optional<QString> english = InEnglish(error.description);
    return english && !HasChinese(*english);
}

QString SocketErrorText(const vrx::SocketError &error) {
    if (const std::optional<QString> english = InEnglish(error.description); english && !HasChinese(*english))
        return *english;
    return MeaningOf(error.number);
}

QString SocketFailureText(const vrx::SocketError &error) {
    return QStringLiteral("socket error %1: %2").arg(error.number).arg(SocketErrorText(error));
}

} // namespace vrxctl
