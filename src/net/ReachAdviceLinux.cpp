#include "net/ReachAdvice.h"

namespace vrx {

QString ReachAdvice::addCommand() const {
    return QStringLiteral("sudo ip addr add %1/%2 dev %3").arg(addressText()).arg(prefixLength).arg(card);
}

QString ReachAdvice::removeCommand() const {
    return QStringLiteral("sudo ip addr del %1/%2 dev %3").arg(addressText()).arg(prefixLength).arg(card);
}

} // namespace vrx
