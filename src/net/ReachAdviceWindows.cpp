#include "net/ReachAdvice.h"

#include "fields/AddressText.h"

#include <QNetworkInterface>

namespace vrx {

namespace {

// netsh knows a card by the name the operator sees ("Ethernet"), not by Qt's internal one.
QString NetshName(const QString &card) {
    const QNetworkInterface found = QNetworkInterface::interfaceFromName(card);
    const QString name =
        found.isValid() && !found.humanReadableName().isEmpty() ? found.humanReadableName() : card;
    return u'"' + name + u'"';
}

QString MaskText(int prefixLength) {
    const quint32 mask = prefixLength == 0 ? 0 : ~quint32(0) << (32 - prefixLength);
    return DottedText({quint8(mask >> 24), quint8(mask >> 16), quint8(mask >> 8), quint8(mask)});
}

} // namespace

// Both run from an administrator prompt; netsh keeps the address until it is deleted.
QString ReachAdvice::addCommand() const {
    return QStringLiteral("netsh interface ipv4 add address %1 %2 %3")
        .arg(NetshName(card), addressText(), MaskText(prefixLength));
}

QString ReachAdvice::removeCommand() const {
    return QStringLiteral("netsh interface ipv4 delete address %1 %2").arg(NetshName(card), addressText());
}

} // namespace vrx
