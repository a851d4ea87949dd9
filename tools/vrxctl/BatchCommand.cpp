#include "BatchFile.h"
#include "CommandLine.h"
#include "Commands.h"
#include "ConfigureReader.h"
#include "ExitCode.h"
#include "InterruptWatch.h"
#include "KeyInput.h"
#include "ProgressLine.h"
#include "ShownText.h"
#include "Trace.h"
#include "net/CsvText.h"

#include "fileio/BoundedFile.h"
#include "fileio/OutputFile.h"
#include "keys/KeyFrame.h"
#include "net/ReaderBatch.h"
#include "words/FieldWords.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <functional>

namespace vrxctl {

using vrx::CsvLine;

namespace {

// The key frames of the key files a batch names, each file read once. Relative paths are taken from
// the batch file's folder.
class KeyFrames {
public:
    explicit KeyFrames(const QString &folder)
        : m_folder(folder) {}

    // Empty with an error text when the file cannot be read or is not a valid key file.
    QByteArray frame(const QString &path, QString *error) {
        const QString file = QDir(m_folder).absoluteFilePath(path);
        if (const auto known = m_frames.constFind(file); known != m_frames.constEnd()) {
            *error = known->second;
            return known->first;
        }
        QByteArray frame;
        QString problem;
        if (const auto text =
                ReadTextFile(file, vrx::MaxKeyFileBytes, QStringLiteral("key file"), &problem)) {
            const KeyFields keys = KeyFieldsFromFile(*text);
            if (!keys.ok())
                problem = path + QStringLiteral(": ") + keys.error;
            else if (const vrx::KeyFrameOutcome built = vrx::BuildKeyFrame(keys.fields, frame); !built.ok)
                problem = path + QStringLiteral(": ") + vrx::ShortKeyText(built.shortField);
        }
        if (!problem.isEmpty())
            frame.clear();
        m_frames.insert(file, {frame, problem});
        *error = problem;
        return frame;
    }

private:
    QString m_folder;
    QHash<QString, std::pair<QByteArray, QString>> m_frames;
};

struct RowReport {
    int line = 0;
    QString address;
    QString result;
    QStringList changes;
    int exitCode = Success; // what the row alone would make vrxctl tell the shell
};

// "[##########----------]  12/100": never shorter than the one before, so each covers it.
QString BatchProgressText(qsizetype done, qsizetype total, int failed) {
    constexpr int width = 30;
    const int filled = int(done * width / total);
    QString text = u'[' + QString(filled, u'#') + QString(width - filled, u'-') + QStringLiteral("] ") +
                   QStringLiteral("%1/%2").arg(done, 3).arg(total);
    if (failed)
        text += QStringLiteral("  %1 failed").arg(failed);
    return text;
}

// The report's CSV: written whole or not at all (see OutputFile.h); false with an error text.
bool WriteReport(const QString &path, const QList<RowReport> &rows, QString *error) {
    QString text = CsvLine({QStringLiteral("line"), QStringLiteral("address"), QStringLiteral("result"),
                            QStringLiteral("changes")}) +
                   u'\n';
    for (const RowReport &row : rows)
        text += CsvLine({QString::number(row.line), row.address, row.result,
                         row.changes.join(QStringLiteral("; "))}) +
                u'\n';
    const vrx::OutputOutcome written = vrx::WriteOutputFile(path, text.toUtf8(), vrx::OutputAccess::Usual);
    if (!written.ok())
        *error = OutputProblemText(path, written);
    return written.ok();
}

} // namespace

int RunBatch(const QStringList &arguments, Console &console) {
    QCommandLineParser parser;
    PrepareParser(
        parser,
        QStringLiteral("Configures one reader per row of a CSV file. The header names the column "
                       "\"address\" (where the reader is now) and any of configure's option names: ip, "
                       "mask, gateway, port, server-ip, server-port, mac, protocol, heartbeat, beep, "
                       "key-source, or their names in read --json (reader_ip, server_ip, ...); the CSV of "
                       "scan and discover is a batch file as written (its columns interface, duplicate_mac "
                       "and reach are ignored). An empty cell, or one that holds what the reader reports, "
                       "keeps the reader's value. A column \"keys\" names a key file per row (relative to "
                       "the CSV file's folder), downloaded before the settings; a file with keys but no "
                       "setting columns writes only the keys. Every row is checked before anything is "
                       "sent: a bad row is reported with its line number and skipped. Each reader is read "
                       "first, and nothing is written to one that does not answer; the run goes on past "
                       "failures."));
    parser.addPositionalArgument(QStringLiteral("FILE.csv"),
                                 QStringLiteral("The readers and their new settings."));
    parser.addOptions({
        {QStringLiteral("dry-run"), QStringLiteral("Read and check every reader; write nothing.")},
        {QStringLiteral("keys"),
         QStringLiteral("Download the keys of this key file (the format of keys --file) to every reader "
                        "whose row names no key file."),
         QStringLiteral("FILE")},
        {QStringLiteral("report"),
         QStringLiteral("Write a CSV report: line, address, result (ok, no reply, echo differs, invalid: "
                        "reason, ...), changes. \"-\" writes it to standard output after the listing. Its "
                        "folder is checked before anything is sent; an old report is replaced only by a "
                        "complete new one. Ctrl+C or SIGTERM stops after the reader in flight and reports "
                        "the readers asked so far."),
         QStringLiteral("OUT.csv")},
    });
    parser.addOptions(VerifyOptions(QStringLiteral(
        "Read each reader's settings back (from its new address when it changed) and compare them, "
        "asking for up to --verify-timeout as configure --verify does.")));
    if (const auto exit = ParseCommand(parser, QStringLiteral("batch"), arguments, console))
        return *exit;

    CommonOptions options;
    QString path;
    if (const auto exit = ReadSingleArgument(parser, QStringLiteral("batch"), QStringLiteral("CSV file"),
                                             console, &options, &path))
        return *exit;
    QString error;
    std::optional<VerifyPlan> verify;
    if (!ReadVerifyOptions(parser, options, &verify, &error))
        return Fail(console, BadInput, error);
    // A report that could not be written would be found only after every reader was configured.
    if (parser.isSet(QStringLiteral("report")))
        if (const QString report = parser.value(QStringLiteral("report")); !vrx::CheckOutputFile(report).ok())
            return Fail(console, BadInput,
                        OutputProblemText(report, vrx::CheckOutputFile(report)) +
                            QStringLiteral("; nothing was sent"));
    const auto text = ReadTextFile(path, vrx::MaxBatchFileBytes, QStringLiteral("batch file"), &error);
    if (!text)
        return Fail(console, BadInput, error);
    BatchFile batch = ParseBatchFile(*text);
    if (!batch.error.isEmpty())
        return Fail(console, BadInput, QStringLiteral("%1: %2").arg(path, batch.error));
    KeyFrames keyFrames(QFileInfo(path).absolutePath());
    QByteArray everyRowsKeys;
    if (parser.isSet(QStringLiteral("keys"))) {
        const QString keysPath = parser.value(QStringLiteral("keys"));
        everyRowsKeys = keyFrames.frame(QFileInfo(keysPath).absoluteFilePath(), &error);
        if (everyRowsKeys.isEmpty())
            return Fail(console, BadInput, error);
    }
    QList<QByteArray> rowKeys(batch.rows.size(), everyRowsKeys);
    const QList<vrx::LocalCard> cards = vrx::LocalCards();
    for (qsizetype r = 0; r < batch.rows.size(); ++r) {
        BatchRow &row = batch.rows[r];
        // Every reader on the wire would take a broadcast row's settings or keys.
        if (row.ok())
            row.invalid = BroadcastTargetText(row.address, cards).value_or(QString());
        if (row.ok() && !row.keys.isEmpty()) {
            rowKeys[r] = keyFrames.frame(row.keys, &error);
            if (rowKeys[r].isEmpty())
                row.invalid = QStringLiteral("keys: ") + error;
        }
    }
    // Files from before the keys write their settings even with no setting column, as they always did.
    const bool writeSettings = batch.settingsColumns || (!batch.keysColumn && everyRowsKeys.isEmpty());

    for (const BatchRow &row : batch.rows)
        if (!row.ok()) {
            console.err << QStringLiteral("vrxctl: %1 line %2: skipped: %3")
                               .arg(EscapedText(path))
                               .arg(row.line)
                               .arg(EscapedText(row.invalid))
                        << Qt::endl;
        }

    Trace trace(&console.err, options.trace);
    ReaderLink link(options.link, &trace);
    vrx::BatchOptions batchOptions;
    batchOptions.verify = verify;
    batchOptions.dryRun = parser.isSet(QStringLiteral("dry-run"));
    batchOptions.localFollowsRoute = options.link.local.isEmpty();
    const bool dryRun = batchOptions.dryRun;

    // Bad rows were checked out above and are not sent; the good ones go to the engine in file order.
    QList<vrx::BatchItem> items;
    QList<qsizetype> itemRows; // the file row of each item
    for (qsizetype r = 0; r < batch.rows.size(); ++r)
        if (batch.rows[r].ok()) {
            items.append(vrx::BatchItem{batch.rows[r].address,
                                        writeSettings ? std::optional<SettingsChange>(batch.rows[r].change)
                                                      : std::nullopt,
                                        rowKeys[r],
                                        {}});
            itemRows.append(r);
        }

    QList<RowReport> reports(batch.rows.size());
    QList<bool> sent(batch.rows.size(), false); // rows the engine worked through
    int failed = 0;
    qsizetype done = 0;
    ProgressLine progress(console, 0);
    const auto drawProgress = [&] {
        if (batch.rows.isEmpty())
            return;
        progress.show(BatchProgressText(done, batch.rows.size(), failed));
        if (done == batch.rows.size())
            progress.finish();
    };
    for (qsizetype r = 0; r < batch.rows.size(); ++r) {
        const BatchRow &row = batch.rows[r];
        reports[r] = RowReport{row.line, row.address, QString(), {}};
        if (!row.ok()) {
            reports[r].result = QStringLiteral("invalid: ") + row.invalid;
            reports[r].exitCode = BadInput;
            ++done;
        }
    }
    drawProgress();

    struct Observer : vrx::BatchObserver {
        std::function<void(qsizetype, const ConfigureOutcome &)> finished;
        void rowFinished(qsizetype row, const ConfigureOutcome &outcome) override { finished(row, outcome); }
    } observer;
    observer.finished = [&](qsizetype item, const ConfigureOutcome &outcome) {
        RowReport &report = reports[itemRows[item]];
        sent[itemRows[item]] = true;
        report.result = ResultText(outcome);
        report.changes = ChangesOf(outcome);
        report.exitCode = ExitCodeOf(outcome);
        if (report.exitCode != Success)
            ++failed;
        ++done;
        drawProgress();
    };
    vrx::ReaderBatch engine(link, batchOptions, &observer);
    // Ctrl+C or SIGTERM: no further row is sent, the row in flight is waited out, and what was done
    // is listed and reported.
    InterruptWatch interrupts;
    QObject::connect(&interrupts, &InterruptWatch::interrupted, [&](int count) {
        if (count == 1)
            console.err << "vrxctl: stopping: waiting for the reader in flight" << Qt::endl;
        engine.stop();
    });
    engine.run(items);
    if (interrupts.taken()) {
        // Only the rows whose readers were asked are listed and reported.
        QList<RowReport> asked;
        for (qsizetype r = 0; r < reports.size(); ++r)
            if (sent[r])
                asked.append(reports[r]);
        reports = asked;
    }

    for (const RowReport &report : reports)
        console.out << QStringLiteral("line %1  %2  %3")
                           .arg(report.line, 3)
                           .arg(EscapedText(report.address), -15)
                           .arg(EscapedText(report.result))
                    << (report.changes.isEmpty()
                            ? QString()
                            : QStringLiteral("  (") + report.changes.join(QStringLiteral("; ")) + u')')
                    << '\n';
    const auto rowsWith = [&](int code) {
        return std::count_if(reports.begin(), reports.end(),
                             [code](const RowReport &r) { return r.exitCode == code; });
    };
    const qsizetype ok = rowsWith(Success);
    console.out << QStringLiteral("%1 of %2 rows %3.\n")
                       .arg(ok)
                       .arg(reports.size())
                       .arg(dryRun ? "checked" : "configured");
    console.out.flush();

    if (parser.isSet(QStringLiteral("report")) &&
        !WriteReport(parser.value(QStringLiteral("report")), reports, &error))
        return Fail(console, SocketFailure, error);
    if (interrupts.taken())
        return Fail(
            console, interrupts.exitCode(),
            QStringLiteral("interrupted: %1 of %2 readers were asked; the rest were not sent anything")
                .arg(reports.size())
                .arg(items.size()));
    for (const int code : {SocketFailure, BadInput, NotConfirmed})
        if (rowsWith(code))
            return code;
    return Success;
}

} // namespace vrxctl
