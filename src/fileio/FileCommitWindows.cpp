#include "fileio/FileCommit.h"

#include <QDir>
#include <QFileDevice>

#include <io.h>
#include <string>
#include <system_error>
#include <vector>
#include <windows.h>

#include <aclapi.h>

// windows.h names its own ReplaceFile as a macro, which would rename ours.
#undef ReplaceFile

namespace vrx::filecommit {

namespace {

bool Failed(QString *reason, DWORD number = ::GetLastError()) {
    *reason = QString::fromStdString(std::system_category().message(int(number)));
    return false;
}

// The TOKEN_USER of this process: the user it runs as. Empty when the token cannot be read.
std::vector<BYTE> CurrentUser() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
        return {};
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    const bool read = size != 0 && ::GetTokenInformation(token, TokenUser, user.data(), size, &size);
    ::CloseHandle(token);
    if (!read)
        return {};
    return user; // moved, never copied: TOKEN_USER points into its own buffer
}

} // namespace

bool RestrictToOwner(QFileDevice &file, QString *reason) {
    const std::vector<BYTE> user = CurrentUser();
    if (user.empty())
        return Failed(reason);
    const PSID sid = reinterpret_cast<const TOKEN_USER *>(user.data())->User.Sid;
    // One entry: full control for this user. An entry of the folder's would let others read the keys.
    const DWORD size = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + ::GetLengthSid(sid);
    std::vector<BYTE> list(size);
    const auto acl = reinterpret_cast<PACL>(list.data());
    if (!::InitializeAcl(acl, size, ACL_REVISION) ||
        !::AddAccessAllowedAce(acl, ACL_REVISION, FILE_ALL_ACCESS, sid))
        return Failed(reason);
    // By name: Qt's handle was opened without the right to change the access list; opening the file
    // again for that right alone is not refused by Qt's sharing mode.
    std::wstring path = QDir::toNativeSeparators(file.fileName()).toStdWString();
    const DWORD result = ::SetNamedSecurityInfoW(
        path.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
        nullptr, acl, nullptr);
    if (result != ERROR_SUCCESS)
        return Failed(reason, result);
    return true;
}

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
