// The port check, through the target-field encoder: the input is the text of one port field while
// every other field holds the start-up values, and the outcome is compared with the port rule
// (blanks around it, then one or more ASCII digits with a value from 1 to 65535).

#include "FuzzCheck.h"
#include "PlainPort.h"

#include "config/ParameterBlock.h"
#include "config/TargetFields.h"
#include "words/FieldWords.h"

using namespace vrx;

namespace {

TargetFields StartUpFields() {
    TargetFields f;
    f.readerIp = QStringLiteral("192.168.0.101");
    f.subnetMask = QStringLiteral("255.255.255.0");
    f.defaultGateway = QStringLiteral("192.168.0.1");
    f.serverIp = QStringLiteral("192.168.0.110");
    f.readerPort = QStringLiteral("1234");
    f.serverPort = QStringLiteral("1234");
    f.mac = QStringLiteral("00-14-C0-A8-00-65");
    f.protocolIndex = 0;
    f.heartbeatIndex = 1;
    f.beepIndex = 1;
    f.keySourceIndex = 0;
    return f;
}

const QByteArray StartUpBlock =
    QByteArray::fromHex("E7E7E7E7 00 C0A80065 FFFFFF00 C0A80001 C0A8006E 04D2 04D2"
                        " 0014C0A80065 FF 00 00 00 0000 7E7E7E7E");

void CheckOnePort(const QString &text, bool serverSide, qsizetype startSize) {
    TargetFields fields = StartUpFields();
    (serverSide ? fields.serverPort : fields.readerPort) = text;
    // Whatever the buffer held before, the run leaves 41 bytes.
    QByteArray buffer(startSize, char(0xA5));
    const EncodeOutcome outcome = EncodeTargetFields(fields, buffer);
    const int port = fuzz::ReadPortPlainly(text).value_or(0); // 0: not a port
    const int offset = serverSide ? ParameterBlock::ServerPortOffset : ParameterBlock::ReaderPortOffset;

    FUZZ_CHECK(buffer.size() == ParameterBlock::Size);
    FUZZ_CHECK(ParameterBlock::hasMarkers(buffer));
    FUZZ_CHECK(outcome.ok == (port != 0));
    if (outcome.ok) {
        FUZZ_CHECK(outcome.problems.isEmpty());
        QByteArray expected = StartUpBlock;
        expected[offset] = char(port >> 8);
        expected[offset + 1] = char(port & 0xFF);
        FUZZ_CHECK(buffer == expected);
        const ReaderSettings settings = ParameterBlock::decode(buffer);
        FUZZ_CHECK((serverSide ? settings.serverPort : settings.readerPort) == port);
        FUZZ_CHECK(ParameterBlock::encode(settings) == buffer);
    } else {
        FUZZ_CHECK(TargetProblemTexts(outcome.problems) ==
                   QStringList{serverSide ? QStringLiteral("请输入1-65535之间的服务器计算机端口号")
                                          : QStringLiteral("请输入1-65535之间的读卡器端口号")});
        // The fields before the port were written; nothing after it was.
        FUZZ_CHECK(buffer.first(offset) == StartUpBlock.first(offset));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = fuzz::Text(data, size);
    CheckOnePort(text, false, qsizetype(size % 97));
    CheckOnePort(text, true, ParameterBlock::Size);
    return 0;
}
