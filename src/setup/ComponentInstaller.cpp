#include "setup/ComponentInstaller.h"

#include <algorithm>

namespace vrx {

std::string GetSystemDir(ComponentPlatform &platform) {
    std::string buffer(SystemDirBufferSize, '\0');
    platform.systemDirectory(buffer.data(), SystemDirBufferSize);
    // Whatever the call reported, the text ends at the first zero: a failed call leaves all zeros.
    buffer.erase(std::find(buffer.begin(), buffer.end(), '\0'), buffer.end());
    return buffer;
}

std::string RegistrationCommand(const std::string &path) {
    return "Regsvr32.exe   " + path + " /s";
}

bool InstallComponent(ComponentPlatform &platform, const std::string &fileName, std::uint16_t resourceId) {
    const std::string path = GetSystemDir(platform) + "\\" + fileName;
    // A present file is left alone, even when it is out of date or unregistered.
    if (platform.fileExists(path))
        return true;

    const std::vector<std::uint8_t> bytes = platform.loadResource(ComponentResourceType, resourceId);
    platform.writeFile(path, bytes);
    // Registration runs on its own; its outcome is not looked at.
    platform.startProcess(RegistrationCommand(path));
    return false;
}

} // namespace vrx
