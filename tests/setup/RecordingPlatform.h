#pragma once

#include "setup/ComponentPlatform.h"

#include <cstring>
#include <map>
#include <optional>
#include <set>

// Answers from tables and notes every call, so a test sees exactly what the installer asked for.
class RecordingPlatform : public vrx::ComponentPlatform {
public:
    std::optional<std::string> systemDir; // empty optional: the call fails
    std::set<std::string> present;
    std::map<std::uint16_t, std::vector<std::uint8_t>> resources;
    std::string failWriteOf; // a path whose write fails

    std::vector<std::string> calls;
    std::map<std::string, std::vector<std::uint8_t>> written;
    std::vector<std::string> started;
    std::uint32_t bufferSizeSeen = 0;

    std::uint32_t systemDirectory(char *buffer, std::uint32_t size) override {
        calls.push_back("systemDirectory");
        bufferSizeSeen = size;
        if (!systemDir)
            return 0;
        std::memcpy(buffer, systemDir->c_str(), systemDir->size() + 1);
        return std::uint32_t(systemDir->size());
    }
    bool fileExists(const std::string &path) override {
        calls.push_back("exists " + path);
        return present.count(path) > 0;
    }
    std::vector<std::uint8_t> loadResource(std::string_view type, std::uint16_t id) override {
        calls.push_back("load " + std::string(type) + " " + std::to_string(id));
        const auto found = resources.find(id);
        if (found == resources.end())
            throw vrx::ComponentError("no resource " + std::to_string(id));
        return found->second;
    }
    void writeFile(const std::string &path, const std::vector<std::uint8_t> &bytes) override {
        calls.push_back("write " + path);
        if (path == failWriteOf)
            throw vrx::ComponentError("access denied: " + path);
        written[path] = bytes;
        present.insert(path);
    }
    void startProcess(const std::string &commandLine) override {
        calls.push_back("start " + commandLine);
        started.push_back(commandLine);
    }
};

// Deterministic bytes of every value, including the zero, line-end and end-of-file bytes that a text-mode
// write would change or stop at.
inline std::vector<std::uint8_t> GeneratedLibrary(std::size_t size, std::uint32_t seed) {
    std::vector<std::uint8_t> bytes(size);
    std::uint32_t state = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < size; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        bytes[i] = std::uint8_t(state >> 24);
    }
    return bytes;
}
