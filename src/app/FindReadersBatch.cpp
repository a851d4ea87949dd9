#include "app/FindReaders.h"

#include "app/FindReadersBatchTexts.h"
#include "app/MessageBox.h"
#include "config/SettingsChange.h"
#include "fields/AddressText.h"
#include "keys/KeyFrame.h"
#include "net/FoundReaders.h"
#include "net/ReaderBatch.h"
#include "net/ReaderOperations.h"
#include "words/FieldWords.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

namespace vrx {

// 批量配置 and 批量下载密码 on the selected rows, through the same batch engine as vrxctl batch: each
// reader read first (nothing is sent to one that does not answer), then written, and its settings
// read back with the same patient verify as vrxctl --verify before its row says 成功.

// Follows the engine's rows into the table; rows are found again by id, since the window's own reads
// may reorder the table while the batch runs.
class FindReaders::BatchRows final : public BatchObserver {
public:
    BatchRows(FindReaders &dialog, QList<quint64> ids)
        : m_dialog(&dialog)
        , m_ids(std::move(ids)) {}

    void stops(ReaderBatch *batch) { m_batch = batch; }

    void rowStarted(qsizetype row) override {
        if (!m_dialog) {
            m_batch->stop(); // nobody is left to see the rest
            return;
        }
        const int shown = m_dialog->RowOfId(m_ids.at(row));
        if (shown >= 0) {
            m_dialog->m_rows[shown].result = tr("正在处理…");
            m_dialog->m_rows[shown].resultNote.clear();
            m_dialog->ShowRow(shown);
            m_dialog->TableReaders->scrollToItem(m_dialog->TableReaders->item(shown, 0));
        }
    }
    void rowFinished(qsizetype row, const ConfigureOutcome &outcome) override {
        if (m_dialog)
            m_dialog->ShowBatchOutcome(m_ids.at(row), outcome);
    }
    void progress(qsizetype done, qsizetype total) override {
        if (!m_dialog)
            return;
        m_dialog->ProgressScan->setRange(0, int(total));
        m_dialog->ProgressScan->setValue(int(done));
    }

private:
    QPointer<FindReaders> m_dialog; // the window may close during a row's wait
    QList<quint64> m_ids;
    ReaderBatch *m_batch = nullptr;
};

int FindReaders::RowOfId(quint64 id) const {
    for (int row = 0; row < m_rows.size(); ++row)
        if (m_rows[row].id == id)
            return row;
    return -1;
}

void FindReaders::ShowBatchOutcome(quint64 id, const ConfigureOutcome &outcome) {
    const int shown = RowOfId(id);
    if (shown < 0)
        return;
    Row &row = m_rows[shown];
    const BatchResultWords words = BatchResultText(outcome);
    row.result = words.result;
    row.resultNote = words.detail;
    if (outcome.result == ConfigureResult::Ok) {
        // What the reader reported on the read-back, at the address the block gave it.
        row.reader.settings = outcome.verification.answered ? outcome.verification.reported : outcome.after;
        row.reader.address = DottedText(row.reader.settings.readerIp);
    } else if (outcome.kind() != OutcomeKind::NotWritten && outcome.result != ConfigureResult::ReadNoReply) {
        row.reader.settings = outcome.before; // as read; what the reader holds now is not known
    }
    ShowRow(shown);
}

void FindReaders::BatchConfigure() {
    if (Busy() || SelectedRows().isEmpty() || !m_work.settings)
        return;
    const std::optional<SettingsChange> change = m_work.settings();
    if (!change)
        return; // the window has said why
    RunBatch(change, {});
}

void FindReaders::BatchKeys() {
    if (Busy() || SelectedRows().isEmpty() || !m_work.keys)
        return;
    QByteArray keyFrame;
    const KeyFrameOutcome built = BuildKeyFrame(m_work.keys(), keyFrame);
    if (!built.ok) {
        m_messages.Show(ShortKeyText(built.shortField));
        return;
    }
    RunBatch(std::nullopt, keyFrame);
}

void FindReaders::RunBatch(const std::optional<SettingsChange> &change, const QByteArray &keyFrame) {
    BatchOptions options;
    options.verify = VerifyPlan{DefaultVerifyTimeoutMs, true};
    if (change && CheckNewAddresses->isChecked()) {
        const AddressParse first = ParseIpAddress(TextFirstAddress->text());
        if (!first.ok()) {
            m_messages.Show(tr("请确认重新编址的起始地址填写的格式正确！"));
            return;
        }
        options.firstNewAddress = first.bytes;
    }
    QList<BatchItem> items;
    QList<quint64> ids;
    for (int row : SelectedRows()) {
        const FoundReader &reader = m_rows[row].reader;
        items.append(BatchItem{reader.address, change, keyFrame, reader.cardAddress});
        ids.append(m_rows[row].id);
        m_rows[row].result.clear();
        m_rows[row].resultNote.clear();
        ShowRow(row);
    }

    const QPointer<FindReaders> alive(this);
    BatchRows observer(*this, ids);
    ReaderLink link(LinkOptions{});
    ReaderBatch batch(link, options, &observer);
    observer.stops(&batch);
    m_working = true;
    m_stopping = false;
    m_stopBatch = [&batch] { batch.stop(); };
    UpdateButtons();
    ProgressScan->setRange(0, int(items.size()));
    ProgressScan->setValue(0);
    LabelStatus->setText(change ? tr("正在批量配置 %1 台读卡器…").arg(items.size())
                                : tr("正在向 %1 台读卡器下载密码…").arg(items.size()));
    batch.run(items);
    if (!alive)
        return; // the window closed during a wait; the batch ended with it
    m_stopBatch = nullptr;
    m_working = false;

    int succeeded = 0;
    int failed = 0;
    int untouched = 0;
    for (const ConfigureOutcome &outcome : batch.outcomes()) {
        if (outcome.result == ConfigureResult::NotStarted)
            ++untouched;
        else if (outcome.kind() == OutcomeKind::Success)
            ++succeeded;
        else
            ++failed;
    }
    QList<FoundReader> readers = Readers();
    MarkSharedMacs(readers);
    for (int each = 0; each < m_rows.size(); ++each)
        m_rows[each].reader.sameMacAt = readers[each].sameMacAt;
    Resort();
    m_stopping = false;
    UpdateButtons();
    LabelStatus->setText(BatchSummaryText(change.has_value(), succeeded, failed, untouched));
}

} // namespace vrx
