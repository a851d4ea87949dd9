#pragma once

#include <QByteArray>
#include <QString>

namespace vrx {

// The eleven-line summary of a block, each line ending in CRLF, labels padded to 14 columns.
QString SettingsSummary(const QByteArray &block);

// "设置成功！" + CRLF CRLF + summary, or the failure text + CRLF CRLF.
QString ConfigureReport(bool confirmed, const QByteArray &block);

} // namespace vrx
