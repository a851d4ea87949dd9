#include "Trace.h"

#include "SettingsView.h"
#include "SocketErrorText.h"

#include "config/ParameterBlock.h"
#include "keys/KeyFrame.h"
#include "words/TraceWords.h"

namespace vrxctl {

QString SpacedHex(const QByteArray &bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

namespace {

constexpr auto Masked = "************";

QString MaskedKeyFrame(const QByteArray &datagram) {
    QStringList parts;
    parts.append(SpacedHex(datagram.left(4)));
    for (int slot = 0; slot < 2 * vrx::KeyFrame::SectorCount; ++slot)
        parts.append(QLatin1String(Masked));
    parts.append(SpacedHex(datagram.mid(196, 4)));
    QString text = parts.join(u' ');
    if (datagram.size() > vrx::KeyFrame::Size)
        text += QStringLiteral(" (+%1 bytes not shown)").arg(datagram.size() - vrx::KeyFrame::Size);
    return text;
}

QString BlockFields(const QByteArray &block) {
    const vrx::ReaderSettings settings = vrx::ParameterBlock::decode(block);
    QStringList fields;
    for (const SettingName &name : SettingNames())
        fields.append(
            QStringLiteral("%1=%2").arg(QLatin1String(name.jsonKey), FieldText(settings, name.field)));
    return fields.join(u' ');
}

} // namespace

QString DescribeDatagram(const QByteArray &datagram, bool keysInFlight) {
    const qsizetype n = datagram.size();
    const QString length = QStringLiteral("%1 bytes").arg(n);
    if (n >= vrx::KeyFrame::Size)
        return QStringLiteral("%1  %2  [key frame, keys masked]").arg(length, MaskedKeyFrame(datagram));
    if (n == vrx::ParameterBlock::Size)
        return QStringLiteral("%1  %2  [parameter block: %3]")
            .arg(length, SpacedHex(datagram), BlockFields(datagram));
    if (datagram == vrx::ParameterQuery())
        return QStringLiteral("%1  %2  [parameter query]").arg(length, SpacedHex(datagram));
    if (keysInFlight)
        return QStringLiteral("%1  %2  [not shown during a key download]").arg(length, QLatin1String(Masked));
    return QStringLiteral("%1  %2  [length not recognised]").arg(length, SpacedHex(datagram));
}

Trace::Trace(QTextStream *err, bool enabled)
    : m_err(enabled ? err : nullptr) {
    m_clock.start();
}

void Trace::sent(const QString &peer, quint16 port, const QByteArray &datagram) {
    m_keys = datagram.size() >= vrx::KeyFrame::Size;
    line(QStringLiteral("->"), peer, port, datagram);
}

void Trace::received(const QString &peer, quint16 port, const QByteArray &datagram) {
    line(QStringLiteral("<-"), peer, port, datagram);
}

void Trace::note(const QString &text) {
    if (!m_err)
        return;
    *m_err << QStringLiteral("%1 ms  %2").arg(m_clock.nsecsElapsed() / 1e6, 9, 'f', 3).arg(text) << Qt::endl;
}

QString IgnoredReason(vrx::AwaitVerdict why) {
    switch (why) {
    case vrx::AwaitVerdict::Taken:
        break;
    case vrx::AwaitVerdict::FromThisComputer:
        return QStringLiteral("sent from this computer's own address");
    case vrx::AwaitVerdict::WrongLength:
        return QStringLiteral("not the length of the reply awaited");
    case vrx::AwaitVerdict::WrongSender:
        return QStringLiteral("not from the reader asked");
    case vrx::AwaitVerdict::LateSettingsReply:
        return QStringLiteral("the reader's settings again: a late answer to an earlier settings query");
    case vrx::AwaitVerdict::OutsideWait:
        return QStringLiteral("no exchange with that reader was waiting");
    }
    return {};
}

void Trace::ignored(const QString &peer, vrx::AwaitVerdict why) {
    note(QStringLiteral("ignored the datagram from %1: %2").arg(peer, IgnoredReason(why)));
}

void Trace::receiveFailed(const vrx::SocketError &error) {
    note(SocketFailureText(error));
}

void Trace::pacingPlanned(const vrx::ScanPacingReport &report) {
    note(vrx::PacingPlannedText(report));
}

void Trace::pacingMet(const vrx::ScanPacingReport &report) {
    note(vrx::PacingMetText(report));
}

void Trace::line(const QString &arrow, const QString &peer, quint16 port, const QByteArray &datagram) {
    if (!m_err)
        return;
    *m_err << QStringLiteral("%1 ms  %2 %3:%4  %5")
                  .arg(m_clock.nsecsElapsed() / 1e6, 9, 'f', 3)
                  .arg(arrow, peer)
                  .arg(port)
                  .arg(DescribeDatagram(datagram, m_keys))
           << Qt::endl;
}

} // namespace vrxctl
