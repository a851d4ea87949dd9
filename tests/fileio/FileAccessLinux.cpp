#include "FileAccess.h"

#include <QFile>

#include <sys/stat.h>

namespace vrx::test {

QString AccessOf(const QString &path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return QStringLiteral("cannot stat");
    return QStringLiteral("mode %1").arg(status.st_mode & 07777, 4, 8, QChar(u'0'));
}

QString OwnerOnlyAccess() {
    return QStringLiteral("mode 0600");
}

QString AccessNotKept() {
    return {};
}

} // namespace vrx::test
