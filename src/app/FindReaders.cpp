#include "app/FindReaders.h"

#include "app/FindReadersLocal.h"
#include "app/FindReadersTexts.h"
#include "app/MessageBox.h"
#include "link/LocalCards.h"
#include "net/AddressRange.h"
#include "net/FoundReaders.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace vrx {

namespace {

// The scan asks each address once more when it stays silent: one lost datagram must not make a reader
// look absent. The discovery sends its broadcasts twice for the same reason, a second apart: every
// reader of a wire answers at once, and a busy reader or computer may take longer than one reply wait.
constexpr int ScanRetries = 1;
constexpr int DiscoveryWaitMs = 1000;
constexpr int DiscoveryRetries = 1;

const QColor SharedMacBackground(255, 224, 224);

} // namespace

FindReaders::FindReaders(MessageBox &messages, const QStringList &protocolTexts,
                         std::function<QString()> computerAddress, QWidget *parent)
    : QDialog(parent)
    , m_messages(messages)
    , m_protocolTexts(protocolTexts)
    , m_computerAddress(std::move(computerAddress)) {
    setObjectName(QStringLiteral("FindReaders"));
    m_texts.add([this] { setWindowTitle(tr("查找读卡器")); });
    if (parent)
        setFont(parent->font());
    CreateControls();

    connect(CommandDiscover, &QPushButton::clicked, this, &FindReaders::Discover);
    connect(CommandScan, &QPushButton::clicked, this, &FindReaders::Scan);
    connect(TextRange, &QLineEdit::returnPressed, this, &FindReaders::Scan);
    connect(CommandStop, &QPushButton::clicked, this, &FindReaders::Stop);
    connect(CommandUse, &QPushButton::clicked, this, &FindReaders::Use);
    connect(CommandClose, &QPushButton::clicked, this, &FindReaders::close);
    connect(TableReaders, &QTableWidget::cellDoubleClicked, this, [this](int row) {
        TableReaders->selectRow(row);
        Use();
    });
    connect(TableReaders, &QTableWidget::itemSelectionChanged, this, &FindReaders::UpdateButtons);

    connect(&m_scan, &ReaderScan::readerFound, this, &FindReaders::AddReader);
    connect(&m_scan, &ReaderScan::progress, this, &FindReaders::ShowProgress);
    connect(&m_scan, &ReaderScan::failed, this, [this](const SocketError &error) { m_failure = error; });
    connect(&m_scan, &ReaderScan::finished, this, &FindReaders::Finished);
    connect(&m_discovery, &ReaderDiscovery::readerFound, this, &FindReaders::AddReader);
    connect(&m_discovery, &ReaderDiscovery::failed, this,
            [this](const SocketError &error) { m_failure = error; });
    connect(&m_discovery, &ReaderDiscovery::finished, this, &FindReaders::Finished);
    UpdateButtons();
}

FindReaders::~FindReaders() = default;

