// The parameter-block decoder and everything shown from a received block: the former fields, the
// summary and the configure report. Any bytes decode; a block rebuilt from what was decoded is 41
// bytes with its markers and carries the same settings; the former fields read back into the target
// fields encode the same block.

#include "FuzzCheck.h"

#include "config/FormerFields.h"
#include "config/ParameterBlock.h"
#include "config/SettingsSummary.h"
#include "config/TargetFields.h"
#include "fields/AddressText.h"
#include "fields/HexText.h"

using namespace vrx;

namespace {

void CheckAddressText(const QString &text, const AddressBytes &bytes) {
    const AddressParse parse = ParseIpAddress(text);
    FUZZ_CHECK(parse.ok() && parse.bytes == bytes && text == DottedText(bytes));
}

void CheckChoice(const ChoiceDisplay &choice, int listSize) {
    FUZZ_CHECK(choice.index >= -1 && choice.index < listSize);
    FUZZ_CHECK((choice.index == -1) == !choice.errorText.isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray input = fuzz::Bytes(data, size);
    const ReaderSettings settings = ParameterBlock::decode(input);

    // Short input reads as if zero-padded; only the first 41 bytes count.
    QByteArray padded = input.left(ParameterBlock::Size);
    padded.append(QByteArray(ParameterBlock::Size - padded.size(), '\0'));
    FUZZ_CHECK(ParameterBlock::decode(padded) == settings);

    const QByteArray block = ParameterBlock::encode(settings);
    FUZZ_CHECK(block.size() == ParameterBlock::Size);
    FUZZ_CHECK(ParameterBlock::hasMarkers(block));
    FUZZ_CHECK(block.at(4) == 0 && block.at(35) == 0 && block.at(36) == 0);
    FUZZ_CHECK(block.mid(5, 30) == padded.mid(5, 30)); // markers and reserved bytes are not examined
    FUZZ_CHECK(ParameterBlock::decode(block) == settings);

    const bool marked = input.size() == ParameterBlock::Size && input.startsWith("\xE7\xE7\xE7\xE7") &&
                        input.endsWith("\x7E\x7E\x7E\x7E");
    FUZZ_CHECK(ParameterBlock::hasMarkers(input) == marked);

    const FormerFields former = FormerFieldsFromSettings(settings);
    CheckAddressText(former.readerIp, settings.readerIp);
    CheckAddressText(former.subnetMask, settings.subnetMask);
    CheckAddressText(former.defaultGateway, settings.defaultGateway);
    CheckAddressText(former.serverIp, settings.serverIp);
    FUZZ_CHECK(former.readerPort == QString::number(settings.readerPort));
    FUZZ_CHECK(former.serverPort == QString::number(settings.serverPort));
    FUZZ_CHECK(former.mac.size() == 17 && ParseMacText(former.mac) == settings.readerMac);
    CheckChoice(former.protocol, 3);
    CheckChoice(former.heartbeat, 2);
    CheckChoice(former.beep, 2);
    CheckChoice(former.keySource, 2);
    FUZZ_CHECK(former.heartbeat.index >= 0); // every heartbeat byte has a list position

    const QString summary = SettingsSummary(padded);
    FUZZ_CHECK(summary == SettingsSummary(input));
    FUZZ_CHECK(summary.count(QStringLiteral("\r\n")) == 11 && summary.endsWith(QStringLiteral("\r\n")));
    FUZZ_CHECK(summary.contains(DottedText(settings.readerIp)) && summary.contains(former.mac));
    FUZZ_CHECK(ConfigureReport(true, padded) == QStringLiteral("设置成功！\r\n\r\n") + summary);
    FUZZ_CHECK(ConfigureReport(false, padded).endsWith(QStringLiteral("\r\n\r\n")));

    // The former fields typed into the target fields give the same block back, as long as every value
    // is one the target side accepts; only a protocol outside its list stops the encoder.
    TargetFields target;
    target.readerIp = former.readerIp;
    target.subnetMask = former.subnetMask;
    target.defaultGateway = former.defaultGateway;
    target.serverIp = former.serverIp;
    target.readerPort = former.readerPort;
    target.serverPort = former.serverPort;
    target.mac = former.mac;
    target.protocolIndex = former.protocol.index;
    target.heartbeatIndex = former.heartbeat.index;
    target.beepIndex = former.beep.index;
    target.keySourceIndex = former.keySource.index;
    const bool representable = settings.readerIp[3] != 0 && settings.defaultGateway[3] != 0 &&
                               settings.serverIp[3] != 0 && settings.readerPort != 0 &&
                               settings.serverPort != 0 && former.protocol.index >= 0;
    QByteArray sendBuffer;
    const EncodeOutcome outcome = EncodeTargetFields(target, sendBuffer);
    FUZZ_CHECK(sendBuffer.size() == ParameterBlock::Size && ParameterBlock::hasMarkers(sendBuffer));
    FUZZ_CHECK(outcome.ok == representable);
    if (outcome.ok) {
        // A choice box showing bad data has no list position; written back it takes the non-zero code.
        QByteArray expected = block;
        if (settings.heartbeat != Heartbeat::Send)
            expected[ParameterBlock::HeartbeatOffset] = char(Heartbeat::DoNotSend);
        if (settings.beepOnRead != Beep::Silent)
            expected[ParameterBlock::BeepOffset] = char(Beep::OnRead);
        if (settings.keySource != KeySource::Command)
            expected[ParameterBlock::KeySourceOffset] = char(KeySource::Reader);
        FUZZ_CHECK(sendBuffer == expected);
    }
    return 0;
}
