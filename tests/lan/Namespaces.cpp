#include "Namespaces.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace vrx::lan::netns {

namespace {

QString SystemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool ProcessIsGone(qint64 pid) {
    return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

} // namespace

QString Directory() {
    return QStringLiteral("/var/run/netns");
}

QString PathOf(const QString &name) {
    return Directory() + u'/' + name;
}

QString RunPrefix(int run) {
    return QStringLiteral("vrxlan%1-%2-").arg(::getpid()).arg(run);
}

int NextRun() {
    static std::atomic<int> runs{0};
    return ++runs;
}

void Remove(const QString &name) {
    const QByteArray path = QFile::encodeName(PathOf(name));
    ::umount2(path.constData(), MNT_DETACH);
    ::unlink(path.constData());
}

QList<qint64> ProcessesIn(const QString &name) {
    struct stat target {};
    if (::stat(QFile::encodeName(PathOf(name)).constData(), &target) != 0)
        return {};
    QList<qint64> found;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool isNumber = false;
        const qint64 pid = entry.toLongLong(&isNumber);
        struct stat own {};
        if (isNumber &&
            ::stat(QFile::encodeName(QStringLiteral("/proc/%1/ns/net").arg(entry)).constData(), &own) == 0 &&
            own.st_dev == target.st_dev && own.st_ino == target.st_ino)
            found.append(pid);
    }
    return found;
}

QStringList RemoveStaleLans() {
    static const QRegularExpression ours(QStringLiteral("^vrxlan(\\d+)-\\d+-"));
    QStringList removed;
    const QStringList names = QDir(Directory()).entryList(QDir::Files | QDir::System | QDir::Hidden);
    for (const QString &name : names) {
        const QRegularExpressionMatch match = ours.match(name);
        if (!match.hasMatch() || !ProcessIsGone(match.captured(1).toLongLong()))
            continue;
        // Simulators of a killed run die with it; any that did not are ended here.
        for (const qint64 pid : ProcessesIn(name))
            ::kill(pid_t(pid), SIGKILL);
        Remove(name);
        removed.append(name);
    }
    return removed;
}

bool RunInside(const QString &name, const std::function<void()> &fn, QString *error) {
    QString problem;
    std::thread worker([&] {
        const Entry entry(name);
        if (!entry.isInside()) {
            problem = entry.errorString();
            return;
        }
        fn();
    });
    worker.join();
    if (error)
        *error = problem;
    return problem.isEmpty();
}

Entry::Entry(const QString &name) {
    const int home = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    const int target = ::open(QFile::encodeName(PathOf(name)).constData(), O_RDONLY | O_CLOEXEC);
    if (home < 0 || target < 0) {
        error_ = QStringLiteral("cannot open the network namespace %1: %2").arg(name, SystemError());
    } else if (::setns(target, CLONE_NEWNET) != 0) {
        error_ = QStringLiteral("cannot enter the network namespace %1: %2").arg(name, SystemError());
    } else {
        home_ = home;
    }
    if (target >= 0)
        ::close(target);
    if (home_ < 0 && home >= 0)
        ::close(home);
}

Entry::~Entry() {
    leave();
}

Entry::Entry(Entry &&other) noexcept
    : home_(std::exchange(other.home_, -1))
    , error_(std::move(other.error_)) {}

Entry &Entry::operator=(Entry &&other) noexcept {
    if (this != &other) {
        leave();
        home_ = std::exchange(other.home_, -1);
        error_ = std::move(other.error_);
    }
    return *this;
}

void Entry::leave() {
    if (home_ < 0)
        return;
    // Going home cannot fail while the namespace we came from is held open by home_.
    ::setns(home_, CLONE_NEWNET);
    ::close(home_);
    home_ = -1;
}

} // namespace vrx::lan::netns
