#include "fileio/OutputFile.h"

#include "fileio/FileCommit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>
#include <memory>

namespace vrx {

namespace {

OutputOutcome Problem(OutputProblem problem, const QString &reason = {}) {
    return {problem, reason};
}

// Devices, pipes and the links through which a process names its own descriptors (/dev/stdout is a
// link to /proc/self/fd/1, which may lead to a regular file a shell opened): writing into them is
// what the user asked for, and replacing them would destroy what they are.
bool WrittenInPlace(const QFileInfo &info) {
    if (info.exists() && !info.isFile() && !info.isDir())
        return true;
    QFileInfo link = info;
    for (int hops = 0; hops < 8 && link.isSymLink(); ++hops) {
        const QString target = link.symLinkTarget();
        if (target.startsWith(QLatin1String("/proc/")))
            return true;
        link = QFileInfo(target);
    }
    return false;
}

// The file to replace: through links to the regular file they lead to, so that a link stays a link.
QString ReplacedPath(const QFileInfo &info) {
    if (info.isSymLink() && info.exists())
        return info.canonicalFilePath();
    return info.absoluteFilePath();
}

OutputOutcome WriteInto(QFile &file, const QByteArray &bytes) {
    if (file.write(bytes) != bytes.size() || !file.flush())
        return Problem(OutputProblem::WriteFailed, file.errorString());
    return {};
}

QFileDevice::Permissions UsualPermissions(const QString &path) {
    if (QFileInfo(path).isFile())
        return QFile::permissions(path);
    return QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
}

QString TemporaryPattern(const QString &path) {
    const QFileInfo info(path);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".XXXXXX");
}

OutputOutcome ReplaceWhole(const QString &path, const QByteArray &bytes, OutputAccess access) {
    // Created for its owner alone on Linux; on Windows it takes the folder's access list until restricted.
    auto temporary = std::make_unique<QTemporaryFile>(TemporaryPattern(path));
    if (!temporary->open())
        return Problem(OutputProblem::CannotCreate, temporary->errorString());
    QString reason;
    if (access == OutputAccess::OwnerOnly) {
        if (!filecommit::RestrictToOwner(*temporary, &reason))
            return Problem(OutputProblem::WriteFailed, reason);
    } else if (!temporary->setPermissions(UsualPermissions(path))) {
        return Problem(OutputProblem::WriteFailed, temporary->errorString());
    }
    if (const OutputOutcome written = WriteInto(*temporary, bytes); !written.ok())
        return written;
    if (!filecommit::SyncToDisk(*temporary, &reason))
        return Problem(OutputProblem::WriteFailed, reason);
    // QTemporaryFile's close() only rewinds: the file stays open until the object goes, and Windows
    // refuses to move a file that Qt holds open (a sharing violation). From here on the temporary is removed
    // by hand if it cannot be moved.
    const QString written = temporary->fileName();
    temporary->setAutoRemove(false);
    temporary.reset();
    if (!filecommit::ReplaceFile(written, path, &reason)) {
        QFile::remove(written);
        return Problem(OutputProblem::WriteFailed, reason);
    }
    // The bytes are on disk and in place; a folder that cannot be synced risks only the name after a
    // power cut, which is no reason to call the file unwritten.
    filecommit::SyncFolder(QFileInfo(path).absolutePath(), &reason);
    return {};
}

} // namespace

OutputOutcome WriteOutputFile(const QString &path, const QByteArray &bytes, OutputAccess access) {
    if (path == QLatin1String("-")) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
            return Problem(OutputProblem::CannotCreate, out.errorString());
        std::fflush(stdout);
        return WriteInto(out, bytes);
    }
    const QFileInfo info(path);
    if (info.isDir())
        return Problem(OutputProblem::IsFolder);
    if (WrittenInPlace(info)) {
        QFile device(path);
        if (!device.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return Problem(OutputProblem::CannotCreate, device.errorString());
        return WriteInto(device, bytes);
    }
    if (!QFileInfo(info.absolutePath()).isDir())
        return Problem(OutputProblem::NoFolder);
    return ReplaceWhole(ReplacedPath(info), bytes, access);
}

OutputOutcome CheckOutputFile(const QString &path) {
    if (path == QLatin1String("-"))
        return {};
    const QFileInfo info(path);
    if (info.isDir())
        return Problem(OutputProblem::IsFolder);
    if (WrittenInPlace(info)) {
        // Opening a pipe here would wait for its reader; asking is enough.
        if (!info.isWritable())
            return Problem(OutputProblem::CannotCreate);
        return {};
    }
    if (!QFileInfo(info.absolutePath()).isDir())
        return Problem(OutputProblem::NoFolder);
    QTemporaryFile probe(TemporaryPattern(ReplacedPath(info)));
    if (!probe.open())
        return Problem(OutputProblem::CannotCreate, probe.errorString());
    return {};
}

} // namespace vrx
