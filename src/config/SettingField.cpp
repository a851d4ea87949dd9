#include "config/SettingField.h"

#include "config/FormerFields.h"

namespace vrx {

const std::array<SettingName, 11> &SettingNames() {
    static const std::array<SettingName, 11> names{{
        {SettingField::ReaderIp, "ip", "reader_ip", "Reader IP"},
        {SettingField::SubnetMask, "mask", "subnet_mask", "Subnet mask"},
        {SettingField::Gateway, "gateway", "gateway", "Gateway"},
        {SettingField::ReaderPort, "port", "reader_port", "Reader port"},
        {SettingField::ServerIp, "server-ip", "server_ip", "Server IP"},
        {SettingField::ServerPort, "server-port", "server_port", "Server port"},
        {SettingField::Mac, "mac", "mac", "MAC"},
        {SettingField::Protocol, "protocol", "protocol", "Protocol"},
        {SettingField::Heartbeat, "heartbeat", "heartbeat", "Heartbeat"},
        {SettingField::Beep, "beep", "beep", "Beep on read"},
        {SettingField::KeySource, "key-source", "key_source", "Key source"},
    }};
    return names;
}

const SettingName &NameOf(SettingField field) {
    return SettingNames()[size_t(field)];
}

QStringList ChoiceWords(SettingField field) {
    switch (field) {
    case SettingField::Protocol:
        return {QStringLiteral("udp"), QStringLiteral("tcp-server"), QStringLiteral("tcp-client")};
    case SettingField::Heartbeat:
    case SettingField::Beep:
        return {QStringLiteral("off"), QStringLiteral("on")};
    case SettingField::KeySource:
        return {QStringLiteral("command"), QStringLiteral("reader")};
    default:
        return {};
    }
}

int ChoiceIndex(SettingField field, const QString &word) {
    return ChoiceWords(field).indexOf(word.trimmed().toLower());
}

namespace {

// The list position comes from the same decoding the window's former fields use, so an out-of-list
// code is recognised by the same rule; the number shown is the code itself.
QString ChoiceText(SettingField field, const vrx::ChoiceDisplay &display, quint8 code) {
    if (display.index < 0)
        return QString::number(code);
    return ChoiceWords(field).value(display.index, QString::number(code));
}

} // namespace

QString FieldText(const ReaderSettings &settings, SettingField field) {
    const vrx::FormerFields former = vrx::FormerFieldsFromSettings(settings);
    switch (field) {
    case SettingField::ReaderIp:
        return former.readerIp;
    case SettingField::SubnetMask:
        return former.subnetMask;
    case SettingField::Gateway:
        return former.defaultGateway;
    case SettingField::ReaderPort:
        return former.readerPort;
    case SettingField::ServerIp:
        return former.serverIp;
    case SettingField::ServerPort:
        return former.serverPort;
    case SettingField::Mac:
        return former.mac;
    case SettingField::Protocol:
        return ChoiceText(field, former.protocol, settings.readerProtocol);
    case SettingField::Heartbeat:
        return ChoiceText(field, former.heartbeat, settings.heartbeat);
    case SettingField::Beep:
        return ChoiceText(field, former.beep, settings.beepOnRead);
    case SettingField::KeySource:
        return ChoiceText(field, former.keySource, settings.keySource);
    }
    return {};
}

QList<SettingField> DifferingFields(const ReaderSettings &a, const ReaderSettings &b) {
    QList<SettingField> fields;
    for (const SettingName &name : SettingNames())
        if (FieldText(a, name.field) != FieldText(b, name.field))
            fields.append(name.field);
    return fields;
}

QStringList SettingsDifferences(const ReaderSettings &before, const ReaderSettings &after) {
    QStringList lines;
    for (SettingField field : DifferingFields(before, after))
        lines.append(
            QStringLiteral("%1 %2 -> %3")
                .arg(QLatin1String(NameOf(field).option), FieldText(before, field), FieldText(after, field)));
    return lines;
}

} // namespace vrx
