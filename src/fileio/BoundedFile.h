#pragma once

#include <QByteArray>
#include <QString>

namespace vrx {

// The largest files the programs read whole: anything larger is not what they expect, and is refused
// before it fills the memory (/dev/zero never ends).
constexpr qint64 MaxKeyFileBytes = 64 * 1024;
constexpr qint64 MaxBatchFileBytes = 16 * 1024 * 1024;

enum class BoundedFileProblem {
    None,
    CannotOpen, // `reason` says why
    TooLarge,   // `size` bytes (or, for a device or pipe, more than `limit`)
};

struct BoundedFile {
    QByteArray bytes;
    BoundedFileProblem problem = BoundedFileProblem::None;
    QString reason;
    qint64 size = -1; // TooLarge: the size of a regular file; -1 when only "more than limit" is known
    qint64 limit = 0;
    bool ok() const { return problem == BoundedFileProblem::None; }
};

// Reads a whole file of at most `limit` bytes. A regular file is refused by the size it has, before
// anything is read; a device or pipe by reading no more than one byte past the limit.
BoundedFile ReadBoundedFile(const QString &path, qint64 limit);

} // namespace vrx
