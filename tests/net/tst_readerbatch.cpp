// The batch engine against simulated readers on loopback, in this test's event loop: each reader is
// read first, a silent one is never written, every reader keeps its own address and MAC unless new
// ones are handed out, keys go with the settings, and a stop leaves the later readers untouched.
//
// Addresses: computer side 127.0.64.1 (127.0.0.1 under wine), readers 127.1.64.x.
#include "ComputerAddress.h"
#include "ReaderSimulator.h"

#include "config/ParameterBlock.h"
#include "fields/AddressText.h"
#include "keys/KeyFrame.h"
#include "net/ReaderBatch.h"

#include <QTest>

using namespace vrx;

Q_DECLARE_METATYPE(vrx::ConfigureResult)

namespace {

const QString Local = vrx::test::ComputerAddress(QStringLiteral("127.0.64.1"));

QStringList ReaderAddresses(int count) {
    return ReaderSimulator::ConsecutiveAddresses(QStringLiteral("127.1.64.10"), count);
}

// A frame with other keys than the simulator's own, so that a download shows.
QByteArray OtherKeys() {
    QByteArray frame = SimulatedReader::DefaultKeyFrame();
    for (int i = 4; i < frame.size() - 4; ++i)
        frame[i] = char(0x10 + i % 7);
    return frame;
}

// What every test gives the engine: one reader per address, the one link.
struct Fixture {
    ReaderSimulator sim;
    ReaderLink link{LinkOptions{Local, 1000, 200, 0}};
    QStringList addresses;

    explicit Fixture(int count)
        : addresses(ReaderAddresses(count)) {
        for (const QString &address : addresses)
            QVERIFY(sim.addReader(address));
    }
    QList<BatchItem> items(const std::optional<SettingsChange> &change, const QByteArray &keys = {}) const {
        QList<BatchItem> list;
        for (const QString &address : addresses)
            list.append(BatchItem{address, change, keys, QString()});
        return list;
    }
    // How many settings blocks or key frames reached the readers.
    int writes() const {
        int count = 0;
        for (const WireRecord &record : sim.received())
            count += record.bytes.size() > 8;
        return count;
    }
};

class Recorder final : public BatchObserver {
public:
    void rowStarted(qsizetype row) override { events.append(QStringLiteral("start %1").arg(row)); }
    void rowFinished(qsizetype row, const ConfigureOutcome &) override {
        events.append(QStringLiteral("finish %1").arg(row));
        if (stopAfter == row)
            batch->stop();
    }
    void progress(qsizetype done, qsizetype total) override {
        events.append(QStringLiteral("%1/%2").arg(done).arg(total));
    }
    QStringList events;
    ReaderBatch *batch = nullptr;
    qsizetype stopAfter = -1;
};

SettingsChange Change(SettingField field, const QString &value) {
    SettingsChange change;
    change.values.insert(field, value);
    return change;
}

} // namespace

class TestReaderBatch : public QObject {
    Q_OBJECT

private slots:
    void rows_data();
    void rows();
    void observerSeesEachRowInOrder();
    void stopLeavesLaterReadersUntouched();
    void aValueEqualToTheReadOneChangesNothing();
    void newAddressesCountUpward();
};

