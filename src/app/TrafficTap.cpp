#include "app/TrafficTap.h"

#include "app/TrafficLogWindow.h"

namespace vrx {

TrafficTap::TrafficTap()
    : m_log(m_started) {}

TrafficTap::~TrafficTap() {
    delete m_window.data();
}

void TrafficTap::Show(QWidget *owner) {
    if (!m_window) {
        m_window = new TrafficLogWindow(m_log, owner);
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

} // namespace vrx
