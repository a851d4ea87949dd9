#pragma once

#include "setup/ComponentPlatform.h"

#include <QString>

namespace vrx {

// The installer's operations where there is no Windows system directory and no Regsvr32. Qt provides the
// socket and the grid itself, so the "libraries" are short notes compiled into the program saying so, the
// "system directory" is a components folder in the user's own data location, and registration starts
// nothing: it is only noted. Nothing is ever written outside that folder.
class StandInComponentPlatform final : public ComponentPlatform {
public:
    // The user's components folder, and the notes compiled into the program.
    StandInComponentPlatform();
    // Any folder and resource root; an empty folder behaves like a system directory that cannot be found.
    StandInComponentPlatform(QString componentsDirectory, QString resourceRoot);

    // <per-user application data>/components, or empty when the system names no such location.
    static QString defaultComponentsDirectory();
    // Where the compiled-in notes live: <root>/CUSTOM/101 and <root>/CUSTOM/102.
    static QString defaultResourceRoot();

    QString componentsDirectory() const { return m_componentsDirectory; }
    // Command lines that a Windows system would have started, oldest first.
    const std::vector<std::string> &registrations() const { return m_registrations; }

    std::uint32_t systemDirectory(char *buffer, std::uint32_t size) override;
    bool fileExists(const std::string &path) override;
    std::vector<std::uint8_t> loadResource(std::string_view type, std::uint16_t id) override;
    void writeFile(const std::string &path, const std::vector<std::uint8_t> &bytes) override;
    void startProcess(const std::string &commandLine) override;

private:
    QString localPath(const std::string &path) const;

    QString m_componentsDirectory;
    QString m_resourceRoot;
    std::vector<std::string> m_registrations;
};

} // namespace vrx
