#include "words/SocketWords.h"

#include <QCoreApplication>

namespace vrx {

namespace {

// The context of these words in the catalogue.
class SocketWords {
    Q_DECLARE_TR_FUNCTIONS(vrx::SocketWords)
};

QString Doing(const SocketErrorContext &context) {
    switch (context.operation) {
    case SocketErrorContext::Binding:
        return SocketWords::tr("绑定本机地址 %1 失败").arg(EndpointText(context));
    case SocketErrorContext::Sending:
        return SocketWords::tr("发送到 %1 失败").arg(EndpointText(context));
    case SocketErrorContext::Receiving:
        break;
    }
    return SocketWords::tr("接收数据失败");
}

// The system's own words as a parenthesised detail, left out when there is no number to give them.
QString Detail(const SocketError &error) {
    return error.systemCondition == SystemCondition::None
               ? QString()
               : SocketWords::tr("（%1）").arg(SystemErrorText(error.systemCondition, error.systemNumber));
}

QString BindRefusalText(BindRefusal refusal, int port) {
    switch (refusal) {
    case BindRefusal::PrivilegedPort:
        return SocketWords::tr("端口 %1 小于1024，绑定它需要管理员权限（root）或 cap_net_bind_service 能力。")
            .arg(port);
    case BindRefusal::HeldOrReserved:
        return SocketWords::tr("端口 %1 已被另一个程序独占，或者在系统保留的端口范围内（netsh interface ipv4 "
                               "show excludedportrange protocol=udp）。")
            .arg(port);
    case BindRefusal::None:
        break;
    }
    return SocketWords::tr("权限不足。");
}

// The condition of a failure the system reported; empty for one that has no fixed words.
QString Condition(const SocketError &error) {
    switch (error.fault) {
    case SocketFault::AddressInUse:
        return SocketWords::tr("地址正在使用，端口 %1 已被另一个程序占用。").arg(error.context.port);
    case SocketFault::InvalidArgument:
        return SocketWords::tr("无效参数。");
    case SocketFault::ConnectionReset:
        return SocketWords::tr("连接由远程端重新设置（对方端口没有程序接收）。");
    case SocketFault::WrongState:
        return SocketWords::tr("套接字的当前状态不允许这个操作。");
    case SocketFault::AccessDenied:
        return BindRefusalText(error.bindRefusal, error.context.port);
    case SocketFault::AddressNotAvailable:
        return SocketWords::tr("地址不可用。");
    case SocketFault::MessageTooLong:
        return SocketWords::tr("数据报太长。");
    case SocketFault::NetworkUnreachable:
        return SocketWords::tr("网络不可达。");
    case SocketFault::NoBufferSpace:
        return SocketWords::tr("系统资源不足。");
    case SocketFault::TimedOut:
        return SocketWords::tr("操作超时。");
    default:
        break;
    }
    return QString();
}

} // namespace

QString EndpointText(const SocketErrorContext &context) {
    if (context.address.isEmpty())
        return QString::number(context.port);
    return QStringLiteral("%1:%2").arg(context.address).arg(context.port);
}

QString LocalAddressesText(const QList<LocalCard> &cards) {
    if (cards.isEmpty())
        return SocketWords::tr("本机没有可用的IPv4地址。");
    return SocketWords::tr("本机的地址：%1").arg(CardListText(cards, SocketWords::tr("，")));
}

QString SocketErrorDescription(const SocketError &error) {
    const SocketErrorContext &context = error.context;
    switch (error.fault) {
    case SocketFault::Described:
        return error.description;
    case SocketFault::PortOutOfRange:
        return SocketWords::tr("%1 %2 超出范围（%3-65535）。")
            .arg(error.portName)
            .arg(context.port)
            .arg(error.lowestPort);
    case SocketFault::AlreadyBound:
        return SocketWords::tr("套接字已经绑定在 %1，须先关闭才能再次绑定。").arg(EndpointText(context));
    case SocketFault::LocalNotIPv4:
        return SocketWords::tr("本机IP“%1”不是IPv4地址，无法绑定端口 %2。请填写本机的IPv4地址。%3")
            .arg(context.address)
            .arg(context.port)
            .arg(LocalAddressesText(error.cards));
    case SocketFault::LocalNotHere:
        // The list ends the text, so that the operator can copy an address from it.
        return SocketWords::tr("本机IP“%1”不是本机的地址，无法绑定端口 %2。请填写本机的IP地址。%3")
            .arg(context.address)
            .arg(context.port)
            .arg(LocalAddressesText(error.cards));
    case SocketFault::NoRoute:
        return SocketWords::tr("本机没有网卡或路由能到达 %1%2。本机的网卡：%3。")
            .arg(context.address,
                 error.moreAddresses > 0
                     ? SocketWords::tr("（另有 %1 个地址同样无法到达）").arg(error.moreAddresses)
                     : QString(),
                 CardListText(error.cards));
    case SocketFault::NotBound:
        return SocketWords::tr("套接字尚未绑定本机地址，不能发送。");
    case SocketFault::NoRemoteHost:
        return SocketWords::tr("尚未设置读卡器地址（RemoteHost），不能发送。");
    case SocketFault::RemoteNotIPv4:
        return SocketWords::tr("读卡器地址“%1”不是IPv4地址。").arg(context.address);
    case SocketFault::RemoteIsZero:
        return SocketWords::tr("读卡器地址 0.0.0.0 不能作为发送目标，请填写读卡器的IP地址。");
    default:
        break;
    }
    const QString condition = Condition(error);
    if (condition.isEmpty()) {
        const QString detail = error.systemNumber ? Detail(error) : SocketWords::tr("（未知的套接字错误）");
        return SocketWords::tr("%1。%2").arg(Doing(context), detail);
    }
    return SocketWords::tr("%1：%2%3").arg(Doing(context), condition, Detail(error));
}

std::optional<QString> SocketErrorMessage(const SocketError &error, bool silentReset) {
    switch (error.number) {
    case SocketErrorNumber::InvalidArgument:
        return SocketWords::tr("无效参数！请确认读卡器IP填写是否正确！");
    case SocketErrorNumber::AddressInUse:
        return SocketWords::tr("地址正在使用！");
    case SocketErrorNumber::ConnectionReset:
        if (silentReset)
            return std::nullopt;
        return SocketWords::tr("连接由远程端重新设置！");
    case SocketErrorNumber::WrongState:
        return SocketWords::tr("所需事物或请求的错误协议或连接状态！");
    case SocketErrorNumber::OutOfRange:
        return SocketWords::tr("传递到一个函数的参数格式不正确或未传递到指定范围！端口范围“1-65535！”");
    default:
        return SocketErrorDescription(error);
    }
}

QString SystemErrorText(SystemCondition condition, int number) {
    switch (condition) {
    case SystemCondition::NotPermitted:
        return SocketWords::tr("不允许的操作");
    case SystemCondition::AccessDenied:
        return SocketWords::tr("权限不够");
    case SystemCondition::InvalidArgument:
        return SocketWords::tr("无效的参数");
    case SystemCondition::WouldBlock:
        return SocketWords::tr("资源暂时不可用");
    case SystemCondition::OutOfMemory:
        return SocketWords::tr("无法分配内存");
    case SystemCondition::BadDescriptor:
        return SocketWords::tr("错误的文件描述符");
    case SystemCondition::MessageTooLong:
        return SocketWords::tr("消息过长");
    case SystemCondition::AddressInUse:
        return SocketWords::tr("地址已在使用");
    case SystemCondition::AddressNotAvailable:
        return SocketWords::tr("无法指定被请求的地址");
    case SystemCondition::NetworkDown:
        return SocketWords::tr("网络已关闭");
    case SystemCondition::NetworkUnreachable:
        return SocketWords::tr("网络不可达");
    case SystemCondition::NoBufferSpace:
        return SocketWords::tr("没有可用的缓冲区空间");
    case SystemCondition::TimedOut:
        return SocketWords::tr("连接超时");
    case SystemCondition::ConnectionRefused:
        return SocketWords::tr("拒绝连接");
    case SystemCondition::ConnectionReset:
        return SocketWords::tr("连接被对方重置");
    case SystemCondition::HostDown:
        return SocketWords::tr("主机关闭");
    case SystemCondition::HostUnreachable:
        return SocketWords::tr("没有到主机的路由");
    case SystemCondition::None:
    case SystemCondition::Other:
        break;
    }
    return SocketWords::tr("系统错误 %1").arg(number);
}

} // namespace vrx
