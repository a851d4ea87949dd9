#include "setup/StandInComponentPlatform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <cstring>

namespace vrx {

StandInComponentPlatform::StandInComponentPlatform()
    : StandInComponentPlatform(defaultComponentsDirectory(), defaultResourceRoot()) {}

StandInComponentPlatform::StandInComponentPlatform(QString componentsDirectory, QString resourceRoot)
    : m_componentsDirectory(componentsDirectory.isEmpty() ? QString() : QDir::cleanPath(componentsDirectory))
    , m_resourceRoot(std::move(resourceRoot)) {}

QString StandInComponentPlatform::defaultComponentsDirectory() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/components");
}

QString StandInComponentPlatform::defaultResourceRoot() {
    return QStringLiteral(":/vrx/setup");
}

std::uint32_t StandInComponentPlatform::systemDirectory(char *buffer, std::uint32_t size) {
    if (m_componentsDirectory.isEmpty())
        return 0;
    const QByteArray encoded = QFile::encodeName(m_componentsDirectory);
    const auto length = static_cast<std::uint32_t>(encoded.size());
    if (length + 1 > size)
        return length + 1;
    std::memcpy(buffer, encoded.constData(), length + 1);
    return length;
}

// The installer joins directory and file name with a backslash. Only a file directly inside the
// components folder maps to a local path; anything else maps to nothing and is never touched.
QString StandInComponentPlatform::localPath(const std::string &path) const {
    const std::size_t separator = path.rfind('\\');
    if (m_componentsDirectory.isEmpty() || separator == std::string::npos)
        return {};
    const QString directory = QFile::decodeName(QByteArray::fromStdString(path.substr(0, separator)));
    const QString name = QFile::decodeName(QByteArray::fromStdString(path.substr(separator + 1)));
    if (directory != m_componentsDirectory || name.isEmpty() || name == u"." || name == u".." ||
        name.contains(u'/'))
        return {};
    return m_componentsDirectory + u'/' + name;
}

bool StandInComponentPlatform::fileExists(const std::string &path) {
    const QString local = localPath(path);
    if (local.isEmpty())
        return false;
    // Permissions do not matter, and a symbolic link counts as present even when it dangles, so that
    // nothing is ever written through one.
    const QFileInfo info(local);
    return info.isSymLink() || (info.exists() && !info.isDir());
}

std::vector<std::uint8_t> StandInComponentPlatform::loadResource(std::string_view type, std::uint16_t id) {
    const QString name = m_resourceRoot + u'/' + QString::fromUtf8(type.data(), qsizetype(type.size())) +
                         u'/' + QString::number(id);
    QFile resource(name);
    if (!resource.open(QIODevice::ReadOnly))
        throw ComponentError("cannot load resource " + name.toStdString() + ": " +
                             resource.errorString().toStdString());
    const QByteArray bytes = resource.readAll();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

void StandInComponentPlatform::writeFile(const std::string &path, const std::vector<std::uint8_t> &bytes) {
    const QString local = localPath(path);
    if (local.isEmpty())
        throw ComponentError("refusing to write " + path + " outside the components folder " +
                             (m_componentsDirectory.isEmpty() ? std::string("(no per-user data location)")
                                                              : m_componentsDirectory.toStdString()));
    if (!QDir().mkpath(m_componentsDirectory))
        throw ComponentError("cannot create the components folder " + m_componentsDirectory.toStdString());
    // Written under a temporary name and renamed at the end, so an interrupted start never leaves a
    // half-written file that would count as present from then on.
    QSaveFile file(local);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char *>(bytes.data()), qint64(bytes.size())) !=
            qint64(bytes.size()) ||
        !file.commit())
        throw ComponentError("cannot write " + local.toStdString() + ": " + file.errorString().toStdString());
}

void StandInComponentPlatform::startProcess(const std::string &commandLine) {
    // Qt's socket and grid need no registration, and no other program is ever started from here.
    m_registrations.push_back(commandLine);
}

} // namespace vrx
