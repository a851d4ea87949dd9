#pragma once

#include <QFile>

#include <optional>

#include <unistd.h>

// This process's resident set in bytes, from /proc/self/statm (its second field, in pages).
inline std::optional<qint64> ResidentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> fields = statm.readAll().simplified().split(' ');
    bool ok = false;
    const qint64 pages = fields.value(1).toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return pages * qint64(::sysconf(_SC_PAGESIZE));
}
