#include "app/Form1.h"

#include <QPointer>
#include <QPushButton>

namespace vrx {

// The three command buttons: read the reader's parameters, configure the reader, download the keys.
// Each handler closes the socket, checks the reader address, points the socket at the reader, runs its
// operation and leaves the window usable. Failures of the socket are reported as each step's own
// rules say: the read and the configure by the failure's description, the key download's set-up
// through the fixed socket error texts.
//
// An operation waits for its reply inside a nested event loop, where the operator may close the
// window; each handler then returns at once without touching any member.

void Form1::Command1_Click() {
    const QPointer<Form1> alive(this);
    bool addressAccepted = true;
    Guarded([&] {
        if (SSock->State() != 0)
            SSock->Close();
        AddressBytes address{};
        if (!ParseIpAddress(TextFindIP[0]->text(), address)) {
            Messages().Show(tr("请确认扫描的IP填写的格式正确！"));
            addressAccepted = false; // the buttons stay as they were
            return;
        }
        Exchange.ReaderAddress = DottedText(address);
        // The read prepares the local side first; the socket ends up as OpenReaderLink leaves it.
        BindComputerSide();
        SSock->setRemotePort(ReaderPort);
        SSock->setRemoteHost(Exchange.ReaderAddress);
        Exchange.ReadMode = true;
        Exchange.ExchangeStatus = Status::None;

        const bool received = QueryReaderParameters();
        if (!alive)
            return;
        if (received) {
            ShowReaderParameters();
            TellFindReaders(false);
            Messages().Show(tr("获取设备参数成功！"));
        } else {
            Messages().Show(tr("获取设备参数失败！"));
        }
    });
    if (alive && addressAccepted)
        SetOperationButtonsEnabled(true);
}

// Steps 1 to 5 of the configure and the key download: false when the handler is to end, after the
// address message has been shown. Socket failures are thrown to the caller, which reports them its way.
bool Form1::PrepareForReader() {
    if (SSock->State() != 0)
        SSock->Close();
    const QString text = TextFindIP[0]->text();
    if (text.isEmpty()) {
        m_messages.Show(tr("请先填写要配置的读卡器IP!"));
        return false;
    }
    AddressBytes address{};
    if (!ParseIpAddress(text, address)) {
        m_messages.Show(tr("请确认读卡器的IP填写的格式正确！"));
        return false;
    }
    Exchange.ReaderAddress = DottedText(address);
    OpenReaderLink(Exchange.ReaderAddress);
    return true;
}

void Form1::Command3_Click() {
    const QPointer<Form1> alive(this);
    Guarded([&] {
        if (!PrepareForReader())
            return;
        Exchange.ExchangeStatus = Status::None;
        Exchange.ReadMode = false;
        SetOperationButtonsEnabled(false);
        WriteReaderParameters();
        if (!alive)
            return;
        SetOperationButtonsEnabled(true);
        if (Exchange.ExchangeStatus == Status::ConfigureEchoed)
            TellFindReaders(true);

        // Bound again to the address in TextPCIP as it reads now, so an edit made during the
        // operation takes effect; the remote side keeps the reader.
        if (SSock->State() != 0)
            SSock->Close();
        BindComputerSide();
    });
}

void Form1::Command5_Click() {
    const QPointer<Form1> alive(this);
    try {
        if (!PrepareForReader())
            return;
    } catch (const SocketException &failure) {
        ShowSocketError(failure.error(), false);
        return; // before the buttons are disabled
    } catch (const std::exception &failure) {
        ShowSocketError(SocketError(0, QString::fromUtf8(failure.what())), false);
        return;
    }
    SetOperationButtonsEnabled(false);
    Exchange.ExchangeStatus = Status::None;
    Exchange.ReadMode = false;
    Exchange.KeyEchoMatched = false;
    DownloadReaderKeys();
    if (alive)
        SetOperationButtonsEnabled(true);
}

} // namespace vrx
