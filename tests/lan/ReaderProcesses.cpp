#include "ReaderProcesses.h"

#include "CleanupOnSignal.h"

#include <QFile>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vrx::lan {

namespace {

// A log is for readiness and for failure messages: a reader that logs for hours keeps its latest part.
constexpr qsizetype MaxLogKept = 4 * 1024 * 1024;

void WriteError(const char *text) {
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, text, std::strlen(text));
}

// In the child between fork and exec: system calls only.
[[noreturn]] void BecomeReader(pid_t parent, int namespaceFd, int output, const char *program, char **argv) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent)
        ::_exit(127); // the parent died before the line above
    ::dup2(output, STDOUT_FILENO);
    ::dup2(output, STDERR_FILENO);
    const int nothing = ::open("/dev/null", O_RDONLY);
    if (nothing >= 0)
        ::dup2(nothing, STDIN_FILENO);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
    if (::setns(namespaceFd, CLONE_NEWNET) != 0) {
        WriteError("cannot enter the reader's network namespace\n");
        ::_exit(127);
    }
    ::execv(program, argv);
    WriteError("cannot start the simulated reader\n");
    ::_exit(127);
}

} // namespace

ReaderProcesses::ReaderProcesses() {
    if (::pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) == 0)
        pump_ = std::thread([this] { pump(); });
}

ReaderProcesses::~ReaderProcesses() {
    stopAll();
    {
        const std::lock_guard lock(mutex_);
        quitting_ = true;
    }
    wake();
    if (pump_.joinable())
        pump_.join();
    for (const auto &child : children_) {
        if (child->output >= 0)
            ::close(child->output);
    }
    for (const int fd : wakePipe_) {
        if (fd >= 0)
            ::close(fd);
    }
}

bool ReaderProcesses::start(const QString &node, const QString &namespacePath, const QString &program,
                            const QStringList &arguments, QString *error) {
    if (!pump_.joinable()) {
        *error = QStringLiteral("cannot make the pipe that wakes the log thread");
        return false;
    }
    // Everything the child needs is made before the fork: after it, only system calls.
    std::vector<QByteArray> words{QFile::encodeName(program)};
    for (const QString &argument : arguments)
        words.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const int namespaceFd = ::open(QFile::encodeName(namespacePath).constData(), O_RDONLY | O_CLOEXEC);
    int output[2];
    if (namespaceFd < 0 || ::pipe2(output, O_CLOEXEC) != 0) {
        *error =
            QStringLiteral("cannot prepare %1: %2").arg(node, QString::fromLocal8Bit(std::strerror(errno)));
        if (namespaceFd >= 0)
            ::close(namespaceFd);
        return false;
    }

    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0)
        BecomeReader(parent, namespaceFd, output[1], argv[0], argv.data());
    const int forkError = errno;
    ::close(namespaceFd);
    ::close(output[1]);
    if (pid < 0) {
        ::close(output[0]);
        *error =
            QStringLiteral("cannot start %1: %2").arg(node, QString::fromLocal8Bit(std::strerror(forkError)));
        return false;
    }
    auto child = std::make_unique<Child>();
    child->node = node;
    child->pid = pid;
    child->slot = cleanup::RecordProcess(pid);
    child->output = output[0];
    {
        const std::lock_guard lock(mutex_);
        children_.push_back(std::move(child));
    }
    wake();
    return true;
}

void ReaderProcesses::wake() {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakePipe_[1], &byte, 1);
}

