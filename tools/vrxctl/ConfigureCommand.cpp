#include "AddressSettings.h"
#include "CommandLine.h"
#include "Commands.h"
#include "ConfigureReader.h"
#include "ExitCode.h"
#include "ReaderOperations.h"
#include "Trace.h"

#include "fields/AddressText.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace vrxctl {

namespace {

// A JSON object of eleven settings; anything larger is not one.
constexpr qint64 MaxSettingsFileBytes = 64 * 1024;

void PrintChanges(Console &console, const QStringList &changes) {
    if (changes.isEmpty()) {
        console.out << "  (no setting changes)\n";
        return;
    }
    for (const QString &change : changes)
        console.out << "  " << change << '\n';
}

QString OptionHelp(SettingField field) {
    switch (field) {
    case SettingField::ReaderIp:
        return QStringLiteral("The reader's new address (its last number not 0).");
    case SettingField::SubnetMask:
        return QStringLiteral("The reader's subnet mask.");
    case SettingField::Gateway:
        return QStringLiteral("The reader's default gateway.");
    case SettingField::ReaderPort:
        return QStringLiteral("The reader's own port, 1-65535.");
    case SettingField::ServerIp:
        return QStringLiteral("The address of the server computer the reader works with.");
    case SettingField::ServerPort:
        return QStringLiteral("The server computer's port, 1-65535.");
    case SettingField::Mac:
        return QStringLiteral("The reader's MAC, six hexadecimal groups joined by \"-\".");
    case SettingField::Protocol:
        return QStringLiteral("How the reader talks to the server.");
    case SettingField::Heartbeat:
        return QStringLiteral("Whether the reader sends a heartbeat.");
    case SettingField::Beep:
        return QStringLiteral("Whether the reader beeps when it reads a card.");
    case SettingField::KeySource:
        return QStringLiteral(
            "Authenticate cards with the keys in each command or with the keys stored in the "
            "reader.");
    }
    return {};
}

} // namespace

