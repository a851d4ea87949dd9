#include "SettingsChange.h"

#include "EnglishMessages.h"

#include "config/FormerFields.h"
#include "config/ParameterBlock.h"
#include "config/TargetFields.h"
#include "fields/AddressText.h"
#include "fields/HexText.h"

#include <QJsonValue>

namespace vrxctl {

void SettingsChange::merge(const SettingsChange &other) {
    for (auto it = other.values.constBegin(); it != other.values.constEnd(); ++it)
        values.insert(it.key(), it.value());
}

SettingsChange ChangeFromJson(const QJsonObject &object, QString *error) {
    SettingsChange change;
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        const SettingName *name = nullptr;
        for (const SettingName &candidate : SettingNames())
            if (it.key() == QLatin1String(candidate.jsonKey))
                name = &candidate;
        if (!name) {
            *error = QStringLiteral("unknown key \"%1\"").arg(it.key());
            return {};
        }
        const QJsonValue value = it.value();
        if (value.isString()) {
            change.values.insert(name->field, value.toString());
        } else if (value.isDouble() && value.toDouble() == double(value.toInteger())) {
            change.values.insert(name->field, QString::number(value.toInteger()));
        } else {
            *error = QStringLiteral("\"%1\" must be a text or a whole number").arg(it.key());
            return {};
        }
    }
    return change;
}

namespace {

// Applies a choice: the given word, or the current list position. Returns an error text otherwise;
// it is reported only if every text field passes, to keep the window's order of checks.
QString ApplyChoice(const SettingsChange &change, SettingField field, const vrx::ChoiceDisplay &current,
                    quint8 currentCode, int *index) {
    const QString option = QLatin1String(NameOf(field).option);
    const auto given = change.values.constFind(field);
    if (given != change.values.constEnd()) {
        *index = ChoiceIndex(field, *given);
        if (*index >= 0)
            return {};
        *index = 0;
        return QStringLiteral("%1 (--%2): \"%3\" is not one of %4")
            .arg(QString::fromLatin1(NameOf(field).label).toLower(), option, *given,
                 ChoiceWords(field).join(QStringLiteral(", ")));
    }
    *index = current.index;
    if (*index >= 0)
        return {};
    *index = 0;
    return QStringLiteral("%1: the reader holds code %2, which is outside the list and cannot be written "
                          "back; give --%3")
        .arg(QString::fromLatin1(NameOf(field).label).toLower())
        .arg(currentCode)
        .arg(option);
}

} // namespace

EncodedChange EncodeChange(const vrx::ReaderSettings &current, const SettingsChange &change) {
    const vrx::FormerFields former = vrx::FormerFieldsFromSettings(current);
    const auto text = [&](SettingField field, const QString &currentText) {
        return change.values.value(field, currentText);
    };

    vrx::TargetFields target;
    target.readerIp = text(SettingField::ReaderIp, former.readerIp);
    target.subnetMask = text(SettingField::SubnetMask, former.subnetMask);
    target.defaultGateway = text(SettingField::Gateway, former.defaultGateway);
    target.serverIp = text(SettingField::ServerIp, former.serverIp);
    target.readerPort = text(SettingField::ReaderPort, former.readerPort);
    target.serverPort = text(SettingField::ServerPort, former.serverPort);
    target.mac = text(SettingField::Mac, former.mac);
    if (vrx::TrimBlanks(target.mac).compare(QLatin1String("auto"), Qt::CaseInsensitive) == 0)
        target.mac = vrx::MacFromAddress(vrx::ParseIpAddress(vrx::TrimBlanks(target.readerIp)).bytes);

    QString choiceError;
    for (const QString &error :
         {ApplyChoice(change, SettingField::Protocol, former.protocol, current.readerProtocol,
                      &target.protocolIndex),
          ApplyChoice(change, SettingField::Heartbeat, former.heartbeat, current.heartbeat,
                      &target.heartbeatIndex),
          ApplyChoice(change, SettingField::Beep, former.beep, current.beepOnRead, &target.beepIndex),
          ApplyChoice(change, SettingField::KeySource, former.keySource, current.keySource,
                      &target.keySourceIndex)}) {
        if (choiceError.isEmpty())
            choiceError = error;
    }

    EncodedChange encoded;
    QByteArray block;
    const vrx::EncodeOutcome outcome = vrx::EncodeTargetFields(target, block);
    if (!outcome.ok) {
        encoded.error = InEnglish(outcome.messages);
        return encoded;
    }
    if (!choiceError.isEmpty()) {
        encoded.error = choiceError;
        return encoded;
    }
    encoded.ok = true;
    encoded.block = block;
    encoded.result = vrx::ParameterBlock::decode(block);
    return encoded;
}

vrx::ReaderSettings CheckingBase() {
    vrx::ReaderSettings base;
    base.readerIp = {192, 168, 0, 101};
    base.subnetMask = {255, 255, 255, 0};
    base.defaultGateway = {192, 168, 0, 1};
    base.serverIp = {192, 168, 0, 110};
    base.readerPort = 1234;
    base.serverPort = 1234;
    base.readerMac = {0x00, 0x14, 0xC0, 0xA8, 0x00, 0x65};
    base.beepOnRead = vrx::Beep::OnRead;
    base.keySource = vrx::KeySource::Command;
    base.readerProtocol = vrx::Protocol::Udp;
    base.heartbeat = vrx::Heartbeat::Send;
    return base;
}

} // namespace vrxctl
