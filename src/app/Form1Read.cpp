#include "app/Form1.h"

#include "config/FormerFields.h"
#include "config/ParameterBlock.h"

namespace vrx {

// The read: ask the reader for its settings and show them in the former ("原IP信息") fields.

bool Form1::QueryReaderParameters() {
    Exchange.ReadMode = true;
    try {
        if (!SendAndWait(ParameterQuery()))
            return false; // the window is gone
    } catch (const SocketException &failure) {
        ShowSocketError(failure.error(), false);
        return false;
    }
    return Exchange.ExchangeStatus == Status::ParametersRead;
}

static void ShowChoice(ListBox *box, const ChoiceDisplay &choice) {
    if (choice.index < 0) {
        box->setText(choice.errorText);
        return;
    }
    // Selecting the item that is already selected and shown changes nothing, raises nothing, and would
    // only lay out the text part again; a read of the same reader finds every list as it left it.
    if (box->currentIndex() != choice.index || box->currentText() != box->itemText(choice.index))
        box->setCurrentIndex(choice.index);
}

void Form1::ShowReaderParameters() {
    if (Exchange.ReceiveBuffer != m_shownBlock) {
        m_shownFields = FormerFieldsFromSettings(ParameterBlock::decode(Exchange.ReceiveBuffer));
        m_shownBlock = Exchange.ReceiveBuffer;
    }
    const FormerFields &former = m_shownFields;
    Text1[6]->setText(former.readerIp);
    Text1[7]->setText(former.subnetMask);
    Text1[8]->setText(former.defaultGateway);
    Text1[9]->setText(former.serverIp);
    Text1[10]->setText(former.readerPort);
    Text1[11]->setText(former.serverPort);
    TextMac[1]->setText(former.mac);
    ShowChoice(CombBeep[1], former.beep);
    ShowChoice(CombPass[1], former.keySource);
    ShowChoice(CombUDP[1], former.protocol);
    ShowChoice(CombSend[1], former.heartbeat);
}

} // namespace vrx
