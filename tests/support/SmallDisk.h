#pragma once

// A small file system of the test's own, to fill up or to make read-only: a tmpfs mounted in a mount
// namespace the test process enters for itself, so that nothing outside the test ever sees it. The
// programs the test starts inherit the namespace.

#include <QDir>
#include <QFile>
#include <QString>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_LINUX
#include <sched.h>
#include <sys/mount.h>
#endif

namespace smalldisk {

#ifdef Q_OS_LINUX

// Enters a private mount namespace once per process; false with the reason when the system refuses
// (no privilege, no namespaces).
inline bool EnterOwnMounts(QString *why) {
    static int entered = -1; // -1 not tried, 0 refused, 1 done
    static QString reason;
    if (entered < 0) {
        entered =
            ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        if (!entered)
            reason = QStringLiteral("no mount namespace of the test's own: %1").arg(std::strerror(errno));
    }
    *why = reason;
    return entered == 1;
}

// Mounts a tmpfs of `bytes` at `folder` (created when missing); read-only when asked.
inline bool Mount(const QString &folder, qint64 bytes, bool readOnly, QString *why) {
    if (!EnterOwnMounts(why))
        return false;
    QDir().mkpath(folder);
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
    if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", readOnly ? MS_RDONLY : 0,
                options.constData()) != 0) {
        *why = QStringLiteral("cannot mount a tmpfs at %1: %2").arg(folder, std::strerror(errno));
        return false;
    }
    return true;
}

// Fills the file system that holds `folder` until it has no room left; true when it is full.
inline bool Fill(const QString &folder) {
    QFile filler(folder + QStringLiteral("/filler"));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {
    }
    const QByteArray byte(1, 'x');
    while (filler.write(byte) == 1) {
    }
    return filler.error() != QFileDevice::NoError;
}

inline void Unmount(const QString &folder) {
    ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
}

#else

inline bool Mount(const QString &, qint64, bool, QString *why) {
    *why = QStringLiteral("this system has no mount namespaces for a test's own small disk");
    return false;
}
inline bool Fill(const QString &) {
    return false;
}
inline void Unmount(const QString &) {}

#endif

} // namespace smalldisk
