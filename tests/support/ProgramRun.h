#pragma once

// A program (vrxctl, or a shell script around it) run as a process while this thread's event loop
// turns, so that the in-process simulated readers of the test can answer it.
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QString>
#include <QStringList>

#include <functional>

struct ProgramResult {
    int code = -1; // -1: it did not finish within the time allowed, and was killed
    QString out;
    QString err;
    qint64 ms = 0;
};

// Given with designated initializers ({.folder = ...}), leaving the rest to their defaults, which GCC 12
// takes for forgotten members.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
struct ProgramOptions {
    QString folder;          // working folder; empty: the test's own
    QStringList environment; // NAME=value settings added to the test's environment
    QByteArray input;        // written to standard input, which is then closed
    int timeoutMs = 20000;
    std::function<void(QProcess &)> whileRunning; // called once the process has started
};

inline ProgramResult RunProgram(const QString &program, const QStringList &arguments,
                                const ProgramOptions &options = {}) {
    QProcess process;
    if (!options.environment.isEmpty()) {
        QProcessEnvironment changed = QProcessEnvironment::systemEnvironment();
        for (const QString &setting : options.environment)
            changed.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
        process.setProcessEnvironment(changed);
    }
    if (!options.folder.isEmpty())
        process.setWorkingDirectory(options.folder);
    QSignalSpy finished(&process, &QProcess::finished);
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    if (!process.waitForStarted())
        return {};
    process.write(options.input);
    process.closeWriteChannel();
    if (options.whileRunning)
        options.whileRunning(process);
    if (finished.isEmpty() && !finished.wait(options.timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    ProgramResult result{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                         QString::fromUtf8(process.readAllStandardError()), clock.elapsed()};
#ifdef Q_OS_WIN
    // A Windows console program ends its lines with CR LF; the tests read lines.
    result.out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.err.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
#endif
    return result;
}

#ifdef VRXCTL_PATH
inline ProgramResult Vrxctl(const QStringList &arguments, const ProgramOptions &options = {}) {
    return RunProgram(QStringLiteral(VRXCTL_PATH), arguments, options);
}
#endif

inline QString Diagnose(const ProgramResult &result) {
    return QStringLiteral("exit %1\n--- out\n%2--- err\n%3").arg(result.code).arg(result.out, result.err);
}

#define VERIFY_EXIT(result, expected) QVERIFY2((result).code == (expected), qPrintable(Diagnose(result)))
