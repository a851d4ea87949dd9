#include "SocketErrorText.h"

#include "words/SocketWords.h"

#include <QCoreApplication>

namespace vrxctl {

namespace {

using vrx::SocketFault;

QString Setcap() {
    return QStringLiteral("sudo setcap cap_net_bind_service=+ep %1")
        .arg(QCoreApplication::instance() ? QCoreApplication::applicationFilePath()
                                          : QStringLiteral("vrxctl"));
}

} // namespace

// The shared words say what failed; a bind that the operator can mend on vrxctl's command line says
// how (--local, the capability for a port below 1024).
QString SocketErrorText(const vrx::SocketError &error) {
    const vrx::SocketErrorContext &context = error.context;
    const bool binding = context.operation == vrx::SocketErrorContext::Binding;
    switch (error.fault) {
    case SocketFault::LocalNotIPv4:
        return QStringLiteral("cannot bind port %2: the local address \"%1\" is not an IPv4 address; give "
                              "--local with one of this computer's addresses (%3)")
            .arg(context.address)
            .arg(context.port)
            .arg(vrx::LocalAddressesText(error.cards));
    case SocketFault::LocalNotHere:
        return QStringLiteral("cannot bind %1: this computer has no such address; give --local with one of "
                              "its addresses (%2)")
            .arg(vrx::EndpointText(context), vrx::LocalAddressesText(error.cards));
    case SocketFault::AddressInUse:
        if (binding)
            return QStringLiteral(
                       "address in use: another program holds %1; close it or give another --local")
                .arg(vrx::EndpointText(context));
        break;
    case SocketFault::AccessDenied:
        if (binding && error.bindRefusal == vrx::BindRefusal::PrivilegedPort)
            return QStringLiteral("no privilege to bind %1: ports below 1024 need root or the "
                                  "cap_net_bind_service capability (%2)")
                .arg(vrx::EndpointText(context), Setcap());
        break;
    default:
        break;
    }
    return vrx::SocketErrorDescription(error);
}

QString SocketFailureText(const vrx::SocketError &error) {
    return QStringLiteral("socket error %1: %2").arg(error.number).arg(SocketErrorText(error));
}

} // namespace vrxctl
