#pragma once

#include "app/Retranslation.h"

#include "link/TrafficLog.h"

#include <QWidget>

class QCheckBox;
class QPushButton;
class QTableView;

namespace vrx {

class TrafficTableModel;

// The "通信记录" window: the datagrams of the main window's socket as a table, newest last, following
// the newest row while the view is at the bottom. Key bytes show as "**" unless "显示密码" is ticked;
// "复制" puts the rows on the clipboard as text, as they are shown; "清除" empties the list.
// The log it shows belongs to the main window and records whether or not this window is open.
class TrafficLogWindow : public QWidget {
    Q_OBJECT

public:
    // `log` must outlive the window.
    TrafficLogWindow(TrafficLog &log, QWidget *parent);
    ~TrafficLogWindow() override;

    TrafficLog &Log() { return m_log; }

    QTableView *Table = nullptr;
    QCheckBox *CheckShowKeys = nullptr;
    QPushButton *CommandCopy = nullptr;
    QPushButton *CommandClear = nullptr;

protected:
    // A LanguageChange sets every text again, the rows' and the headings' included.
    void changeEvent(QEvent *event) override;

private:
    void CopyRows();
    void ClearRows();
    void SizeColumns();

    TrafficLog &m_log;
    TrafficTableModel *m_model = nullptr;
    bool m_followNewest = true;
    Retranslation m_texts;
};

} // namespace vrx
