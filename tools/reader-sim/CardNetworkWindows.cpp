#include "CardNetwork.h"

namespace vrx {

namespace {

QString Unavailable() {
    return QStringLiteral("a reader on a network card needs Linux network namespaces, which Windows lacks");
}

} // namespace

bool CanControlCards() {
    return false;
}

bool InOwnNetworkNamespace(QString *why) {
    if (why)
        *why = Unavailable();
    return false;
}

std::optional<CardAddress> ReadCardAddress(const QString &, QString *error) {
    if (error)
        *error = Unavailable();
    return std::nullopt;
}

bool RenumberCard(const QString &, const CardAddress &, const CardAddress &, QString *error) {
    if (error)
        *error = Unavailable();
    return false;
}

} // namespace vrx
