#include "fileio/BoundedFile.h"

#include <QFile>
#include <QFileInfo>

namespace vrx {

BoundedFile ReadBoundedFile(const QString &path, qint64 limit) {
    BoundedFile result;
    result.limit = limit;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.problem = BoundedFileProblem::CannotOpen;
        result.reason = file.errorString();
        return result;
    }
    if (QFileInfo(path).isFile() && file.size() > limit) {
        result.problem = BoundedFileProblem::TooLarge;
        result.size = file.size();
        return result;
    }
    // Read with the bound rather than by the size the file claims: a device or a pipe claims none.
    result.bytes = file.read(limit + 1);
    if (result.bytes.size() > limit) {
        result.bytes.clear();
        result.problem = BoundedFileProblem::TooLarge;
    } else if (file.error() != QFileDevice::NoError) {
        result.bytes.clear();
        result.problem = BoundedFileProblem::CannotOpen;
        result.reason = file.errorString();
    }
    return result;
}

} // namespace vrx
