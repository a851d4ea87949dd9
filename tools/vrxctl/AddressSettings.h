#pragma once

#include "SettingsChange.h"

#include <optional>

namespace vrxctl {

// Whether the setting is an address (ip, mask, gateway, server-ip).
bool IsAddressSetting(SettingField field);

// The first address setting of the change whose text is not an address in vrxctl's one grammar
// (ReaderAddress); nothing when every one is. Blanks around it are left out, as the window's fields
// and a CSV cell padded for reading have them. The window's lenient reading would take "10.1.2.3.4" as
// 10.1.2.3 and write it into the reader.
std::optional<SettingField> FirstBadAddress(const SettingsChange &change);

} // namespace vrxctl
