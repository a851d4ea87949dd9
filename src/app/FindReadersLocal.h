#pragma once

#include "link/LocalCards.h"

#include <QList>
#include <QString>

namespace vrx {

// The computer's address that a scan from the "查找读卡器" dialog queries from. What the operator typed
// into 本机IP when it is one of this computer's addresses and every target lies on its subnet: that is
// the address the operator chose for the readers' network, and the one the window's own operations
// use, so the scan reaches the readers exactly as the read will (and, on loopback, where every
// 127.x.y.z address is this computer's, it keeps to the address given). Otherwise empty: each target
// is asked from the address its route uses (each card's own address for its own targets).
QString ScanLocalAddress(const QString &computerField, const QList<quint32> &targets,
                         const QList<LocalCard> &cards);

} // namespace vrx
