#pragma once

#include "net/ScanPacingReport.h"

#include <QString>

namespace vrx {

// The engine's trace events in the spoken language, for vrxctl's --trace: the engine reports them as
// values (LinkObserver) and never words them itself.

// The pacing a scan sets out with when some of its queries need ARP.
QString PacingPlannedText(const ScanPacingReport &report);
// What that pacing met by the scan's end.
QString PacingMetText(const ScanPacingReport &report);

} // namespace vrx
