#include "FileAccess.h"

#include <QDir>
#include <QStringList>

#include <string>
#include <vector>
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

namespace vrx::test {

namespace {

QString SidText(PSID sid) {
    LPWSTR text = nullptr;
    if (!::ConvertSidToStringSidW(sid, &text))
        return QStringLiteral("unreadable SID");
    const QString result = QString::fromWCharArray(text);
    ::LocalFree(text);
    return result;
}

} // namespace

QString AccessOf(const QString &path) {
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoW(name.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
        return QStringLiteral("access list unreadable");
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ::GetSecurityDescriptorControl(descriptor, &control, &revision);
    QStringList parts{(control & SE_DACL_PROTECTED) ? QStringLiteral("protected")
                                                    : QStringLiteral("inherits")};
    if (!dacl)
        parts.append(QStringLiteral("no access list: everyone may open it"));
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        void *entry = nullptr;
        if (!::GetAce(dacl, i, &entry))
            break;
        const auto *header = static_cast<const ACE_HEADER *>(entry);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) {
            parts.append(QStringLiteral("entry of type %1").arg(header->AceType));
            continue;
        }
        auto *allowed = static_cast<ACCESS_ALLOWED_ACE *>(entry);
        parts.append(
            QStringLiteral("allow %1 0x%2").arg(SidText(&allowed->SidStart)).arg(allowed->Mask, 0, 16));
    }
    ::LocalFree(descriptor);
    return parts.join(QStringLiteral("; "));
}

QString OwnerOnlyAccess() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
        return QStringLiteral("no token");
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    const bool read = size != 0 && ::GetTokenInformation(token, TokenUser, user.data(), size, &size);
    ::CloseHandle(token);
    if (!read)
        return QStringLiteral("no user");
    const PSID sid = reinterpret_cast<const TOKEN_USER *>(user.data())->User.Sid;
    return QStringLiteral("protected; allow %1 0x%2").arg(SidText(sid)).arg(FILE_ALL_ACCESS, 0, 16);
}

// Wine 8.0 as Debian builds it has no storage for a file's access list (no extended attributes): it
// turns a list it is given into Unix permission bits and reports a list made from those.
QString AccessNotKept() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    if (ntdll && ::GetProcAddress(ntdll, "wine_get_version"))
        return QStringLiteral("wine keeps no access list of a file (it reports one made from the Unix "
                              "permission bits): the owner-only list is checked on Windows itself");
    return {};
}

} // namespace vrx::test
