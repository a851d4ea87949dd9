#include "CommandLine.h"
#include "Commands.h"
#include "EnglishMessages.h"
#include "ExitCode.h"
#include "KeyInput.h"
#include "ReaderOperations.h"
#include "Trace.h"

#include "keys/KeyFrame.h"

namespace vrxctl {

int RunKeys(const QStringList &arguments, Console &console) {
    QCommandLineParser parser;
    PrepareParser(parser,
                  QStringLiteral("Downloads the A and B keys of the 16 sectors into a reader. Succeeds "
                                 "only on the reader's exact echo. Keys are never printed."));
    parser.addPositionalArgument(QStringLiteral("READER"), QStringLiteral("The reader's address."));
    parser.addOptions({
        {QStringLiteral("key"), QStringLiteral("One key (12 hexadecimal digits) for all 32 keys."),
         QStringLiteral("HEX12")},
        {QStringLiteral("file"),
         QStringLiteral("A file with one line per sector: \"sector A-key B-key\"; \"#\" starts a comment."),
         QStringLiteral("FILE")},
    });
    if (const auto exit = ParseCommand(parser, QStringLiteral("keys"), arguments, console))
        return *exit;

    CommonOptions options;
    QString reader;
    if (const auto exit = ReadReaderArgument(parser, QStringLiteral("keys"), console, &options, &reader))
        return *exit;
    QString error;
    const bool oneKey = parser.isSet(QStringLiteral("key"));
    if (oneKey == parser.isSet(QStringLiteral("file")))
        return Fail(console, BadInput, QStringLiteral("give either --key or --file"));

    KeyFields keys;
    if (oneKey) {
        keys = KeyFieldsFromOneKey(parser.value(QStringLiteral("key")));
    } else {
        const QString path = parser.value(QStringLiteral("file"));
        const auto text = ReadTextFile(path, &error);
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
        return Fail(console, BadInput, InEnglish(built.message));

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
    if (result != WriteResult::Confirmed)
        return Fail(
            console, NotConfirmed,
            QStringLiteral("the reader did not confirm the keys (%1). Check that this computer is the "
                           "reader's server computer and that the reader address is right.")
                .arg(result == WriteResult::NoReply
                         ? QStringLiteral("no echo within %1 ms").arg(options.link.timeoutMs)
                         : QStringLiteral("its echo differs from the frame sent")));
    console.out << "Keys of the 16 sectors downloaded to " << reader << ": the reader echoed them exactly.\n";
    console.out.flush();
    return Success;
}

} // namespace vrxctl
