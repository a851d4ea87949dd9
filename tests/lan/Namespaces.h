#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace vrx::lan {

// Network namespaces of the LAN fixture, kept where "ip netns" keeps them, so that ip, nsenter and a
// person looking on see them. Every name is "vrxlan<pid>-<run>-<role>": the creating process's id
// tells a leftover of a dead run from a LAN that another test is using right now.
namespace netns {

QString Directory(); // /var/run/netns
QString PathOf(const QString &name);
// The prefix of every namespace of this process's run number run: "vrxlan<pid>-<run>-".
QString RunPrefix(int run);
// A run number not used before in this process.
int NextRun();

// Removes the name (the namespace itself goes with its last process). Never fails loudly: used in
// teardown, where a missing name is fine.
void Remove(const QString &name);

// Removes the namespaces of fixture runs whose creating process is gone, killing what still runs in
// them; returns their names.
QStringList RemoveStaleLans();
// The ids of the processes whose network namespace is this one.
QList<qint64> ProcessesIn(const QString &name);

// Runs fn on a thread of its own inside the namespace and waits for it; false and why when the
// namespace cannot be entered.
bool RunInside(const QString &name, const std::function<void()> &fn, QString *error = nullptr);

// Moves the calling thread into a network namespace until leave() or destruction, which bring it back.
// Sockets made meanwhile belong to that namespace for their whole life.
class Entry {
public:
    Entry() = default;
    explicit Entry(const QString &name);
    ~Entry();
    Entry(Entry &&other) noexcept;
    Entry &operator=(Entry &&other) noexcept;
    Entry(const Entry &) = delete;
    Entry &operator=(const Entry &) = delete;

    bool isInside() const { return home_ >= 0; }
    QString errorString() const { return error_; }
    void leave();

private:
    int home_ = -1; // the namespace the thread came from
    QString error_;
};

} // namespace netns
} // namespace vrx::lan
