#include "CommandLine.h"
#include "Commands.h"
#include "ConfigureReader.h"
#include "ExitCode.h"
#include "InputProblems.h"
#include "KeyInput.h"
#include "ReaderOperations.h"
#include "Trace.h"

#include "fileio/BoundedFile.h"
#include "keys/KeyFrame.h"
#include "net/ReaderBatch.h"
#include "words/FieldWords.h"

#include <QFile>
#include <QRegularExpression>

#include <optional>

namespace vrxctl {

namespace {

// More than a list of every address of a /16 takes on stdin is not a list of readers.
constexpr qint64 MaxStdinBytes = 1 << 20;

// The addresses given, or with "-" those on stdin, separated by blanks, commas or line ends; nothing
// with an error text when stdin holds more than MaxStdinBytes.
std::optional<QStringList> ReaderTexts(const QStringList &positional, QString *error) {
    QStringList texts;
    for (const QString &argument : positional) {
        if (argument != QLatin1String("-")) {
            texts.append(argument);
            continue;
        }
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly))
            continue;
        // A pipe gives what has arrived so far: read on until its end or past the bound.
        QByteArray bytes;
        while (bytes.size() <= MaxStdinBytes) {
            const QByteArray chunk = in.read(MaxStdinBytes + 1 - bytes.size());
            if (chunk.isEmpty())
                break;
            bytes += chunk;
        }
        if (bytes.size() > MaxStdinBytes) {
            *error = QStringLiteral("the list on stdin is longer than %1 bytes").arg(MaxStdinBytes);
            return std::nullopt;
        }
        texts +=
            QString::fromUtf8(bytes).split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
    }
    return texts;
}

// One line per reader as batch reports its rows, the readers read first on the batch engine, and
// the exit code batch would give.
int DownloadToSeveral(const QStringList &positional, const QByteArray &frame, const CommonOptions &options,
                      Console &console) {
    QString error;
    const std::optional<QStringList> given = ReaderTexts(positional, &error);
    if (!given)
        return Fail(console, BadInput, error);
    const QStringList &texts = *given;
    if (texts.isEmpty())
        return Fail(console, BadInput, QStringLiteral("no reader address on stdin"));
    QList<vrx::BatchItem> items;
    for (const QString &text : texts)
        if (const auto address = ReaderAddress(text))
            items.append(vrx::BatchItem{*address, std::nullopt, frame, {}});
    Trace trace(&console.err, options.trace);
    ReaderLink link(options.link, &trace);
    vrx::BatchOptions batchOptions;
    batchOptions.localFollowsRoute = options.link.local.isEmpty();
    vrx::ReaderBatch batch(link, batchOptions);
    batch.run(items);

    QList<int> codes;
    qsizetype item = 0;
    for (const QString &text : texts) {
        QString result;
        if (!ReaderAddress(text)) {
            result = QStringLiteral("invalid: not a reader address");
            codes.append(BadInput);
        } else {
            const ConfigureOutcome &outcome = batch.outcomes()[item++];
            result = ResultText(outcome);
            codes.append(ExitCodeOf(outcome));
        }
        console.out << QStringLiteral("%1  %2\n").arg(text, -15).arg(result);
    }
    console.out
        << QStringLiteral("%1 of %2 readers took the keys.\n").arg(codes.count(Success)).arg(codes.size());
    console.out.flush();
    for (const int code : {SocketFailure, BadInput, NotConfirmed})
        if (codes.contains(code))
            return code;
    return Success;
}

} // namespace

int RunKeys(const QStringList &arguments, Console &console) {
    QCommandLineParser parser;
    PrepareParser(parser,
                  QStringLiteral("Downloads the A and B keys of the 16 sectors into a reader. Succeeds "
                                 "only on the reader's exact echo. Keys are never printed. Given several "
                                 "readers (or - to read their addresses from stdin), reads each first, "
                                 "downloads to those that answer, and prints one line per reader."));
    parser.addPositionalArgument(QStringLiteral("READER"),
                                 QStringLiteral("The reader's address; several, or - for a list on stdin."),
                                 QStringLiteral("READER... | -"));
    parser.addOptions({
        {QStringLiteral("key"), QStringLiteral("One key (12 hexadecimal digits) for all 32 keys."),
         QStringLiteral("HEX12")},
        {QStringLiteral("file"),
         QStringLiteral("A file with one line per sector: \"sector A-key B-key\"; \"#\" starts a comment."),
         QStringLiteral("FILE")},
    });
    if (const auto exit = ParseCommand(parser, QStringLiteral("keys"), arguments, console))
        return *exit;

    const QStringList positional = parser.positionalArguments();
    const bool several = positional.size() > 1 || positional == QStringList{QStringLiteral("-")};
    CommonOptions options;
    QString reader;
    if (several) {
        QString error;
        if (!ReadCommonOptions(parser, &options, &error))
            return Fail(console, BadInput, error);
    } else if (const auto exit =
                   ReadReaderArgument(parser, QStringLiteral("keys"), console, &options, &reader)) {
        return *exit;
    }
    QString error;
    const bool oneKey = parser.isSet(QStringLiteral("key"));
    if (oneKey == parser.isSet(QStringLiteral("file")))
        return Fail(console, BadInput, QStringLiteral("give either --key or --file"));

    KeyFields keys;
    if (oneKey) {
        keys = KeyFieldsFromOneKey(parser.value(QStringLiteral("key")));
    } else {
        const QString path = parser.value(QStringLiteral("file"));
        const auto text = ReadTextFile(path, vrx::MaxKeyFileBytes, QStringLiteral("key file"), &error);
        if (!text)
            return Fail(console, BadInput, error);
        keys = KeyFieldsFromFile(*text);
        if (!keys.ok())
            keys.error = path + QStringLiteral(": ") + keys.error;
    }
    if (!keys.ok())
        return Fail(console, BadInput, keys.error);
    QByteArray frame;
    const vrx::KeyFrameOutcome built = vrx::BuildKeyFrame(keys.fields, frame);
    if (!built.ok)
        return Fail(console, BadInput, vrx::ShortKeyText(built.shortField));

    if (several)
        return DownloadToSeveral(positional, frame, options, console);
    if (const auto exit = BindLocalFor(reader, console, &options))
        return *exit;
    Trace trace(&console.err, options.trace);
    ReaderLink link(options.link, &trace);
    WriteResult result;
    try {
        result = DownloadKeys(link, reader, frame);
    } catch (const vrx::SocketException &failure) {
        return ReportSocketError(console, failure);
    }
    // An absent reader is reported as read reports it; only an echo that differs points at the server.
    if (result == WriteResult::NoReply)
        return Fail(console, NotConfirmed,
                    QStringLiteral("no reply from %1 within %2 ms").arg(reader).arg(options.link.timeoutMs));
    if (result != WriteResult::Confirmed)
        return Fail(
            console, NotConfirmed,
            QStringLiteral("the reader did not confirm the keys (its echo differs from the frame sent). "
                           "Check that this computer is the reader's server computer and that the reader "
                           "address is right."));
    console.out << "Keys of the 16 sectors downloaded to " << reader << ": the reader echoed them exactly.\n";
    console.out.flush();
    return Success;
}

} // namespace vrxctl
