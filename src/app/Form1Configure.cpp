#include "app/Form1.h"

#include "config/SettingsSummary.h"
#include "config/TargetFields.h"
#include "words/FieldWords.h"

namespace vrx {

// The body of the configure: check and encode the target ("目标IP信息") fields, send the block, and
// report the reader's echo with a summary of what was written.

void Form1::WriteReaderParameters() {
    Guarded([&] {
        const TargetFields fields{
            .readerIp = Text1[0]->text(),
            .subnetMask = Text1[1]->text(),
            .defaultGateway = Text1[2]->text(),
            .serverIp = Text1[3]->text(),
            .readerPort = Text1[4]->text(),
            .serverPort = Text1[5]->text(),
            .mac = TextMac[0]->text(),
            .protocolIndex = CombUDP[0]->currentIndex(),
            .heartbeatIndex = CombSend[0]->currentIndex(),
            .beepIndex = CombBeep[0]->currentIndex(),
            .keySourceIndex = CombPass[0]->currentIndex(),
        };
        const EncodeOutcome encoded = EncodeTargetFields(fields, Exchange.SendBuffer);
        if (!encoded.ok) {
            // The first bad field's message, after the parser's overflow report when there was one.
            for (const QString &message : TargetProblemTexts(encoded.problems))
                Messages().Show(message);
            return;
        }
        if (!SendAndWait(Exchange.SendBuffer))
            return; // the window is gone
        // Built from what was sent: edits made during the wait change nothing here.
        Messages().Show(
            ConfigureReport(Exchange.ExchangeStatus == Status::ConfigureEchoed, Exchange.SendBuffer));
    });
}

} // namespace vrx
