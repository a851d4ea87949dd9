// Every way the window's socket can fail, seen as the operator sees it: the box each operation shows,
// and a window that stays usable. Binding failures carry the socket control's own description (the
// key download names an address in use in its fixed words); a reader that does not answer, or answers
// too late, costs that one operation and no other.

#include "Operations.h"
#include "SimulatedReader.h"
#include "link/QtSocketErrors.h"
#include "link/SocketException.h"
#include "words/SocketWords.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkInterface>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <unistd.h>

using namespace vrx;

Q_DECLARE_METATYPE(Operation)

namespace {

class Recorder final : public MessageBox {
public:
    void Show(const QString &text) override { shown << text; }
    QStringList shown;
};

// The window with a recorder for its boxes, bound to `computer`, addressing `reader`.
struct Window {
    Window(const QString &computer, const QString &reader) {
        form.TextPCIP->setText(computer);
        form.TextFindIP[0]->setText(reader);
    }
    bool buttonsEnabled() const {
        return form.Command1->isEnabled() && form.Command3->isEnabled() && form.Command5->isEnabled();
    }
    Recorder messages;
    Form1 form{messages};
};

// What the socket control says when it cannot bind computer:1000 (the same failure the window meets).
SocketError BindFailure(const QString &computer) {
    SSock probe;
    try {
        probe.Bind(1000, computer);
    } catch (const SocketException &failure) {
        return failure.error();
    }
    return {};
}

// The operation's box for a socket that cannot be bound: the description, except that the key
// download's set-up names the five well-known conditions in fixed words.
QString BindFailureBox(Operation operation, const SocketError &error) {
    if (operation == Operation::Keys)
        return *SocketErrorMessage(error, false);
    return SocketErrorDescription(error);
}

bool Succeeded(Operation operation, const QStringList &shown) {
    return shown.size() == 1 && IsOutcome(operation, true, shown.first());
}

void AddOperationRows() {
    QTest::addColumn<Operation>("operation");
    QTest::newRow("read") << Operation::Read;
    QTest::newRow("configure") << Operation::Configure;
    QTest::newRow("keys") << Operation::Keys;
}

} // namespace

class TestSocketFaults : public QObject {
    Q_OBJECT

    std::unique_ptr<QProcess> holder;

private slots:
    void initTestCase();
    void cleanupTestCase();

    void bindFailuresReachTheOperator_data();
    void bindFailuresReachTheOperator();
    void unprivilegedUserCannotBindPort1000();
    void closedReaderPortFailsAfterTheWait_data() { AddOperationRows(); }
    void closedReaderPortFailsAfterTheWait();
    void lateReplyIsNotCreditedToTheNextOperation_data();
    void lateReplyIsNotCreditedToTheNextOperation();
};

// Another program holds 127.0.52.1:1000 for the whole run.
void TestSocketFaults::initTestCase() {
    holder = std::make_unique<QProcess>();
    holder->start(QStringLiteral(HOLD_UDP_PORT_PATH), {QStringLiteral("127.0.52.1"), QStringLiteral("1000")});
    QVERIFY(holder->waitForStarted(5000));
    QVERIFY2(holder->waitForReadyRead(5000) && holder->readAllStandardOutput().startsWith("bound"),
             holder->readAllStandardError().constData());
}

void TestSocketFaults::cleanupTestCase() {
    if (holder) {
        holder->closeWriteChannel(); // its stdin closes: it lets the port go and ends
        if (!holder->waitForFinished(5000))
            holder->kill();
    }
}

void TestSocketFaults::bindFailuresReachTheOperator_data() {
    QTest::addColumn<QString>("computer");
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<int>("number");
    const struct {
        const char *name;
        QString computer;
        int number;
    } faults[] = {
        {"port held by another process", QStringLiteral("127.0.52.1"), SocketErrorNumber::AddressInUse},
        {"address this computer does not have", QStringLiteral("10.255.255.1"),
         SocketErrorNumber::AddressNotAvailable},
        {"text that is no address", QStringLiteral("abc"), SocketErrorNumber::AddressNotAvailable},
    };
    for (const auto &fault : faults)
        for (Operation operation : {Operation::Read, Operation::Configure, Operation::Keys})
            QTest::addRow("%s, %s", fault.name, OperationName(operation))
                << fault.computer << operation << fault.number;
}

void TestSocketFaults::bindFailuresReachTheOperator() {
    QFETCH(QString, computer);
    QFETCH(Operation, operation);
    QFETCH(int, number);
    if (QNetworkInterface::allAddresses().contains(QHostAddress(computer)))
        QSKIP("this computer has that address");

    const SocketError failure = BindFailure(computer);
    QCOMPARE(failure.number, number);
    QVERIFY(SocketErrorDescription(failure).contains(computer));

    Window window(computer, QStringLiteral("127.0.52.2")); // nothing is sent there
    Click(window.form, operation);
    QCOMPARE(window.messages.shown, QStringList{BindFailureBox(operation, failure)});
    if (number == SocketErrorNumber::AddressInUse && operation == Operation::Keys)
        QCOMPARE(window.messages.shown.first(), QStringLiteral("地址正在使用！"));
    QVERIFY(window.buttonsEnabled());
    QCOMPARE(window.form.SSock->State(), 0);
}

