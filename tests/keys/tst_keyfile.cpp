// Key files as the window and vrxctl read and write them: every problem found with its line, sector
// and kind before any field is given out, and a written file read back to the same fields.
#include "SampleKeyFile.h"
#include "keys/KeyFile.h"
#include "keys/KeyFrame.h"

#include <QTest>

using namespace vrx;

Q_DECLARE_METATYPE(vrx::KeyFileProblem)
Q_DECLARE_METATYPE(vrx::KeyTextProblem)

namespace {

QString Without(const QString &text, int sector) {
    QStringList lines = text.split(u'\n');
    lines.removeAt(sector + 2);
    return lines.join(u'\n');
}

} // namespace

class TestKeyFile : public QObject {
    Q_OBJECT

private slots:
    void goodFiles_data();
    void goodFiles();
    void problems_data();
    void problems();
    void missingSectors();
    void writtenFileReadsBack();
    void writtenFileLayout();
};

void TestKeyFile::goodFiles_data() {
    QTest::addColumn<QString>("text");
    const QString full = SampleKeyFile();
    QTest::newRow("comments and blank lines") << full;
    QTest::newRow("tabs and CRLF") << QString(full).replace(' ', '\t').replace("\n", "\r\n");
    QTest::newRow("byte order mark") << QChar(0xFEFF) + full;
    QTest::newRow("no final line feed") << full.chopped(1);
    QTest::newRow("sectors backwards") << [&] {
        QStringList lines = full.split(u'\n', Qt::SkipEmptyParts);
        std::reverse(lines.begin(), lines.end());
        return lines.join(u'\n');
    }();
}

void TestKeyFile::goodFiles() {
    QFETCH(QString, text);
    const KeyFileReading reading = ReadKeyFile(text);
    QVERIFY(reading.ok());
    QCOMPARE(reading.fields.size(), KeyFrame::KeyFieldCount);
    for (int s = 0; s < KeyFrame::SectorCount; ++s) {
        QCOMPARE(reading.fields[KeyFrame::fieldOf(s, false)], SampleAKey(s));
        QCOMPARE(reading.fields[KeyFrame::fieldOf(s, true)], SampleBKey(s));
    }
}

void TestKeyFile::problems_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<KeyFileProblem>("problem");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("sector");
    QTest::addColumn<bool>("bKey");
    QTest::addColumn<KeyTextProblem>("keyProblem");

    const QString full = SampleKeyFile();
    const auto none = KeyTextProblem::None;
    QTest::newRow("two items") << "0 FFFFFFFFFFFF\n" << KeyFileProblem::ItemCount << 1 << -1 << false << none;
    QTest::newRow("four items") << QString(full).replace("# sector 4", "x") << KeyFileProblem::ItemCount << 7
                                << -1 << false << none;
    QTest::newRow("sector 16") << full + "16 FFFFFFFFFFFF FFFFFFFFFFFF\n"
                               << KeyFileProblem::BadSector << 19 << -1 << false << none;
    QTest::newRow("sector -1") << "-1 FFFFFFFFFFFF FFFFFFFFFFFF\n"
                               << KeyFileProblem::BadSector << 1 << -1 << false << none;
    QTest::newRow("sector word") << "\nzero FFFFFFFFFFFF FFFFFFFFFFFF\n"
                                 << KeyFileProblem::BadSector << 2 << -1 << false << none;
    QTest::newRow("sector twice") << full + "3 FFFFFFFFFFFF FFFFFFFFFFFF\n"
                                  << KeyFileProblem::RepeatedSector << 19 << 3 << false << none;
    QTest::newRow("B key not hex") << QString(full).replace("B0B1B2B3B405", "B0B1B2B3B4ZZ")
                                   << KeyFileProblem::BadKey << 8 << 5 << true
                                   << KeyTextProblem::NotHexadecimal;
    QTest::newRow("A key too long") << QString(full).replace("A0A1A2A3A40f", "A0A1A2A3A40f0")
                                    << KeyFileProblem::BadKey << 18 << 15 << false << KeyTextProblem::TooLong;
    QTest::newRow("full-width digit")
        << QString(full).replace("A0A1A2A3A400", QStringLiteral("A0A1A2A3A4０0")) << KeyFileProblem::BadKey
        << 3 << 0 << false << KeyTextProblem::NotHexadecimal;
    // The first problem by line counts, even when a missing sector would be reported otherwise.
    QTest::newRow("first line wins") << Without(full, 0) + "x y\n0 1 2 3\n"
                                     << KeyFileProblem::ItemCount << 18 << -1 << false << none;
}

void TestKeyFile::problems() {
    QFETCH(QString, text);
    QFETCH(KeyFileProblem, problem);
    QFETCH(int, line);
    QFETCH(int, sector);
    QFETCH(bool, bKey);
    QFETCH(KeyTextProblem, keyProblem);
    const KeyFileReading reading = ReadKeyFile(text);
    QVERIFY(!reading.ok());
    QVERIFY(reading.fields.isEmpty());
    QCOMPARE(reading.problem, problem);
    QCOMPARE(reading.line, line);
    if (sector >= 0)
        QCOMPARE(reading.sector, sector);
    if (problem == KeyFileProblem::BadKey) {
        QCOMPARE(reading.bKey, bKey);
        QCOMPARE(reading.keyProblem, keyProblem);
    }
    if (problem == KeyFileProblem::RepeatedSector)
        QCOMPARE(reading.earlierLine, sector + 3);
}

void TestKeyFile::missingSectors() {
    const KeyFileReading reading = ReadKeyFile(Without(Without(SampleKeyFile(), 12), 7));
    QCOMPARE(reading.problem, KeyFileProblem::MissingSectors);
    QCOMPARE(reading.missingSectors, (QList<int>{7, 12}));
    QCOMPARE(reading.line, 0);
    QVERIFY(reading.fields.isEmpty());
    QCOMPARE(ReadKeyFile(QString()).missingSectors.size(), KeyFrame::SectorCount);
}

void TestKeyFile::writtenFileReadsBack() {
    QStringList fields;
    for (int field = 0; field < KeyFrame::KeyFieldCount; ++field)
        fields << QStringLiteral("a1B2c3D4e5%1").arg(field, 2, 10, QChar('0')); // case kept as typed
    const KeyFileReading reading = ReadKeyFile(WriteKeyFile(fields));
    QVERIFY(reading.ok());
    QCOMPARE(reading.fields, fields);
}

void TestKeyFile::writtenFileLayout() {
    QStringList fields(KeyFrame::KeyFieldCount, QStringLiteral("FFFFFFFFFFFF"));
    fields[KeyFrame::fieldOf(15, true)] = QStringLiteral("0123456789AB");
    const QStringList lines = WriteKeyFile(fields).split(u'\n');
    QCOMPARE(lines.size(), 18); // heading, 16 sectors, and the end of the last line
    QCOMPARE(lines[0], QStringLiteral("# sector  A key         B key"));
    QCOMPARE(lines[1], QStringLiteral("0         FFFFFFFFFFFF  FFFFFFFFFFFF"));
    QCOMPARE(lines[16], QStringLiteral("15        FFFFFFFFFFFF  0123456789AB"));
    QVERIFY(lines[17].isEmpty());
}

QTEST_GUILESS_MAIN(TestKeyFile)
#include "tst_keyfile.moc"
