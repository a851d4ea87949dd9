#pragma once

#include "app/Retranslation.h"
#include "link/SocketErrors.h"
#include "net/FoundReader.h"
#include "net/ReaderDiscovery.h"
#include "net/ReaderScan.h"

#include <QDialog>
#include <QList>
#include <QStringList>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace vrx {

class MessageBox;

// The "查找读卡器" dialog: finds readers by a broadcast on every card of this computer ("广播查找") or
// by asking every address of the ranges typed into "地址范围：" ("扫描"), and lists each reader as it
// answers. "使用" (or a double-click on a row) hands the reader to the window and closes the dialog.
//
// It is modeless and never blocks: the scan and the discovery run in the event loop, so the window's
// own buttons keep working meanwhile, and their sockets share port 1000 with the window's (see
// link/SharedPort.h). Closing the dialog ends a search at once, keeping the rows found.
class FindReaders final : public QDialog {
    Q_OBJECT

public:
    // `messages` is the window's message box; `protocolTexts` the window's items of 读卡器协议, in code
    // order; `computerAddress` reads 本机IP, from which the scan queries when it suits the targets
    // (ScanLocalAddress).
    FindReaders(MessageBox &messages, const QStringList &protocolTexts,
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
    QPushButton *CommandUse = nullptr;   // "使用"
    QPushButton *CommandClose = nullptr; // "关闭"

    // The readers listed, in the table's order (ListedBefore), shared MACs marked.
    const QList<FoundReader> &Readers() const { return m_readers; }
    bool Searching() const { return m_search != Search::None; }

    void Discover();
    void Scan();
    // Ends the search; the replies already due are still taken, and every row found stays.
    void Stop();
    // Hands the selected reader to the window (readerChosen) and closes.
    void Use();

signals:
    void readerChosen(const vrx::FoundReader &reader);

public:
    // The items of the window's 读卡器协议 list in its language now; the rows show them.
    void setProtocolTexts(const QStringList &protocolTexts);

protected:
    void hideEvent(QHideEvent *event) override;
    // A LanguageChange sets every text again, the rows' included.
    void changeEvent(QEvent *event) override;

private:
    enum class Search { None, Scan, Discovery };

    void CreateControls();
    void Begin(Search search, const QString &status);
    void AddReader(const FoundReader &reader);
    void ShowRow(int row);
    void ShowProgress(qint64 done, qint64 total, int found, qint64 msLeft);
    void Finished();
    void EndAtOnce();
    void UpdateButtons();

    MessageBox &m_messages;
    QStringList m_protocolTexts;
    Retranslation m_texts;
    const std::function<QString()> m_computerAddress;
    ReaderScan m_scan;
    ReaderDiscovery m_discovery;
    QList<FoundReader> m_readers;
    Search m_search = Search::None;
    bool m_stopping = false;
    std::optional<SocketError> m_failure;
};

} // namespace vrx
