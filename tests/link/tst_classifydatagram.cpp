#include "link/ExchangeState.h"

#include <QTest>

using vrx::ClassifyDatagram;
using vrx::ExchangeState;
namespace Status = vrx::Status;

namespace {

const QString Reader = QStringLiteral("192.168.0.101");
const QString Computer = QStringLiteral("192.168.0.5");
const QString Stranger = QStringLiteral("192.168.0.77");

// The block the window sends with its start-up targets.
QByteArray ConfigureBlock() {
    return QByteArray::fromHex("E7E7E7E700C0A80065FFFFFF00C0A80001C0A8006E04D204D20014C0A80065FF000000"
                               "00007E7E7E7E");
}

QByteArray KeyFrameBytes() {
    QByteArray frame(200, '\0');
    for (int i = 0; i < frame.size(); ++i)
        frame[i] = char(i * 7 + 3);
    return frame;
}

QByteArray WithLastByteChanged(QByteArray bytes, int index) {
    bytes[index] = char(bytes.at(index) ^ 0x01);
    return bytes;
}

const QByteArray PreviousReceive = QByteArray(41, char(0xAA));
constexpr qint16 PreviousStatus = 99; // not a real code: shows whether a datagram touched the status

ExchangeState StateFor(bool readMode) {
    ExchangeState state;
    state.LocalIp = Computer;
    state.ReaderAddress = Reader;
    state.SendBuffer = ConfigureBlock();
    state.KeyFrame = KeyFrameBytes();
    state.ReceiveBuffer = PreviousReceive;
    state.ReadMode = readMode;
    state.ExchangeStatus = PreviousStatus;
    return state;
}

} // namespace

class TestClassifyDatagram : public QObject {
    Q_OBJECT

private slots:
    void classification_data();
    void classification();
    void laterDatagramOverwritesStatus();
    void shortBuffersInStateAreNeverOverrun();
    void emptyLocalIpDoesNotHideAnything();
    void verdictSaysWhyNothingChanged_data();
    void verdictSaysWhyNothingChanged();
};

void TestClassifyDatagram::classification_data() {
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<QString>("sender");
    QTest::addColumn<bool>("readMode");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("receiveBuffer");
    QTest::addColumn<bool>("keyEchoMatched");

    const QByteArray block = ConfigureBlock();
    const QByteArray otherBlock = QByteArray::fromHex(
        "E7E7E7E700C0A8000AFFFFFF00C0A80001C0A8006E005004D20014C0A8000A0001020100007E7E7E7E");
    const QByteArray key = KeyFrameBytes();

    // Key echoes: any sender but this computer, either mode, only the first 200 bytes count.
    QTest::newRow("200 equal, from reader") << key << Reader << false << 31 << PreviousReceive << true;
    QTest::newRow("200 equal, from stranger, read mode")
        << key << Stranger << true << 31 << PreviousReceive << true;
    QTest::newRow("300 with equal first 200")
        << key + QByteArray(100, 'x') << Stranger << false << 31 << PreviousReceive << true;
    QTest::newRow("200 differing in byte 0")
        << WithLastByteChanged(key, 0) << Reader << false << 32 << PreviousReceive << false;
    QTest::newRow("200 differing in byte 199")
        << WithLastByteChanged(key, 199) << Reader << false << 32 << PreviousReceive << false;
    QTest::newRow("201 differing only in byte 200")
        << key + QByteArray(1, '\xFF') << Reader << false << 31 << PreviousReceive << true;
    QTest::newRow("199 bytes ignored")
        << key.first(199) << Reader << false << int(PreviousStatus) << PreviousReceive << false;

    // Read replies.
    QTest::newRow("41 from reader, read mode") << otherBlock << Reader << true << 21 << otherBlock << false;
    QTest::newRow("41 from stranger, read mode")
        << otherBlock << Stranger << true << int(PreviousStatus) << PreviousReceive << false;
    QTest::newRow("41 with bad markers from reader, read mode")
        << QByteArray(41, '\x01') << Reader << true << 21 << QByteArray(41, '\x01') << false;

    // Configure echoes.
    QTest::newRow("exact echo") << block << Reader << false << 11 << block << false;
    QTest::newRow("echo differing in last byte")
        << WithLastByteChanged(block, 40) << Reader << false << 12 << PreviousReceive << false;
    QTest::newRow("echo differing in first byte")
        << WithLastByteChanged(block, 0) << Reader << false << 12 << PreviousReceive << false;
    QTest::newRow("exact echo from stranger")
        << block << Stranger << false << int(PreviousStatus) << PreviousReceive << false;
    QTest::newRow("sender with leading zeros is another text")
        << block << QStringLiteral("192.168.000.101") << false << int(PreviousStatus) << PreviousReceive
        << false;

    // Lengths that mean nothing.
    for (const int length : {0, 1, 8, 40, 42, 100, 199}) {
        for (const bool readMode : {false, true}) {
            QTest::addRow("%d bytes, read mode %d", length, int(readMode))
                << block.leftJustified(length, '\0', true) << Reader << readMode << int(PreviousStatus)
                << PreviousReceive << false;
        }
    }

    // This computer's own datagrams are ignored whatever their length.
    for (const QByteArray &own : {key, key + QByteArray(10, 'x'), block}) {
        for (const bool readMode : {false, true}) {
            QTest::addRow("own %d bytes, read mode %d", int(own.size()), int(readMode))
                << own << Computer << readMode << int(PreviousStatus) << PreviousReceive << false;
        }
    }
}

