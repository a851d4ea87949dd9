#include "WorkedExample.h"
#include "config/ParameterBlock.h"

#include <QTest>

using namespace vrx;

class TestParameterBlock : public QObject {
    Q_OBJECT

private slots:
    void encodeWorkedExample();
    void decodeWorkedExample();
    void roundTrip_data();
    void roundTrip();
    void decodeIgnoresMarkersAndReserved();
    void decodePorts_data();
    void decodePorts();
    void decodeShortBlockIsZeroPadded();
    void hasMarkers_data();
    void hasMarkers();
    void query();
};

void TestParameterBlock::encodeWorkedExample() {
    const QByteArray block = ParameterBlock::encode(test::workedExampleSettings());
    QCOMPARE(block.size(), ParameterBlock::Size);
    QCOMPARE(block.toHex(), test::workedExampleBlock().toHex());
}

void TestParameterBlock::decodeWorkedExample() {
    QCOMPARE(ParameterBlock::decode(test::workedExampleBlock()), test::workedExampleSettings());
}

void TestParameterBlock::roundTrip_data() {
    QTest::addColumn<QByteArray>("block");
    QTest::newRow("worked example") << test::workedExampleBlock();
    QTest::newRow("all ones") << QByteArray::fromHex("E7E7E7E7 00" + QByteArray(60, 'F') + "0000 7E7E7E7E");
    QTest::newRow("port 80, tcp client") << QByteArray::fromHex(
        "E7E7E7E7 00 0A000001 FFFF0000 0A0000FE 0A000002 0050 FFFF 0A0B0C0D0E0F 00 01 02 FF 0000 7E7E7E7E");
}

void TestParameterBlock::roundTrip() {
    QFETCH(QByteArray, block);
    QCOMPARE(block.size(), ParameterBlock::Size);
    QCOMPARE(ParameterBlock::encode(ParameterBlock::decode(block)).toHex(), block.toHex());
}

void TestParameterBlock::decodeIgnoresMarkersAndReserved() {
    QByteArray block = test::workedExampleBlock();
    for (int i : {0, 1, 2, 3, 4, 35, 36, 37, 38, 39, 40})
        block[i] = char(0x5A + i);
    QVERIFY(!ParameterBlock::hasMarkers(block));
    QCOMPARE(ParameterBlock::decode(block), test::workedExampleSettings());
}

void TestParameterBlock::decodePorts_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("port");
    QTest::newRow("1234") << QByteArray::fromHex("04D2") << 1234;
    QTest::newRow("80") << QByteArray::fromHex("0050") << 80;
    QTest::newRow("65535") << QByteArray::fromHex("FFFF") << 65535;
    QTest::newRow("256") << QByteArray::fromHex("0100") << 256;
}

void TestParameterBlock::decodePorts() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, port);
    QByteArray block = test::workedExampleBlock();
    block.replace(ParameterBlock::ReaderPortOffset, 2, bytes);
    block.replace(ParameterBlock::ServerPortOffset, 2, bytes);
    const ReaderSettings s = ParameterBlock::decode(block);
    QCOMPARE(int(s.readerPort), port);
    QCOMPARE(int(s.serverPort), port);
}

void TestParameterBlock::decodeShortBlockIsZeroPadded() {
    const QByteArray head = test::workedExampleBlock().left(23);
    const ReaderSettings s = ParameterBlock::decode(head);
    QCOMPARE(s.readerPort, quint16(1234));
    QCOMPARE(s.serverPort, quint16(0));
    QCOMPARE(s.readerMac, MacBytes{});
    QCOMPARE(ParameterBlock::decode(QByteArray()), ReaderSettings{});
}

void TestParameterBlock::hasMarkers_data() {
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<bool>("marked");
    const QByteArray good = test::workedExampleBlock();
    QTest::newRow("worked example") << good << true;
    QTest::newRow("zero body") << QByteArray::fromHex("E7E7E7E7" + QByteArray(66, '0') + "7E7E7E7E") << true;
    QTest::newRow("one byte longer") << good + '\0' << false;
    QTest::newRow("one byte shorter") << good.left(40) << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("query") << ParameterQuery() << false;
    for (int i : {0, 3, 37, 40}) {
        QByteArray bad = good;
        bad[i] = char(bad[i] ^ 0x01);
        QTest::addRow("marker byte %d", i) << bad << false;
    }
}

void TestParameterBlock::hasMarkers() {
    QFETCH(QByteArray, block);
    QFETCH(bool, marked);
    QCOMPARE(ParameterBlock::hasMarkers(block), marked);
}

void TestParameterBlock::query() {
    QCOMPARE(ParameterQuery().toHex(), QByteArray("e6e8e0e9e3e9e3e6"));
}

QTEST_APPLESS_MAIN(TestParameterBlock)
#include "tst_parameterblock.moc"