void TestReaderBatch::rows_data() {
    QTest::addColumn<QString>("serverIp"); // the change; empty: no settings to write
    QTest::addColumn<bool>("keys");        // download OtherKeys()
    QTest::addColumn<QString>("faults");   // per reader: '.' none, 's' silent, 'e' corrupt echo
    QTest::addColumn<bool>("dryRun");
    QTest::addColumn<QList<ConfigureResult>>("results");
    QTest::addColumn<QList<OutcomeKind>>("kinds");
    QTest::addColumn<QStringList>("serverAfter"); // each reader's server address afterwards

    using R = ConfigureResult;
    using K = OutcomeKind;
    const QString old = QStringLiteral("192.168.0.110");
    QTest::newRow("server address to three")
        << "10.9.8.7" << false << "..." << false << QList<R>{R::Ok, R::Ok, R::Ok}
        << QList<K>{K::Success, K::Success, K::Success} << QStringList{"10.9.8.7", "10.9.8.7", "10.9.8.7"};
    QTest::newRow("a silent reader is not written")
        << "10.9.8.7" << false << ".s." << false << QList<R>{R::Ok, R::ReadNoReply, R::Ok}
        << QList<K>{K::Success, K::NoReply, K::Success} << QStringList{"10.9.8.7", old, "10.9.8.7"};
    QTest::newRow("an echo that differs")
        << "10.9.8.7" << false << "e.." << false << QList<R>{R::EchoDiffers, R::Ok, R::Ok}
        << QList<K>{K::EchoDiffers, K::Success, K::Success}
        << QStringList{"10.9.8.7", "10.9.8.7", "10.9.8.7"};
    QTest::newRow("keys only") << QString() << true << "..." << false << QList<R>{R::Ok, R::Ok, R::Ok}
                               << QList<K>{K::Success, K::Success, K::Success} << QStringList{old, old, old};
    QTest::newRow("keys whose echo differs: no settings")
        << "10.9.8.7" << true << ".e." << false << QList<R>{R::Ok, R::KeysEchoDiffers, R::Ok}
        << QList<K>{K::Success, K::EchoDiffers, K::Success} << QStringList{"10.9.8.7", old, "10.9.8.7"};
    QTest::newRow("dry run writes nothing")
        << "10.9.8.7" << true << "..." << true << QList<R>{R::DryRun, R::DryRun, R::DryRun}
        << QList<K>{K::Success, K::Success, K::Success} << QStringList{old, old, old};
    QTest::newRow("a bad address is not written")
        << "10.9.8.300" << false << "..." << false << QList<R>{R::Invalid, R::Invalid, R::Invalid}
        << QList<K>{K::NotWritten, K::NotWritten, K::NotWritten} << QStringList{old, old, old};
}

void TestReaderBatch::rows() {
    QFETCH(QString, serverIp);
    QFETCH(bool, keys);
    QFETCH(QString, faults);
    QFETCH(bool, dryRun);
    QFETCH(QList<ConfigureResult>, results);
    QFETCH(QList<OutcomeKind>, kinds);
    QFETCH(QStringList, serverAfter);

    Fixture site(int(faults.size()));
    QList<ReaderSettings> before;
    for (int i = 0; i < faults.size(); ++i) {
        SimulatedReader *reader = site.sim.reader(site.addresses[i]);
        reader->setSilent(faults[i] == u's');
        reader->setCorruptEcho(faults[i] == u'e');
        before.append(reader->settings());
    }
    BatchOptions options;
    options.dryRun = dryRun;
    options.verify = VerifyPlan{1000, true};
    options.localFollowsRoute = false;
    ReaderBatch batch(site.link, options);
    std::optional<SettingsChange> change;
    if (!serverIp.isEmpty())
        change = Change(SettingField::ServerIp, serverIp);
    batch.run(site.items(change, keys ? OtherKeys() : QByteArray()));

    QCOMPARE(batch.outcomes().size(), faults.size());
    for (int i = 0; i < faults.size(); ++i) {
        const ConfigureOutcome &outcome = batch.outcomes()[i];
        const SimulatedReader *reader = site.sim.reader(site.addresses[i]);
        QVERIFY2(reader, qPrintable(site.addresses[i]));
        QCOMPARE(outcome.result, results[i]);
        QCOMPARE(outcome.kind(), kinds[i]);
        QCOMPARE(DottedText(reader->settings().serverIp), serverAfter[i]);
        // Every reader keeps its own address and MAC.
        QCOMPARE(reader->settings().readerIp, before[i].readerIp);
        QCOMPARE(reader->settings().readerMac, before[i].readerMac);
        const bool keysTaken = keys && !dryRun && faults[i] != u's';
        QCOMPARE(reader->keyFrame() == OtherKeys(), keysTaken);
    }
    if (dryRun)
        QCOMPARE(site.writes(), 0);
    // Nothing but queries reaches a reader that did not answer the read.
    if (const qsizetype silent = faults.indexOf(u's'); silent >= 0)
        for (const WireRecord &record : site.sim.reader(site.addresses[silent])->received())
            QCOMPARE(record.bytes.size(), 8);
}

