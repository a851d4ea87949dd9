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

// The table's columns, in order: the eleven settings in the order of the window's panels, the card
// the reader answered on, and what the last batch did to it.
enum FoundColumn {
    ReaderIpColumn,
    MacColumn,
    SubnetMaskColumn,
    GatewayColumn,
    ReaderPortColumn,
    ServerIpColumn,
    ServerPortColumn,
    ProtocolColumn,
    HeartbeatColumn,
    BeepColumn,
    KeySourceColumn,
    CardColumn,
    ResultColumn,
    FoundColumnCount
};
QStringList FoundColumnTitles();

// The items of the window's four lists, in code order, so that a row says what the panels say.
struct ChoiceTexts {
    QStringList protocol, heartbeat, beep, keySource;
};

// One row's texts but the result. A choice is shown with the window's list texts; a code outside its
// list as the former fields show it.
QStringList FoundReaderCells(const FoundReader &reader, const ChoiceTexts &choices);

// The MAC cell of a reader whose MAC answered at other addresses too.
QString SharedMacCell(const FoundReader &reader);
// The row's tooltip: where else its MAC answered, and how to reach a reader outside the card's subnet.
QString FoundReaderNote(const FoundReader &reader);
// What 使用 says of a reader outside every card's subnet: the commands that reach it and undo that.
QString UnreachableReaderMessage(const FoundReader &reader);

// The line under the table while a scan runs and when it is over.
QString ScanProgressText(qint64 done, qint64 total, int found, qint64 msLeft);
QString FoundCountText(int found, bool stopped);

} // namespace vrx
