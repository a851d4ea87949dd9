#include "EmulatedLanParts.h"

#include "CleanupOnSignal.h"
#include "ReaderProcesses.h"

#include <algorithm>

namespace vrx::lan {

namespace {

// The benchmarking range: the only addresses the fixture gives out.
const std::pair<QHostAddress, int> TestRange{QHostAddress(QStringLiteral("198.18.0.0")), 15};

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

EmulatedLan::EmulatedLan()
    : readers_(std::make_unique<ReaderProcesses>()) {
    nodes_.append(Node{QStringLiteral("switch"), Role::Switch, {}, {}, {}, {}});
    nodes_.append(Node{Computer, Role::Computer, {}, {}, {}, {}});
}

EmulatedLan::~EmulatedLan() {
    stop();
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
