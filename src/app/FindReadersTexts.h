#pragma once

#include "link/LocalCards.h"
#include "net/AddressRange.h"
#include "net/DiscoveryCards.h"
#include "net/FoundReader.h"

#include <QString>
#include <QStringList>

namespace vrx {

// The words of the "查找读卡器" dialog, in the window's language.

// The ranges typed into "地址范围：": blanks, commas or semicolons between ranges, blanks around a "-"
// or "/" ignored ("192.168.0.10 - 20" is one range).
QStringList SplitScanRanges(const QString &text);

// What is wrong with the typed ranges, naming the range at fault; empty when nothing is.
QString RangeProblemMessage(const AddressList &list);

// A discovery that heard no reader: what it tried (each card and where its broadcasts went) and the
// likely causes; or why no card could broadcast at all.
QString NothingDiscoveredMessage(const CardChoice &choice, const QList<LocalCard> &computerCards);

// The table's columns, in order.
enum FoundColumn {
    ReaderIpColumn,
    MacColumn,
    SubnetMaskColumn,
    GatewayColumn,
    ServerIpColumn,
    ProtocolColumn,
    CardColumn,
    FoundColumnCount
};
QStringList FoundColumnTitles();

// One row's texts. The protocol is shown with the window's own list texts (`protocolTexts`, the items
// of 读卡器协议); a code outside the list is shown as the former fields show it.
QStringList FoundReaderCells(const FoundReader &reader, const QStringList &protocolTexts);

// The MAC cell of a reader whose MAC answered at other addresses too.
QString SharedMacCell(const FoundReader &reader);
// The row's tooltip: where else its MAC answered, and how to reach a reader outside the card's subnet.
QString FoundReaderNote(const FoundReader &reader);

// The line under the table while a scan runs and when it is over.
QString ScanProgressText(qint64 done, qint64 total, int found, qint64 msLeft);
QString FoundCountText(int found, bool stopped);

} // namespace vrx
