#include "fileio/FileCommit.h"

#include <QDir>
#include <QFileDevice>

#include <io.h>
#include <system_error>
#include <windows.h>

// windows.h names its own ReplaceFile as a macro, which would rename ours.
#undef ReplaceFile

namespace vrx::filecommit {

namespace {

bool Failed(QString *reason) {
    *reason = QString::fromStdString(std::system_category().message(int(::GetLastError())));
    return false;
}

} // namespace

bool SyncToDisk(QFileDevice &file, QString *reason) {
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(file.handle()));
    if (handle == INVALID_HANDLE_VALUE || !::FlushFileBuffers(handle))
        return Failed(reason);
    return true;
}

bool ReplaceFile(const QString &from, const QString &to, QString *reason) {
    const std::wstring source = QDir::toNativeSeparators(from).toStdWString();
    const std::wstring target = QDir::toNativeSeparators(to).toStdWString();
    if (!::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return Failed(reason);
    return true;
}

bool SyncFolder(const QString &, QString *) {
    return true; // MOVEFILE_WRITE_THROUGH has already waited for the new name to reach the disk
}

} // namespace vrx::filecommit
