// How many new neighbours the kernel's table admits, measured as a scan meets it: the bound that the
// scan lines are timed against.
#include "BenchLines.h"

#include "config/ParameterBlock.h"
#include "link/ReplyWait.h"
#include "link/SSock.h"
#include "net/AddressRange.h"
#include "net/ReaderExchange.h"
#include "words/SocketWords.h"

#include <QThread>

namespace vrx::lan::bench {

Admission MeasureAdmission(const EmulatedLan &lan, const QString &lanName, const QString &firstFree,
                           QString *error) {
    Admission admission;
    SSock socket;
    {
        netns::Entry inside = lan.enter();
        if (!inside.isInside()) {
            *error = inside.errorString();
            return admission;
        }
        try {
            socket.Bind(1998, lan.computerAddress(lanName));
        } catch (const SocketException &failure) {
            *error = SocketErrorDescription(failure.error());
            return admission;
        }
    }
    // Large enough that only the table can refuse: the buffer is not what is measured here.
    socket.SetSendBufferSize(8 << 20);
    const QByteArray query = ParameterQuery();
    quint32 next = *StrictAddress(firstFree);
    const qint64 start = TickCount();
    for (;;) {
        const SSock::SendOutcome outcome = socket.TrySendData(query, next, ReaderPort);
        if (outcome == SSock::SendOutcome::Dropped)
            break;
        if (outcome != SSock::SendOutcome::Sent) {
            *error = QStringLiteral("the send buffer, not the table, refused after %1").arg(admission.atOnce);
            return admission;
        }
        ++admission.atOnce;
        ++next;
    }
    // The kernel frees room as the first ARPs are given up: asked every millisecond from then on.
    while (socket.TrySendData(query, next, ReaderPort) == SSock::SendOutcome::Dropped) {
        if (TickCount() - start > 60000) {
            *error = QStringLiteral("the table admitted nothing new for a minute");
            return admission;
        }
        QThread::msleep(1);
    }
    admission.lifetimeMs = TickCount() - start;
    return admission;
}

void LetArpsSettle(const Admission &admission, const QList<const EmulatedLan *> &lans) {
    QThread::msleep(ulong(admission.lifetimeMs + 500));
    // The given-up entries stay in the table until the kernel needs their room. A scan sees those of
    // its own namespace as free room, as on a computer with one namespace, but must count another
    // namespace's as taken: emptied here, so that each step starts as it would on a real computer.
    for (const EmulatedLan *lan : lans)
        lan->run(EmulatedLan::Computer, QStringLiteral("ip"), {"neigh", "flush", "all"});
}

} // namespace vrx::lan::bench
