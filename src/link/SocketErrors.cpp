#include "link/SocketErrors.h"

namespace vrx {

std::optional<QString> SocketErrorMessage(const SocketError &error, bool silentReset) {
    switch (error.number) {
    case SocketErrorNumber::InvalidArgument:
        return QStringLiteral("无效参数！请确认读卡器IP填写是否正确！");
    case SocketErrorNumber::AddressInUse:
        return QStringLiteral("地址正在使用！");
    case SocketErrorNumber::ConnectionReset:
        if (silentReset)
            return std::nullopt;
        return QStringLiteral("连接由远程端重新设置！");
    case SocketErrorNumber::WrongState:
        return QStringLiteral("所需事物或请求的错误协议或连接状态！");
    case SocketErrorNumber::OutOfRange:
        return QStringLiteral("传递到一个函数的参数格式不正确或未传递到指定范围！端口范围“1-65535！”");
    default:
        return error.description;
    }
}

} // namespace vrx
