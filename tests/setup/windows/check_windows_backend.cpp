// Console check of the Windows backend, built with a resource script holding two generated files.
// Runs the window's real start-up entry twice in the system directory:
//   1. "msflxgrd.ocx" is already there, hidden, read-only and system: only "MSWINSCK.OCX" is written;
//   2. after that file is removed: only "msflxgrd.ocx" is written.
// The caller compares the written files with the generated ones and looks for the two Regsvr32 starts.
#include "setup/ComponentInstaller.h"
#include "setup/FormInitialize.h"
#include "setup/WindowsComponentPlatform.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

int failures = 0;

void check(bool ok, const std::string &what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    failures += ok ? 0 : 1;
}

std::string contents(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

} // namespace

int main() {
    vrx::WindowsComponentPlatform platform;
    const std::string dir = vrx::GetSystemDir(platform);
    const std::string winsock = dir + "\\MSWINSCK.OCX";
    const std::string grid = dir + "\\msflxgrd.ocx";
    std::printf("system directory: %s\n", dir.c_str());
    check(!dir.empty() && dir.back() != '\\', "system directory without trailing backslash");
    check(!platform.fileExists(winsock) && !platform.fileExists(grid), "neither library present yet");

    {
        std::ofstream old(grid, std::ios::binary);
        old << "old";
    }
    SetFileAttributesA(grid.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM);
    check(platform.fileExists(grid), "hidden, read-only, system file counts as present");

    std::printf("start-up 1\n");
    check(vrx::Form_Initialize().empty(), "start-up 1 reports no failure");
    check(platform.fileExists(winsock), "MSWINSCK.OCX written");
    check(contents(grid) == "old", "msflxgrd.ocx left alone");

    SetFileAttributesA(grid.c_str(), FILE_ATTRIBUTE_NORMAL);
    check(DeleteFileA(grid.c_str()) != 0, "msflxgrd.ocx removed");

    std::printf("start-up 2\n");
    check(vrx::Form_Initialize().empty(), "start-up 2 reports no failure");
    check(platform.fileExists(grid), "msflxgrd.ocx written");

    check(vrx::InstallComponent(platform, "MSWINSCK.OCX", 101) &&
              vrx::InstallComponent(platform, "msflxgrd.ocx", 102),
          "both present on the next start");

    bool threw = false;
    try {
        platform.loadResource("CUSTOM", 103);
    } catch (const vrx::ComponentError &error) {
        threw = true;
        std::printf("missing resource: %s\n", error.what());
    }
    check(threw, "a missing resource is an error");

    std::printf("%s\n", failures ? "FAILED" : "PASSED");
    return failures ? 1 : 0;
}
