#include "app/FindReaders.h"

#include "app/MessageBox.h"
#include "link/SocketException.h"
#include "net/FoundReaders.h"
#include "net/ReaderLink.h"
#include "words/SocketWords.h"

#include <QLabel>
#include <QMap>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>

#include <vector>

namespace vrx {

// 刷新: every listed reader is asked for its settings again, all at once, each from the address of the
// card it answered on (the address that reached it before).

namespace {
constexpr int RefreshRetries = 1; // one lost datagram must not make a reader look silent
} // namespace

void FindReaders::Refresh() {
    if (Busy() || m_rows.isEmpty())
        return;
    const QPointer<FindReaders> alive(this);
    m_working = true;
    m_stopping = false;
    UpdateButtons();
    LabelStatus->setText(tr("正在重新读取 %1 台读卡器…").arg(m_rows.size()));
    ProgressScan->setRange(0, 0);

    QMap<QString, QList<int>> rowsByLocal;
    for (int row = 0; row < m_rows.size(); ++row)
        rowsByLocal[m_rows[row].reader.cardAddress].append(row);
    int silent = 0;
    QString failure;
    for (auto group = rowsByLocal.cbegin(); group != rowsByLocal.cend(); ++group) {
        std::vector<Exchange> exchanges;
        for (int row : *group)
            exchanges.push_back(ReadExchange(m_rows[row].reader.address, group.key()));
        try {
            ReaderLink link({.local = group.key(), .retries = RefreshRetries});
            link.run(exchanges);
        } catch (const SocketException &error) {
            failure = SocketErrorDescription(error.error());
        }
        if (!alive)
            return; // the window closed during the wait
        for (size_t each = 0; each < exchanges.size(); ++each) {
            Row &row = m_rows[group->at(int(each))];
            if (const auto settings = ReportedSettings(exchanges[each])) {
                row.reader.settings = *settings;
                if (row.result == tr("无应答"))
                    row.result.clear(); // it answers again
                row.resultNote.clear();
            } else {
                row.result = tr("无应答");
                row.resultNote = tr("刷新时读卡器没有回答。");
                ++silent;
            }
        }
    }
    QList<FoundReader> readers = Readers();
    MarkSharedMacs(readers);
    for (int each = 0; each < m_rows.size(); ++each)
        m_rows[each].reader.sameMacAt = readers[each].sameMacAt;
    m_working = false;
    ProgressScan->setRange(0, 1);
    ProgressScan->setValue(1);
    Resort();
    LabelStatus->setText(silent ? tr("已刷新，%1 台读卡器没有回答。").arg(silent) : tr("已刷新。"));
    if (!failure.isEmpty())
        m_messages.Show(tr("刷新没有完成：%1").arg(failure));
}

} // namespace vrx
