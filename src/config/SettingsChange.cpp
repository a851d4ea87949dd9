#include "config/SettingsChange.h"

#include "config/FormerFields.h"
#include "config/ParameterBlock.h"
#include "config/TargetFields.h"
#include "fields/AddressText.h"
#include "fields/HexText.h"

namespace vrx {

void SettingsChange::merge(const SettingsChange &other) {
    for (auto it = other.values.constBegin(); it != other.values.constEnd(); ++it)
        values.insert(it.key(), it.value());
}

namespace {

// Applies a choice: the given word, or the current list position. A problem is reported only if
// every text field passes, to keep the window's order of checks.
std::optional<ChoiceProblem> ApplyChoice(const SettingsChange &change, SettingField field,
                                         const ChoiceDisplay &current, quint8 currentCode, int *index) {
    const auto given = change.values.constFind(field);
    if (given != change.values.constEnd()) {
        *index = ChoiceIndex(field, *given);
        if (*index >= 0)
            return std::nullopt;
        *index = 0;
        return ChoiceProblem{field, *given, -1};
    }
    *index = current.index;
    if (*index >= 0)
        return std::nullopt;
    *index = 0;
    return ChoiceProblem{field, QString(), currentCode};
}

} // namespace

EncodedChange EncodeChange(const ReaderSettings &current, const SettingsChange &change) {
    const FormerFields former = FormerFieldsFromSettings(current);
    const auto text = [&](SettingField field, const QString &currentText) {
        return change.values.value(field, currentText);
    };

    TargetFields target;
    target.readerIp = text(SettingField::ReaderIp, former.readerIp);
    target.subnetMask = text(SettingField::SubnetMask, former.subnetMask);
    target.defaultGateway = text(SettingField::Gateway, former.defaultGateway);
    target.serverIp = text(SettingField::ServerIp, former.serverIp);
    target.readerPort = text(SettingField::ReaderPort, former.readerPort);
    target.serverPort = text(SettingField::ServerPort, former.serverPort);
    target.mac = text(SettingField::Mac, former.mac);
    if (TrimBlanks(target.mac).compare(QLatin1String("auto"), Qt::CaseInsensitive) == 0)
        target.mac = MacFromAddress(ParseIpAddress(TrimBlanks(target.readerIp)).bytes);

    std::optional<ChoiceProblem> choiceProblem;
    for (const std::optional<ChoiceProblem> &problem :
         {ApplyChoice(change, SettingField::Protocol, former.protocol, current.readerProtocol,
                      &target.protocolIndex),
          ApplyChoice(change, SettingField::Heartbeat, former.heartbeat, current.heartbeat,
                      &target.heartbeatIndex),
          ApplyChoice(change, SettingField::Beep, former.beep, current.beepOnRead, &target.beepIndex),
          ApplyChoice(change, SettingField::KeySource, former.keySource, current.keySource,
                      &target.keySourceIndex)}) {
        if (!choiceProblem)
            choiceProblem = problem;
    }

    EncodedChange encoded;
    QByteArray block;
    const EncodeOutcome outcome = EncodeTargetFields(target, block);
    if (!outcome.ok) {
        encoded.problems = outcome.problems;
        return encoded;
    }
    if (choiceProblem) {
        encoded.choice = choiceProblem;
        return encoded;
    }
    encoded.ok = true;
    encoded.block = block;
    encoded.result = ParameterBlock::decode(block);
    return encoded;
}

ReaderSettings CheckingBase() {
    ReaderSettings base;
    base.readerIp = {192, 168, 0, 101};
    base.subnetMask = {255, 255, 255, 0};
    base.defaultGateway = {192, 168, 0, 1};
    base.serverIp = {192, 168, 0, 110};
    base.readerPort = 1234;
    base.serverPort = 1234;
    base.readerMac = {0x00, 0x14, 0xC0, 0xA8, 0x00, 0x65};
    base.beepOnRead = Beep::OnRead;
    base.keySource = KeySource::Command;
    base.readerProtocol = Protocol::Udp;
    base.heartbeat = Heartbeat::Send;
    return base;
}

} // namespace vrx
