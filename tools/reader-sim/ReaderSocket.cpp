#include "ReaderSocket.h"

#include "DirectReaderSocket.h"
#include "RelayMessage.h"
#include "RelayedReaderSocket.h"

namespace vrx {

ReaderSocket *ReaderSocket::Make(QObject *parent) {
    const QString relay = qEnvironmentVariable(RelayVariable);
    if (relay.isEmpty())
        return new DirectReaderSocket(parent);
    return new RelayedReaderSocket(relay, parent);
}

} // namespace vrx
