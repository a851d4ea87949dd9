#include "SettingsView.h"

#include "config/FormerFields.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace vrxctl {

using vrx::ReaderSettings;

QJsonObject SettingsJson(const ReaderSettings &settings) {
    QJsonObject object;
    for (const auto &[key, value] : SettingsJsonMembers(settings))
        object.insert(key, value);
    return object;
}

QString JsonObjectText(const JsonMembers &members, int indent) {
    const QString outer(indent, u' ');
    const QString inner(indent + 4, u' ');
    QStringList lines;
    for (const auto &[key, value] : members) {
        // A one-element array is the simplest way to have Qt escape a lone value.
        const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
        lines.append(inner + u'"' + key + QStringLiteral("\": ") +
                     QString::fromUtf8(array.mid(1, array.size() - 2)));
    }
    return outer + QStringLiteral("{\n") + lines.join(QStringLiteral(",\n")) + u'\n' + outer + u'}';
}

JsonMembers SettingsJsonMembers(const ReaderSettings &settings) {
    JsonMembers object;
    for (const SettingName &name : SettingNames()) {
        const QString text = FieldText(settings, name.field);
        bool number = false;
        const int value = text.toInt(&number);
        const bool isPort = name.field == SettingField::ReaderPort || name.field == SettingField::ServerPort;
        const bool isChoice = !ChoiceWords(name.field).isEmpty();
        if ((isPort || isChoice) && number)
            object.append({QLatin1String(name.jsonKey), value});
        else
            object.append({QLatin1String(name.jsonKey), text});
    }
    return object;
}

QString SettingsTable(const ReaderSettings &settings) {
    QString table;
    for (const SettingName &name : SettingNames())
        table += QStringLiteral("%1  %2\n")
                     .arg(QLatin1String(name.label), -12)
                     .arg(FieldText(settings, name.field));
    return table;
}

} // namespace vrxctl
