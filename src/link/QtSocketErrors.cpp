#include "link/QtSocketErrors.h"

#include "link/SystemErrors.h"

namespace vrx {

namespace {

QString Endpoint(const SocketErrorContext &context) {
    if (context.address.isEmpty())
        return QString::number(context.port);
    return QStringLiteral("%1:%2").arg(context.address).arg(context.port);
}

// Qt's own text as a parenthesised detail, left out when it says nothing.
QString Detail(const QString &qtText) {
    if (qtText.isEmpty() || qtText.compare(QLatin1String("Unknown error"), Qt::CaseInsensitive) == 0)
        return QString();
    return QStringLiteral("（%1）").arg(qtText);
}

QString Doing(const SocketErrorContext &context) {
    switch (context.operation) {
    case SocketErrorContext::Binding:
        return QStringLiteral("绑定本机地址 %1 失败").arg(Endpoint(context));
    case SocketErrorContext::Sending:
        return QStringLiteral("发送到 %1 失败").arg(Endpoint(context));
    case SocketErrorContext::Receiving:
        break;
    }
    return QStringLiteral("接收数据失败");
}

} // namespace

QString LocalAddressesText(const QList<LocalCard> &cards) {
    if (cards.isEmpty())
        return QStringLiteral("本机没有可用的IPv4地址。");
    return QStringLiteral("本机的地址：") + CardListText(cards, QStringLiteral("，"));
}

SocketError SocketErrorFromQt(QAbstractSocket::SocketError error, const QString &qtText,
                              const SocketErrorContext &context, const QList<LocalCard> &cards) {
    const QString doing = Doing(context);
    const QString detail = Detail(qtText);
    const bool binding = context.operation == SocketErrorContext::Binding;

    switch (error) {
    case QAbstractSocket::AddressInUseError:
        return {SocketErrorNumber::AddressInUse,
                QStringLiteral("%1：地址正在使用，端口 %2 已被另一个程序占用。%3")
                    .arg(doing)
                    .arg(context.port)
                    .arg(detail)};
    case QAbstractSocket::UnsupportedSocketOperationError:
        return {SocketErrorNumber::InvalidArgument, QStringLiteral("%1：无效参数。%2").arg(doing, detail)};
    case QAbstractSocket::ConnectionRefusedError:
    case QAbstractSocket::RemoteHostClosedError:
        return {SocketErrorNumber::ConnectionReset,
                QStringLiteral("%1：连接由远程端重新设置（对方端口没有程序接收）。%2").arg(doing, detail)};
    case QAbstractSocket::OperationError:
        return {SocketErrorNumber::WrongState,
                QStringLiteral("%1：套接字的当前状态不允许这个操作。%2").arg(doing, detail)};
    case QAbstractSocket::SocketAccessError:
        if (const QString reason = binding ? BindRefusedReason(context.port) : QString(); !reason.isEmpty())
            return {SocketErrorNumber::AccessDenied, QStringLiteral("%1：%2%3").arg(doing, reason, detail)};
        return {SocketErrorNumber::AccessDenied, QStringLiteral("%1：权限不足。%2").arg(doing, detail)};
    case QAbstractSocket::SocketAddressNotAvailableError:
        // The list ends the text, so that the operator can copy an address from it.
        if (binding)
            return {SocketErrorNumber::AddressNotAvailable,
                    QStringLiteral("本机IP“%1”不是本机的地址，无法绑定端口 %2。请填写本机的IP地址。%3")
                        .arg(context.address)
                        .arg(context.port)
                        .arg(LocalAddressesText(cards))};
        return {SocketErrorNumber::AddressNotAvailable,
                QStringLiteral("%1：地址不可用。%2").arg(doing, detail)};
    case QAbstractSocket::DatagramTooLargeError:
        return {SocketErrorNumber::MessageTooLong, QStringLiteral("%1：数据报太长。%2").arg(doing, detail)};
    case QAbstractSocket::NetworkError:
        return {SocketErrorNumber::NetworkUnreachable,
                QStringLiteral("%1：网络不可达。%2").arg(doing, detail)};
    case QAbstractSocket::SocketResourceError:
        return {SocketErrorNumber::NoBufferSpace, QStringLiteral("%1：系统资源不足。%2").arg(doing, detail)};
    case QAbstractSocket::SocketTimeoutError:
        return {SocketErrorNumber::TimedOut, QStringLiteral("%1：操作超时。%2").arg(doing, detail)};
    default:
        break;
    }
    return {SocketErrorNumber::Unclassified,
            QStringLiteral("%1。%2").arg(doing,
                                         detail.isEmpty() ? QStringLiteral("（未知的套接字错误）") : detail)};
}

SocketError SocketErrorOfSystem(int number, const SocketErrorContext &context) {
    return SocketErrorFromQt(QtConditionOfSystemError(number), SystemErrorText(number), context);
}

} // namespace vrx
