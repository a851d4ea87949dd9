#include "ReaderOperations.h"

#include "fields/AddressText.h"

#include <QElapsedTimer>

namespace vrxctl {

using vrx::Exchange;
using vrx::KeyExchange;
using vrx::ReadExchange;
using vrx::ReportedSettings;
using vrx::WriteExchange;

std::optional<vrx::ReaderSettings> ReadSettings(ReaderLink &link, const QString &reader, int retries) {
    std::vector<Exchange> exchanges{ReadExchange(reader, link.options().local)};
    link.run(exchanges, retries);
    return ReportedSettings(exchanges.front());
}

namespace {

WriteResult Outcome(qint16 status, qint16 success) {
    if (status == success)
        return WriteResult::Confirmed;
    return status == vrx::Status::None ? WriteResult::NoReply : WriteResult::EchoDiffers;
}

} // namespace

WriteResult WriteSettings(ReaderLink &link, const QString &reader, const QByteArray &block) {
    std::vector<Exchange> exchanges{WriteExchange(reader, block, link.options().local)};
    link.run(exchanges);
    return Outcome(exchanges.front().state.ExchangeStatus, vrx::Status::ConfigureEchoed);
}

WriteResult DownloadKeys(ReaderLink &link, const QString &reader, const QByteArray &keyFrame) {
    std::vector<Exchange> exchanges{KeyExchange(reader, keyFrame, link.options().local)};
    link.run(exchanges);
    return Outcome(exchanges.front().state.ExchangeStatus, vrx::Status::KeysEchoed);
}

QString WriteResultText(WriteResult result) {
    switch (result) {
    case WriteResult::Confirmed:
        return QStringLiteral("ok");
    case WriteResult::NoReply:
        return QStringLiteral("no reply");
    case WriteResult::EchoDiffers:
        return QStringLiteral("echo differs");
    }
    return {};
}

Verification VerifySettings(ReaderLink &link, const vrx::ReaderSettings &written, int windowMs) {
    Verification verification;
    const QString reader = vrx::DottedText(written.readerIp);
    std::vector<Exchange> exchanges{ReadExchange(reader, link.options().local)};
    QElapsedTimer clock;
    clock.start();
    link.poll(exchanges, windowMs);
    const auto reported = ReportedSettings(exchanges.front());
    if (!reported)
        return verification;
    verification.answered = true;
    verification.answeredAfterMs = clock.elapsed();
    verification.reported = *reported;
    verification.mismatched = DifferingFields(written, *reported);
    return verification;
}

QString VerificationText(const Verification &verification, const vrx::ReaderSettings &written) {
    QStringList parts;
    for (SettingField field : verification.mismatched)
        parts.append(QStringLiteral("%1 written %2, reader reports %3")
                         .arg(QLatin1String(NameOf(field).jsonKey), FieldText(written, field),
                              FieldText(verification.reported, field)));
    return parts.join(QStringLiteral("; "));
}

} // namespace vrxctl
