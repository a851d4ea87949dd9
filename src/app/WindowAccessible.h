#pragma once

#include <QAccessibleWidget>

namespace vrx {

// What screen readers see of a top-level window that is a plain widget (the main window, 通信记录):
// a window, where Qt's own interface for a widget would say "filler".
class WindowAccessible final : public QAccessibleWidget {
public:
    explicit WindowAccessible(QWidget *window)
        : QAccessibleWidget(window, QAccessible::Window) {}
};

} // namespace vrx
