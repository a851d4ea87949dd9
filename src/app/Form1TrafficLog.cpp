#include "app/Form1.h"

namespace vrx {

// The traffic log records the socket's datagrams from the window's start, open or not; the exchange
// code records into it through m_traffic, and its window shows it.

void Form1::ShowTrafficLog() {
    m_traffic.Show(this);
}

} // namespace vrx
