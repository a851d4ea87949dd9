#include "KeyInput.h"

#include "keys/KeyFile.h"
#include "keys/KeyFrame.h"

namespace vrxctl {

namespace {

QString KeyProblemText(vrx::KeyTextProblem problem) {
    switch (problem) {
    case vrx::KeyTextProblem::None:
        return {};
    case vrx::KeyTextProblem::NotHexadecimal:
        return QStringLiteral("holds a character that is not a hexadecimal digit");
    case vrx::KeyTextProblem::TooLong:
        return QStringLiteral("is longer than 12 hexadecimal digits");
    }
    return {};
}

QString KeyFileProblemText(const vrx::KeyFileReading &reading) {
    const QString line = QStringLiteral("line %1: ").arg(reading.line);
    switch (reading.problem) {
    case vrx::KeyFileProblem::None:
        return {};
    case vrx::KeyFileProblem::ItemCount:
        return line +
               QStringLiteral("expected \"sector A-key B-key\" (three items), found %1").arg(reading.items);
    case vrx::KeyFileProblem::BadSector:
        return line + QStringLiteral("the sector must be a number from 0 to 15");
    case vrx::KeyFileProblem::RepeatedSector:
        return line + QStringLiteral("sector %1 is already given on line %2")
                          .arg(reading.sector)
                          .arg(reading.earlierLine);
    case vrx::KeyFileProblem::BadKey:
        return line + QStringLiteral("the %1 key of sector %2 %3")
                          .arg(QChar(reading.bKey ? u'B' : u'A'))
                          .arg(reading.sector)
                          .arg(KeyProblemText(reading.keyProblem));
    case vrx::KeyFileProblem::MissingSectors: {
        QStringList missing;
        for (int sector : reading.missingSectors)
            missing.append(QString::number(sector));
        return QStringLiteral(
                   "the file gives no keys for sector%1 %2: every sector from 0 to 15 needs a line")
            .arg(missing.size() > 1 ? QStringLiteral("s") : QString(), missing.join(u','));
    }
    }
    return {};
}

} // namespace

KeyFields KeyFieldsFromOneKey(const QString &key) {
    KeyFields keys;
    const QString trimmed = key.trimmed();
    if (const auto problem = vrx::CheckKeyText(trimmed); problem != vrx::KeyTextProblem::None) {
        keys.error = QStringLiteral("--key ") + KeyProblemText(problem);
        return keys;
    }
    keys.fields = QStringList(vrx::KeyFrame::KeyFieldCount, trimmed);
    return keys;
}

KeyFields KeyFieldsFromFile(const QString &text) {
    const vrx::KeyFileReading reading = vrx::ReadKeyFile(text);
    if (!reading.ok())
        return {{}, KeyFileProblemText(reading)};
    // The file format takes a short key as it stands; the download would refuse it without the line.
    for (int sector = 0; sector < vrx::KeyFrame::SectorCount; ++sector)
        for (const bool bKey : {false, true}) {
            if (reading.fields[vrx::KeyFrame::fieldOf(sector, bKey)].size() >= vrx::KeyFrame::KeyDigits)
                continue;
            return {{},
                    QStringLiteral("line %1: the %2 key of sector %3 is shorter than %4 hexadecimal digits")
                        .arg(reading.sectorLines.value(sector))
                        .arg(QChar(bKey ? u'B' : u'A'))
                        .arg(sector)
                        .arg(vrx::KeyFrame::KeyDigits)};
        }
    return {reading.fields, {}};
}

} // namespace vrxctl
