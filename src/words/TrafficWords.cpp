#include "words/TrafficWords.h"

#include <QCoreApplication>

namespace vrx {

QString NoReplyWithinText(int milliseconds) {
    return QCoreApplication::translate("vrx::TrafficWords", "%1 ms 内没有回复").arg(milliseconds);
}

} // namespace vrx