int RunConfigure(const QStringList &arguments, Console &console) {
    QCommandLineParser parser;
    PrepareParser(
        parser,
        QStringLiteral("Changes a reader's settings. Reads the current settings first, changes only what is "
                       "given, checks the result as the window does, writes it, and succeeds only on the "
                       "reader's exact echo."));
    parser.addPositionalArgument(QStringLiteral("READER"), QStringLiteral("The reader's address now."));
    for (const SettingName &name : SettingNames()) {
        const QString option = QLatin1String(name.option);
        const QStringList words = ChoiceWords(name.field);
        QString help = OptionHelp(name.field);
        QString value = QStringLiteral("A");
        if (!words.isEmpty())
            value = words.join(u'|');
        else if (name.field == SettingField::ReaderPort || name.field == SettingField::ServerPort)
            value = QStringLiteral("N");
        else if (name.field == SettingField::Mac) {
            value = QStringLiteral("M|auto");
            help +=
                QStringLiteral(" \"auto\" derives it from the reader IP (00-14 and the four address bytes).");
        }
        parser.addOption({option, help, value});
    }
    parser.addOptions({
        {QStringLiteral("from"),
         QStringLiteral(
             "Take settings from a JSON object with the keys of 'read --json' (options given here win)."),
         QStringLiteral("FILE.json")},
        {QStringLiteral("dry-run"), QStringLiteral("Print the 41 bytes and the changes; nothing is written "
                                                   "(the current settings are still read).")},
    });
    parser.addOptions(VerifyOptions(QStringLiteral(
        "Read the settings back (from the new address when it changed) and compare them. The reader is "
        "asked again at growing intervals, at most four times a second, until it answers or "
        "--verify-timeout has passed; the report says how long it took.")));
    if (const auto exit = ParseCommand(parser, QStringLiteral("configure"), arguments, console))
        return *exit;

    CommonOptions options;
    QString reader;
    if (const auto exit = ReadReaderArgument(parser, QStringLiteral("configure"), console, &options, &reader))
        return *exit;
    QString error;
    std::optional<VerifyPlan> verify;
    if (!ReadVerifyOptions(parser, options, &verify, &error))
        return Fail(console, BadInput, error);

    SettingsChange change;
    if (parser.isSet(QStringLiteral("from"))) {
        const QString path = parser.value(QStringLiteral("from"));
        const auto text = ReadTextFile(path, MaxSettingsFileBytes, QStringLiteral("settings file"), &error);
        if (!text)
            return Fail(console, BadInput, error);
        QJsonParseError jsonError;
        const QJsonDocument document = QJsonDocument::fromJson(text->toUtf8(), &jsonError);
        if (!document.isObject())
            return Fail(console, BadInput,
                        QStringLiteral("%1 does not hold a JSON object%2")
                            .arg(path, jsonError.error == QJsonParseError::NoError
                                           ? QString()
                                           : QStringLiteral(": ") + jsonError.errorString()));
        change = ChangeFromJson(document.object(), &error);
        if (!error.isEmpty())
            return Fail(console, BadInput, QStringLiteral("%1: %2").arg(path, error));
    }
    SettingsChange given;
    for (const SettingName &name : SettingNames())
        if (parser.isSet(QLatin1String(name.option)))
            given.values.insert(name.field, parser.value(QLatin1String(name.option)));
    if (const auto bad = FirstBadAddress(given))
        return Fail(console, BadInput,
                    NotAnAddressText(QStringLiteral("--") + QLatin1String(NameOf(*bad).option),
                                     given.values.value(*bad)));
    SettingsChange fromFile = change; // what the options leave of --from
    for (const SettingField field : given.values.keys())
        fromFile.values.remove(field);
    if (const auto bad = FirstBadAddress(fromFile))
        return Fail(console, BadInput,
                    NotAnAddressText(QStringLiteral("%1: %2").arg(parser.value(QStringLiteral("from")),
                                                                  QLatin1String(NameOf(*bad).jsonKey)),
                                     fromFile.values.value(*bad)));
    change.merge(given);

    // The input is checked before anything is sent: a bad value never costs a round trip.
    if (const EncodedChange check = EncodeChange(CheckingBase(), change); !check.ok)
        return Fail(console, BadInput, ChangeErrorText(check));

    if (const auto exit = BindLocalFor(reader, console, &options))
        return *exit;
    Trace trace(&console.err, options.trace);
    ReaderLink link(options.link, &trace);
    const bool dryRun = parser.isSet(QStringLiteral("dry-run"));
    const ConfigureOutcome outcome = ConfigureReader(link, reader, change, verify, dryRun);

    const QString newAddress = vrx::DottedText(outcome.after.readerIp);
    switch (outcome.result) {
    case ConfigureResult::DryRun:
        console.out << "Dry run: would send these 41 bytes to " << reader << ":1001\n"
                    << SpacedHex(outcome.block) << "\nChanges:\n";
        PrintChanges(console, ChangesOf(outcome));
        break;
    case ConfigureResult::Ok:
    case ConfigureResult::VerifyNoReply:
    case ConfigureResult::VerifyMismatch:
        console.out << "Settings written to " << reader << ": the reader echoed them exactly.\nChanges:\n";
        PrintChanges(console, ChangesOf(outcome));
        if (outcome.verifiedAfterMs >= 0)
            console.out << QStringLiteral("Verified: the reader at %1 answered after %2 s and reports all 11 "
                                          "settings as written.\n")
                               .arg(newAddress)
                               .arg(double(outcome.verifiedAfterMs) / 1000, 0, 'f', 2);
        console.out.flush();
        if (outcome.result == ConfigureResult::VerifyNoReply)
            return Fail(console, ExitCodeOf(outcome),
                        DetailText(outcome).isEmpty()
                            ? QStringLiteral("verify: no reply from %1 within %2 ms")
                                  .arg(newAddress)
                                  .arg(verify->windowMs)
                            : ResultText(outcome));
        if (outcome.result == ConfigureResult::VerifyMismatch)
            return Fail(console, ExitCodeOf(outcome),
                        QStringLiteral("verify mismatch at %1: %2").arg(newAddress, DetailText(outcome)));
        break;
    case ConfigureResult::ReadNoReply:
        return Fail(console, ExitCodeOf(outcome),
                    QStringLiteral("no reply from %1 within %2 ms to the settings query; nothing was written")
                        .arg(reader)
                        .arg(options.link.timeoutMs));
    case ConfigureResult::Invalid:
        return Fail(console, ExitCodeOf(outcome),
                    DetailText(outcome) + QStringLiteral("; nothing was written"));
    case ConfigureResult::NoReply:
    case ConfigureResult::EchoDiffers:
        return Fail(
            console, ExitCodeOf(outcome),
            QStringLiteral("the reader did not confirm the settings (%1). Check that this computer is "
                           "the reader's server computer and that the reader address is right.")
                .arg(outcome.result == ConfigureResult::NoReply
                         ? QStringLiteral("no echo within %1 ms").arg(options.link.timeoutMs)
                         : QStringLiteral("its echo differs from the block sent")));
    case ConfigureResult::SocketError:
        return Fail(console, ExitCodeOf(outcome), DetailText(outcome));
    default: // a batch's results: keys, numbering, a reader not started, no route (bound above)
        return Fail(console, ExitCodeOf(outcome), ResultText(outcome));
    }
    console.out.flush();
    return ExitCodeOf(outcome);
}

} // namespace vrxctl
