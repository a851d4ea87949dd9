#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

namespace vrx::lan {

// One program run to its end (or to its deadline) inside a network namespace.
struct ProgramRun {
    bool started = false;
    bool finished = false; // false: not started, or still running at the deadline and killed
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    qint64 elapsedMs = 0;

    bool succeeded() const { return finished && exitCode == 0; }
    // "exit 1 after 212 ms" with stdout and stderr, for a failure message.
    QString describe() const;
};

// A QProcess that starts inside the network namespace held at namespacePath (it enters it between fork
// and exec, so the program needs nothing of its own for it) and is killed when the caller's thread ends.
std::unique_ptr<QProcess> ProcessInNamespace(const QString &namespacePath);

// Runs the program there and waits at most timeoutMs for its end, never longer: a program still running
// then is killed and reported as not finished.
ProgramRun RunInNamespace(const QString &namespacePath, const QString &program, const QStringList &arguments,
                          int timeoutMs);

} // namespace vrx::lan
