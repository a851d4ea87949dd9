#include "setup/WindowsComponentPlatform.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace vrx {

namespace {

// The system's own text for the last error, with what was being done in front of it.
[[noreturn]] void throwLastError(const std::string &what) {
    const DWORD code = ::GetLastError();
    char *text = nullptr;
    const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                              FORMAT_MESSAGE_IGNORE_INSERTS,
                                          nullptr, code, 0, reinterpret_cast<char *>(&text), 0, nullptr);
    std::string message = what + ": ";
    if (length > 0 && text) {
        message.append(text, length);
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
            message.pop_back();
    } else {
        message += "error " + std::to_string(code);
    }
    if (text)
        ::LocalFree(text);
    throw ComponentError(message);
}

} // namespace

std::uint32_t WindowsComponentPlatform::systemDirectory(char *buffer, std::uint32_t size) {
    return ::GetSystemDirectoryA(buffer, size);
}

bool WindowsComponentPlatform::fileExists(const std::string &path) {
    // Attributes are read whatever they are, so hidden, read-only and system files are found too.
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::uint8_t> WindowsComponentPlatform::loadResource(std::string_view type, std::uint16_t id) {
    const std::string typeName(type);
    const std::string what = "resource " + std::to_string(id) + " of type " + typeName;
    HRSRC info = ::FindResourceA(nullptr, MAKEINTRESOURCEA(id), typeName.c_str());
    if (!info)
        throwLastError("cannot find " + what);
    HGLOBAL handle = ::LoadResource(nullptr, info);
    const DWORD size = ::SizeofResource(nullptr, info);
    const void *data = handle ? ::LockResource(handle) : nullptr;
    if (!data)
        throwLastError("cannot load " + what);
    const auto *bytes = static_cast<const std::uint8_t *>(data);
    return std::vector<std::uint8_t>(bytes, bytes + size);
}

void WindowsComponentPlatform::writeFile(const std::string &path, const std::vector<std::uint8_t> &bytes) {
    HANDLE file =
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throwLastError("cannot create " + path);
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    if (!ok || written != bytes.size()) {
        const DWORD code = ok ? ERROR_WRITE_FAULT : ::GetLastError();
        ::CloseHandle(file);
        // A cut-off library would count as present on every later start, so it does not stay.
        ::DeleteFileA(path.c_str());
        ::SetLastError(code);
        throwLastError("cannot write " + path);
    }
    if (!::CloseHandle(file))
        throwLastError("cannot close " + path);
}

void WindowsComponentPlatform::startProcess(const std::string &commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    // CreateProcessA may write into the command line, so it gets a copy of its own.
    std::string mutableLine = commandLine;
    if (!::CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        throwLastError("cannot start " + commandLine);
    // Not waited for: the handles are let go at once and the process runs on by itself.
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
}

} // namespace vrx
