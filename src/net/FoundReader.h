#pragma once

#include "config/ReaderSettings.h"

#include <QMetaType>
#include <QString>
#include <QStringList>

namespace vrx {

// A reader that answered a scan or a discovery: where it answered, what it reports, and through which
// card of this computer it was heard.
struct FoundReader {
    QString address;         // the dotted address the parameter block came from
    ReaderSettings settings; // the settings it reported
    QString card;            // the name of the card it answered on ("eth0"); empty when not known
    QString cardAddress;     // this computer's address on that card
    bool discovered = false; // found by a broadcast rather than by a query to its address
    // Set when the reader answered from outside the card's subnet: how the operator reaches it.
    QString reachNote;
    // The other addresses at which a reader with the same MAC answered.
    QStringList sameMacAt;
};

} // namespace vrx

Q_DECLARE_METATYPE(vrx::FoundReader)
