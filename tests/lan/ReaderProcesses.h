#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <sys/types.h>
#include <thread>
#include <vector>

namespace vrx::lan {

// The simulated readers of a LAN: each a process started straight inside its reader's namespace (no
// "ip netns exec" between), dying with the thread that started it, its stdout and stderr gathered by
// one thread of ours, so that a chatty reader never stalls on a full pipe while a test waits elsewhere.
class ReaderProcesses {
public:
    ReaderProcesses();
    ~ReaderProcesses(); // stops what still runs
    ReaderProcesses(const ReaderProcesses &) = delete;
    ReaderProcesses &operator=(const ReaderProcesses &) = delete;

    // Starts program inside the network namespace held at namespacePath; false and why.
    bool start(const QString &node, const QString &namespacePath, const QString &program,
               const QStringList &arguments, QString *error);

    // Waits until the log of every reader started holds text; false and what each missing one logged
    // when one ends first or the deadline passes.
    bool waitForAll(const QByteArray &text, int timeoutMs, QString *error) const;
    // Waits until the reader's log holds text (count times, counting from its start).
    bool waitFor(const QString &node, const QByteArray &text, int timeoutMs, int count = 1) const;

    QByteArray log(const QString &node) const;
    QList<qint64> processIds() const;

    // SIGTERM, then SIGKILL for what has not ended within the grace time; every process is reaped.
    void stopAll(int graceMs = 3000);

private:
    struct Child {
        QString node;
        pid_t pid = -1;
        int output = -1; // read end of its stdout+stderr pipe; -1 once it has ended
        int slot = -1;   // in the signal-time cleanup record
        QByteArray log;
    };

    void pump();
    Child *find(const QString &node) const;
    void wake();

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<std::unique_ptr<Child>> children_;
    int wakePipe_[2] = {-1, -1};
    bool quitting_ = false;
    std::thread pump_;
};

} // namespace vrx::lan
