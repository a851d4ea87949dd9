#include "app/Form1.h"

namespace vrx {

// The traffic log lists the socket's datagrams while its window is open; the exchange code records
// into it through m_traffic.

void Form1::ShowTrafficLog() {
    m_traffic.Show(this);
}

} // namespace vrx
