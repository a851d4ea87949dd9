#include "app/Form1.h"

#include "link/ReplyWait.h"

#include <QPushButton>

namespace vrx {

// The socket and what the three operations share: preparing the socket for one exchange, sending a
// frame and waiting for the reply, classifying what arrives, and the fixed socket error texts.

std::unique_ptr<vrx::SSock> Form1::CreateSocket() {
    auto socket = std::make_unique<vrx::SSock>();
    connect(socket.get(), &vrx::SSock::DataArrival, this, &Form1::SSock_DataArrival);
    connect(socket.get(), &vrx::SSock::Error, this, &Form1::SSock_Error);
    return socket;
}

void Form1::OpenReaderLink(const QString &readerAddress) {
    SSock->setRemoteHost(readerAddress);
    SSock->setRemotePort(ReaderPort);
    BindComputerSide();
}

void Form1::BindComputerSide() {
    SSock->setLocalPort(ComputerPort);
    SSock->Bind(ComputerPort, TextPCIP->text());
}

bool Form1::SendAndWait(const QByteArray &frame) {
    const qint64 startTime = TickCount();
    try {
        SSock->SendData(frame);
    } catch (const SocketException &failure) {
        m_traffic.Log().RecordSendFailure(SSock->RemoteHost(), quint16(SSock->RemotePort()), frame,
                                          failure.error());
        throw;
    }
    m_traffic.Log().RecordSent(SSock->RemoteHost(), quint16(SSock->RemotePort()), frame);
    // The wait runs the window's events, so the window may be gone when it returns.
    const WaitOutcome outcome = WaitForReply(startTime, Exchange.ExchangeStatus, this);
    if (outcome == WaitOutcome::TimedOut)
        m_traffic.Log().RecordNoReply(SSock->RemoteHost(), quint16(SSock->RemotePort()), int(ReplyWaitMs));
    return outcome != WaitOutcome::OwnerDestroyed;
}

void Form1::SetOperationButtonsEnabled(bool enabled) {
    Command1->setEnabled(enabled);
    Command3->setEnabled(enabled);
    Command5->setEnabled(enabled);
}

void Form1::ShowSocketError(const SocketError &error, bool silentReset) {
    if (const std::optional<QString> text = SocketErrorMessage(error, silentReset))
        Messages().Show(*text);
}

void Form1::SSock_DataArrival(const QByteArray &datagram, const QString &sender, quint16 senderPort) {
    try {
        const DatagramVerdict verdict = ClassifyDatagramInPlace(datagram, sender, Exchange);
        m_traffic.Log().RecordReceived(sender, senderPort, datagram, verdict, Exchange.ExchangeStatus);
    } catch (const SocketException &failure) {
        ShowSocketError(failure.error(), true);
    } catch (const std::exception &failure) {
        ShowSocketError(SocketError(0, QString::fromUtf8(failure.what())), true);
    }
}

// A datagram that could not be taken: the status stays as it was, and a reset (an ICMP answer to an
// earlier datagram) passes without a word.
void Form1::SSock_Error(const vrx::SocketError &error) {
    ShowSocketError(error, true);
}

// A UDP socket never receives connection requests; there is nothing to accept. Closing keeps the
// socket in the state every operation expects to find: closed or bound.
void Form1::SSock_ConnectionRequest(long) {
    if (SSock->State() != 0)
        SSock->Close();
}

void Form1::SSock_SendComplete() {}

} // namespace vrx
