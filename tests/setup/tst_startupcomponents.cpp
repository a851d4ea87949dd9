// What start-up does with the two control libraries on this build: the per-user stand-in unless a
// packager named both library files, nothing in the system directory, and a failure of the
// system-directory layer turned into the one line the window shows. Runs on Linux and on Windows.
#include "RecordingPlatform.h"

#include "setup/ComponentInstaller.h"
#include "setup/FormInitialize.h"
#include "setup/StandInComponentPlatform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

using namespace vrx;

Q_DECLARE_METATYPE(std::string)

namespace {

const std::string System32 = "C:\\WINDOWS\\system32";

// Refuses every write with the system's text, which may end in, or hold, a line break.
class RefusingPlatform : public RecordingPlatform {
public:
    std::string refusal;
    void writeFile(const std::string &path, const std::vector<std::uint8_t> &) override {
        calls.push_back("write " + path);
        throw ComponentError("cannot create " + path + ": " + refusal);
    }
};

// Where the per-user data of this system lives: %LOCALAPPDATA% on Windows, the XDG data home elsewhere.
QString UserDataFolder() {
#ifdef Q_OS_WIN
    return QDir::fromNativeSeparators(qEnvironmentVariable("LOCALAPPDATA"));
#else
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    return xdg.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/share") : xdg;
#endif
}

QString SystemFolder() {
#ifdef Q_OS_WIN
    return QDir::fromNativeSeparators(qEnvironmentVariable("SystemRoot")) + QStringLiteral("/System32");
#else
    return QString();
#endif
}

} // namespace

class tst_StartupComponents : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QCoreApplication::setOrganizationName(QString());
        QCoreApplication::setApplicationName(QStringLiteral("vrx-config"));
    }

    void standInIsTheDefaultLayer() {
        if (BuiltComponentLayer() == ComponentLayer::SystemDirectory)
            QSKIP("built with the system-directory components named by a packager");
        QCOMPARE(BuiltComponentLayer(), ComponentLayer::StandIn);
    }

    void startUpWritesOnlyIntoTheUsersDataFolder() {
        if (BuiltComponentLayer() == ComponentLayer::SystemDirectory)
            QSKIP("built with the system-directory components named by a packager");
        const QString userData = UserDataFolder();
        QVERIFY2(!userData.isEmpty(), "the system names no per-user data folder");
        const QString folder = StandInComponentPlatform::defaultComponentsDirectory();
        QCOMPARE(folder.left(userData.size()).toLower(), userData.toLower());
        QCOMPARE(folder.mid(userData.size()), QStringLiteral("/vrx-config/components"));

        const QString system = SystemFolder();
        const bool systemHadThem =
            !system.isEmpty() && (QFile::exists(system + QStringLiteral("/MSWINSCK.OCX")) ||
                                  QFile::exists(system + QStringLiteral("/msflxgrd.ocx")));
        // Only the notes start-up itself writes live there, and deleting them is harmless.
        QDir(folder).removeRecursively();

        QCOMPARE(Form_Initialize(), std::string());
        QVERIFY(QFile::exists(folder + QStringLiteral("/MSWINSCK.OCX")));
        QVERIFY(QFile::exists(folder + QStringLiteral("/msflxgrd.ocx")));
        if (!system.isEmpty() && !systemHadThem) {
            QVERIFY(!QFile::exists(system + QStringLiteral("/MSWINSCK.OCX")));
            QVERIFY(!QFile::exists(system + QStringLiteral("/msflxgrd.ocx")));
        }
        // The next start finds both and says nothing.
        QCOMPARE(Form_Initialize(), std::string());
    }

    void failureBecomesTheBoxsOneLine_data() {
        QTest::addColumn<std::string>("refusal");
        QTest::addColumn<std::string>("message");
        const std::string path = System32 + "\\MSWINSCK.OCX";
        QTest::newRow("access denied")
            << std::string("Access is denied.") << "cannot create " + path + ": Access is denied.";
        QTest::newRow("system text ending in a line break")
            << std::string("Access is denied.\r\n") << "cannot create " + path + ": Access is denied.";
        QTest::newRow("system text of two lines")
            << std::string("The media is write protected.\r\nRetry.")
            << "cannot create " + path + ": The media is write protected. Retry.";
    }
    void failureBecomesTheBoxsOneLine() {
        QFETCH(std::string, refusal);
        QFETCH(std::string, message);
        RefusingPlatform platform;
        platform.systemDir = System32;
        platform.resources[101] = GeneratedLibrary(64, 101);
        platform.resources[102] = GeneratedLibrary(64, 102);
        platform.refusal = refusal;
        QCOMPARE(InitializeComponentsOrMessage(platform), message);
        // Start-up stops at the first failure: nothing registered, the grid control not even tested.
        QVERIFY(platform.started.empty());
        QCOMPARE(platform.calls.back(), "write " + System32 + "\\MSWINSCK.OCX");
    }

    void missingResourceIsShownToo() {
        RecordingPlatform platform;
        platform.systemDir = System32;
        platform.resources[101] = GeneratedLibrary(64, 101);
        QCOMPARE(InitializeComponentsOrMessage(platform), std::string("no resource 102"));
        QCOMPARE(platform.started,
                 std::vector<std::string>{"Regsvr32.exe   " + System32 + "\\MSWINSCK.OCX /s"});
    }

    void bothInPlaceShowsNothing() {
        RecordingPlatform platform;
        platform.systemDir = System32;
        platform.present = {System32 + "\\MSWINSCK.OCX", System32 + "\\msflxgrd.ocx"};
        QCOMPARE(InitializeComponentsOrMessage(platform), std::string());
        QVERIFY(platform.written.empty());
    }
};

QTEST_GUILESS_MAIN(tst_StartupComponents)
#include "tst_startupcomponents.moc"
