// Key files through the window's 文件 menu: an import fills all 32 key fields or, for a bad file,
// none; an export asks first, writes the fields for the owner's eyes only, and reads back the same.
#include "MenuDriver.h"
#include "SampleKeyFile.h"
#include "SmallDisk.h"
#include "WindowFixture.h"
#include "app/Form1.h"
#include "keys/KeyFile.h"
#include "keys/KeyFrame.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace vrx;

namespace {

// Key field i holds a key of its own, mixed case as the operator may type it.
QString DistinctKey(int field) {
    return QStringLiteral("a1B2c3D4e5%1").arg(field, 2, 10, QChar('0'));
}

bool WriteFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The file's permission bits as the system keeps them.
int Mode(const QString &path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 07777) : -1;
}

QByteArray ReadFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestKeyFiles : public QObject, public WindowFixture {
    Q_OBJECT

    FileNamer *files = nullptr;
    QTemporaryDir *folder = nullptr;

    QStringList keyTexts() const {
        QStringList texts;
        for (const FieldEdit *field : form->TextPass)
            texts << field->text();
        return texts;
    }
    void setKeys(const QStringList &keys) {
        for (int i = 0; i < KeyFrame::KeyFieldCount; ++i)
            form->TextPass[i]->setText(keys[i]);
    }
    QStringList distinctKeys() const {
        QStringList keys;
        for (int i = 0; i < KeyFrame::KeyFieldCount; ++i)
            keys << DistinctKey(i);
        return keys;
    }
    QString path(const QString &name) const { return folder->filePath(name); }
    bool choose(const QString &item) {
        QString failure;
        const bool chosen = ChooseMenuItem(form, QStringLiteral("文件"), item, &failure);
        if (!chosen)
            qWarning("%s", qPrintable(failure));
        return chosen;
    }

private slots:
    void init() {
        files = new FileNamer;
        folder = new QTemporaryDir;
        QVERIFY(folder->isValid());
        QVERIFY(openWindow(files));
    }
    void cleanup() {
        closeWindow();
        delete files;
        delete folder;
    }

    void importGoodFile() {
        QVERIFY(WriteFile(path("keys.txt"), SampleKeyFile().toUtf8()));
        files->openName = path("keys.txt");
        QVERIFY(choose("导入密码…"));
        QCOMPARE(files->captions, QStringList{"导入密码"});
        QVERIFY(messages->shown.isEmpty());
        for (int s = 0; s < 16; ++s) {
            QCOMPARE(form->TextPass[KeyFrame::fieldOf(s, false)]->text(), SampleAKey(s));
            QCOMPARE(form->TextPass[KeyFrame::fieldOf(s, true)]->text(), SampleBKey(s));
        }
    }

    void importBadFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QString good = SampleKeyFile();
        QTest::newRow("not hex")
            << QString(good).replace("B0B1B2B3B405", "B0B1B2B3B4Z5").toUtf8()
            << "密码文件第8行的第5区B密码含有不是十六进制数字的字符。\n没有导入任何密码。";
        QTest::newRow("too long") << QString(good).replace("A0A1A2A3A40f", "A0A1A2A3A40f0").toUtf8()
                                  << "密码文件第18行的第15区A密码超过12位十六进制数字。\n没有导入任何密码。";
        QTest::newRow("two items")
            << QString(good).replace(" B0B1B2B3B409", "").toUtf8()
            << "密码文件第12行格式不对：每行应为“区号 A密码 B密码”三项，这一行有2项。\n"
               "没有导入任何密码。";
        QTest::newRow("sector 16")
            << (good + "16 FFFFFFFFFFFF FFFFFFFFFFFF\n").toUtf8()
            << "密码文件第19行的区号不对：区号应为0到15之间的数字。\n没有导入任何密码。";
        QTest::newRow("sector twice")
            << (good + "3 FFFFFFFFFFFF FFFFFFFFFFFF\n").toUtf8()
            << "密码文件第19行又给出了第3区的密码，第6行已经给出过：每个区只能有一行。\n"
               "没有导入任何密码。";
        QTest::newRow("sectors missing")
            << QString(good).remove(QRegularExpression("\n(4|11) [^\n]*")).toUtf8()
            << "密码文件缺少第4、11区的密码：0到15区每区都要有一行。\n没有导入任何密码。";
        QTest::newRow("empty file")
            << QByteArray()
            << "密码文件缺少第0、1、2、3、4、5、6、7、8、9、10、11、12、13、14、15区的密码："
               "0到15区每区都要有一行。\n没有导入任何密码。";
    }

    void importBadFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        setKeys(distinctKeys());
        QVERIFY(WriteFile(path("bad.txt"), bytes));
        files->openName = path("bad.txt");
        QVERIFY(choose("导入密码…"));
        QCOMPARE(messages->shown, QStringList{message});
        QCOMPARE(keyTexts(), distinctKeys());
    }

    void importUnreadableFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("start");
        QTest::newRow("missing") << "none.txt"
                                 << "无法读取密码文件“%1”：";
        QTest::newRow("too large") << "large.txt"
                                   << "“%1”不是密码文件：文件太大。";
    }

    void importUnreadableFile() {
        QFETCH(QString, name);
        QFETCH(QString, start);
        QVERIFY(WriteFile(path("large.txt"), SampleKeyFile().toUtf8() + QByteArray(1 << 20, '#')));
        files->openName = path(name);
        QVERIFY(choose("导入密码…"));
        QCOMPARE(messages->shown.size(), 1);
        QVERIFY2(messages->shown.front().startsWith(start.arg(path(name))),
                 qPrintable(messages->shown.front()));
        QCOMPARE(keyTexts(), QStringList(32, "3C5A7E9B1D2F"));
    }

    // A device claims no size and never ends: it is read only as far as a key file can go.
    void importEndlessDevice() {
        files->openName = QStringLiteral("/dev/zero");
        QVERIFY(choose("导入密码…"));
        QCOMPARE(messages->shown, QStringList{"“/dev/zero”不是密码文件：文件太大。"});
        QCOMPARE(keyTexts(), QStringList(32, "3C5A7E9B1D2F"));
    }

    void importCancelledChangesNothing() {
        files->openName.clear();
        QVERIFY(choose("导入密码…"));
        QVERIFY(messages->shown.isEmpty());
        QCOMPARE(keyTexts(), QStringList(32, "3C5A7E9B1D2F"));
    }

    void exportRoundTrip() {
        setKeys(distinctKeys());
        form->TextPass[9]->setText(" " + DistinctKey(9) + " "); // blanks around, as the download allows
        files->saveName = path("out.txt");
        QVERIFY(choose("导出密码…"));
        QCOMPARE(messages->asked.size(), 1);
        QVERIFY(messages->asked.front().contains("明文"));
        QCOMPARE(files->captions, QStringList{"导出密码"});
        QCOMPARE(messages->shown, QStringList{QStringLiteral("密码已导出到“%1”。").arg(path("out.txt"))});
        QCOMPARE(Mode(path("out.txt")), 0600);

        setKeys(QStringList(32, "FFFFFFFFFFFF"));
        files->openName = path("out.txt");
        messages->shown.clear();
        QVERIFY(choose("导入密码…"));
        QVERIFY(messages->shown.isEmpty());
        QCOMPARE(keyTexts(), distinctKeys());
    }

    void exportReplacesAnOpenerFile() {
        // An older file readable by everyone ends up replaced whole and readable by its owner only.
        QVERIFY(WriteFile(path("out.txt"), "old contents that are longer than any key file could ever be\n"));
        QVERIFY(QFile::setPermissions(path("out.txt"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                           QFileDevice::ReadGroup | QFileDevice::ReadOther));
        files->saveName = path("out.txt");
        QVERIFY(choose("导出密码…"));
        QCOMPARE(Mode(path("out.txt")), 0600);
        const QByteArray written = ReadFile(path("out.txt"));
        QVERIFY(!written.contains("old contents"));
        QCOMPARE(written.count("3C5A7E9B1D2F"), 32);
        QCOMPARE(QDir(folder->path()).entryList(QDir::Files), QStringList{"out.txt"}); // no temporary left
    }

    void exportDeclinedWritesNothing() {
        messages->answer = false;
        files->saveName = path("out.txt");
        QVERIFY(choose("导出密码…"));
        QCOMPARE(messages->asked.size(), 1);
        QVERIFY(files->captions.isEmpty()); // not even asked for a file
        QVERIFY(messages->shown.isEmpty());
        QVERIFY(QDir(folder->path()).isEmpty());
    }

    void exportRefusesIncompleteKeys_data() {
        QTest::addColumn<QList<int>>("fields");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        // The first bad field in the download's order: sector 8 is visited before sector 3.
        QTest::newRow("short A 3, short B 8") << QList<int>{3, 24} << "0123"
                                              << "第8区B密码不是12位十六进制数字，无法导出！";
        QTest::newRow("empty A 0") << QList<int>{0} << ""
                                   << "第0区A密码不是12位十六进制数字，无法导出！";
        QTest::newRow("13 digits B 15") << QList<int>{31} << "0123456789ABC"
                                        << "第15区B密码不是12位十六进制数字，无法导出！";
        QTest::newRow("letter G A 9") << QList<int>{17} << "0123456789AG"
                                      << "第9区A密码不是12位十六进制数字，无法导出！";
    }

    void exportRefusesIncompleteKeys() {
        QFETCH(QList<int>, fields);
        QFETCH(QString, text);
        QFETCH(QString, message);
        for (int field : fields)
            form->TextPass[field]->setText(text);
        files->saveName = path("out.txt");
        QVERIFY(choose("导出密码…"));
        QCOMPARE(messages->shown, QStringList{message});
        QVERIFY(messages->asked.isEmpty());
        QVERIFY(files->captions.isEmpty());
        QVERIFY(QDir(folder->path()).isEmpty());
    }

    void exportOntoAFullDiskKeepsTheOldFile_data() {
        QTest::addColumn<QString>("target"); // in the full disk's folder; "" for the old key file itself
        QTest::newRow("replacing the old file") << "";
        QTest::newRow("a new file beside it") << "new.txt";
    }

    void exportOntoAFullDiskKeepsTheOldFile() {
        QFETCH(QString, target);
        const QString disk = path("full");
        QString why;
        if (!smalldisk::Mount(disk, 64 * 1024, false, &why))
            QSKIP(qPrintable(why));
        const QByteArray good = WriteKeyFile(distinctKeys()).toUtf8();
        const QString old = disk + "/keys.txt";
        QVERIFY(WriteFile(old, good));
        QVERIFY(smalldisk::Fill(disk));
        setKeys(QStringList(32, "0123456789AB"));
        files->saveName = target.isEmpty() ? old : disk + "/" + target;
        const bool chosen = choose("导出密码…");
        const QByteArray kept = ReadFile(old);
        const bool leftNothing = QDir(disk).entryList(QDir::Files | QDir::Hidden).size() == 2;
        smalldisk::Unmount(disk);
        QVERIFY(chosen);
        QCOMPARE(kept, good);
        QVERIFY(leftNothing); // the old file and the filler, no half-written file beside them
        QCOMPARE(messages->shown,
                 QStringList{
                     QStringLiteral("无法写入密码文件“%1”：No space left on device").arg(files->saveName)});
    }

    void exportIntoMissingFolder() {
        files->saveName = path("no/such/folder/out.txt");
        QVERIFY(choose("导出密码…"));
        QCOMPARE(messages->shown.size(), 1);
        QVERIFY2(
            messages->shown.front().startsWith(QStringLiteral("无法写入密码文件“%1”：").arg(files->saveName)),
            qPrintable(messages->shown.front()));
    }
};

QTEST_MAIN(TestKeyFiles)
#include "tst_keyfiles.moc"
