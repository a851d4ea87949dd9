#include "SettingsChange.h"

#include "InputProblems.h"

#include <QJsonValue>

namespace vrxctl {

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

QString ChangeErrorText(const EncodedChange &encoded) {
    if (encoded.ok)
        return {};
    if (!encoded.choice)
        return TargetProblemsText(encoded.problems);
    const vrx::ChoiceProblem &problem = *encoded.choice;
    const QString option = QLatin1String(NameOf(problem.field).option);
    const QString label = QString::fromLatin1(NameOf(problem.field).label).toLower();
    if (problem.code < 0)
        return QStringLiteral("%1 (--%2): \"%3\" is not one of %4")
            .arg(label, option, problem.given, ChoiceWords(problem.field).join(QStringLiteral(", ")));
    return QStringLiteral("%1: the reader holds code %2, which is outside the list and cannot be written "
                          "back; give --%3")
        .arg(label)
        .arg(problem.code)
        .arg(option);
}

} // namespace vrxctl
