#pragma once

#include "net/ConfigureReader.h"

#include <QString>

namespace vrx {

// What the result column of "查找读卡器" says of one reader of a batch: 成功, 无应答, 回显不符, or
// 未写入 with the reason; and the row's tooltip, which says what exactly happened.
struct BatchResultWords {
    QString result;
    QString detail;
};
BatchResultWords BatchResultText(const ConfigureOutcome &outcome);

// The line under the table when a batch is over.
QString BatchSummaryText(bool settings, int succeeded, int failed, int untouched);

} // namespace vrx