void TestClassifyDatagram::classification() {
    QFETCH(QByteArray, datagram);
    QFETCH(QString, sender);
    QFETCH(bool, readMode);
    QFETCH(int, status);
    QFETCH(QByteArray, receiveBuffer);
    QFETCH(bool, keyEchoMatched);

    const ExchangeState before = StateFor(readMode);
    const ExchangeState after = ClassifyDatagram(datagram, sender, before);

    QCOMPARE(after.ExchangeStatus, qint16(status));
    QCOMPARE(after.ReceiveBuffer, receiveBuffer);
    QCOMPARE(after.KeyEchoMatched, keyEchoMatched);
    // Nothing else is ever written.
    QCOMPARE(after.SendBuffer, before.SendBuffer);
    QCOMPARE(after.KeyFrame, before.KeyFrame);
    QCOMPARE(after.ReaderAddress, before.ReaderAddress);
    QCOMPARE(after.LocalIp, before.LocalIp);
    QCOMPARE(after.ReadMode, before.ReadMode);
}

void TestClassifyDatagram::laterDatagramOverwritesStatus() {
    ExchangeState state = StateFor(false);
    state = ClassifyDatagram(ConfigureBlock(), Reader, state);
    QCOMPARE(state.ExchangeStatus, Status::ConfigureEchoed);
    state = ClassifyDatagram(WithLastByteChanged(ConfigureBlock(), 40), Reader, state);
    QCOMPARE(state.ExchangeStatus, Status::ConfigureEchoDiffers);
    QCOMPARE(state.ReceiveBuffer, ConfigureBlock()); // the copy of the first echo stays

    state = ClassifyDatagram(KeyFrameBytes(), Stranger, state);
    QCOMPARE(state.ExchangeStatus, Status::KeysEchoed);
    state = ClassifyDatagram(WithLastByteChanged(KeyFrameBytes(), 5), Stranger, state);
    QCOMPARE(state.ExchangeStatus, Status::KeyEchoDiffers);
    QCOMPARE(state.KeyEchoMatched, false);
    state = ClassifyDatagram(QByteArray(40, '\0'), Reader, state);
    QCOMPARE(state.ExchangeStatus, Status::KeyEchoDiffers);
}

void TestClassifyDatagram::shortBuffersInStateAreNeverOverrun() {
    ExchangeState state = StateFor(false);
    state.SendBuffer = ConfigureBlock().first(10);
    state.KeyFrame = KeyFrameBytes().first(150);
    state.ReceiveBuffer.clear();

    // A buffer that was never filled cannot be echoed: the missing bytes count as different.
    ExchangeState after = ClassifyDatagram(ConfigureBlock(), Reader, state);
    QCOMPARE(after.ExchangeStatus, Status::ConfigureEchoDiffers);
    QVERIFY(after.ReceiveBuffer.isEmpty());
    after = ClassifyDatagram(KeyFrameBytes(), Reader, state);
    QCOMPARE(after.ExchangeStatus, Status::KeyEchoDiffers);

    // A longer send buffer: only its first 41 bytes are compared and copied.
    state.SendBuffer = ConfigureBlock() + QByteArray(5, 'z');
    after = ClassifyDatagram(ConfigureBlock(), Reader, state);
    QCOMPARE(after.ExchangeStatus, Status::ConfigureEchoed);
    QCOMPARE(after.ReceiveBuffer, ConfigureBlock());
}

void TestClassifyDatagram::emptyLocalIpDoesNotHideAnything() {
    ExchangeState state = StateFor(true);
    state.LocalIp.clear();
    QCOMPARE(ClassifyDatagram(ConfigureBlock(), Reader, state).ExchangeStatus, Status::ParametersRead);
}

void TestClassifyDatagram::verdictSaysWhyNothingChanged_data() {
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<QString>("sender");
    QTest::addColumn<bool>("readMode");
    QTest::addColumn<vrx::DatagramVerdict>("verdict");

    using vrx::DatagramVerdict;
    const QByteArray block = ConfigureBlock();
    QTest::newRow("read reply") << block << Reader << true << DatagramVerdict::Taken;
    QTest::newRow("differing echo") << WithLastByteChanged(block, 40) << Reader << false
                                    << DatagramVerdict::Taken;
    QTest::newRow("key echo from a stranger")
        << KeyFrameBytes() << Stranger << true << DatagramVerdict::Taken;
    QTest::newRow("own key echo") << KeyFrameBytes() << Computer << false
                                  << DatagramVerdict::FromThisComputer;
    QTest::newRow("own block") << block << Computer << true << DatagramVerdict::FromThisComputer;
    QTest::newRow("block from a stranger") << block << Stranger << true << DatagramVerdict::WrongSender;
    QTest::newRow("40 from the reader") << block.first(40) << Reader << true << DatagramVerdict::WrongLength;
    QTest::newRow("8 from a stranger") << block.first(8) << Stranger << false << DatagramVerdict::WrongLength;
    QTest::newRow("199 from the reader")
        << KeyFrameBytes().first(199) << Reader << false << DatagramVerdict::WrongLength;
}

// What the arrival handler is told it decided is what the state shows: only a taken datagram sets the
// status.
void TestClassifyDatagram::verdictSaysWhyNothingChanged() {
    QFETCH(QByteArray, datagram);
    QFETCH(QString, sender);
    QFETCH(bool, readMode);
    QFETCH(vrx::DatagramVerdict, verdict);

    ExchangeState state = StateFor(readMode);
    QCOMPARE(vrx::ClassifyDatagramInPlace(datagram, sender, state), verdict);
    QCOMPARE(state.ExchangeStatus != PreviousStatus, verdict == vrx::DatagramVerdict::Taken);
    QCOMPARE(state, ClassifyDatagram(datagram, sender, StateFor(readMode)));
}

QTEST_APPLESS_MAIN(TestClassifyDatagram)
#include "tst_classifydatagram.moc"
