#include "RecordingPlatform.h"

#include "setup/ComponentInstaller.h"
#include "setup/FormInitialize.h"
#include "setup/StandInComponentPlatform.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sstream>

using namespace vrx;

namespace {

QByteArray ReadAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Every file and link below root, as paths relative to it.
QStringList Tree(const QString &root) {
    QStringList entries;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << QDir(root).relativeFilePath(it.next());
    entries.sort();
    return entries;
}

std::string Backslashed(const QString &directory, const char *name) {
    return QFile::encodeName(directory).toStdString() + "\\" + name;
}

} // namespace

class tst_StandInComponentPlatform : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    int m_case = 0;
    QString m_base; // this test function's own folder: home/ and data/ below it

private slots:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        QCoreApplication::setOrganizationName(QString());
        QCoreApplication::setApplicationName(QStringLiteral("vrx-config"));
    }

    // The user's home and data location both move into a folder of this test, so any write the layer
    // makes anywhere under them shows up in its tree.
    void init() {
        m_base = m_root.filePath(QString::number(++m_case));
        QVERIFY(QDir().mkpath(m_base + "/home"));
        QVERIFY(QDir().mkpath(m_base + "/data"));
        qputenv("HOME", QFile::encodeName(m_base + "/home"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_base + "/data"));
    }

    void componentsFolderIsInTheUsersDataLocation() {
        QCOMPARE(StandInComponentPlatform::defaultComponentsDirectory(),
                 m_base + "/data/vrx-config/components");
        StandInComponentPlatform platform;
        QCOMPARE(QString::fromStdString(GetSystemDir(platform)), m_base + "/data/vrx-config/components");
    }

    void firstStartWritesTheNotesAndNothingElse() {
        StandInComponentPlatform platform;
        std::ostringstream errors;
        QVERIFY(InitializeComponentsOrReport(platform, errors));
        QCOMPARE(errors.str(), std::string());

        QCOMPARE(Tree(m_base), QStringList({"data/vrx-config/components/MSWINSCK.OCX",
                                            "data/vrx-config/components/msflxgrd.ocx"}));
        const QString folder = platform.componentsDirectory();
        const QByteArray socketNote = ReadAll(folder + "/MSWINSCK.OCX");
        const QByteArray gridNote = ReadAll(folder + "/msflxgrd.ocx");
        QCOMPARE(socketNote, ReadAll(":/vrx/setup/CUSTOM/101"));
        QCOMPARE(gridNote, ReadAll(":/vrx/setup/CUSTOM/102"));
        QVERIFY(socketNote.contains("QUdpSocket"));
        QVERIFY(gridNote.contains("Qt Widgets"));
        QCOMPARE(platform.registrations(),
                 (std::vector<std::string>{"Regsvr32.exe   " + Backslashed(folder, "MSWINSCK.OCX") + " /s",
                                           "Regsvr32.exe   " + Backslashed(folder, "msflxgrd.ocx") + " /s"}));
    }

    void nextStartLeavesPresentFilesAlone() {
        StandInComponentPlatform first;
        Form_Initialize(first);
        const QString folder = first.componentsDirectory();
        QVERIFY(WriteAll(folder + "/msflxgrd.ocx", "edited by the user"));

        StandInComponentPlatform next;
        QVERIFY(InstallComponent(next, SocketControlFile, SocketControlResource));
        QVERIFY(InstallComponent(next, GridControlFile, GridControlResource));
        QVERIFY(next.registrations().empty());
        QCOMPARE(ReadAll(folder + "/msflxgrd.ocx"), QByteArray("edited by the user"));
    }

    void presentWhateverItsPermissions_data() {
        QTest::addColumn<int>("permissions");
        QTest::addColumn<bool>("danglingLink");
        QTest::newRow("read-only") << int(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther) << false;
        QTest::newRow("no permissions at all") << 0 << false;
        QTest::newRow("dangling symbolic link") << 0 << true;
    }
    void presentWhateverItsPermissions() {
        QFETCH(int, permissions);
        QFETCH(bool, danglingLink);
        const QString folder = m_base + "/components";
        QVERIFY(QDir().mkpath(folder));
        const QString target = folder + "/msflxgrd.ocx";
        if (danglingLink) {
            QVERIFY(QFile::link(m_base + "/elsewhere", target));
        } else {
            QVERIFY(WriteAll(target, "old"));
            QVERIFY(QFile::setPermissions(target, QFile::Permissions(permissions)));
        }
        StandInComponentPlatform platform(folder, StandInComponentPlatform::defaultResourceRoot());
        QVERIFY(InstallComponent(platform, GridControlFile, GridControlResource));
        QVERIFY(platform.registrations().empty());
        QVERIFY(!QFile::exists(m_base + "/elsewhere"));
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    }

    void largeResourcesAreWrittenByteForByte() {
        const QString resources = m_base + "/resources";
        QVERIFY(QDir().mkpath(resources + "/CUSTOM"));
        const std::vector<std::uint8_t> winsock = GeneratedLibrary(124688, 101);
        const std::vector<std::uint8_t> grid = GeneratedLibrary(244232, 102);
        QVERIFY(WriteAll(resources + "/CUSTOM/101", QByteArray(reinterpret_cast<const char *>(winsock.data()),
                                                               qsizetype(winsock.size()))));
        QVERIFY(WriteAll(resources + "/CUSTOM/102",
                         QByteArray(reinterpret_cast<const char *>(grid.data()), qsizetype(grid.size()))));

        const QString folder = m_base + "/data/components";
        StandInComponentPlatform platform(folder, resources);
        Form_Initialize(platform);
        QCOMPARE(ReadAll(folder + "/MSWINSCK.OCX"), ReadAll(resources + "/CUSTOM/101"));
        QCOMPARE(ReadAll(folder + "/msflxgrd.ocx").size(), 244232);
        QCOMPARE(ReadAll(folder + "/msflxgrd.ocx"), ReadAll(resources + "/CUSTOM/102"));
    }

    void neverWritesOutsideTheComponentsFolder() {
        QVERIFY2(!QFile::exists("/MSWINSCK.OCX"), "a stray /MSWINSCK.OCX is in the way of this test");
        // No data location: the paths become "\" + name, which map to nothing.
        StandInComponentPlatform homeless(QString(), StandInComponentPlatform::defaultResourceRoot());
        QCOMPARE(GetSystemDir(homeless), std::string());
        QVERIFY_THROWS_EXCEPTION(ComponentError, InstallComponent(homeless, SocketControlFile, 101));
        QVERIFY(!QFile::exists("/MSWINSCK.OCX"));

        const QString folder = m_base + "/data/components";
        StandInComponentPlatform platform(folder, StandInComponentPlatform::defaultResourceRoot());
        for (const std::string &path :
             {Backslashed(m_base + "/data", "MSWINSCK.OCX"), Backslashed(folder, "../MSWINSCK.OCX"),
              Backslashed(folder, ".."), QFile::encodeName(folder).toStdString() + "/MSWINSCK.OCX"}) {
            QVERIFY(!platform.fileExists(path));
            QVERIFY_THROWS_EXCEPTION(ComponentError, platform.writeFile(path, {1, 2, 3}));
        }
        QVERIFY(platform.registrations().empty());
        QCOMPARE(Tree(m_base), QStringList());
    }

    void missingNoteIsAFailure() {
        StandInComponentPlatform platform(m_base + "/components", m_base + "/no-resources");
        QVERIFY_THROWS_EXCEPTION(ComponentError, platform.loadResource("CUSTOM", 101));
    }

    void failureIsReportedOnceAndStartUpGoesOn() {
        // A data location that cannot hold folders: the file blocks it.
        QVERIFY(WriteAll(m_base + "/blocked", "not a folder"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_base + "/blocked"));

        StandInComponentPlatform platform;
        std::ostringstream errors;
        QVERIFY(!InitializeComponentsOrReport(platform, errors));
        const std::string text = errors.str();
        QCOMPARE(std::count(text.begin(), text.end(), '\n'), 1);
        QVERIFY(text.find("components folder") != std::string::npos);

        // The window's own entry point returns normally.
        Form_Initialize();
        QCOMPARE(Tree(m_base), QStringList({"blocked"}));
    }
};

QTEST_GUILESS_MAIN(tst_StandInComponentPlatform)
#include "tst_standincomponentplatform.moc"
