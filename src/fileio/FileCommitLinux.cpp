#include "fileio/FileCommit.h"

#include <QFile>
#include <QFileDevice>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vrx::filecommit {

namespace {

bool Failed(QString *reason) {
    *reason = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

} // namespace

bool RestrictToOwner(QFileDevice &file, QString *reason) {
    if (::fchmod(file.handle(), S_IRUSR | S_IWUSR) != 0)
        return Failed(reason);
    return true;
}

bool SyncToDisk(QFileDevice &file, QString *reason) {
    if (::fsync(file.handle()) != 0)
        return Failed(reason);
    return true;
}

bool ReplaceFile(const QString &from, const QString &to, QString *reason) {
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return Failed(reason);
    return true;
}

bool SyncFolder(const QString &folder, QString *reason) {
    const int descriptor = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return Failed(reason);
    const bool synced = ::fsync(descriptor) == 0;
    const int saved = errno;
    ::close(descriptor);
    errno = saved;
    return synced || Failed(reason);
}

} // namespace vrx::filecommit
