// The datagram classifier. The input decides the exchange state (mode, status, buffers of any length,
// the reader's and this computer's address), the sender and the datagram, which may be an exact or
// nearly exact copy of what was sent. The result must be what the arrival table allows and nothing
// else: the status only becomes 11, 12, 21, 31 or 32, the receive buffer changes only on 21 or 11,
// nothing changes for this computer's own address or for lengths other than 41 and 200 or more.

#include "FuzzCheck.h"

#include "link/ExchangeState.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace vrx;

namespace {

QString PickAddress(FuzzedDataProvider &in) {
    static const QString Known[] = {QStringLiteral("192.168.0.101"), QStringLiteral("127.0.0.1"),
                                    QStringLiteral("192.168.0.110"), QString()};
    const int choice = in.ConsumeIntegralInRange(0, 4);
    if (choice < 4)
        return Known[choice];
    return QString::fromStdString(in.ConsumeRandomLengthString(16));
}

QByteArray TakeBytes(FuzzedDataProvider &in, size_t size) {
    const std::vector<char> bytes = in.ConsumeBytes<char>(size);
    QByteArray result(bytes.data(), qsizetype(bytes.size()));
    result.append(QByteArray(qsizetype(size) - result.size(), '\0'));
    return result;
}

QByteArray TakeBuffer(FuzzedDataProvider &in, size_t usualSize) {
    const bool usual = in.ConsumeIntegralInRange(0, 7) != 0;
    return TakeBytes(in, usual ? usualSize : in.ConsumeIntegralInRange<size_t>(0, usualSize + 60));
}

// A copy of a buffer, possibly with one byte changed and something appended.
QByteArray NearCopy(FuzzedDataProvider &in, const QByteArray &original) {
    QByteArray copy = original;
    if (!copy.isEmpty() && in.ConsumeBool()) {
        const qsizetype at = in.ConsumeIntegralInRange<qsizetype>(0, copy.size() - 1);
        copy[at] = char(copy.at(at) ^ in.ConsumeIntegralInRange(1, 255));
    }
    if (in.ConsumeBool())
        copy.append(TakeBytes(in, in.ConsumeIntegralInRange<size_t>(0, 40)));
    return copy;
}

// The arrival table read straight.
ExchangeState ClassifyPlainly(const QByteArray &datagram, const QString &sender, ExchangeState s) {
    if (sender == s.LocalIp)
        return s;
    const qsizetype n = datagram.size();
    if (n >= 200) {
        s.KeyEchoMatched = s.KeyFrame.size() >= 200;
        for (int i = 0; i < 200 && s.KeyEchoMatched; ++i)
            s.KeyEchoMatched = datagram.at(i) == s.KeyFrame.at(i);
        s.ExchangeStatus = s.KeyEchoMatched ? 31 : 32;
    } else if (n == 41 && sender == s.ReaderAddress) {
        if (s.ReadMode) {
            s.ReceiveBuffer = datagram;
            s.ExchangeStatus = 21;
        } else {
            bool same = s.SendBuffer.size() >= 41;
            for (int i = 0; i < 41 && same; ++i)
                same = datagram.at(i) == s.SendBuffer.at(i);
            if (same) {
                s.ReceiveBuffer = s.SendBuffer.left(41);
                s.ExchangeStatus = 11;
            } else {
                s.ExchangeStatus = 12;
            }
        }
    }
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzedDataProvider in(data, size);
    ExchangeState state;
    state.ReadMode = in.ConsumeBool();
    state.KeyEchoMatched = in.ConsumeBool();
    state.ExchangeStatus = in.ConsumeIntegral<qint16>();
    state.ReaderAddress = PickAddress(in);
    state.LocalIp = PickAddress(in);
    const QString sender = PickAddress(in);
    state.SendBuffer = TakeBuffer(in, 41);
    state.KeyFrame = TakeBuffer(in, 200);
    state.ReceiveBuffer = TakeBuffer(in, 41);

    QByteArray datagram;
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
        datagram = NearCopy(in, state.SendBuffer);
        break;
    case 1:
        datagram = NearCopy(in, state.KeyFrame);
        break;
    case 2: {
        static constexpr size_t Lengths[] = {0, 1, 8, 40, 41, 42, 199, 200, 201, 1472};
        datagram = TakeBytes(in, in.PickValueInArray(Lengths));
        break;
    }
    default: {
        const std::string rest = in.ConsumeRemainingBytesAsString();
        datagram = QByteArray(rest.data(), qsizetype(rest.size()));
    }
    }

    const ExchangeState after = ClassifyDatagram(datagram, sender, state);
    FUZZ_CHECK(after == ClassifyPlainly(datagram, sender, state));

    // What the table allows, stated directly.
    FUZZ_CHECK(after.SendBuffer == state.SendBuffer && after.KeyFrame == state.KeyFrame);
    FUZZ_CHECK(after.ReaderAddress == state.ReaderAddress && after.LocalIp == state.LocalIp);
    FUZZ_CHECK(after.ReadMode == state.ReadMode);
    if (after.ExchangeStatus != state.ExchangeStatus) {
        static constexpr qint16 Allowed[] = {11, 12, 21, 31, 32};
        FUZZ_CHECK(std::find(std::begin(Allowed), std::end(Allowed), after.ExchangeStatus) !=
                   std::end(Allowed));
    }
    if (after.ReceiveBuffer != state.ReceiveBuffer) {
        FUZZ_CHECK(after.ExchangeStatus == 21 || after.ExchangeStatus == 11);
        FUZZ_CHECK(after.ReceiveBuffer.size() == 41);
    }
    if (after.KeyEchoMatched != state.KeyEchoMatched)
        FUZZ_CHECK(datagram.size() >= 200);
    if (sender == state.LocalIp || (datagram.size() != 41 && datagram.size() < 200))
        FUZZ_CHECK(after == state);
    return 0;
}
