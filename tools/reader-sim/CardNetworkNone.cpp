// Systems without rtnetlink: a simulated reader cannot be a device on a card there.
#include "CardNetwork.h"

namespace vrx {

namespace {
QString Unsupported() {
    return QStringLiteral("a reader on a network card needs Linux network namespaces");
}
} // namespace

bool InOwnNetworkNamespace(QString *why) {
    *why = Unsupported();
    return false;
}

std::optional<CardAddress> ReadCardAddress(const QString &, QString *error) {
    *error = Unsupported();
    return std::nullopt;
}

bool RenumberCard(const QString &, const CardAddress &, const CardAddress &, QString *error) {
    *error = Unsupported();
    return false;
}

} // namespace vrx
