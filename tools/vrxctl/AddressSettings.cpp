#include "AddressSettings.h"

#include "net/AddressRange.h"

namespace vrxctl {

bool IsAddressSetting(SettingField field) {
    return field == SettingField::ReaderIp || field == SettingField::SubnetMask ||
           field == SettingField::Gateway || field == SettingField::ServerIp;
}

std::optional<SettingField> FirstBadAddress(const SettingsChange &change) {
    for (auto it = change.values.constBegin(); it != change.values.constEnd(); ++it)
        if (IsAddressSetting(it.key()) && !vrx::StrictAddress(it.value()))
            return it.key();
    return std::nullopt;
}

} // namespace vrxctl
