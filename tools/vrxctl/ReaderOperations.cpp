#include "ReaderOperations.h"

namespace vrxctl {

QString WriteResultText(WriteResult result) {
    switch (result) {
    case WriteResult::Confirmed:
        return QStringLiteral("ok");
    case WriteResult::NoReply:
        return QStringLiteral("no reply");
    case WriteResult::EchoDiffers:
        return QStringLiteral("echo differs");
    }
    return {};
}

QString VerificationText(const Verification &verification, const vrx::ReaderSettings &written) {
    QStringList parts;
    for (SettingField field : verification.mismatched)
        parts.append(QStringLiteral("%1 written %2, reader reports %3")
                         .arg(QLatin1String(NameOf(field).jsonKey), FieldText(written, field),
                              FieldText(verification.reported, field)));
    return parts.join(QStringLiteral("; "));
}

} // namespace vrxctl