void FindReaders::CreateControls() {
    const auto button = [this](const char *name, const char *text) {
        auto *made = new QPushButton(this);
        m_texts.add([made, text] { made->setText(tr(text)); });
        made->setObjectName(QLatin1String(name));
        made->setAutoDefault(false);
        return made;
    };
    CommandDiscover = button("CommandDiscover", QT_TR_NOOP("广播查找"));
    LabelRange = new QLabel(this);
    LabelRange->setObjectName(QStringLiteral("LabelRange"));
    TextRange = new QLineEdit(this);
    TextRange->setObjectName(QStringLiteral("TextRange"));
    LabelRange->setBuddy(TextRange);
    CommandScan = button("CommandScan", QT_TR_NOOP("扫描"));
    CommandStop = button("CommandStop", QT_TR_NOOP("停止"));

    TableReaders = new QTableWidget(0, FoundColumnCount, this);
    TableReaders->setObjectName(QStringLiteral("TableReaders"));

    TableReaders->setSelectionBehavior(QAbstractItemView::SelectRows);
    TableReaders->setSelectionMode(QAbstractItemView::SingleSelection);
    TableReaders->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TableReaders->setWordWrap(false);
    TableReaders->verticalHeader()->hide();
    TableReaders->horizontalHeader()->setStretchLastSection(true);
    const QFontMetrics metrics(font());
    const int addressWidth = metrics.horizontalAdvance(QStringLiteral("255.255.255.255")) + 16;
    const int widths[FoundColumnCount] = {
        addressWidth,
        metrics.horizontalAdvance(QStringLiteral("00-00-00-00-00-00（MAC重复）")) + 16,
        addressWidth,
        addressWidth,
        std::max(addressWidth, metrics.horizontalAdvance(QStringLiteral("服务器计算机IP")) + 24),
        metrics.horizontalAdvance(QStringLiteral("TCP客户端")) + 24,
        metrics.horizontalAdvance(QStringLiteral("eth0 255.255.255.255")) + 16,
    };
    for (int column = 0; column < FoundColumnCount; ++column)
        TableReaders->setColumnWidth(column, widths[column]);

    ProgressScan = new QProgressBar(this);
    ProgressScan->setObjectName(QStringLiteral("ProgressScan"));
    ProgressScan->setRange(0, 1);
    ProgressScan->setValue(0);
    LabelStatus = new QLabel(this);
    LabelStatus->setObjectName(QStringLiteral("LabelStatus"));
    CommandUse = button("CommandUse", QT_TR_NOOP("使用"));
    CommandClose = button("CommandClose", QT_TR_NOOP("关闭"));
    m_texts.add([this] {
        CommandDiscover->setToolTip(
            tr("在本机每块网卡上广播查询，找出同一网络上的读卡器，不必知道它们的地址。"));
        LabelRange->setText(tr("地址范围："));
        TextRange->setAccessibleName(tr("地址范围"));
        TextRange->setPlaceholderText(tr("192.168.0.0/24 或 192.168.0.100-200"));
        TextRange->setToolTip(
            tr("一个地址、一个网段（192.168.0.0/24）或一个起止范围（192.168.0.100-192.168.0.200），"
               "几个范围之间用空格或逗号隔开。"));
        TableReaders->setAccessibleName(tr("找到的读卡器"));
        TableReaders->setHorizontalHeaderLabels(FoundColumnTitles());
        CommandUse->setToolTip(tr("把选中的读卡器填入主窗口并读取它的参数。"));
    });

    auto *search = new QHBoxLayout;
    search->addWidget(CommandDiscover);
    search->addSpacing(16);
    search->addWidget(LabelRange);
    search->addWidget(TextRange, 1);
    search->addWidget(CommandScan);
    search->addWidget(CommandStop);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(LabelStatus, 1);
    bottom->addWidget(CommandUse);
    bottom->addWidget(CommandClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(search);
    layout->addWidget(TableReaders, 1);
    layout->addWidget(ProgressScan);
    layout->addLayout(bottom);

    int tableWidth = 0;
    for (int width : widths)
        tableWidth += width;
    resize(tableWidth + 40, 420);
}

void FindReaders::Discover() {
    if (Searching())
        return;
    DiscoveryOptions options;
    options.timeoutMs = DiscoveryWaitMs;
    options.retries = DiscoveryRetries;
    Begin(Search::Discovery, tr("正在本机各网卡上广播查找…"));
    ProgressScan->setRange(0, 0); // no count to follow: busy until the wait is over
    m_discovery.start(options);
}

void FindReaders::Scan() {
    if (Searching())
        return;
    // Everything about the text is checked before anything is sent.
    const AddressList list = ExpandRanges(SplitScanRanges(TextRange->text()), MaxScanAddresses);
    if (const QString problem = RangeProblemMessage(list); !problem.isEmpty()) {
        m_messages.Show(problem);
        return;
    }
    ScanOptions options;
    options.local =
        ScanLocalAddress(m_computerAddress ? m_computerAddress() : QString(), list.addresses, LocalCards());
    options.retries = ScanRetries;
    Begin(Search::Scan, tr("正在扫描…"));
    ProgressScan->setRange(0, int(list.addresses.size())); // at most MaxScanAddresses
    m_scan.start(list.addresses, options);
}

void FindReaders::Begin(Search search, const QString &status) {
    m_search = search;
    m_stopping = false;
    m_failure.reset();
    m_readers.clear();
    TableReaders->setRowCount(0);
    ProgressScan->setValue(0);
    LabelStatus->setText(status);
    UpdateButtons();
}

void FindReaders::Stop() {
    if (!Searching() || m_stopping)
        return;
    m_stopping = true;
    LabelStatus->setText(tr("正在停止，等待已发出的查询的回复…"));
    UpdateButtons();
    if (m_search == Search::Scan)
        m_scan.stop();
    else
        m_discovery.stop();
}

// Ends a search without waiting for the replies still due: the operator has what they wanted.
void FindReaders::EndAtOnce() {
    if (!Searching())
        return;
    m_stopping = true;
    if (m_search == Search::Scan) {
        m_scan.stop();
        if (m_scan.isRunning())
            m_scan.stop(); // the second stop ends at once
    } else {
        m_discovery.stop();
    }
}

void FindReaders::Use() {
    const QList<QTableWidgetSelectionRange> selected = TableReaders->selectedRanges();
    if (selected.isEmpty())
        return;
    const FoundReader chosen = m_readers.value(selected.first().topRow());
    EndAtOnce();
    hide();
    emit readerChosen(chosen);
}

void FindReaders::hideEvent(QHideEvent *event) {
    // A hide the system makes (minimizing) leaves the dialog open: its search runs on.
    if (!event->spontaneous())
        EndAtOnce();
    QDialog::hideEvent(event);
}

void FindReaders::AddReader(const FoundReader &reader) {
    const auto at = std::upper_bound(m_readers.begin(), m_readers.end(), reader, ListedBefore);
    const int row = int(at - m_readers.begin());
    m_readers.insert(row, reader);
    TableReaders->insertRow(row);
    // A second address with the same MAC marks every row of that MAC, and only those.
    MarkSharedMacs(m_readers);
    for (int each = 0; each < m_readers.size(); ++each)
        if (m_readers[each].settings.readerMac == reader.settings.readerMac)
            ShowRow(each);
    if (m_search == Search::Discovery)
        LabelStatus->setText(tr("正在广播查找…已找到 %1 台读卡器。").arg(m_readers.size()));
}

void FindReaders::ShowRow(int row) {
    const FoundReader &reader = m_readers.at(row);
    const QStringList cells = FoundReaderCells(reader, m_protocolTexts);
    const QString note = FoundReaderNote(reader);
    for (int column = 0; column < FoundColumnCount; ++column) {
        auto *item = new QTableWidgetItem(cells.at(column));
        item->setToolTip(note);
        if (!reader.sameMacAt.isEmpty())
            item->setBackground(SharedMacBackground);
        TableReaders->setItem(row, column, item);
    }
}

void FindReaders::ShowProgress(qint64 done, qint64 total, int found, qint64 msLeft) {
    ProgressScan->setRange(0, int(total));
    ProgressScan->setValue(int(std::min(done, total)));
    if (!m_stopping)
        LabelStatus->setText(ScanProgressText(done, total, found, msLeft));
}

void FindReaders::Finished() {
    const Search search = std::exchange(m_search, Search::None);
    ProgressScan->setRange(0, 1);
    ProgressScan->setValue(1);
    LabelStatus->setText(FoundCountText(int(m_readers.size()), m_stopping));
    UpdateButtons();
    if (m_failure) {
        const QString doing = search == Search::Scan ? tr("扫描") : tr("广播查找");
        m_messages.Show(tr("%1没有完成：%2").arg(doing, m_failure->description));
    } else if (search == Search::Discovery && m_readers.isEmpty() && !m_stopping) {
        m_messages.Show(NothingDiscoveredMessage(m_discovery.choice(), LocalCards()));
    }
}

void FindReaders::setProtocolTexts(const QStringList &protocolTexts) {
    m_protocolTexts = protocolTexts;
    for (int row = 0; row < m_readers.size(); ++row)
        ShowRow(row);
}

void FindReaders::changeEvent(QEvent *event) {
    if (event->type() == QEvent::LanguageChange) {
        m_texts.run();
        for (int row = 0; row < m_readers.size(); ++row)
            ShowRow(row);
        // A search under way says so again at its next step; a finished one is summed up again now.
        if (!Searching() && !LabelStatus->text().isEmpty())
            LabelStatus->setText(FoundCountText(int(m_readers.size()), m_stopping));
    }
    QDialog::changeEvent(event);
}

void FindReaders::UpdateButtons() {
    const bool searching = Searching();
    CommandDiscover->setEnabled(!searching);
    CommandScan->setEnabled(!searching);
    TextRange->setEnabled(!searching);
    CommandStop->setEnabled(searching && !m_stopping);
    CommandUse->setEnabled(!TableReaders->selectedRanges().isEmpty());
}

} // namespace vrx
