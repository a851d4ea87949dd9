#include "app/FindReaders.h"

#include "app/FileChooser.h"
#include "app/MessageBox.h"
#include "net/FoundReadersCsv.h"

#include <QLabel>
#include <QSaveFile>

namespace vrx {

// 导出…: the rows in the table's order, in exactly the columns and words of vrxctl scan --csv, so the
// file is what a script already reads and what vrxctl batch takes back.

void FindReaders::Export() {
    if (m_rows.isEmpty())
        return;
    const QString path =
        m_files.FileToSave(this, tr("导出读卡器列表"), QStringLiteral("readers.csv"), tr("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return;
    // Written whole or not at all: a failed export leaves an older file as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(FoundReadersCsv(Readers()).toUtf8()) < 0 ||
        !file.commit()) {
        m_messages.Show(tr("无法写入文件“%1”：%2").arg(path, file.errorString()));
        return;
    }
    LabelStatus->setText(tr("已把 %1 台读卡器导出到 %2。").arg(m_rows.size()).arg(path));
}

} // namespace vrx
