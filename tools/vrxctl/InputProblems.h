#pragma once

#include "config/TargetFields.h"
#include "net/AddressRange.h"

#include <QList>
#include <QString>

namespace vrxctl {

// The problems of the target settings, in order, joined by "; ": each names the option that sets the
// field (reader IP (--ip): ...); an overflow is worded by the shared catalogue.
QString TargetProblemsText(const QList<vrx::TargetProblem> &problems);

// What is wrong with scan ranges, in English.
QString RangeProblemText(const vrx::AddressList &list);

} // namespace vrxctl
