#pragma once

#include "Namespaces.h"
#include "ProgramRun.h"

#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace vrx::lan {

class ReaderProcesses;

// An Ethernet of network namespaces for tests and benchmarks: a switch (a Linux bridge) per LAN, each
// simulated reader and each plain host a namespace of its own with its own card and MAC on a switch, a
// computer namespace with a card on each of its LANs, and routers joining a LAN of the computer to a LAN
// behind it. Addresses come only from 198.18.0.0/15 and exist only inside these namespaces; nothing of
// the machine's own namespace is touched. Everything is removed by stop() and the destructor, by
// SIGINT/SIGTERM/SIGHUP/SIGABRT, and (after a SIGKILL) by the next fixture's start().
//
//     EmulatedLan lan;
//     lan.addLan("A", "198.18.16.0/20");
//     lan.addComputerCard("A", "198.18.16.2");           // card eth0 of the computer
//     lan.addReader("A", "198.18.17.33", {"--restart-delay", "300"});
//     lan.addHost("A", "198.18.20.20");                  // answers ARP, nothing else
//     QVERIFY2(lan.start(), qPrintable(lan.errorString()));
//     const ProgramRun run = lan.vrxctl({"read", "198.18.17.33"});
//
// Start and stop it on a thread that outlives it (the test's main thread): the simulators die with the
// thread that started them.
class EmulatedLan {
public:
    static inline const QString Computer = QStringLiteral("computer");

    EmulatedLan();
    ~EmulatedLan();
    EmulatedLan(const EmulatedLan &) = delete;
    EmulatedLan &operator=(const EmulatedLan &) = delete;

    // Empty when network namespaces joined by bridges can be made here; else one line saying why not
    // (not root, no ip program, no bridges), for QSKIP.
    static QString Unavailable();
    static QString ReaderSimPath();
    static QString VrxctlPath();

    // Building, before start(). A mistake (an address outside 198.18.0.0/15 or outside its LAN, an
    // unknown LAN, a name used twice) is kept and reported by start().
    //
    // A LAN with a switch of its own. Its readers and hosts take gateway as their default route (default:
    // the subnet's first address, or the router's address on it when the LAN lies behind a router).
    void addLan(const QString &lan, const QString &subnet, const QString &gateway = {});
    // A card of the computer on the LAN, named eth0, eth1, ... in the order added unless card is given.
    void addComputerCard(const QString &lan, const QString &address, const QString &card = {});
    // A forwarding router with card eth0 on inside (a LAN of the computer) and eth1 on behind; the
    // computer reaches behind through insideAddress.
    void addRouter(const QString &name, const QString &inside, const QString &insideAddress,
                   const QString &behind, const QString &behindAddress);
    // One vrx-reader-sim --interface eth0 in a namespace of its own at the address; simulatorOptions are
    // passed on (--restart-delay, --delay, --silent, ...). The card's MAC is the one the reader reports
    // (00-14 and the address bytes). Its node name is its address unless name is given. An address in
    // CIDR form ("198.18.40.5/24", inside 198.18.0.0/15) gives the reader a subnet of its own on the
    // LAN's wire, as a reader still on its factory settings; its default route is then the wire itself,
    // so it answers whoever asks there.
    void addReader(const QString &lan, const QString &address, const QStringList &simulatorOptions = {},
                   const QString &name = {});
    // A host that answers ARP and nothing else (nothing listens on port 1001: the kernel refuses). The
    // address may be in CIDR form as for a reader.
    void addHost(const QString &lan, const QString &address, const QString &name = {});

    // Builds everything and returns once every simulated reader listens, or false (and errorString())
    // when something could not be made or a reader did not start within readyTimeoutMs. Leftovers of
    // killed runs are removed first.
    bool start(int readyTimeoutMs = 20000);
    QString errorString() const { return error_; }
    bool isRunning() const { return running_; }
    // Ends the simulators and removes the namespaces (their cards, bridges and routes go with them).
    void stop();

    // What was built: addresses in address order, as built (a reader that moved keeps its entry).
    QStringList readers() const;
    QStringList readersOn(const QString &lan) const;
    QStringList hostsOn(const QString &lan) const;
    QString computerAddress(const QString &lan) const;
    QString computerCard(const QString &lan) const;
    QString subnetOf(const QString &lan) const; // "198.18.16.0/20"
    QHostAddress broadcastOf(const QString &lan) const;
    QString namespaceOf(const QString &node) const;
    QStringList namespaces() const;
    QList<qint64> readerProcessIds() const;

    // Acting inside: a program run in a node's namespace, with a bounded wait (killed at the deadline).
    ProgramRun run(const QString &node, const QString &program, const QStringList &arguments,
                   int timeoutMs = 30000) const;
    // vrxctl from the computer.
    ProgramRun vrxctl(const QStringList &arguments, int timeoutMs = 30000) const;
    // A process to drive yourself (signals, reading as it goes): start() it; it runs in the node's
    // namespace and is killed if the starting thread ends first.
    std::unique_ptr<QProcess> process(const QString &node = Computer) const;
    // Moves the calling thread into the node's namespace until the entry is left or destroyed (on the
    // same thread); sockets made meanwhile stay in that namespace. For in-process tests of the window.
    netns::Entry enter(const QString &node = Computer) const;
    // Runs fn on a thread of its own inside the node's namespace and waits for it.
    bool runInside(const QString &node, const std::function<void()> &fn) const;

    // A simulated reader's stdout and stderr so far (its start line, one line per datagram, its moves).
    QByteArray readerLog(const QString &node) const;
    // Waits until the reader's log holds text count times, or the deadline.
    bool waitForReaderLog(const QString &node, const QByteArray &text, int timeoutMs, int count = 1) const;

private:
    struct Lan;
    struct Card;
    struct Node;

    bool build();
    bool check();
    bool createNamespaces();
    bool wireSwitches();
    bool configureNodes();
    bool startReaders(int readyTimeoutMs);
    bool fail(const QString &error);
    Lan *findLan(const QString &name);
    const Lan *findLan(const QString &name) const;
    const Node *findNode(const QString &name) const;
    QStringList addressesOf(const QString &lan, bool readers) const;

    QList<Lan> lans_;
    QList<Node> nodes_;
    QStringList mistakes_;
    QString error_;
    int run_ = 0;
    bool running_ = false;
    QList<int> namespaceSlots_;
    std::unique_ptr<ReaderProcesses> readers_;
};

} // namespace vrx::lan
