#include "EmulatedLan.h"

#include "CleanupOnSignal.h"
#include "ReaderProcesses.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <thread>
#include <unistd.h>

namespace vrx::lan {

namespace {

// The benchmarking range: the only addresses the fixture gives out.
const std::pair<QHostAddress, int> TestRange{QHostAddress(QStringLiteral("198.18.0.0")), 15};

QString IpProgram() {
    static const QString path = QStandardPaths::findExecutable(
        QStringLiteral("ip"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"),
                               QStringLiteral("/usr/bin"), QStringLiteral("/bin")});
    return path;
}

// Runs ip with the arguments, feeding it the batch on stdin; false and ip's complaint.
bool Ip(const QStringList &arguments, const QByteArray &batch, QString *error) {
    QProcess ip;
    ip.start(IpProgram(), arguments);
    if (ip.waitForStarted(10000)) {
        ip.write(batch);
        ip.closeWriteChannel();
        if (ip.waitForFinished(20000) && ip.exitStatus() == QProcess::NormalExit && ip.exitCode() == 0)
            return true;
        ip.kill();
        ip.waitForFinished(5000);
    }
    if (error)
        *error = QStringLiteral("ip %1 failed: %2%3")
                     .arg(arguments.join(u' '), QString::fromLocal8Bit(ip.readAllStandardError()).trimmed(),
                          batch.isEmpty() ? QString()
                                          : QStringLiteral("\ncommands:\n") + QString::fromLocal8Bit(batch));
    return false;
}

bool WriteSetting(const QString &path, const QByteArray &value) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(value) == value.size();
}

quint32 Mask(int prefix) {
    return prefix <= 0 ? 0 : ~quint32(0) << (32 - prefix);
}

QString MacOf(const QHostAddress &address) {
    const quint32 value = address.toIPv4Address();
    return QStringLiteral("00:14:%1:%2:%3:%4")
        .arg(value >> 24, 2, 16, QLatin1Char('0'))
        .arg((value >> 16) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((value >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg(value & 0xFF, 2, 16, QLatin1Char('0'));
}

// "198.18.40.5" or "198.18.40.5/24"; the prefix is -1 without one, 0 when it is not a number from 8 to 30.
std::pair<QHostAddress, int> HostAndPrefix(const QString &text) {
    if (!text.contains(u'/'))
        return {QHostAddress(text), -1};
    bool ok = false;
    const int prefix = text.section(u'/', 1).toInt(&ok);
    return {QHostAddress(text.section(u'/', 0, 0)), ok && prefix >= 8 && prefix <= 30 ? prefix : 0};
}

QStringList SortedAddresses(QStringList addresses) {
    std::sort(addresses.begin(), addresses.end(), [](const QString &a, const QString &b) {
        return QHostAddress(a).toIPv4Address() < QHostAddress(b).toIPv4Address();
    });
    return addresses;
}

} // namespace

enum class Role { Switch, Computer, Router, Reader, Host };

struct EmulatedLan::Lan {
    QString name;
    QHostAddress network;
    int prefix = 0;
    QHostAddress gateway; // null: worked out when built
    int index = 0;        // its bridge is br<index>, its ports p<index>-<n>
};

struct EmulatedLan::Card {
    QString name; // inside its node
    QString lan;
    QHostAddress address;
    QString mac;     // empty: the kernel's choice
    int prefix = -1; // a subnet of its own on the LAN's wire; -1: the LAN's
};

struct EmulatedLan::Node {
    QString name;
    Role role = Role::Host;
    QString space; // its namespace
    QList<Card> cards;
    QStringList simulatorOptions;
    QStringList routes; // "ip route add" arguments
};

EmulatedLan::EmulatedLan()
    : readers_(std::make_unique<ReaderProcesses>()) {
    nodes_.append(Node{QStringLiteral("switch"), Role::Switch, {}, {}, {}, {}});
    nodes_.append(Node{Computer, Role::Computer, {}, {}, {}, {}});
}

EmulatedLan::~EmulatedLan() {
    stop();
}

QString EmulatedLan::Unavailable() {
    static const QString reason = [] {
        if (::geteuid() != 0)
            return QStringLiteral(
                "the emulated LAN needs root to make network namespaces; the lan tests run as "
                "root (as in CI)");
        if (IpProgram().isEmpty())
            return QStringLiteral("the emulated LAN needs the ip program (Debian package iproute2)");
        // A namespace with a bridge in it, made and removed at once: what every LAN needs.
        const QString probe = netns::RunPrefix(0) + QStringLiteral("probe");
        QString error;
        const bool made = Ip({QStringLiteral("netns"), QStringLiteral("add"), probe}, {}, &error) &&
                          Ip({QStringLiteral("-n"), probe, QStringLiteral("link"), QStringLiteral("add"),
                              QStringLiteral("vrxprobe"), QStringLiteral("type"), QStringLiteral("bridge")},
                             {}, &error);
        netns::Remove(probe);
        return made ? QString()
                    : QStringLiteral("cannot make network namespaces with bridges here: %1")
                          .arg(error.section(u'\n', 0, 0));
    }();
    return reason;
}

QString EmulatedLan::ReaderSimPath() {
    return QStringLiteral(VRX_READER_SIM_PATH);
}

QString EmulatedLan::VrxctlPath() {
    return QStringLiteral(VRXCTL_PATH);
}

void EmulatedLan::addLan(const QString &lan, const QString &subnet, const QString &gateway) {
    const std::pair<QHostAddress, int> parsed = QHostAddress::parseSubnet(subnet);
    if (parsed.first.protocol() != QAbstractSocket::IPv4Protocol || parsed.second < 8 || parsed.second > 30) {
        mistakes_.append(
            QStringLiteral("LAN %1: \"%2\" is not an IPv4 subnet from /8 to /30").arg(lan, subnet));
        return;
    }
    if (findLan(lan)) {
        mistakes_.append(QStringLiteral("LAN %1 is added twice").arg(lan));
        return;
    }
    const QHostAddress network(parsed.first.toIPv4Address() & Mask(parsed.second));
    // Qt masks the address it parses; the text itself must name the network.
    if (network != QHostAddress(subnet.section(u'/', 0, 0)) || !parsed.first.isInSubnet(TestRange) ||
        !QHostAddress(network.toIPv4Address() | ~Mask(parsed.second)).isInSubnet(TestRange))
        mistakes_.append(QStringLiteral("LAN %1: %2 is not a subnet inside 198.18.0.0/15").arg(lan, subnet));
    Lan added{lan, network, parsed.second, QHostAddress(gateway), int(lans_.size())};
    if (!gateway.isEmpty() && added.gateway.isNull())
        mistakes_.append(QStringLiteral("LAN %1: the gateway \"%2\" is not an address").arg(lan, gateway));
    lans_.append(added);
}

void EmulatedLan::addComputerCard(const QString &lan, const QString &address, const QString &card) {
    Node &computer = nodes_[1];
    const QString name = card.isEmpty() ? QStringLiteral("eth%1").arg(computer.cards.size()) : card;
    for (const Card &existing : std::as_const(computer.cards)) {
        if (existing.lan == lan || existing.name == name)
            mistakes_.append(
                QStringLiteral("the computer already has a card %1 or a card on LAN %2").arg(name, lan));
    }
    computer.cards.append(Card{name, lan, QHostAddress(address), {}});
}

void EmulatedLan::addRouter(const QString &name, const QString &inside, const QString &insideAddress,
                            const QString &behind, const QString &behindAddress) {
    Node router{name, Role::Router, {}, {}, {}, {}};
    router.cards = {Card{QStringLiteral("eth0"), inside, QHostAddress(insideAddress), {}},
                    Card{QStringLiteral("eth1"), behind, QHostAddress(behindAddress), {}}};
    nodes_.append(router);
}

void EmulatedLan::addReader(const QString &lan, const QString &address, const QStringList &simulatorOptions,
                            const QString &name) {
    const auto [parsed, prefix] = HostAndPrefix(address);
    Node reader{name.isEmpty() ? parsed.toString() : name, Role::Reader, {}, {}, simulatorOptions, {}};
    reader.cards = {Card{QStringLiteral("eth0"), lan, parsed, MacOf(parsed), prefix}};
    nodes_.append(reader);
}

void EmulatedLan::addHost(const QString &lan, const QString &address, const QString &name) {
    const auto [parsed, prefix] = HostAndPrefix(address);
    Node host{name.isEmpty() ? parsed.toString() : name, Role::Host, {}, {}, {}, {}};
    host.cards = {Card{QStringLiteral("eth0"), lan, parsed, {}, prefix}};
    nodes_.append(host);
}

EmulatedLan::Lan *EmulatedLan::findLan(const QString &name) {
    for (Lan &lan : lans_) {
        if (lan.name == name)
            return &lan;
    }
    return nullptr;
}

const EmulatedLan::Lan *EmulatedLan::findLan(const QString &name) const {
    return const_cast<EmulatedLan *>(this)->findLan(name);
}

const EmulatedLan::Node *EmulatedLan::findNode(const QString &name) const {
    for (const Node &node : nodes_) {
        if (node.name == name)
            return &node;
    }
    return nullptr;
}

// Every address inside its LAN and inside the test range, every name once, every address once per LAN.
bool EmulatedLan::check() {
    QStringList problems = mistakes_;
    QStringList names;
    QStringList taken;
    for (const Node &node : std::as_const(nodes_)) {
        if (names.contains(node.name))
            problems.append(QStringLiteral("the name %1 is used twice").arg(node.name));
        names.append(node.name);
        for (const Card &card : node.cards) {
            const Lan *lan = findLan(card.lan);
            const QString where = QStringLiteral("%1 %2").arg(node.name, card.name);
            if (!lan) {
                problems.append(QStringLiteral("%1: there is no LAN %2").arg(where, card.lan));
                continue;
            }
            // A card with a subnet of its own needs only lie inside the test range.
            const int prefix = card.prefix < 0 ? lan->prefix : card.prefix;
            const QHostAddress network =
                card.prefix < 0 ? lan->network : QHostAddress(card.address.toIPv4Address() & Mask(prefix));
            const quint32 host = card.address.toIPv4Address() & ~Mask(prefix);
            if (card.address.protocol() != QAbstractSocket::IPv4Protocol || prefix == 0 ||
                !card.address.isInSubnet(network, prefix) || !card.address.isInSubnet(TestRange) ||
                host == 0 || host == ~Mask(prefix))
                problems.append(QStringLiteral("%1: \"%2\" is not a host address of %3/%4 (LAN %5)")
                                    .arg(where, card.address.toString(), network.toString())
                                    .arg(prefix)
                                    .arg(lan->name));
            const QString key = lan->name + u' ' + card.address.toString();
            if (taken.contains(key))
                problems.append(QStringLiteral("%1: %2 is taken on LAN %3")
                                    .arg(where, card.address.toString(), lan->name));
            taken.append(key);
        }
    }
    if (problems.isEmpty())
        return true;
    return fail(
        QStringLiteral("the LAN as described cannot be built: %1").arg(problems.join(QStringLiteral("; "))));
}

bool EmulatedLan::fail(const QString &error) {
    error_ = error;
    return false;
}

bool EmulatedLan::start(int readyTimeoutMs) {
    if (running_)
        return fail(QStringLiteral("the LAN is running already"));
    error_.clear();
    if (const QString why = Unavailable(); !why.isEmpty())
        return fail(why);
    if (!check())
        return false;
    running_ = true; // from here on, stop() has something to remove
    if (build() && startReaders(readyTimeoutMs))
        return true;
    const QString error = error_;
    stop();
    error_ = error;
    return false;
}

bool EmulatedLan::build() {
    netns::RemoveStaleLans();
    cleanup::InstallSignalHandlers();
    run_ = netns::NextRun();
    for (Node &node : nodes_)
        node.routes.clear(); // worked out afresh for every start
    const QString prefix = netns::RunPrefix(run_);
    int readers = 0;
    int hosts = 0;
    int routers = 0;
    for (Node &node : nodes_) {
        switch (node.role) {
        case Role::Switch:
            node.space = prefix + QStringLiteral("sw");
            break;
        case Role::Computer:
            node.space = prefix + QStringLiteral("pc");
            break;
        case Role::Router:
            node.space = prefix + QStringLiteral("rt%1").arg(routers++);
            break;
        case Role::Reader:
            node.space = prefix + QStringLiteral("r%1").arg(readers++);
            break;
        case Role::Host:
            node.space = prefix + QStringLiteral("h%1").arg(hosts++);
            break;
        }
    }
    // A LAN behind a router takes the router as its gateway; the computer reaches it through the router.
    for (const Node &router : std::as_const(nodes_)) {
        if (router.role != Role::Router)
            continue;
        Lan *behind = findLan(router.cards[1].lan);
        if (behind->gateway.isNull())
            behind->gateway = router.cards[1].address;
        for (const Card &card : std::as_const(nodes_[1].cards)) {
            if (card.lan == router.cards[0].lan)
                nodes_[1].routes.append(QStringLiteral("%1/%2 via %3")
                                            .arg(behind->network.toString())
                                            .arg(behind->prefix)
                                            .arg(router.cards[0].address.toString()));
        }
    }
    for (Node &node : nodes_) {
        if (node.role == Role::Reader || node.role == Role::Host) {
            const Lan *lan = findLan(node.cards[0].lan);
            const Card &card = node.cards[0];
            const QHostAddress gateway =
                lan->gateway.isNull() ? QHostAddress(lan->network.toIPv4Address() + 1) : lan->gateway;
            // A card of another subnet than its LAN's reaches everything on the wire itself.
            if (card.prefix < 0 || gateway.isInSubnet(card.address, card.prefix))
                node.routes.append(QStringLiteral("default via %1").arg(gateway.toString()));
            else
                node.routes.append(QStringLiteral("default dev %1").arg(card.name));
        }
    }
    return createNamespaces() && wireSwitches() && configureNodes();
}

bool EmulatedLan::createNamespaces() {
    QByteArray batch;
    for (const Node &node : std::as_const(nodes_)) {
        // Recorded before it exists: an interrupt in between removes a name that is not there yet,
        // harmlessly.
        namespaceSlots_.append(
            cleanup::RecordNamespace(QFile::encodeName(netns::PathOf(node.space)).constData()));
        batch += "netns add " + node.space.toLatin1() + '\n';
    }
    QString error;
    if (!Ip({QStringLiteral("-batch"), QStringLiteral("-")}, batch, &error))
        return fail(error);

    // The namespaces take some IPv4 settings from the machine's: set those that matter here. No IPv6:
    // its chatter has no place on a LAN of IPv4 readers. No reverse path filter: the computer has no
    // default route, and an answer from outside its subnets still reaches it, as on a technician's laptop.
    QStringList failures;
    std::thread worker([&] {
        for (const Node &node : std::as_const(nodes_)) {
            const netns::Entry inside(node.space);
            if (!inside.isInside()) {
                failures.append(inside.errorString());
                continue;
            }
            for (const char *scope : {"all", "default"}) {
                WriteSetting(
                    QStringLiteral("/proc/sys/net/ipv6/conf/%1/disable_ipv6").arg(QLatin1String(scope)), "1");
                WriteSetting(QStringLiteral("/proc/sys/net/ipv4/conf/%1/rp_filter").arg(QLatin1String(scope)),
                             "0");
            }
            if (!WriteSetting(QStringLiteral("/proc/sys/net/ipv4/ip_forward"),
                              node.role == Role::Router ? "1" : "0"))
                failures.append(QStringLiteral("cannot set ip_forward in %1").arg(node.space));
        }
    });
    worker.join();
    return failures.isEmpty() || fail(failures.join(QStringLiteral("; ")));
}

// Every card of every node is one end of a veth pair; the other end is a port of its LAN's bridge. Both
// ends are made where they live: nothing passes through the machine's own namespace.
bool EmulatedLan::wireSwitches() {
    const QString switchSpace = nodes_[0].space;
    QByteArray batch = "link set lo up\n";
    for (const Lan &lan : std::as_const(lans_))
        batch += QStringLiteral("link add br%1 type bridge forward_delay 0\nlink set br%1 up\n")
                     .arg(lan.index)
                     .toLatin1();
    QList<int> ports(lans_.size(), 0);
    for (const Node &node : std::as_const(nodes_)) {
        for (const Card &card : node.cards) {
            const Lan *lan = findLan(card.lan);
            const QString port = QStringLiteral("p%1-%2").arg(lan->index).arg(ports[lan->index]++);
            batch +=
                QStringLiteral("link add %1 type veth peer name %2%3 netns %4\nlink set %1 master br%5 up\n")
                    .arg(port, card.name,
                         card.mac.isEmpty() ? QString() : QStringLiteral(" address ") + card.mac, node.space)
                    .arg(lan->index)
                    .toLatin1();
        }
    }
    QString error;
    return Ip({QStringLiteral("-n"), switchSpace, QStringLiteral("-batch"), QStringLiteral("-")}, batch,
              &error) ||
           fail(error);
}

bool EmulatedLan::configureNodes() {
    for (const Node &node : std::as_const(nodes_)) {
        if (node.role == Role::Switch)
            continue;
        QByteArray batch = "link set lo up\n";
        for (const Card &card : node.cards) {
            batch += QStringLiteral("addr add %1/%2 brd + dev %3\nlink set %3 up\n")
                         .arg(card.address.toString())
                         .arg(card.prefix < 0 ? findLan(card.lan)->prefix : card.prefix)
                         .arg(card.name)
                         .toLatin1();
        }
        for (const QString &route : node.routes)
            batch += "route add " + route.toLatin1() + '\n';
        QString error;
        if (!Ip({QStringLiteral("-n"), node.space, QStringLiteral("-batch"), QStringLiteral("-")}, batch,
                &error))
            return fail(QStringLiteral("%1: %2").arg(node.name, error));
    }
    return true;
}

bool EmulatedLan::startReaders(int readyTimeoutMs) {
    for (const Node &node : std::as_const(nodes_)) {
        if (node.role != Role::Reader)
            continue;
        QString error;
        if (!readers_->start(node.name, netns::PathOf(node.space), ReaderSimPath(),
                             QStringList{QStringLiteral("--interface"), node.cards[0].name} +
                                 node.simulatorOptions,
                             &error))
            return fail(error);
    }
    QString error;
    return readers_->waitForAll("reader listening on", readyTimeoutMs, &error) || fail(error);
}

void EmulatedLan::stop() {
    if (!running_)
        return;
    readers_->stopAll();
    for (const Node &node : std::as_const(nodes_)) {
        if (!node.space.isEmpty())
            netns::Remove(node.space);
    }
    for (const int slot : std::as_const(namespaceSlots_))
        cleanup::Forget(slot);
    namespaceSlots_.clear();
    // A new start() gets fresh processes and names.
    readers_ = std::make_unique<ReaderProcesses>();
    running_ = false;
}

QStringList EmulatedLan::lans() const {
    QStringList names;
    for (const Lan &lan : lans_)
        names.append(lan.name);
    return names;
}

QStringList EmulatedLan::addressesOf(const QString &lan, bool readers) const {
    QStringList addresses;
    for (const Node &node : nodes_) {
        if (node.role == (readers ? Role::Reader : Role::Host) && (lan.isEmpty() || node.cards[0].lan == lan))
            addresses.append(node.cards[0].address.toString());
    }
    return SortedAddresses(addresses);
}

QStringList EmulatedLan::readers() const {
    return addressesOf(QString(), true);
}

QStringList EmulatedLan::readersOn(const QString &lan) const {
    return addressesOf(lan, true);
}

QStringList EmulatedLan::hostsOn(const QString &lan) const {
    return addressesOf(lan, false);
}

QString EmulatedLan::computerAddress(const QString &lan) const {
    for (const Card &card : nodes_[1].cards) {
        if (card.lan == lan)
            return card.address.toString();
    }
    return {};
}

QString EmulatedLan::computerCard(const QString &lan) const {
    for (const Card &card : nodes_[1].cards) {
        if (card.lan == lan)
            return card.name;
    }
    return {};
}

QString EmulatedLan::subnetOf(const QString &lan) const {
    const Lan *found = findLan(lan);
    return found ? QStringLiteral("%1/%2").arg(found->network.toString()).arg(found->prefix) : QString();
}

QHostAddress EmulatedLan::broadcastOf(const QString &lan) const {
    const Lan *found = findLan(lan);
    return found ? QHostAddress(found->network.toIPv4Address() | ~Mask(found->prefix)) : QHostAddress();
}

QStringList EmulatedLan::nodes() const {
    QStringList names;
    for (const Node &node : nodes_)
        names.append(node.name);
    return names;
}

QString EmulatedLan::namespaceOf(const QString &node) const {
    const Node *found = findNode(node);
    return found ? found->space : QString();
}

QStringList EmulatedLan::namespaces() const {
    QStringList names;
    for (const Node &node : nodes_) {
        if (!node.space.isEmpty())
            names.append(node.space);
    }
    return names;
}

QList<qint64> EmulatedLan::readerProcessIds() const {
    return readers_->processIds();
}

ProgramRun EmulatedLan::run(const QString &node, const QString &program, const QStringList &arguments,
                            int timeoutMs) const {
    const QString space = namespaceOf(node);
    if (!running_ || space.isEmpty()) {
        ProgramRun refused;
        refused.err = QStringLiteral("no running node %1").arg(node).toLocal8Bit();
        return refused;
    }
    return RunInNamespace(netns::PathOf(space), program, arguments, timeoutMs);
}

ProgramRun EmulatedLan::vrxctl(const QStringList &arguments, int timeoutMs) const {
    return run(Computer, VrxctlPath(), arguments, timeoutMs);
}

std::unique_ptr<QProcess> EmulatedLan::process(const QString &node) const {
    return ProcessInNamespace(netns::PathOf(namespaceOf(node)));
}

netns::Entry EmulatedLan::enter(const QString &node) const {
    return netns::Entry(namespaceOf(node));
}

bool EmulatedLan::runInside(const QString &node, const std::function<void()> &fn) const {
    return netns::RunInside(namespaceOf(node), fn);
}

QByteArray EmulatedLan::readerLog(const QString &node) const {
    return readers_->log(node);
}

bool EmulatedLan::waitForReaderLog(const QString &node, const QByteArray &text, int timeoutMs,
                                   int count) const {
    return readers_->waitFor(node, text, timeoutMs, count);
}

} // namespace vrx::lan
