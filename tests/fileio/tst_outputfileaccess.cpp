// Who may read an output file: a key file is readable and writable by its owner alone on every system,
// whether it is new or replaces a file others could read; any other file keeps the usual access. Under
// wine, which keeps no access list of a file but only the Unix bits it makes of one, the key file is checked
// to have no entry for everyone; the list itself can only be read back on Windows.
#include "FileAccess.h"
#include "fileio/OutputFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vrx;
using vrx::test::AccessOf;
using vrx::test::OwnerOnlyAccess;

Q_DECLARE_METATYPE(vrx::OutputAccess)

class TestOutputFileAccess : public QObject {
    Q_OBJECT

private slots:
    void access_data();
    void access();
};

void TestOutputFileAccess::access_data() {
    QTest::addColumn<OutputAccess>("access");
    QTest::addColumn<bool>("replacing");
    QTest::addColumn<bool>("ownerOnly");

    QTest::newRow("a new key file") << OutputAccess::OwnerOnly << false << true;
    QTest::newRow("a key file over one others could read") << OutputAccess::OwnerOnly << true << true;
    QTest::newRow("a new usual file") << OutputAccess::Usual << false << false;
}

void TestOutputFileAccess::access() {
    QFETCH(OutputAccess, access);
    QFETCH(bool, replacing);
    QFETCH(bool, ownerOnly);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("keys.txt"));
    if (replacing) {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old contents\n") > 0);
        old.close();
        QVERIFY(old.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                   QFileDevice::ReadOther));
        QVERIFY2(AccessOf(path) != OwnerOnlyAccess(), qPrintable(AccessOf(path)));
    }

    const QByteArray bytes = "0 A1B2C3D4E5F6 B1B2B3B4B5B6\n";
    const OutputOutcome written = WriteOutputFile(path, bytes, access);
    QVERIFY2(written.ok(), qPrintable(written.reason));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes); // its owner still reads it
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keys.txt"});

    if (!ownerOnly) {
        QVERIFY2(AccessOf(path) != OwnerOnlyAccess(), qPrintable(AccessOf(path)));
        return;
    }
    if (const QString why = test::AccessNotKept(); !why.isEmpty()) {
        // What it does keep: the Unix bits it makes of the list, and so no entry for everyone (S-1-1-0).
        QVERIFY2(!AccessOf(path).contains(QLatin1String("S-1-1-0 ")), qPrintable(AccessOf(path)));
        QSKIP(qPrintable(why));
    }
    QCOMPARE(AccessOf(path), OwnerOnlyAccess());
}

QTEST_GUILESS_MAIN(TestOutputFileAccess)
#include "tst_outputfileaccess.moc"