void TestReaderBatch::observerSeesEachRowInOrder() {
    Fixture site(2);
    Recorder recorder;
    BatchOptions options;
    options.localFollowsRoute = false;
    ReaderBatch batch(site.link, options, &recorder);
    batch.run(site.items(std::nullopt));
    QCOMPARE(recorder.events, (QStringList{"start 0", "finish 0", "1/2", "start 1", "finish 1", "2/2"}));
}

void TestReaderBatch::stopLeavesLaterReadersUntouched() {
    Fixture site(4);
    Recorder recorder;
    BatchOptions options;
    options.localFollowsRoute = false;
    ReaderBatch batch(site.link, options, &recorder);
    recorder.batch = &batch;
    recorder.stopAfter = 1;
    batch.run(site.items(Change(SettingField::ServerIp, QStringLiteral("10.9.8.7"))));

    QVERIFY(batch.stopRequested());
    QCOMPARE(batch.outcomes()[0].result, ConfigureResult::Ok);
    QCOMPARE(batch.outcomes()[1].result, ConfigureResult::Ok);
    for (int i : {2, 3}) {
        QCOMPARE(batch.outcomes()[i].result, ConfigureResult::NotStarted);
        QCOMPARE(batch.outcomes()[i].kind(), OutcomeKind::NotWritten);
        QVERIFY(site.sim.reader(site.addresses[i])->received().isEmpty());
    }
    QCOMPARE(recorder.events.last(), QStringLiteral("2/4"));
}

void TestReaderBatch::aValueEqualToTheReadOneChangesNothing() {
    Fixture site(1);
    const ReaderSettings settings = site.sim.readers().first()->settings();
    SettingsChange same;
    for (const SettingName &name : SettingNames())
        same.values.insert(name.field, FieldText(settings, name.field));
    BatchOptions options;
    options.localFollowsRoute = false;
    ReaderBatch batch(site.link, options);
    batch.run(site.items(same));
    const ConfigureOutcome &outcome = batch.outcomes().first();
    QCOMPARE(outcome.result, ConfigureResult::Ok);
    QVERIFY(DifferingFields(outcome.before, outcome.after).isEmpty());
    QCOMPARE(site.sim.readers().first()->settings(), settings);
}

void TestReaderBatch::newAddressesCountUpward() {
    Fixture site(3);
    BatchOptions options;
    options.localFollowsRoute = false;
    options.verify = VerifyPlan{1000, false};
    options.firstNewAddress = std::array<quint8, 4>{127, 1, 64, 250};
    ReaderBatch batch(site.link, options);
    batch.run(site.items(Change(SettingField::ServerIp, QStringLiteral("10.9.8.7"))));
    for (int i = 0; i < 3; ++i) {
        const QString moved = QStringLiteral("127.1.64.%1").arg(250 + i);
        QCOMPARE(batch.outcomes()[i].result, ConfigureResult::Ok);
        const SimulatedReader *reader = site.sim.reader(moved);
        QVERIFY2(reader, qPrintable(moved));
        QCOMPARE(FieldText(reader->settings(), SettingField::Mac),
                 QStringLiteral("00-14-7F-01-40-%1").arg(250 + i, 2, 16, QChar(u'0')).toUpper());
        QCOMPARE(DottedText(reader->settings().serverIp), QStringLiteral("10.9.8.7"));
    }
    QCOMPARE(AddressAbove({255, 255, 255, 254}, 1), (std::array<quint8, 4>{255, 255, 255, 255}));
    QVERIFY(!AddressAbove({255, 255, 255, 254}, 2));
    QCOMPARE(AddressAbove({10, 0, 0, 255}, 1), (std::array<quint8, 4>{10, 0, 1, 0}));
}

QTEST_GUILESS_MAIN(TestReaderBatch)
#include "tst_readerbatch.moc"
