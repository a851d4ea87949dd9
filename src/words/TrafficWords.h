#pragma once

#include <QString>

namespace vrx {

// The traffic log's row for a wait that ended without the awaited reply, in the spoken language.
QString NoReplyWithinText(int milliseconds);

} // namespace vrx
