#include "app/KeyFileTransfer.h"

#include "app/Form1.h"

#include "app/FieldEdit.h"
#include "app/FileChooser.h"
#include "app/MessageBox.h"
#include "fields/AddressText.h"
#include "fileio/BoundedFile.h"
#include "fileio/OutputFile.h"
#include "keys/KeyFrame.h"

#include <algorithm>

namespace vrx {

namespace {

QString KeyText(const FieldEdit *field) {
    return TrimBlanks(field->text()); // as the download reads it
}

bool IsCompleteKey(const QString &key) {
    return key.size() == KeyFrame::KeyDigits && CheckKeyText(key) == KeyTextProblem::None;
}

QString WriteProblemText(const OutputOutcome &outcome) {
    switch (outcome.problem) {
    case OutputProblem::None:
        break;
    case OutputProblem::IsFolder:
        return KeyFileTransfer::tr("这是一个文件夹。");
    case OutputProblem::NoFolder:
        return KeyFileTransfer::tr("文件夹不存在。");
    case OutputProblem::CannotCreate:
    case OutputProblem::WriteFailed:
        return outcome.reason.isEmpty() ? KeyFileTransfer::tr("没有写入的权限。") : outcome.reason;
    }
    return {};
}

} // namespace

QString KeyFileTransfer::Filter() {
    return tr("密码文件 (*.txt);;所有文件 (*)");
}

// Each problem is one sentence with the line's number in it, so that each language orders its own words.
QString KeyFileTransfer::ProblemText(const KeyFileReading &reading) {
    const QString key = Form1::KeyFieldName(KeyFrame::fieldOf(reading.sector, reading.bKey));
    switch (reading.problem) {
    case KeyFileProblem::None:
        return {};
    case KeyFileProblem::ItemCount:
        return tr("密码文件第%1行格式不对：每行应为“区号 A密码 B密码”三项，这一行有%2项。")
            .arg(reading.line)
            .arg(reading.items);
    case KeyFileProblem::BadSector:
        return tr("密码文件第%1行的区号不对：区号应为0到15之间的数字。").arg(reading.line);
    case KeyFileProblem::RepeatedSector:
        return tr("密码文件第%1行又给出了第%2区的密码，第%3行已经给出过：每个区只能有一行。")
            .arg(reading.line)
            .arg(reading.sector)
            .arg(reading.earlierLine);
    case KeyFileProblem::BadKey:
        return (reading.keyProblem == KeyTextProblem::TooLong
                    ? tr("密码文件第%1行的%2超过12位十六进制数字。")
                    : tr("密码文件第%1行的%2含有不是十六进制数字的字符。"))
            .arg(reading.line)
            .arg(key);
    case KeyFileProblem::MissingSectors: {
        QStringList sectors;
        for (int sector : reading.missingSectors)
            sectors << QString::number(sector);
        return tr("密码文件缺少第%1区的密码：0到15区每区都要有一行。").arg(sectors.join(u'、'));
    }
    }
    return {};
}

QStringList KeyFileTransfer::FieldTexts() const {
    QStringList texts;
    for (const FieldEdit *field : m_fields)
        texts << KeyText(field);
    return texts;
}

void KeyFileTransfer::Import() {
    const QString path = m_files.FileToOpen(m_parent, tr("导入密码"), Filter());
    if (path.isEmpty())
        return;
    // A key file is 16 short lines; the bound is the one vrxctl keys --file reads with.
    const BoundedFile file = ReadBoundedFile(path, MaxKeyFileBytes);
    if (file.problem == BoundedFileProblem::CannotOpen) {
        m_messages.Show(tr("无法读取密码文件“%1”：%2").arg(path, file.reason));
        return;
    }
    if (file.problem == BoundedFileProblem::TooLarge) {
        m_messages.Show(tr("“%1”不是密码文件：文件太大。").arg(path));
        return;
    }
    const KeyFileReading reading = ReadKeyFile(QString::fromUtf8(file.bytes));
    if (!reading.ok()) {
        m_messages.Show(ProblemText(reading) + tr("\n没有导入任何密码。"));
        return;
    }
    for (int field = 0; field < KeyFrame::KeyFieldCount; ++field)
        m_fields[field]->setText(reading.fields[field]);
}

void KeyFileTransfer::Export() {
    const QStringList keys = FieldTexts();
    const auto &order = KeyFrame::downloadOrder();
    const auto bad =
        std::find_if(order.begin(), order.end(), [&](int field) { return !IsCompleteKey(keys[field]); });
    if (bad != order.end()) {
        m_messages.Show(Form1::KeyFieldName(*bad) + tr("不是12位十六进制数字，无法导出！"));
        return;
    }
    if (!m_messages.Confirm(tr("导出的文件将以明文保存全部32个密码，能读取这个文件的人都能看到它们。"
                               "文件只允许您本人读写，请妥善保管。\n确定要导出吗？"),
                            tr("导出")))
        return;
    const QString path = m_files.FileToSave(m_parent, tr("导出密码"), QStringLiteral("keys.txt"), Filter());
    if (path.isEmpty())
        return;
    if (Write(path, WriteKeyFile(keys).toUtf8()))
        m_messages.Show(tr("密码已导出到“%1”。").arg(path));
}

// The keys reach the file's final name only whole and flushed to disk, and never readable by others:
// on a full disk the old file stays as it was.
bool KeyFileTransfer::Write(const QString &path, const QByteArray &text) {
    const OutputOutcome written = WriteOutputFile(path, text, OutputAccess::OwnerOnly);
    if (!written.ok())
        m_messages.Show(tr("无法写入密码文件“%1”：%2").arg(path, WriteProblemText(written)));
    return written.ok();
}

} // namespace vrx
