#include "app/TrafficLogWindow.h"

#include "app/AccessibleFactory.h"
#include "app/TrafficTableModel.h"
#include "app/WindowAccessible.h"
#include "words/TrafficWords.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

namespace vrx {

TrafficLogWindow::TrafficLogWindow(TrafficLog &log, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_log(log) {
    InstallAccessibleFactory<TrafficLogWindow, WindowAccessible>();
    setObjectName(QStringLiteral("TrafficLog"));

    setAttribute(Qt::WA_DeleteOnClose);
    if (parent)
        setFont(parent->font());

    m_model = new TrafficTableModel(m_log, this);
    Table = new QTableView(this);
    Table->setObjectName(QStringLiteral("TrafficTable"));

    Table->setModel(m_model);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setWordWrap(false);
    Table->verticalHeader()->hide();
    // Rows of one height let the view place ten thousand of them without measuring each.
    Table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    Table->horizontalHeader()->setStretchLastSection(true);
    SizeColumns();

    CheckShowKeys = new QCheckBox(this);
    CheckShowKeys->setObjectName(QStringLiteral("CheckShowKeys"));
    CommandCopy = new QPushButton(this);
    CommandCopy->setObjectName(QStringLiteral("CommandCopy"));
    CommandClear = new QPushButton(this);
    CommandClear->setObjectName(QStringLiteral("CommandClear"));
    m_texts.add([this] {
        setWindowTitle(tr("通信记录"));
        Table->setAccessibleName(tr("通信记录"));
        CheckShowKeys->setText(tr("显示密码"));
        CommandCopy->setText(tr("复制"));
        CommandClear->setText(tr("清除"));
    });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(CheckShowKeys);
    buttons->addStretch();
    buttons->addWidget(CommandCopy);
    buttons->addWidget(CommandClear);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Table);
    layout->addLayout(buttons);
    resize(1000, 420);

    connect(CheckShowKeys, &QCheckBox::toggled, m_model, &TrafficTableModel::SetShowKeys);
    connect(CommandCopy, &QPushButton::clicked, this, &TrafficLogWindow::CopyRows);
    connect(CommandClear, &QPushButton::clicked, this, &TrafficLogWindow::ClearRows);
    // New rows keep the newest in sight unless the operator has scrolled up to look at older ones.
    connect(m_model, &QAbstractItemModel::rowsAboutToBeInserted, this, [this] {
        const QScrollBar *bar = Table->verticalScrollBar();
        m_followNewest = bar->value() == bar->maximum();
    });
    connect(m_model, &QAbstractItemModel::rowsInserted, this, [this] {
        if (m_followNewest)
            Table->scrollToBottom();
    });
}

TrafficLogWindow::~TrafficLogWindow() {
    // The model unhooks itself from the log when it goes, so that the log records on without a view.
    delete m_model;
}

void TrafficLogWindow::SizeColumns() {
    const QFontMetrics text = fontMetrics();
    const auto width = [&](const QString &sample) { return text.horizontalAdvance(sample) + 16; };
    QHeaderView *header = Table->horizontalHeader();
    header->resizeSection(int(TrafficLog::Column::Time), width(QStringLiteral("时间(ms)  99999.9")));
    header->resizeSection(int(TrafficLog::Column::Direction), width(QStringLiteral("方向")));
    header->resizeSection(int(TrafficLog::Column::Peer), width(QStringLiteral("255.255.255.255:65535")));
    header->resizeSection(int(TrafficLog::Column::Length), width(QStringLiteral("长度")));
    header->resizeSection(int(TrafficLog::Column::Meaning),
                          width(QStringLiteral("密码回显，不一致，状态32")));
}

void TrafficLogWindow::CopyRows() {
    m_model->Update();
    QGuiApplication::clipboard()->setText(TrafficCopyText(m_log, m_model->ShowsKeys()));
}

void TrafficLogWindow::ClearRows() {
    m_log.Clear();
    m_model->Update();
}

void TrafficLogWindow::changeEvent(QEvent *event) {
    if (event->type() == QEvent::LanguageChange) {
        m_texts.run();
        m_model->Retranslate();
    }
    QWidget::changeEvent(event);
}

} // namespace vrx
