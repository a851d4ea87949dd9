#include "app/FindReaders.h"

#include "app/FindReadersLocal.h"
#include "app/FindReadersTexts.h"
#include "app/FoundColumnOrder.h"
#include "app/MessageBox.h"
#include "link/LocalCards.h"
#include "net/AddressRange.h"
#include "net/FoundReaders.h"
#include "net/ReachAdvice.h"
#include "words/SocketWords.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QItemSelectionModel>
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
const QColor UnreachableBackground(255, 240, 200);

} // namespace

FindReaders::FindReaders(MessageBox &messages, FileChooser &files, const ChoiceTexts &choices,
                         std::function<QString()> computerAddress, QWidget *parent)
    : QDialog(parent)
    , m_messages(messages)
    , m_files(files)
    , m_choices(choices)
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
    connect(CommandBatchConfigure, &QPushButton::clicked, this, &FindReaders::BatchConfigure);
    connect(CommandBatchKeys, &QPushButton::clicked, this, &FindReaders::BatchKeys);
    connect(CommandRefresh, &QPushButton::clicked, this, &FindReaders::Refresh);
    connect(CommandExport, &QPushButton::clicked, this, &FindReaders::Export);
    connect(CommandUse, &QPushButton::clicked, this, &FindReaders::Use);
    connect(CommandClose, &QPushButton::clicked, this, &FindReaders::close);
    connect(TableReaders, &QTableWidget::cellDoubleClicked, this, [this](int row) {
        TableReaders->selectRow(row);
        Use();
    });
    connect(TableReaders, &QTableWidget::itemSelectionChanged, this, &FindReaders::UpdateButtons);
    connect(TableReaders->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        SortBy(column, column == m_sortColumn && m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder
                                                                                   : Qt::AscendingOrder);
    });

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
    TableReaders->setSelectionMode(QAbstractItemView::ExtendedSelection);
    TableReaders->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TableReaders->setWordWrap(false);
    TableReaders->verticalHeader()->hide();
    TableReaders->horizontalHeader()->setStretchLastSection(true);
    TableReaders->horizontalHeader()->setSectionsClickable(true);
    TableReaders->horizontalHeader()->setSortIndicatorShown(false); // until a column is chosen
    // Each column as wide as its heading or its widest likely text, whichever is wider.
    const QFontMetrics metrics(font());
    const QStringList titles = FoundColumnTitles();
    const QString widest[FoundColumnCount] = {
        QStringLiteral("255.255.255.255"), QStringLiteral("00-00-00-00-00-00（MAC重复）"),
        QStringLiteral("255.255.255.255"), QStringLiteral("255.255.255.255"),
        QStringLiteral("65535"),           QStringLiteral("255.255.255.255"),
        QStringLiteral("65535"),           QStringLiteral("TCP客户端"),
        QStringLiteral("不发送"),          QStringLiteral("不发声"),
        QStringLiteral("读卡器内部密码"),  QStringLiteral("eth0 255.255.255.255"),
        tr("未写入：读卡器无应答"),
    };
    int tableWidth = 0;
    for (int column = 0; column < FoundColumnCount; ++column) {
        const int width = std::max(metrics.horizontalAdvance(widest[column]),
                                   metrics.horizontalAdvance(titles.at(column))) +
                          24;
        TableReaders->setColumnWidth(column, width);
        tableWidth += width;
    }

    ProgressScan = new QProgressBar(this);
    ProgressScan->setObjectName(QStringLiteral("ProgressScan"));
    ProgressScan->setRange(0, 1);
    ProgressScan->setValue(0);
    LabelStatus = new QLabel(this);
    LabelStatus->setObjectName(QStringLiteral("LabelStatus"));
    CommandBatchConfigure = button("CommandBatchConfigure", QT_TR_NOOP("批量配置"));
    CommandBatchKeys = button("CommandBatchKeys", QT_TR_NOOP("批量下载密码"));
    CheckNewAddresses = new QCheckBox(this);
    CheckNewAddresses->setObjectName(QStringLiteral("CheckNewAddresses"));
    TextFirstAddress = new QLineEdit(this);
    TextFirstAddress->setObjectName(QStringLiteral("TextFirstAddress"));
    TextFirstAddress->setMaxLength(15);
    TextFirstAddress->setEnabled(false);
    connect(CheckNewAddresses, &QCheckBox::toggled, TextFirstAddress, &QLineEdit::setEnabled);
    CommandRefresh = button("CommandRefresh", QT_TR_NOOP("刷新"));
    CommandExport = button("CommandExport", QT_TR_NOOP("导出…"));
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
        CommandBatchConfigure->setToolTip(
            tr("把主窗口“目标IP信息”的参数写入选中的每台读卡器：先读取，再写入，"
               "再读回核对。每台读卡器保留自己的IP和MAC，除非选择重新编址。"));
        CommandBatchKeys->setToolTip(tr("把主窗口的32个密码下载到选中的每台读卡器。"));
        CheckNewAddresses->setText(tr("重新编址，起始地址："));
        CheckNewAddresses->setToolTip(
            tr("选中的读卡器按表中顺序从起始地址起依次取新地址，MAC随新地址自动生成。"));
        TextFirstAddress->setAccessibleName(tr("起始地址"));
        CommandRefresh->setToolTip(tr("重新读取表中每台读卡器的参数。"));
        CommandExport->setToolTip(tr("把表中的读卡器写成CSV文件，列与 vrxctl scan --csv 相同。"));
        CommandUse->setToolTip(tr("把选中的读卡器和它所在网卡的地址填入主窗口，并读取它的参数。"));
    });

    auto *search = new QHBoxLayout;
    search->addWidget(CommandDiscover);
    search->addSpacing(16);
    search->addWidget(LabelRange);
    search->addWidget(TextRange, 1);
    search->addWidget(CommandScan);
    search->addWidget(CommandStop);
    auto *batch = new QHBoxLayout;
    batch->addWidget(CommandBatchConfigure);
    batch->addWidget(CommandBatchKeys);
    batch->addSpacing(16);
    batch->addWidget(CheckNewAddresses);
    batch->addWidget(TextFirstAddress);
    batch->addStretch(1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(LabelStatus, 1);
    bottom->addWidget(CommandRefresh);
    bottom->addWidget(CommandExport);
    bottom->addWidget(CommandUse);
    bottom->addWidget(CommandClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(search);
    layout->addWidget(TableReaders, 1);
    layout->addLayout(batch);
    layout->addWidget(ProgressScan);
    layout->addLayout(bottom);

    resize(std::min(tableWidth + 40, 1200), 460);
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
    m_rows.clear();
    TableReaders->setRowCount(0);
    ProgressScan->setValue(0);
    LabelStatus->setText(status);
    UpdateButtons();
}

void FindReaders::Stop() {
    if (m_stopBatch && !m_stopping) {
        m_stopping = true;
        LabelStatus->setText(tr("正在停止，等待正在处理的读卡器完成…"));
        UpdateButtons();
        m_stopBatch();
        return;
    }
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

QList<int> FindReaders::SelectedRows() const {
    QList<int> rows;
    for (const QModelIndex &index : TableReaders->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

QList<FoundReader> FindReaders::Readers() const {
    QList<FoundReader> readers;
    for (const Row &row : m_rows)
        readers.append(row.reader);
    return readers;
}

void FindReaders::Use() {
    const QList<int> selected = SelectedRows();
    if (selected.isEmpty())
        return;
    // The row last clicked when it is among those chosen, else the first of them.
    const int current = TableReaders->currentRow();
    const FoundReader chosen = m_rows.value(selected.contains(current) ? current : selected.first()).reader;
    const auto address = StrictAddress(chosen.address);
    if (!chosen.reachNote.isEmpty() && address && NeedsReachAdvice(LocalCards(), *address)) {
        m_messages.Show(UnreachableReaderMessage(chosen));
        return;
    }
    emit readerChosen(chosen);
}

void FindReaders::hideEvent(QHideEvent *event) {
    // A hide the system makes (minimizing) leaves the dialog open: its search runs on.
    if (!event->spontaneous())
        EndAtOnce();
    QDialog::hideEvent(event);
}

// Rows follow the chosen column, and the order readers are listed in where it sees no difference.
bool FindReaders::RowBefore(const Row &a, const Row &b) const {
    if (m_sortColumn >= 0) {
        int order = m_sortColumn == ResultColumn
                        ? a.result.compare(b.result)
                        : CompareByColumn(a.reader, b.reader, FoundColumn(m_sortColumn));
        if (m_sortOrder == Qt::DescendingOrder)
            order = -order;
        if (order)
            return order < 0;
    }
    return ListedBefore(a.reader, b.reader);
}

void FindReaders::SortBy(int column, Qt::SortOrder order) {
    if (column < 0 || column >= FoundColumnCount)
        return;
    m_sortColumn = column;
    m_sortOrder = order;
    TableReaders->horizontalHeader()->setSortIndicatorShown(true);
    TableReaders->horizontalHeader()->setSortIndicator(column, order);
    Resort();
}

// Puts the rows in order again, keeping the chosen readers chosen.
void FindReaders::Resort() {
    QList<const FoundReader *> chosen;
    QList<Row> before = m_rows;
    const QList<int> selected = SelectedRows();
    std::stable_sort(m_rows.begin(), m_rows.end(),
                     [this](const Row &a, const Row &b) { return RowBefore(a, b); });
    ShowAllRows();
    const QSignalBlocker quiet(TableReaders);
    TableReaders->clearSelection();
    for (int row : selected) {
        const FoundReader &was = before.at(row).reader;
        for (int now = 0; now < m_rows.size(); ++now)
            if (m_rows[now].reader.address == was.address && m_rows[now].reader.card == was.card &&
                m_rows[now].reader.settings.readerMac == was.settings.readerMac)
                TableReaders->selectionModel()->select(TableReaders->model()->index(now, 0),
                                                       QItemSelectionModel::Select |
                                                           QItemSelectionModel::Rows);
    }
    UpdateButtons();
}

void FindReaders::AddReader(const FoundReader &reader) {
    const Row added{reader, {}, {}, m_nextId++};
    const auto at = std::upper_bound(m_rows.begin(), m_rows.end(), added,
                                     [this](const Row &a, const Row &b) { return RowBefore(a, b); });
    const int row = int(at - m_rows.begin());
    m_rows.insert(row, added);
    TableReaders->insertRow(row);
    // A second address with the same MAC marks every row of that MAC, and only those.
    QList<FoundReader> readers = Readers();
    MarkSharedMacs(readers);
    for (int each = 0; each < m_rows.size(); ++each) {
        m_rows[each].reader.sameMacAt = readers[each].sameMacAt;
        if (m_rows[each].reader.settings.readerMac == reader.settings.readerMac)
            ShowRow(each);
    }
    if (m_search == Search::Discovery)
        LabelStatus->setText(tr("正在广播查找…已找到 %1 台读卡器。").arg(m_rows.size()));
}

void FindReaders::ShowAllRows() {
    TableReaders->setRowCount(int(m_rows.size()));
    for (int row = 0; row < m_rows.size(); ++row)
        ShowRow(row);
}

void FindReaders::ShowRow(int row) {
    const Row &shown = m_rows.at(row);
    const FoundReader &reader = shown.reader;
    QStringList cells = FoundReaderCells(reader, m_choices);
    cells[ResultColumn] = shown.result;
    QString note = FoundReaderNote(reader);
    if (!shown.resultNote.isEmpty())
        note += (note.isEmpty() ? QString() : QStringLiteral("\n")) + shown.resultNote;
    for (int column = 0; column < FoundColumnCount; ++column) {
        auto *item = new QTableWidgetItem(cells.at(column));
        item->setToolTip(note);
        if (!reader.sameMacAt.isEmpty())
            item->setBackground(SharedMacBackground);
        else if (!reader.reachNote.isEmpty())
            item->setBackground(UnreachableBackground);
        TableReaders->setItem(row, column, item);
    }
}

void FindReaders::ReaderRead(const QString &address, const ReaderSettings &settings) {
    ReaderChanged(address, settings, false);
}

void FindReaders::ReaderConfigured(const QString &address, const ReaderSettings &settings) {
    ReaderChanged(address, settings, true);
}

void FindReaders::ReaderChanged(const QString &address, const ReaderSettings &settings, bool moved) {
    bool listed = false;
    for (Row &row : m_rows) {
        if (row.reader.address != address)
            continue;
        listed = true;
        row.reader.settings = settings;
        if (moved)
            row.reader.address = DottedText(settings.readerIp);
    }
    if (!listed)
        return;
    QList<FoundReader> readers = Readers();
    MarkSharedMacs(readers);
    for (int each = 0; each < m_rows.size(); ++each)
        m_rows[each].reader.sameMacAt = readers[each].sameMacAt;
    Resort();
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
    LabelStatus->setText(FoundCountText(int(m_rows.size()), m_stopping));
    UpdateButtons();
    if (m_failure) {
        const QString doing = search == Search::Scan ? tr("扫描") : tr("广播查找");
        m_messages.Show(tr("%1没有完成：%2").arg(doing, SocketErrorDescription(*m_failure)));
    } else if (search == Search::Discovery && m_rows.isEmpty() && !m_stopping) {
        m_messages.Show(NothingDiscoveredMessage(m_discovery.choice(), LocalCards()));
    }
}

void FindReaders::setChoiceTexts(const ChoiceTexts &choices) {
    m_choices = choices;
    ShowAllRows();
}

void FindReaders::changeEvent(QEvent *event) {
    if (event->type() == QEvent::LanguageChange) {
        m_texts.run();
        for (int row = 0; row < m_rows.size(); ++row)
            ShowRow(row);
        // A search under way says so again at its next step; a finished one is summed up again now.
        if (!Searching() && !LabelStatus->text().isEmpty())
            LabelStatus->setText(FoundCountText(int(m_rows.size()), m_stopping));
    }
    QDialog::changeEvent(event);
}

void FindReaders::UpdateButtons() {
    const bool busy = Busy();
    CommandDiscover->setEnabled(!busy);
    CommandScan->setEnabled(!busy);
    TextRange->setEnabled(!busy);
    CommandStop->setEnabled((Searching() || m_stopBatch) && !m_stopping);
    CommandRefresh->setEnabled(!busy && !m_rows.isEmpty());
    CommandExport->setEnabled(!m_rows.isEmpty());
    const bool chosen = !TableReaders->selectedRanges().isEmpty();
    CommandUse->setEnabled(chosen);
    CommandBatchConfigure->setEnabled(!busy && chosen);
    CommandBatchKeys->setEnabled(!busy && chosen);
    CheckNewAddresses->setEnabled(!busy);
}

} // namespace vrx
