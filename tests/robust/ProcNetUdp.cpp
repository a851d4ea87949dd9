#include "ProcNetUdp.h"

#include <QFile>
#include <QtEndian>

QString ProcNetUdpEndpoint(const QHostAddress &address, quint16 port) {
    const quint32 inMemory = qToBigEndian(address.toIPv4Address());
    return QStringLiteral("%1:%2")
        .arg(inMemory, 8, 16, QLatin1Char('0'))
        .arg(port, 4, 16, QLatin1Char('0'))
        .toUpper();
}

std::optional<UdpSocketCounters> UdpSocketState(const QHostAddress &address, quint16 port) {
    QFile table(QStringLiteral("/proc/net/udp"));
    if (!table.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    const QByteArray endpoint = ProcNetUdpEndpoint(address, port).toLatin1();
    table.readLine(); // the column titles
    while (!table.atEnd()) {
        // sl local rem st tx:rx tr:when retrnsmt uid timeout inode ref pointer drops
        const QList<QByteArray> columns = table.readLine().simplified().split(' ');
        if (columns.size() >= 13 && columns.at(1) == endpoint) {
            bool queueOk = false, dropsOk = false;
            const UdpSocketCounters counters{columns.at(4).split(':').value(1).toULongLong(&queueOk, 16),
                                             columns.last().toULongLong(&dropsOk)};
            return queueOk && dropsOk ? std::optional(counters) : std::nullopt;
        }
    }
    return std::nullopt;
}
