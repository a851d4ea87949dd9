// The simulated reader's frame handling, in-process over loopback UDP. Each input is one datagram to
// the reader; afterwards the reader must have done exactly what its kind calls for: the query is
// answered with the settings, a marked block becomes the settings and is echoed, a marked key frame
// becomes the keys and is echoed, and everything else is ignored without a reply or any change.
//
// The reader and the asking socket live on 127.77.0.0/16, and a block that moves the reader to
// another loopback address is kept inside that range, so nothing else on the machine is disturbed.

#include "FuzzCheck.h"

#include "SimulatedReader.h"

#include "config/ParameterBlock.h"
#include "fields/AddressText.h"
#include "keys/KeyFrame.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>

#include <unistd.h>

using namespace vrx;

namespace {

constexpr int MaxDatagram = 4096;
constexpr int WaitMs = 2000;
constexpr int MovesBeforeRestart = 1000;

class Harness {
public:
    Harness() {
        // One subnet per process, so a corpus replay can run beside a fuzzing run.
        const int subnet = int(getpid() % 200) + 1;
        const QString own = QStringLiteral("127.77.%1.2").arg(subnet);
        FUZZ_CHECK(client_.bind(QHostAddress(own), 0));
        home_ = QStringLiteral("127.77.%1.1").arg(subnet);
        restart();
    }

    SimulatedReader &reader() { return *reader_; }
    QUdpSocket &client() { return client_; }

    // A fresh reader at home (or at the next free address) when the old one has moved too often or
    // could not stay bound.
    void restart() {
        delete reader_;
        reader_ = nullptr;
        for (int attempt = 0; attempt < 50 && !reader_; ++attempt) {
            auto *reader =
                new SimulatedReader(attempt == 0 ? home_ : QStringLiteral("127.77.250.%1").arg(attempt));
            if (reader->start())
                reader_ = reader;
            else
                delete reader;
        }
        FUZZ_CHECK(reader_ != nullptr);
    }

    // Sends one datagram and returns once the reader has taken and handled it.
    bool deliver(const QByteArray &datagram) {
        const QHostAddress to(reader_->address());
        QEventLoop loop;
        bool arrived = false;
        const auto connection = QObject::connect(reader_, &SimulatedReader::datagramReceived, &loop, [&] {
            arrived = true;
            loop.quit();
        });
        QTimer::singleShot(WaitMs, &loop, &QEventLoop::quit);
        if (client_.writeDatagram(datagram, to, SimulatedReader::Port) != datagram.size()) {
            QObject::disconnect(connection);
            return false;
        }
        // handle() runs right after the signal, before control is back in this loop.
        loop.exec();
        QObject::disconnect(connection);
        return arrived;
    }

private:
    QUdpSocket client_;
    QString home_;
    SimulatedReader *reader_ = nullptr;
};

Harness &TheHarness() {
    static int argc = 1;
    static char name[] = "fuzz_simulator";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static Harness harness;
    return harness;
}

void CheckClassification(const QByteArray &datagram, FrameKind kind) {
    const bool marked41 = ParameterBlock::hasMarkers(datagram);
    const bool marked200 = datagram.size() == KeyFrame::Size && KeyFrame::hasMarkers(datagram);
    switch (kind) {
    case FrameKind::Query:
        FUZZ_CHECK(datagram == ParameterQuery());
        break;
    case FrameKind::ParameterBlock:
        FUZZ_CHECK(marked41);
        break;
    case FrameKind::BadParameterBlock:
        FUZZ_CHECK(datagram.size() == ParameterBlock::Size && !marked41);
        break;
    case FrameKind::KeyFrame:
        FUZZ_CHECK(marked200);
        break;
    case FrameKind::BadKeyFrame:
        FUZZ_CHECK(datagram.size() == KeyFrame::Size && !marked200);
        break;
    case FrameKind::Unknown:
        FUZZ_CHECK(datagram != ParameterQuery() && datagram.size() != ParameterBlock::Size &&
                   datagram.size() != KeyFrame::Size);
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    QByteArray datagram = fuzz::Bytes(data, std::min<size_t>(size, MaxDatagram));
    FrameKind kind = SimulatedReader::Classify(datagram);
    CheckClassification(datagram, kind);
    if (datagram.isEmpty())
        return 0;
    if (kind == FrameKind::ParameterBlock && quint8(datagram.at(ParameterBlock::ReaderIpOffset)) == 127)
        datagram[ParameterBlock::ReaderIpOffset + 1] = char(77); // moves stay inside 127.77.0.0/16

    Harness &h = TheHarness();
    if (!h.reader().isListening() || h.reader().moves().size() > MovesBeforeRestart)
        h.restart();
    SimulatedReader &reader = h.reader();
    const ReaderSettings settingsBefore = reader.settings();
    const QByteArray keysBefore = reader.keyFrame();
    const QString addressBefore = reader.address();
    const qsizetype movesBefore = reader.moves().size();
    reader.clearRecords();

    FUZZ_CHECK(h.deliver(datagram));
    FUZZ_CHECK(reader.received().size() == 1 && reader.received().first().bytes == datagram);

    QByteArray expectedReply;
    ReaderSettings expectedSettings = settingsBefore;
    QByteArray expectedKeys = keysBefore;
    switch (kind) {
    case FrameKind::Query:
        expectedReply = ParameterBlock::encode(settingsBefore);
        break;
    case FrameKind::ParameterBlock:
        expectedReply = datagram;
        expectedSettings = ParameterBlock::decode(datagram);
        break;
    case FrameKind::KeyFrame:
        expectedReply = datagram;
        expectedKeys = datagram;
        break;
    default:
        break;
    }
    FUZZ_CHECK(reader.settings() == expectedSettings);
    FUZZ_CHECK(reader.keyFrame() == expectedKeys);

    QUdpSocket &client = h.client();
    if (expectedReply.isEmpty()) {
        FUZZ_CHECK(reader.sent().isEmpty());
        FUZZ_CHECK(!client.hasPendingDatagrams());
    } else {
        FUZZ_CHECK(reader.sent().size() == 1);
        if (!client.hasPendingDatagrams())
            client.waitForReadyRead(WaitMs);
        const QNetworkDatagram reply = client.receiveDatagram();
        FUZZ_CHECK(reply.isValid() && reply.data() == expectedReply);
        // An echo leaves from the address the request went to, even when the reader moves after it.
        FUZZ_CHECK(reply.senderAddress().toString() == addressBefore);
        FUZZ_CHECK(reply.senderPort() == SimulatedReader::Port);
        FUZZ_CHECK(!client.hasPendingDatagrams());
    }

    // Only a block with another reader address moves the reader, and then it says where it went.
    const QString newIp = DottedText(expectedSettings.readerIp);
    const bool askedToMove = kind == FrameKind::ParameterBlock && newIp != addressBefore;
    FUZZ_CHECK(reader.moves().size() == movesBefore + (askedToMove ? 1 : 0));
    if (askedToMove) {
        const bool moved = reader.moves().last().startsWith(QStringLiteral("moved"));
        FUZZ_CHECK(reader.address() == (moved ? newIp : addressBefore));
        if (moved)
            FUZZ_CHECK(quint8(expectedSettings.readerIp[0]) == 127);
    } else {
        FUZZ_CHECK(reader.address() == addressBefore);
    }
    return 0;
}
