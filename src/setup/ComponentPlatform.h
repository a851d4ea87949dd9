#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Plain C++ on purpose: the installer logic and the Windows backend build without Qt, so the Windows
// backend can be cross-compiled and checked on its own.

namespace vrx {

// A platform operation that failed. The installer lets it through: on Windows it ends start-up.
class ComponentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The operations the component installer needs from the system. Each failure throws ComponentError.
class ComponentPlatform {
public:
    virtual ~ComponentPlatform() = default;

    // Fills buffer with the zero-terminated system directory. Gives the length written (without the zero),
    // the size needed when buffer is too small (then writes nothing), or 0 when it fails.
    virtual std::uint32_t systemDirectory(char *buffer, std::uint32_t size) = 0;

    // True when a file of this path exists; read-only, hidden and system files count as present.
    virtual bool fileExists(const std::string &path) = 0;

    // The bytes of the program's resource of this type and id.
    virtual std::vector<std::uint8_t> loadResource(std::string_view type, std::uint16_t id) = 0;

    // Creates the file and writes exactly these bytes, nothing before or after them.
    virtual void writeFile(const std::string &path, const std::vector<std::uint8_t> &bytes) = 0;

    // Starts the command line as a new process with a normal, focused window; does not wait for it.
    virtual void startProcess(const std::string &commandLine) = 0;
};

} // namespace vrx
