#include "keys/KeyFile.h"

#include "fields/HexText.h"
#include "keys/KeyFrame.h"

#include <QRegularExpression>

namespace vrx {

namespace {

constexpr char16_t ByteOrderMark = 0xFEFF;

} // namespace

KeyTextProblem CheckKeyText(QStringView key) {
    for (QChar c : key)
        if (HexDigitValue(c.unicode()) < 0)
            return KeyTextProblem::NotHexadecimal;
    return key.size() > KeyFrame::KeyDigits ? KeyTextProblem::TooLong : KeyTextProblem::None;
}

KeyFileReading ReadKeyFile(const QString &text) {
    KeyFileReading reading;
    QStringList fields(KeyFrame::KeyFieldCount, QString());
    QList<int> lineOfSector(KeyFrame::SectorCount, 0);
    static const QRegularExpression blanks(QStringLiteral("[ \\t]+"));
    const QStringView body = text.startsWith(QChar(ByteOrderMark)) ? QStringView(text).sliced(1) : text;
    const auto lines = body.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        reading.line = int(i) + 1;
        QStringView line = lines[i];
        if (const qsizetype hash = line.indexOf(u'#'); hash >= 0)
            line.truncate(hash);
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        const auto parts = line.toString().split(blanks);
        if (parts.size() != 3) {
            reading.problem = KeyFileProblem::ItemCount;
            reading.items = int(parts.size());
            return reading;
        }
        bool number = false;
        const int sector = parts[0].toInt(&number);
        if (!number || sector < 0 || sector >= KeyFrame::SectorCount) {
            reading.problem = KeyFileProblem::BadSector;
            return reading;
        }
        reading.sector = sector;
        if (lineOfSector[sector] != 0) {
            reading.problem = KeyFileProblem::RepeatedSector;
            reading.earlierLine = lineOfSector[sector];
            return reading;
        }
        lineOfSector[sector] = reading.line;
        for (const bool bKey : {false, true}) {
            const QString &key = parts[bKey ? 2 : 1];
            if (const KeyTextProblem problem = CheckKeyText(key); problem != KeyTextProblem::None) {
                reading.problem = KeyFileProblem::BadKey;
                reading.bKey = bKey;
                reading.keyProblem = problem;
                return reading;
            }
            fields[KeyFrame::fieldOf(sector, bKey)] = key;
        }
    }
    reading.line = 0;
    reading.sector = -1;
    for (int sector = 0; sector < KeyFrame::SectorCount; ++sector)
        if (lineOfSector[sector] == 0)
            reading.missingSectors.append(sector);
    if (!reading.missingSectors.isEmpty()) {
        reading.problem = KeyFileProblem::MissingSectors;
        return reading;
    }
    reading.fields = fields;
    for (int sector = 0; sector < KeyFrame::SectorCount; ++sector)
        reading.sectorLines.append(lineOfSector[sector]);
    return reading;
}

QString WriteKeyFile(const QStringList &fields) {
    QString text = QStringLiteral("# sector  A key         B key\n");
    for (int sector = 0; sector < KeyFrame::SectorCount; ++sector)
        text += QStringLiteral("%1  %2  %3\n")
                    .arg(sector, -8)
                    .arg(fields.value(KeyFrame::fieldOf(sector, false)), -12)
                    .arg(fields.value(KeyFrame::fieldOf(sector, true)));
    return text;
}

} // namespace vrx
