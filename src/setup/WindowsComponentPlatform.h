#pragma once

#include "setup/ComponentPlatform.h"

namespace vrx {

// The installer's operations on Win32: the real system directory, the program file's own resources,
// Regsvr32 started as a separate process.
class WindowsComponentPlatform final : public ComponentPlatform {
public:
    std::uint32_t systemDirectory(char *buffer, std::uint32_t size) override;
    bool fileExists(const std::string &path) override;
    std::vector<std::uint8_t> loadResource(std::string_view type, std::uint16_t id) override;
    void writeFile(const std::string &path, const std::vector<std::uint8_t> &bytes) override;
    void startProcess(const std::string &commandLine) override;
};

} // namespace vrx