// Port 1000 is below 1024: a user without the privilege is refused, and told why, by every operation.
void TestSocketFaults::unprivilegedUserCannotBindPort1000() {
    QFile lowest(QStringLiteral("/proc/sys/net/ipv4/ip_unprivileged_port_start"));
    if (lowest.open(QIODevice::ReadOnly) && lowest.readAll().trimmed().toInt() <= 1000)
        QSKIP("this computer lets every user bind port 1000 (ip_unprivileged_port_start <= 1000)");
    if (::geteuid() != 0)
        QSKIP("needs root, to start the window as an unprivileged user");
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (setpriv.isEmpty())
        QSKIP("setpriv is not installed: cannot drop privileges");

    // Start-up writes per-user files: somewhere the unprivileged user may write.
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QVERIFY(QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                   QFile::ReadOther | QFile::WriteOther | QFile::ExeOther));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());

    QProcess window;
    window.setProcessEnvironment(environment);
    window.start(setpriv, {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                           QStringLiteral("--clear-groups"), QStringLiteral("--"),
                           QStringLiteral(WINDOW_OPERATIONS_PATH), QStringLiteral("127.0.53.1"),
                           QStringLiteral("127.0.53.2")});
    QVERIFY(window.waitForFinished(30000));
    QVERIFY2(window.exitStatus() == QProcess::NormalExit && window.exitCode() == 0,
             window.readAllStandardError().constData());
    const QJsonObject shown = QJsonDocument::fromJson(window.readAllStandardOutput()).object();

    // The description the socket control gives, without the system's own detail that follows it.
    const QString refused = SocketErrorDescription(
        SocketErrorFromQt(QAbstractSocket::SocketAccessError,
                          {SocketErrorContext::Binding, QStringLiteral("127.0.53.1"), 1000}));
    QVERIFY(refused.contains(QStringLiteral("1000")));
    for (Operation operation : {Operation::Read, Operation::Configure, Operation::Keys}) {
        const QStringList boxes =
            shown.value(QLatin1String(OperationName(operation))).toVariant().toStringList();
        QVERIFY2(boxes.size() == 1 && boxes.first().startsWith(refused),
                 qPrintable(QStringLiteral("%1: %2").arg(QLatin1String(OperationName(operation)),
                                                         boxes.join(QLatin1Char('|')))));
    }
}

// Nothing listens on the reader's port: the operation fails once its wait is over, with its own
// message only, and the next one, against a reader that is there, succeeds.
void TestSocketFaults::closedReaderPortFailsAfterTheWait() {
    QFETCH(Operation, operation);
    const QString reader = QStringLiteral("127.0.56.2");
    Window window(QStringLiteral("127.0.56.1"), reader);

    QElapsedTimer waited;
    waited.start();
    Click(window.form, operation);
    QVERIFY2(waited.elapsed() >= 200, qPrintable(QString::number(waited.elapsed())));
    QCOMPARE(window.messages.shown.size(), 1);
    QVERIFY2(IsOutcome(operation, false, window.messages.shown.first()),
             qPrintable(window.messages.shown.first()));
    QVERIFY(window.buttonsEnabled());

    SimulatedReader simulated(reader);
    QString error;
    QVERIFY2(simulated.start(&error), qPrintable(error));
    window.messages.shown.clear();
    Click(window.form, operation);
    QVERIFY2(Succeeded(operation, window.messages.shown),
             qPrintable(window.messages.shown.join(QLatin1Char('|'))));
}

void TestSocketFaults::lateReplyIsNotCreditedToTheNextOperation_data() {
    QTest::addColumn<Operation>("next");
    QTest::newRow("configure") << Operation::Configure;
    QTest::newRow("keys") << Operation::Keys;
}

// The reader answers a read 300 ms late, after the read has given up; its block then arrives while
// the next operation, which the reader leaves unanswered, is waiting. That operation must still fail.
void TestSocketFaults::lateReplyIsNotCreditedToTheNextOperation() {
    QFETCH(Operation, next);
    const QString reader = QStringLiteral("127.0.57.2");
    Window window(QStringLiteral("127.0.57.1"), reader);
    SimulatedReader simulated(reader);
    QString error;
    QVERIFY2(simulated.start(&error), qPrintable(error));
    simulated.setDelay(300);

    Click(window.form, Operation::Read);
    QCOMPARE(window.messages.shown, QStringList{ReadFailed});
    QVERIFY(simulated.sent().isEmpty()); // not answered yet

    simulated.setSilent(true); // the late answer to the read still goes out
    int fromReader = 0;
    connect(window.form.SSock.get(), &SSock::DataArrival, this,
            [&](const QByteArray &datagram, const QString &sender) {
                fromReader += sender == reader && datagram.size() == 41;
            });
    window.messages.shown.clear();
    Click(window.form, next);

    if (fromReader == 0 && simulated.sent().isEmpty())
        QSKIP("the late block had not left the reader when the next operation ended (machine too slow)");
    QCOMPARE(fromReader, 1);
    QCOMPARE(window.messages.shown.size(), 1);
    QVERIFY2(IsOutcome(next, false, window.messages.shown.first()),
             qPrintable(window.messages.shown.first()));
    QCOMPARE(simulated.received().size(), 2); // the read, and the operation it left unanswered
}

QTEST_MAIN(TestSocketFaults)
#include "tst_socketfaults.moc"
