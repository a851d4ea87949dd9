#include "KeyFile.h"

#include "fields/HexText.h"
#include "keys/KeyFrame.h"

#include <QRegularExpression>

namespace vrxctl {

namespace {

// The key fields accept only what typing lets into them; the length check stays BuildKeyFrame's,
// except that a key longer than a field holds is refused instead of cut.
QString KeyProblem(const QString &key) {
    for (QChar c : key)
        if (vrx::HexDigitValue(c.unicode()) < 0)
            return QStringLiteral("holds a character that is not a hexadecimal digit");
    if (key.size() > 12)
        return QStringLiteral("is longer than 12 hexadecimal digits");
    return {};
}

} // namespace

int KeyFieldIndex(int sector, bool bKey) {
    for (int field = 0; field < vrx::KeyFrame::KeyFieldCount; ++field)
        if (vrx::KeyFrame::sectorOfField(field) == sector && vrx::KeyFrame::isBKeyField(field) == bKey)
            return field;
    return -1;
}

KeyFields KeyFieldsFromOneKey(const QString &key) {
    KeyFields keys;
    const QString trimmed = key.trimmed();
    const QString problem = KeyProblem(trimmed);
    if (!problem.isEmpty()) {
        keys.error = QStringLiteral("--key ") + problem;
        return keys;
    }
    for (int i = 0; i < vrx::KeyFrame::KeyFieldCount; ++i)
        keys.fields.append(trimmed);
    return keys;
}

KeyFields KeyFieldsFromFile(const QString &text) {
    KeyFields keys;
    keys.fields = QStringList(vrx::KeyFrame::KeyFieldCount, QString());
    QList<int> lineOfSector(vrx::KeyFrame::SectorCount, 0);
    static const QRegularExpression blanks(QStringLiteral("[ \\t]+"));
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNumber = i + 1;
        QString line = lines[i];
        const int hash = line.indexOf(u'#');
        if (hash >= 0)
            line.truncate(hash);
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        const QStringList parts = line.split(blanks);
        const auto fail = [&](const QString &what) {
            keys.error = QStringLiteral("line %1: %2").arg(lineNumber).arg(what);
            keys.fields.clear();
            return keys;
        };
        if (parts.size() != 3)
            return fail(
                QStringLiteral("expected \"sector A-key B-key\" (three items), found %1").arg(parts.size()));
        bool number = false;
        const int sector = parts[0].toInt(&number);
        if (!number || sector < 0 || sector >= vrx::KeyFrame::SectorCount)
            return fail(QStringLiteral("the sector must be a number from 0 to 15"));
        if (lineOfSector[sector] != 0)
            return fail(QStringLiteral("sector %1 is already given on line %2")
                            .arg(sector)
                            .arg(lineOfSector[sector]));
        lineOfSector[sector] = lineNumber;
        for (int k = 0; k < 2; ++k) {
            const QString problem = KeyProblem(parts[1 + k]);
            if (!problem.isEmpty())
                return fail(QStringLiteral("the %1 key of sector %2 %3")
                                .arg(QChar(k ? u'B' : u'A'))
                                .arg(sector)
                                .arg(problem));
            keys.fields[KeyFieldIndex(sector, k == 1)] = parts[1 + k];
        }
    }
    QStringList missing;
    for (int sector = 0; sector < vrx::KeyFrame::SectorCount; ++sector)
        if (lineOfSector[sector] == 0)
            missing.append(QString::number(sector));
    if (!missing.isEmpty()) {
        keys.error =
            QStringLiteral("the file gives no keys for sector%1 %2: every sector from 0 to 15 needs a line")
                .arg(missing.size() > 1 ? QStringLiteral("s") : QString(), missing.join(u','));
        keys.fields.clear();
    }
    return keys;
}

} // namespace vrxctl
