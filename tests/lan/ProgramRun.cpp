#include "ProgramRun.h"

#include <QElapsedTimer>
#include <QFile>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace vrx::lan {

QString ProgramRun::describe() const {
    QString text;
    if (!started)
        text = QStringLiteral("did not start");
    else if (!finished)
        text = QStringLiteral("still running after %1 ms, killed").arg(elapsedMs);
    else
        text = QStringLiteral("exit %1 after %2 ms").arg(exitCode).arg(elapsedMs);
    return text + QStringLiteral("\n--- stdout:\n%1--- stderr:\n%2")
                      .arg(QString::fromLocal8Bit(out), QString::fromLocal8Bit(err));
}

std::unique_ptr<QProcess> ProcessInNamespace(const QString &namespacePath) {
    auto process = std::make_unique<QProcess>();
    const QByteArray path = QFile::encodeName(namespacePath);
    process->setChildProcessModifier([path] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::setns(fd, CLONE_NEWNET) != 0) {
            const char text[] = "cannot enter the network namespace\n";
            [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, text, sizeof text - 1);
            ::_exit(127);
        }
        ::close(fd);
    });
    return process;
}

ProgramRun RunInNamespace(const QString &namespacePath, const QString &program, const QStringList &arguments,
                          int timeoutMs) {
    const std::unique_ptr<QProcess> process = ProcessInNamespace(namespacePath);
    ProgramRun run;
    QElapsedTimer clock;
    clock.start();
    process->start(program, arguments);
    run.started = process->waitForStarted(qMax(timeoutMs, 1000));
    if (run.started) {
        process->closeWriteChannel();
        run.finished = process->waitForFinished(qMax(0, timeoutMs - int(clock.elapsed())));
        if (!run.finished) {
            process->kill();
            process->waitForFinished(5000);
        }
        run.exitCode =
            run.finished && process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    }
    run.elapsedMs = clock.elapsed();
    run.out = process->readAllStandardOutput();
    run.err = process->readAllStandardError();
    if (!run.started)
        run.err += process->errorString().toLocal8Bit();
    return run;
}

} // namespace vrx::lan
