// vrxctl.exe discover, the cross-built Windows program under wine, inside the computer of the emulated LAN:
// it finds the readers of both cards, each with the card that heard it, and lists them as the Linux
// vrxctl does. The wineserver makes the program's sockets, so it runs inside the computer's namespace
// too, in a wine prefix of the test's own (as root: port 1000 is below 1024).
//
// The Windows build is found in VRX_WINDOWS_BIN (default: the windows preset's build-win/bin), Qt's
// DLLs in VRX_QT_PREFIX (default: where packaging/windows/qt-prefix.sh unpacks them). Where wine, the
// Windows build, root or namespaces are missing, the test skips with one line.
#include "EmulatedLan.h"
#include "StandardLan.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace vrx::lan;

namespace {

const QString Wait = QStringLiteral("1000");

QString FromEnvironment(const char *name, const QString &fallback) {
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? fallback : value;
}

QString WindowsBin() {
    return FromEnvironment("VRX_WINDOWS_BIN", QStringLiteral(VRX_WINDOWS_BIN_DEFAULT));
}

QString QtPrefix() {
    const QString cache = FromEnvironment("XDG_CACHE_HOME", QDir::homePath() + QStringLiteral("/.cache"));
    return FromEnvironment("VRX_QT_PREFIX", cache + QStringLiteral("/vrx-config/qt6.4.2-mingw64"));
}

// Empty when vrxctl.exe can run under wine here; else one line saying what is missing.
QString WineUnavailable() {
    for (const char *program : {"wine", "wineserver"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty())
            return QStringLiteral("no %1 on PATH (Debian's wine64)").arg(QLatin1String(program));
    if (!QFileInfo::exists(WindowsBin() + QStringLiteral("/vrxctl.exe")))
        return QStringLiteral("no %1/vrxctl.exe: cross-build the windows preset's vrxctl first, or set "
                              "VRX_WINDOWS_BIN")
            .arg(WindowsBin());
    if (!QFileInfo::exists(QtPrefix() + QStringLiteral("/bin/Qt6Core.dll")))
        return QStringLiteral("no Qt for Windows in %1 (set VRX_QT_PREFIX)").arg(QtPrefix());
    return {};
}

QJsonArray Items(const ProgramRun &run) {
    return QJsonDocument::fromJson(run.out).array();
}

// Every item as printed, without the card's name, which differs between the systems.
QList<QJsonObject> WithoutCard(const QJsonArray &items) {
    QList<QJsonObject> objects;
    for (const QJsonValue &item : items) {
        QJsonObject object = item.toObject();
        object.remove(QStringLiteral("interface"));
        objects.append(object);
    }
    return objects;
}

} // namespace

class TestLanDiscoverWine : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void findsTheReadersOfBothCards();
    void oneCardByItsAddress_data();
    void oneCardByItsAddress();

private:
    // A shell command run in the computer's namespace with the test's wine prefix.
    ProgramRun shell(const QString &command, int timeoutMs) const {
        return lan.run(EmulatedLan::Computer, QStringLiteral("sh"), {QStringLiteral("-c"), command},
                       timeoutMs);
    }
    ProgramRun vrxctlExe(const QStringList &arguments) const {
        return lan.run(EmulatedLan::Computer, QStringLiteral(VRX_WINE_RUN_PATH),
                       QStringList{WindowsBin() + QStringLiteral("/vrxctl.exe")} + arguments, 60000);
    }

    EmulatedLan lan;
    QTemporaryDir prefix;
    bool wineStarted = false;
};

void TestLanDiscoverWine::initTestCase() {
    if (const QString why = EmulatedLan::Unavailable(); !why.isEmpty())
        QSKIP(qPrintable(why));
    if (const QString why = WineUnavailable(); !why.isEmpty())
        QSKIP(qPrintable(why));
    QVERIFY(prefix.isValid());
    qputenv("WINEPREFIX", QFile::encodeName(prefix.path()));
    qputenv("WINEDEBUG", "-all");
    qputenv("VRX_QT_PREFIX", QFile::encodeName(QtPrefix()));
    standard::Describe(lan);
    QVERIFY2(lan.start(), qPrintable(lan.errorString()));
    // The server first, then the prefix, their output discarded: wine's helper processes would keep
    // the pipes of whoever started them open. The server outlives its last program by a minute at most,
    // so that a test that dies leaves nothing running for long.
    wineStarted = true;
    const ProgramRun boot = shell(QStringLiteral("wineserver -p60 >/dev/null 2>&1 </dev/null && "
                                                 "wine wineboot -i >/dev/null 2>&1 </dev/null"),
                                  180000);
    QVERIFY2(boot.succeeded(), qPrintable(boot.describe()));
}

void TestLanDiscoverWine::cleanupTestCase() {
    if (wineStarted)
        shell(QStringLiteral("wineserver -k >/dev/null 2>&1 </dev/null; wineserver -w"), 30000);
    lan.stop();
}

void TestLanDiscoverWine::findsTheReadersOfBothCards() {
    const ProgramRun windows =
        vrxctlExe({QStringLiteral("discover"), QStringLiteral("--json"), QStringLiteral("--timeout"), Wait});
    QVERIFY2(windows.succeeded(), qPrintable(windows.describe()));
    const ProgramRun linux =
        lan.vrxctl({QStringLiteral("discover"), QStringLiteral("--json"), QStringLiteral("--timeout"), Wait});
    QVERIFY2(linux.succeeded(), qPrintable(linux.describe()));

    // Every reader of LANs A and B once, in address order; none behind the router.
    const QStringList expected = lan.readersOn(standard::A) + lan.readersOn(standard::B);
    QStringList listed;
    QHash<QString, QString> cardOf;
    for (const QJsonValue &item : Items(windows)) {
        const QString address = item[QLatin1String("address")].toString();
        listed.append(address);
        cardOf.insert(address, item[QLatin1String("interface")].toString());
    }
    QCOMPARE(listed, expected);
    // Each LAN's readers heard on one card of their own: Windows names its cards otherwise than Linux.
    for (const QString &lanName : {standard::A, standard::B}) {
        const QString card = cardOf.value(lan.readersOn(lanName).constFirst());
        QVERIFY2(!card.isEmpty(), qPrintable(windows.describe()));
        for (const QString &reader : lan.readersOn(lanName))
            QCOMPARE(cardOf.value(reader), card);
    }
    QVERIFY(cardOf.value(lan.readersOn(standard::A).constFirst()) !=
            cardOf.value(lan.readersOn(standard::B).constFirst()));
    // Everything else as the Linux vrxctl prints it.
    QCOMPARE(WithoutCard(Items(windows)), WithoutCard(Items(linux)));
    QCOMPARE(windows.err, QByteArray());
}

void TestLanDiscoverWine::oneCardByItsAddress_data() {
    QTest::addColumn<QString>("lanName");
    QTest::newRow("first card") << standard::A;
    QTest::newRow("second card") << standard::B;
}

void TestLanDiscoverWine::oneCardByItsAddress() {
    QFETCH(QString, lanName);

    const ProgramRun run =
        vrxctlExe({QStringLiteral("discover"), QStringLiteral("--json"), QStringLiteral("--timeout"), Wait,
                   QStringLiteral("--local"), lan.computerAddress(lanName)});
    QVERIFY2(run.succeeded(), qPrintable(run.describe()));
    QStringList listed;
    for (const QJsonValue &item : Items(run))
        listed.append(item[QLatin1String("address")].toString());
    QCOMPARE(listed, lan.readersOn(lanName));
}

QTEST_GUILESS_MAIN(TestLanDiscoverWine)
#include "tst_lan_discover_wine.moc"
