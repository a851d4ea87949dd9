#pragma once

#include <QString>

class QFileDevice;

// What writing a file whole needs from the system and Qt does not offer: one implementation per
// system (FileCommitLinux.cpp, FileCommitWindows.cpp). Each returns false with the system's reason.
namespace vrx::filecommit {

// Makes the open file readable and writable by the current user alone, before anything is written into
// it: the permission bits 0600 on Linux; on Windows an access list of one entry, for the current user,
// that takes nothing from the folder's (Qt's permissions there only set the read-only attribute).
bool RestrictToOwner(QFileDevice &file, QString *reason);

// Forces what was written to the open file onto the disk, so that a full or failing disk is found
// before the file replaces another.
bool SyncToDisk(QFileDevice &file, QString *reason);

// Puts `from` in the place of `to` in one step: whoever opens `to` sees the old file or the new one,
// never a mix or nothing. Both are in the same folder.
bool ReplaceFile(const QString &from, const QString &to, QString *reason);

// Makes the folder's new entry survive a power cut; where the system has no such step, true.
bool SyncFolder(const QString &folder, QString *reason);

} // namespace vrx::filecommit
