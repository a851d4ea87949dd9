// Making the LAN that EmulatedLan describes: namespaces, bridges, veth pairs, addresses and routes with
// the ip program, a few settings inside each namespace, and the simulated readers.
#include "CleanupOnSignal.h"
#include "EmulatedLanParts.h"
#include "ReaderProcesses.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>

namespace vrx::lan {

namespace {

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

} // namespace

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
    for (const Node &node : std::as_const(nodes_)) {
        bool forwardingSet = false;
        QString error;
        const bool entered = netns::RunInside(
            node.space,
            [&] {
                for (const char *scope : {"all", "default"}) {
                    WriteSetting(
                        QStringLiteral("/proc/sys/net/ipv6/conf/%1/disable_ipv6").arg(QLatin1String(scope)),
                        "1");
                    WriteSetting(
                        QStringLiteral("/proc/sys/net/ipv4/conf/%1/rp_filter").arg(QLatin1String(scope)),
                        "0");
                }
                forwardingSet = WriteSetting(QStringLiteral("/proc/sys/net/ipv4/ip_forward"),
                                             node.role == Role::Router ? "1" : "0");
            },
            &error);
        if (!entered)
            failures.append(error);
        else if (!forwardingSet)
            failures.append(QStringLiteral("cannot set ip_forward in %1").arg(node.space));
    }
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

} // namespace vrx::lan
