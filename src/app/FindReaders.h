#pragma once

#include "app/FindReadersTexts.h"
#include "app/Retranslation.h"
#include "link/SocketErrors.h"
#include "net/FoundReader.h"
#include "net/ReaderDiscovery.h"
#include "net/ReaderScan.h"

#include <QDialog>
#include <QList>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace vrx {

struct ConfigureOutcome;
struct SettingsChange;
class FileChooser;
class MessageBox;

// The "查找读卡器" dialog: finds readers by a broadcast on every card of this computer ("广播查找") or
// by asking every address of the ranges typed into "地址范围：" ("扫描"), and lists each reader as it
// answers. It is the site's list: every setting in a column, sorted by any column, several rows
// chosen at once (Ctrl, Shift, Ctrl+A). "使用" (or a double-click on a row) hands a reader to the
// window and leaves the dialog open; the rows follow every read and configure the window makes, and
// "刷新" reads every listed reader again. "导出…" writes the list as vrxctl scan --csv does.
//
// It is modeless and never blocks: the scan and the discovery run in the event loop, so the window's
// own buttons keep working meanwhile, and their sockets share port 1000 with the window's (see
// link/SharedPort.h). Closing the dialog ends a search at once, keeping the rows found.
class FindReaders final : public QDialog {
    Q_OBJECT

public:
    // `messages` and `files` are the window's; `choices` the items of the window's four lists, in code
    // order; `computerAddress` reads 本机IP, from which the scan queries when it suits the targets
    // (ScanLocalAddress).
    FindReaders(MessageBox &messages, FileChooser &files, const ChoiceTexts &choices,
                std::function<QString()> computerAddress, QWidget *parent = nullptr);
    ~FindReaders() override;

    QPushButton *CommandDiscover = nullptr; // "广播查找"
    QLabel *LabelRange = nullptr;           // "地址范围："
    QLineEdit *TextRange = nullptr;
    QPushButton *CommandScan = nullptr; // "扫描"
    QPushButton *CommandStop = nullptr; // "停止"
    QTableWidget *TableReaders = nullptr;
    QProgressBar *ProgressScan = nullptr;
    QLabel *LabelStatus = nullptr;
    QPushButton *CommandBatchConfigure = nullptr; // "批量配置"
    QPushButton *CommandBatchKeys = nullptr;      // "批量下载密码"
    QCheckBox *CheckNewAddresses = nullptr;       // "重新编址，起始地址："
    QLineEdit *TextFirstAddress = nullptr;
    QPushButton *CommandRefresh = nullptr; // "刷新"
    QPushButton *CommandExport = nullptr;  // "导出…"
    QPushButton *CommandUse = nullptr;     // "使用"
    QPushButton *CommandClose = nullptr;   // "关闭"

    // The readers listed, in the table's order, shared MACs marked.
    QList<FoundReader> Readers() const;
    // The rows chosen, top to bottom.
    QList<int> SelectedRows() const;
    bool Searching() const { return m_search != Search::None; }
    // A search, a refresh or a batch is under way.
    bool Busy() const { return Searching() || m_working; }

    // Orders the rows by a column, as a click on its heading does; the heading shows the order.
    void SortBy(int column, Qt::SortOrder order);
    // What the window learned of the reader at `address`: its settings as read, or as configured
    // (then it answers at the address they give). Every row of that address shows them.
    void ReaderRead(const QString &address, const ReaderSettings &settings);
    void ReaderConfigured(const QString &address, const ReaderSettings &settings);
    // Reads every listed reader again, each from its card's address; a silent one says so in its row.
    void Refresh();

    // What the batches write: the target panel's settings but the reader's address and MAC, or nothing
    // with the window's message when a setting is not one that can be written; the 32 key fields.
    struct WindowWork {
        std::function<std::optional<SettingsChange>()> settings;
        std::function<QStringList()> keys;
    };
    void SetWindowWork(WindowWork work) { m_work = std::move(work); }
    // 批量配置 and 批量下载密码: the selected readers one after the other, each read first, written,
    // and (settings) read back patiently; the result column says how each went. 停止 ends the batch
    // after the reader in hand.
    void BatchConfigure();
    void BatchKeys();
    // Asks for a file and writes the rows into it as vrxctl scan --csv prints them.
    void Export();

    void Discover();
    void Scan();
    // Ends the search; the replies already due are still taken, and every row found stays.
    void Stop();
    // Hands the current selected reader to the window (readerChosen), or says how to reach it first
    // when it lies outside every card's subnet. The dialog stays open.
    void Use();

signals:
    void readerChosen(const vrx::FoundReader &reader);

public:
    // The items of the window's 读卡器协议 list in its language now; the rows show them.
    void setChoiceTexts(const ChoiceTexts &choices);

protected:
    void hideEvent(QHideEvent *event) override;
    // A LanguageChange sets every text again, the rows' included.
    void changeEvent(QEvent *event) override;

private:
    enum class Search { None, Scan, Discovery };

    void CreateControls();
    void Begin(Search search, const QString &status);
    struct Row {
        FoundReader reader;
        QString result;
        QString resultNote;
        quint64 id = 0; // stays with the reader while rows move
    };
    class BatchRows;
    void RunBatch(const std::optional<SettingsChange> &change, const QByteArray &keyFrame);
    int RowOfId(quint64 id) const;
    void ShowBatchOutcome(quint64 id, const ConfigureOutcome &outcome);
    void AddReader(const FoundReader &reader);
    void ShowRow(int row);
    void ShowAllRows();
    bool RowBefore(const Row &a, const Row &b) const;
    void Resort();
    void ReaderChanged(const QString &address, const ReaderSettings &settings, bool moved);
    void ShowProgress(qint64 done, qint64 total, int found, qint64 msLeft);
    void Finished();
    void EndAtOnce();
    void UpdateButtons();

    MessageBox &m_messages;
    FileChooser &m_files;
    ChoiceTexts m_choices;
    Retranslation m_texts;
    const std::function<QString()> m_computerAddress;
    ReaderScan m_scan;
    ReaderDiscovery m_discovery;
    QList<Row> m_rows;
    int m_sortColumn = -1; // -1: the order readers are listed in (ListedBefore)
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    bool m_working = false; // a refresh or a batch
    quint64 m_nextId = 1;
    WindowWork m_work;
    std::function<void()> m_stopBatch; // set while a batch runs
    Search m_search = Search::None;
    bool m_stopping = false;
    std::optional<SocketError> m_failure;
};

} // namespace vrx