void ReaderProcesses::pump() {
    for (;;) {
        std::vector<pollfd> watched{{wakePipe_[0], POLLIN, 0}};
        std::vector<Child *> owners{nullptr};
        {
            const std::lock_guard lock(mutex_);
            if (quitting_)
                return;
            for (const auto &child : children_) {
                if (child->output >= 0) {
                    watched.push_back({child->output, POLLIN, 0});
                    owners.push_back(child.get());
                }
            }
        }
        if (::poll(watched.data(), watched.size(), -1) < 0)
            continue; // EINTR
        char buffer[65536];
        while (::read(wakePipe_[0], buffer, sizeof buffer) > 0) {
        }
        for (size_t i = 1; i < watched.size(); ++i) {
            if (watched[i].revents == 0)
                continue;
            const ssize_t got = ::read(watched[i].fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR)
                continue;
            const std::lock_guard lock(mutex_);
            Child *child = owners[i];
            if (got > 0) {
                child->log.append(buffer, got);
                if (child->log.size() > MaxLogKept)
                    child->log.remove(0, child->log.size() - MaxLogKept);
            } else {
                ::close(child->output); // the process has ended (or closed its output, as good as)
                child->output = -1;
            }
            changed_.notify_all();
        }
    }
}

ReaderProcesses::Child *ReaderProcesses::find(const QString &node) const {
    for (const auto &child : children_) {
        if (child->node == node)
            return child.get();
    }
    return nullptr;
}

bool ReaderProcesses::waitForAll(const QByteArray &text, int timeoutMs, QString *error) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock lock(mutex_);
    const auto settled = [&] {
        for (const auto &child : children_) {
            if (!child->log.contains(text) && child->output >= 0)
                return false;
        }
        return true;
    };
    changed_.wait_until(lock, deadline, settled);
    QStringList missing;
    for (const auto &child : children_) {
        if (!child->log.contains(text))
            missing.append(QStringLiteral("%1 (%2): %3")
                               .arg(child->node,
                                    child->output >= 0
                                        ? QStringLiteral("still silent after %1 ms").arg(timeoutMs)
                                        : QStringLiteral("ended"),
                                    QString::fromLocal8Bit(child->log.trimmed())));
    }
    if (!missing.isEmpty())
        *error = QStringLiteral("%1 of %2 simulated readers did not log \"%3\": %4")
                     .arg(missing.size())
                     .arg(children_.size())
                     .arg(QString::fromLatin1(text), missing.join(QStringLiteral("; ")));
    return missing.isEmpty();
}

bool ReaderProcesses::waitFor(const QString &node, const QByteArray &text, int timeoutMs, int count) const {
    std::unique_lock lock(mutex_);
    const Child *child = find(node);
    return child && changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return child->log.count(text) >= count || child->output < 0;
    }) && child->log.count(text) >= count;
}

QByteArray ReaderProcesses::log(const QString &node) const {
    const std::lock_guard lock(mutex_);
    const Child *child = find(node);
    return child ? child->log : QByteArray();
}

QList<qint64> ReaderProcesses::processIds() const {
    const std::lock_guard lock(mutex_);
    QList<qint64> ids;
    for (const auto &child : children_)
        ids.append(child->pid);
    return ids;
}

void ReaderProcesses::stopAll(int graceMs) {
    std::unique_lock lock(mutex_);
    const auto allEnded = [this] {
        for (const auto &child : children_) {
            if (child->output >= 0)
                return false;
        }
        return true;
    };
    for (const auto &child : children_) {
        if (child->pid > 0 && child->output >= 0)
            ::kill(child->pid, SIGTERM);
    }
    if (!changed_.wait_for(lock, std::chrono::milliseconds(graceMs), allEnded)) {
        for (const auto &child : children_) {
            if (child->pid > 0 && child->output >= 0)
                ::kill(child->pid, SIGKILL);
        }
        changed_.wait_for(lock, std::chrono::milliseconds(graceMs), allEnded);
    }
    for (const auto &child : children_) {
        if (child->pid <= 0)
            continue;
        // Ended or killed by now; one that only closed its output is made to end.
        if (::waitpid(child->pid, nullptr, WNOHANG) == 0) {
            ::kill(child->pid, SIGKILL);
            ::waitpid(child->pid, nullptr, 0);
        }
        cleanup::Forget(child->slot);
        child->pid = -1;
    }
}

} // namespace vrx::lan
