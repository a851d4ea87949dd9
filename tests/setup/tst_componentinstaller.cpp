#include "RecordingPlatform.h"

#include "setup/ComponentInstaller.h"
#include "setup/FormInitialize.h"

#include <QTest>

#include <sstream>

using namespace vrx;
using Calls = std::vector<std::string>;

Q_DECLARE_METATYPE(std::string)

namespace {

const std::string System32 = "C:\\WINDOWS\\system32";
const std::string WinsockPath = System32 + "\\MSWINSCK.OCX";
const std::string GridPath = System32 + "\\msflxgrd.ocx";

RecordingPlatform WindowsLike() {
    RecordingPlatform platform;
    platform.systemDir = System32;
    platform.resources[101] = GeneratedLibrary(124688, 101);
    platform.resources[102] = GeneratedLibrary(244232, 102);
    return platform;
}

} // namespace

class tst_ComponentInstaller : public QObject {
    Q_OBJECT

private slots:
    void getSystemDir_data() {
        QTest::addColumn<bool>("succeeds");
        QTest::addColumn<std::string>("directory");
        QTest::newRow("system32") << true << System32;
        QTest::newRow("longest that fits") << true << std::string(259, 'd');
        QTest::newRow("call fails") << false << std::string();
    }
    void getSystemDir() {
        QFETCH(bool, succeeds);
        QFETCH(std::string, directory);
        RecordingPlatform platform;
        if (succeeds)
            platform.systemDir = directory;
        QCOMPARE(GetSystemDir(platform), directory);
        QCOMPARE(platform.bufferSizeSeen, 260u);
    }

    void bothPresentDoesNothing() {
        RecordingPlatform platform = WindowsLike();
        platform.present = {WinsockPath, GridPath};
        QVERIFY(InstallComponent(platform, "MSWINSCK.OCX", 101));
        QVERIFY(InstallComponent(platform, "msflxgrd.ocx", 102));
        QCOMPARE(platform.calls, (Calls{"systemDirectory", "exists " + WinsockPath, "systemDirectory",
                                        "exists " + GridPath}));
        QVERIFY(platform.written.empty());
        QVERIFY(platform.started.empty());
    }

    void onlyGridMissing() {
        RecordingPlatform platform = WindowsLike();
        platform.present = {WinsockPath};
        Form_Initialize(platform);
        QCOMPARE(platform.calls,
                 (Calls{"systemDirectory", "exists " + WinsockPath, "systemDirectory", "exists " + GridPath,
                        "load CUSTOM 102", "write " + GridPath, "start Regsvr32.exe   " + GridPath + " /s"}));
        QCOMPARE(platform.written.size(), std::size_t(1));
        QVERIFY(platform.written.count(GridPath));
    }

    void neitherPresentSocketControlFirst() {
        RecordingPlatform platform = WindowsLike();
        QVERIFY(!InstallComponent(platform, "MSWINSCK.OCX", 101));
        QVERIFY(!InstallComponent(platform, "msflxgrd.ocx", 102));
        platform.calls.clear();
        // No state is kept: the next start tests both files again and finds them.
        Form_Initialize(platform);
        QCOMPARE(platform.calls, (Calls{"systemDirectory", "exists " + WinsockPath, "systemDirectory",
                                        "exists " + GridPath}));
        QCOMPARE(platform.started,
                 (Calls{"Regsvr32.exe   " + WinsockPath + " /s", "Regsvr32.exe   " + GridPath + " /s"}));
    }

    void writtenBytesAreTheResource_data() {
        QTest::addColumn<std::string>("fileName");
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("size");
        QTest::newRow("socket control") << std::string("MSWINSCK.OCX") << 101 << 124688;
        QTest::newRow("grid control") << std::string("msflxgrd.ocx") << 102 << 244232;
    }
    void writtenBytesAreTheResource() {
        QFETCH(std::string, fileName);
        QFETCH(int, id);
        QFETCH(int, size);
        RecordingPlatform platform = WindowsLike();
        QVERIFY(!InstallComponent(platform, fileName, std::uint16_t(id)));
        const std::vector<std::uint8_t> &bytes = platform.written.at(System32 + "\\" + fileName);
        QCOMPARE(bytes.size(), std::size_t(size));
        QVERIFY(bytes == GeneratedLibrary(std::size_t(size), std::uint32_t(id)));
    }

    void commandLine_data() {
        QTest::addColumn<std::string>("systemDir");
        QTest::addColumn<std::string>("fileName");
        QTest::addColumn<std::string>("command");
        QTest::newRow("system32") << System32 << std::string("MSWINSCK.OCX")
                                  << std::string("Regsvr32.exe   C:\\WINDOWS\\system32\\MSWINSCK.OCX /s");
        QTest::newRow("grid") << System32 << std::string("msflxgrd.ocx")
                              << std::string("Regsvr32.exe   C:\\WINDOWS\\system32\\msflxgrd.ocx /s");
        QTest::newRow("blank in path, unquoted")
            << std::string("D:\\Win Dir\\sys") << std::string("MSWINSCK.OCX")
            << std::string("Regsvr32.exe   D:\\Win Dir\\sys\\MSWINSCK.OCX /s");
    }
    void commandLine() {
        QFETCH(std::string, systemDir);
        QFETCH(std::string, fileName);
        QFETCH(std::string, command);
        RecordingPlatform platform = WindowsLike();
        platform.systemDir = systemDir;
        InstallComponent(platform, fileName, fileName == "MSWINSCK.OCX" ? 101 : 102);
        QCOMPARE(platform.started, Calls{command});
    }

    void emptySystemDirectory() {
        RecordingPlatform platform = WindowsLike();
        platform.systemDir.reset();
        QVERIFY(!InstallComponent(platform, "MSWINSCK.OCX", 101));
        QCOMPARE(platform.calls, (Calls{"systemDirectory", "exists \\MSWINSCK.OCX", "load CUSTOM 101",
                                        "write \\MSWINSCK.OCX", "start Regsvr32.exe   \\MSWINSCK.OCX /s"}));
    }

    void failuresAreNotCaught() {
        RecordingPlatform platform = WindowsLike();
        platform.failWriteOf = WinsockPath;
        QVERIFY_THROWS_EXCEPTION(ComponentError, Form_Initialize(platform));
        // Start-up ends at the first failure: no registration, the grid control is not even tested.
        QVERIFY(platform.started.empty());
        QCOMPARE(platform.calls.back(), "write " + WinsockPath);

        RecordingPlatform noResource = WindowsLike();
        noResource.resources.erase(101);
        QVERIFY_THROWS_EXCEPTION(ComponentError, InstallComponent(noResource, "MSWINSCK.OCX", 101));
        QVERIFY(noResource.written.empty());
    }

    void reportedFailureIsOneLine() {
        RecordingPlatform platform = WindowsLike();
        platform.failWriteOf = GridPath;
        std::ostringstream errors;
        QVERIFY(!InitializeComponentsOrReport(platform, errors));
        const std::string text = errors.str();
        QCOMPARE(std::count(text.begin(), text.end(), '\n'), 1);
        QVERIFY(text.find("access denied: " + GridPath) != std::string::npos);
        QCOMPARE(platform.started, Calls{"Regsvr32.exe   " + WinsockPath + " /s"});

        platform.failWriteOf.clear();
        std::ostringstream none;
        QVERIFY(InitializeComponentsOrReport(platform, none));
        QVERIFY(none.str().empty());
    }
};

QTEST_APPLESS_MAIN(tst_ComponentInstaller)
#include "tst_componentinstaller.moc"
