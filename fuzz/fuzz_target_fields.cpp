// The whole target-field check and encoder. Input lines: reader IP, mask, gateway, server IP, reader
// port, server port, MAC, then the protocol, heartbeat, beep and key-source list positions.
// Whatever the fields hold, the buffer ends as 41 bytes with its markers; the first failing field
// alone is reported; an accepted set decodes back to exactly what the fields say and re-encodes
// byte for byte.

#include "FuzzCheck.h"
#include "PlainPort.h"

#include "config/ParameterBlock.h"
#include "config/SettingsSummary.h"
#include "config/TargetFields.h"
#include "fields/AddressText.h"
#include "fields/HexText.h"
#include "words/FieldWords.h"

using namespace vrx;

namespace {

// What the encoder must answer, worked out field by field in the window's order.
struct Expected {
    QStringList messages;
    ReaderSettings settings;
};

Expected Expect(const TargetFields &f) {
    Expected e;
    struct AddressField {
        const QString &text;
        bool fourthMayBeZero;
        const char16_t *message;
        AddressBytes &bytes;
    };
    const AddressField addresses[] = {
        {f.readerIp, false, u"请输入正确的本机地址", e.settings.readerIp},
        {f.subnetMask, true, u"请输入正确的子网掩码", e.settings.subnetMask},
        {f.defaultGateway, false, u"请输入正确的默认网关", e.settings.defaultGateway},
        {f.serverIp, false, u"请输入正确服务器计算机IP", e.settings.serverIp},
    };
    for (const AddressField &a : addresses) {
        const AddressParse parse = ParseIpAddress(a.text);
        if (parse.overflowed())
            e.messages << OverflowDescription();
        if (!parse.ok() || (!a.fourthMayBeZero && parse.bytes[3] == 0)) {
            e.messages << QString::fromUtf16(a.message);
            return e;
        }
        a.bytes = parse.bytes;
    }
    const auto readerPort = fuzz::ReadPortPlainly(f.readerPort);
    if (!readerPort) {
        e.messages << QStringLiteral("请输入1-65535之间的读卡器端口号");
        return e;
    }
    e.settings.readerPort = *readerPort;
    const auto serverPort = fuzz::ReadPortPlainly(f.serverPort);
    if (!serverPort) {
        e.messages << QStringLiteral("请输入1-65535之间的服务器计算机端口号");
        return e;
    }
    e.settings.serverPort = *serverPort;
    const auto mac = ParseMacText(f.mac);
    if (!mac) {
        e.messages << QStringLiteral("请输入正确的读卡器MAC");
        return e;
    }
    e.settings.readerMac = *mac;
    if (f.protocolIndex < 0 || f.protocolIndex > 2) {
        e.messages << QStringLiteral("读卡器协议不是列表中的一项，无法设置");
        return e;
    }
    e.settings.readerProtocol = quint8(f.protocolIndex);
    e.settings.beepOnRead = f.beepIndex == 0 ? Beep::Silent : Beep::OnRead;
    e.settings.keySource = f.keySourceIndex == 0 ? KeySource::Command : KeySource::Reader;
    e.settings.heartbeat = f.heartbeatIndex == 0 ? Heartbeat::DoNotSend : Heartbeat::Send;
    return e;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QStringList lines = fuzz::Lines(data, size);
    TargetFields f;
    QString *texts[] = {&f.readerIp,   &f.subnetMask, &f.defaultGateway, &f.serverIp, &f.readerPort,
                        &f.serverPort, &f.mac};
    for (int i = 0; i < 7; ++i)
        *texts[i] = lines.value(i);
    int *indexes[] = {&f.protocolIndex, &f.heartbeatIndex, &f.beepIndex, &f.keySourceIndex};
    for (int i = 0; i < 4; ++i) {
        if (7 + i < lines.size())
            *indexes[i] = lines[7 + i].trimmed().toInt(); // not a number: 0
    }

    // A buffer left by an earlier run, of any length and content.
    QByteArray buffer = fuzz::Bytes(data, std::min<size_t>(size, 60));
    const EncodeOutcome outcome = EncodeTargetFields(f, buffer);
    const Expected expected = Expect(f);

    FUZZ_CHECK(buffer.size() == ParameterBlock::Size);
    FUZZ_CHECK(ParameterBlock::hasMarkers(buffer));
    FUZZ_CHECK(buffer.at(4) == 0);
    FUZZ_CHECK(outcome.ok == expected.messages.isEmpty());
    FUZZ_CHECK(TargetProblemTexts(outcome.problems) == expected.messages); // the window's words
    if (outcome.ok) {
        FUZZ_CHECK(buffer.at(35) == 0 && buffer.at(36) == 0);
        FUZZ_CHECK(ParameterBlock::decode(buffer) == expected.settings);
        FUZZ_CHECK(ParameterBlock::encode(expected.settings) == buffer);
        // The summary of an accepted block always has its eleven lines.
        FUZZ_CHECK(SettingsSummary(buffer).count(QStringLiteral("\r\n")) == 11);
    }
    return 0;
}
