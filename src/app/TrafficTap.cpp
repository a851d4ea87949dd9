#include "app/TrafficTap.h"

#include "app/TrafficLogWindow.h"

namespace vrx {

TrafficTap::~TrafficTap() {
    delete m_window.data();
}

void TrafficTap::Show(QWidget *owner) {
    if (!m_window) {
        m_window = new TrafficLogWindow(
            m_started, [this] { m_log = nullptr; }, owner);
        m_log = &m_window->Log();
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

} // namespace vrx
