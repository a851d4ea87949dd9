#pragma once

#include <QByteArray>
#include <QString>

namespace vrx {

// Who may read a file the program writes.
enum class OutputAccess {
    Usual,     // as the file it replaces, or readable by everyone and writable by its owner
    OwnerOnly, // readable and writable by its owner alone (a file of keys)
};

// What kept an output file from being written; each program words it in its own language.
enum class OutputProblem {
    None,
    IsFolder,     // the path names a folder
    NoFolder,     // the folder the file would go into does not exist
    CannotCreate, // the folder refuses a new file (or the existing device refuses writing)
    WriteFailed,  // writing, flushing or putting the file in place failed (no space, I/O error)
};

struct OutputOutcome {
    OutputProblem problem = OutputProblem::None;
    QString reason; // the system's words, when it gave any
    bool ok() const { return problem == OutputProblem::None; }
};

// Writes the bytes as the file at `path`. A regular file (or a new one) is written beside the old one
// under a temporary name, flushed to disk, and only then put in its place: a failure at any step leaves
// the old file as it was. A path that exists and is not a regular file (a device, a pipe, /dev/stdout)
// is written into, never replaced. "-" is standard output.
OutputOutcome WriteOutputFile(const QString &path, const QByteArray &bytes, OutputAccess access);

// Whether WriteOutputFile could create the file: the folder exists and takes a new file, or the
// existing device may be written. Nothing is left behind. For checking before any work is done whose
// record the file will hold.
OutputOutcome CheckOutputFile(const QString &path);

} // namespace vrx
