#include "net/ReaderOperations.h"

#include "fields/AddressText.h"

#include <QElapsedTimer>

namespace vrx {

std::optional<ReaderSettings> ReadSettings(ReaderLink &link, const QString &reader, int retries,
                                           QByteArray *block, int *wrongLength) {
    std::vector<Exchange> exchanges{ReadExchange(reader, link.options().local)};
    link.run(exchanges, retries);
    if (wrongLength)
        *wrongLength = exchanges.front().wrongLength;
    const auto settings = ReportedSettings(exchanges.front());
    if (settings && block)
        *block = exchanges.front().state.ReceiveBuffer;
    return settings;
}

namespace {

WriteResult Outcome(qint16 status, qint16 success) {
    if (status == success)
        return WriteResult::Confirmed;
    return status == Status::None ? WriteResult::NoReply : WriteResult::EchoDiffers;
}

} // namespace

WriteResult WriteSettings(ReaderLink &link, const QString &reader, const QByteArray &block,
                          const QByteArray &settingsReply) {
    std::vector<Exchange> exchanges{WriteExchange(reader, block, link.options().local, settingsReply)};
    link.run(exchanges);
    return Outcome(exchanges.front().state.ExchangeStatus, Status::ConfigureEchoed);
}

WriteResult DownloadKeys(ReaderLink &link, const QString &reader, const QByteArray &keyFrame) {
    std::vector<Exchange> exchanges{KeyExchange(reader, keyFrame, link.options().local)};
    link.run(exchanges);
    return Outcome(exchanges.front().state.ExchangeStatus, Status::KeysEchoed);
}

Verification VerifySettings(ReaderLink &link, const ReaderSettings &written, int windowMs) {
    Verification verification;
    const QString reader = DottedText(written.readerIp);
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

} // namespace vrx
