#include "app/Form1.h"

namespace vrx {

// Stands in for the "查找读卡器" dialog until it exists, so that its menu item answers.
void Form1::ShowFindReaders() {
    m_messages.Show(QStringLiteral("查找读卡器功能尚未提供。"));
}

} // namespace vrx
