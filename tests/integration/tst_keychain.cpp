#include "FtpServers.h"
#include "TestEnvironment.h"
#include "TestSecretService.h"
#include "ZephCli.h"
#include "core/common/Prompt.h"
#include "core/net/SavedPassword.h"
#include "core/settings/CAppState.h"
#include "core/settings/CRegistry.h"
#include "core/settings/CRegistryCipher.h"
#include "core/settings/Keychain.h"
#include "core/settings/ProtectedKeys.h"
#include "core/workspace/Identities.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include <cstdio>
#include <memory>

// Saved passwords against a real Secret Service. Every step that touches the keychain runs in a
// child process (this program started with --child), as the program does at one start: the
// child connects to the test's private bus and ends before that bus goes away. This process
// only reads the registry files and asks secret-tool what the keychain holds.

namespace {

const char ChildFlag[] = "--child";

SavedPassword passwordFor(const QString& purpose)
{
    return purpose == QLatin1String("smtp") ? SavedPassword::Smtp() : SavedPassword::Ftp();
}

// The child: "--child IDENTITY ACTION..." with the actions "save PURPOSE TEXT", "load PURPOSE",
// "delete PURPOSE", "delete-identity NAME", "start" (what the program does at start-up) and "store"
// (the FTP page's line),
// run in order. It prints "result <text>" per action and "told <text>" per message box.
int runChild(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(2);
    CAppState::Instance().SetIdentity(args.value(0));
    // Short enough for a test that waits for a keychain that never answers.
    Keychain::SetWaitLimit(2000);
    int code = 0;
    for (qsizetype i = 1; i < args.size();) {
        const QString action = args[i++];
        QString result;
        if (action == QLatin1String("save")) {
            QString error;
            const bool saved = passwordFor(args.value(i)).Save(args.value(i + 1), &error);
            result = saved ? QStringLiteral("saved") : QStringLiteral("failed: ") + error;
            code = saved ? code : 1;
            i += 2;
        } else if (action == QLatin1String("load")) {
            result = passwordFor(args.value(i++)).Load();
        } else if (action == QLatin1String("delete")) {
            passwordFor(args.value(i++)).Delete();
        } else if (action == QLatin1String("delete-identity")) {
            result = Identities::DeleteIdentity(args.value(i++)) ? QStringLiteral("deleted")
                                                                 : QStringLiteral("kept");
        } else if (action == QLatin1String("start")) {
            SavedPassword::MoveIntoKeychain();
        } else if (action == QLatin1String("store")) {
            result = SavedPassword::StoreInUse();
        } else {
            std::fprintf(stderr, "unknown action %s\n", qUtf8Printable(action));
            return 2;
        }
        std::printf("result %s\n", qUtf8Printable(result));
    }
    for (const Prompt::Record& record : Prompt::History())
        std::printf("told %s\n", qUtf8Printable(record.text));
    return code;
}

struct ChildRun
{
    int code = -1;
    QStringList results;
    QStringList told;
    qint64 milliseconds = 0;
};

ChildRun runAsChild(const QProcessEnvironment& env, const QString& identity, const QStringList& actions)
{
    ChildRun run;
    QProcess child;
    child.setProcessEnvironment(env);
    QElapsedTimer timer;
    timer.start();
    child.start(QCoreApplication::applicationFilePath(),
        QStringList { QLatin1String(ChildFlag), identity } + actions);
    // A hang guard only: a keychain that never answers is given up after 2 seconds per call.
    if (!child.waitForFinished(60000)) {
        child.kill();
        child.waitForFinished(5000);
        return run;
    }
    run.milliseconds = timer.elapsed();
    const QString err = QString::fromUtf8(child.readAllStandardError());
    if (child.exitStatus() != QProcess::NormalExit)
        qWarning("child crashed: %s", qUtf8Printable(err));
    run.code = child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
    const QStringList lines = QString::fromUtf8(child.readAllStandardOutput()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1String("result ")))
            run.results << line.mid(7);
        else if (line.startsWith(QLatin1String("told ")))
            run.told << line.mid(5);
    }
    if (run.code != 0)
        qWarning("child exited with %d: %s", run.code, qUtf8Printable(err));
    return run;
}

QString valuePath(const QString& identity, const QString& valueName)
{
    return QStringLiteral("HKEY_CURRENT_USER\\") + CRegistry::KeyPathOf(identity, QStringLiteral("Settings"))
        + QLatin1Char('\\') + valueName;
}

// A protected value as ZEPH kept passwords before it used the keychain.
bool writeProtected(const QString& identity, const QString& valueName, const QString& password)
{
    CRegistryCipher cipher;
    return cipher.SetKey(PasswordKey())
        && cipher.WriteValue(password.toUtf8(), valuePath(identity, valueName));
}

// Whether the registry file holds the value at all, and what it deciphers to.
bool hasValue(const QString& identity, const QString& valueName)
{
    QByteArray raw;
    return CRegistry::ReadBinary(CRegistry::KeyPathOf(identity, QStringLiteral("Settings")), valueName, &raw);
}

QString protectedValue(const QString& identity, const QString& valueName)
{
    CRegistryCipher cipher;
    QByteArray text;
    if (!cipher.SetKey(PasswordKey()) || !cipher.ReadValue(&text, valuePath(identity, valueName)))
        return QStringLiteral("<none>");
    return QString::fromUtf8(text);
}

// The keychain entry of an identity and purpose as another client of the service sees it.
QStringList entry(const QString& key)
{
    return QStringList { QStringLiteral("user"), key, QStringLiteral("server"), QStringLiteral("ZEPH") };
}

QString lookup(const TestSecretService& service, const QString& key)
{
    QByteArray secret;
    return service.Lookup(entry(key), &secret) ? QString::fromUtf8(secret) : QStringLiteral("<none>");
}

const QString KeychainLine = QStringLiteral("Password store: the desktop keychain");

} // namespace

class TestKeychain : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void withoutSessionBus();
    void sessionBusWithoutSecretService();
    void keychainStoresAndReturns();
    void protectedPasswordsMoveIntoKeychain();
    void cliLogsInWithKeychainPassword();
    void programMovesPasswordsAtStart();
    void lockedKeychainKeepsProtectedValue();
    void stuckKeychainIsGivenUp();

private:
    // Starts a Secret Service of the kind, or fails the test naming what is missing.
    bool startService(TestSecretService::Kind kind);
    QProcessEnvironment clientEnvironment() const;

    std::unique_ptr<TestEnvironment> m_home;
    std::unique_ptr<TestSecretService> m_service;
};

void TestKeychain::init()
{
    m_home = std::make_unique<TestEnvironment>();
    StartFreshIdentity();
}

void TestKeychain::cleanup()
{
    m_service.reset();
    m_home.reset();
}

bool TestKeychain::startService(TestSecretService::Kind kind)
{
    m_service = std::make_unique<TestSecretService>(kind);
    QString error;
    if (!m_service->Start(&error)) {
        qWarning("%s", qUtf8Printable(error));
        return false;
    }
    return true;
}

QProcessEnvironment TestKeychain::clientEnvironment() const
{
    return m_service ? m_service->ClientEnvironment(m_home->ProcessEnvironment())
                     : m_home->ProcessEnvironment();
}

void TestKeychain::withoutSessionBus()
{
    const QProcessEnvironment env = m_home->ProcessEnvironment();
    QVERIFY(env.value(QStringLiteral("DBUS_SESSION_BUS_ADDRESS")).isEmpty());

    ChildRun run = runAsChild(env, QStringLiteral("Default"),
        { QStringLiteral("store"), QStringLiteral("save"), QStringLiteral("ftp"),
            QStringLiteral("ftp secret"), QStringLiteral("save"), QStringLiteral("smtp"),
            QStringLiteral("smtp secret"), QStringLiteral("load"), QStringLiteral("ftp") });
    QCOMPARE(run.code, 0);
    QCOMPARE(run.results,
        QStringList(
            { QStringLiteral("Password store: a protected value in the settings file (no D-Bus session)"),
                QStringLiteral("saved"), QStringLiteral("saved"), QStringLiteral("ftp secret") }));
    // No keychain is not a problem to tell about: the FTP page says where the password went.
    QCOMPARE(run.told, QStringList());
    QCOMPARE(
        protectedValue(QStringLiteral("Default"), QStringLiteral("Password")), QStringLiteral("ftp secret"));
    QCOMPARE(protectedValue(QStringLiteral("Default"), QStringLiteral("Smtp Password")),
        QStringLiteral("smtp secret"));

    run = runAsChild(env, QStringLiteral("Default"),
        { QStringLiteral("delete"), QStringLiteral("ftp"), QStringLiteral("load"), QStringLiteral("ftp") });
    QCOMPARE(run.code, 0);
    QCOMPARE(run.results, QStringList({ QString(), QString() }));
    QCOMPARE(run.told, QStringList());
    QCOMPARE(protectedValue(QStringLiteral("Default"), QStringLiteral("Smtp Password")),
        QStringLiteral("smtp secret"));
}

// A desktop without a keychain: the same quiet fallback as without a session bus.
void TestKeychain::sessionBusWithoutSecretService()
{
    QVERIFY(startService(TestSecretService::Kind::Absent));
    const ChildRun run = runAsChild(clientEnvironment(), QStringLiteral("Default"),
        { QStringLiteral("save"), QStringLiteral("ftp"), QStringLiteral("ftp secret"), QStringLiteral("load"),
            QStringLiteral("ftp"), QStringLiteral("store") });
    QCOMPARE(run.code, 0);
    QCOMPARE(run.results,
        QStringList({ QStringLiteral("saved"), QStringLiteral("ftp secret"),
            QStringLiteral("Password store: a protected value in the settings file (The name "
                           "org.freedesktop.secrets was not provided by any .service files)") }));
    QCOMPARE(run.told, QStringList());
    QCOMPARE(
        protectedValue(QStringLiteral("Default"), QStringLiteral("Password")), QStringLiteral("ftp secret"));
}

void TestKeychain::keychainStoresAndReturns()
{
    QVERIFY(startService(TestSecretService::Kind::Unlocked));
    const QProcessEnvironment env = clientEnvironment();

    // Each identity and purpose has an entry of its own; identity names count without case.
    const struct
    {
        const char* identity;
        const char* purpose;
        const char* valueName;
        const char* key;
        const char* password;
    } saves[] = {
        { "Default", "ftp", "Password", "default/ftp", "p\xc3\xa4ssw\xc3\xb6rd with spaces" },
        { "Default", "smtp", "Smtp Password", "default/smtp", "smtp secret" },
        { "Work", "ftp", "Password", "work/ftp", "work secret" },
    };
    for (const auto& save : saves) {
        const QString identity = QLatin1String(save.identity);
        const QString password = QString::fromUtf8(save.password);
        const ChildRun run = runAsChild(env, identity,
            { QStringLiteral("save"), QLatin1String(save.purpose), password, QStringLiteral("store") });
        QCOMPARE(run.code, 0);
        QCOMPARE(run.results, QStringList({ QStringLiteral("saved"), KeychainLine }));
        QCOMPARE(run.told, QStringList());
        QVERIFY2(!hasValue(identity, QLatin1String(save.valueName)), save.key);
    }
    for (const auto& save : saves) {
        QCOMPARE(lookup(*m_service, QLatin1String(save.key)), QString::fromUtf8(save.password));
        const ChildRun run = runAsChild(env, QString::fromLatin1(save.identity).toUpper(),
            { QStringLiteral("load"), QLatin1String(save.purpose) });
        QCOMPARE(run.results, QStringList(QString::fromUtf8(save.password)));
    }

    // What another client put under the entry is what ZEPH reads.
    // (QtKeychain marks a text entry with the type "plaintext".)
    QVERIFY(m_service->Store(entry(QStringLiteral("outside/ftp"))
            + QStringList { QStringLiteral("type"), QStringLiteral("plaintext") },
        "from another program"));
    ChildRun run
        = runAsChild(env, QStringLiteral("Outside"), { QStringLiteral("load"), QStringLiteral("ftp") });
    QCOMPARE(run.results, QStringList(QStringLiteral("from another program")));

    // Not saving the password any more removes the entry, and only that one.
    run = runAsChild(env, QStringLiteral("Work"), { QStringLiteral("delete"), QStringLiteral("ftp") });
    QCOMPARE(run.code, 0);
    QCOMPARE(run.told, QStringList());
    QCOMPARE(lookup(*m_service, QStringLiteral("work/ftp")), QStringLiteral("<none>"));
    QCOMPARE(lookup(*m_service, QStringLiteral("default/ftp")), QString::fromUtf8(saves[0].password));

    // Deleting an identity takes its passwords along, so that a later identity of the same name
    // does not log in with them.
    QCOMPARE(runAsChild(env, QStringLiteral("Work"),
                 { QStringLiteral("save"), QStringLiteral("ftp"), QStringLiteral("work ftp"),
                     QStringLiteral("save"), QStringLiteral("smtp"), QStringLiteral("work smtp") })
                 .results,
        QStringList({ QStringLiteral("saved"), QStringLiteral("saved") }));
    CAppState& state = CAppState::Instance();
    state.SetIdentity(QStringLiteral("Work"));
    state.LoadIdentityData();
    QString error;
    QVERIFY2(state.SaveIdentityData(&error), qUtf8Printable(error));
    state.Reset();
    run = runAsChild(
        env, QStringLiteral("Default"), { QStringLiteral("delete-identity"), QStringLiteral("Work") });
    QCOMPARE(run.results, QStringList(QStringLiteral("deleted")));
    // (The questions about the identity's local files are answered with their defaults.)
    QCOMPARE(run.told.filter(QStringLiteral("keychain")), QStringList());
    QCOMPARE(lookup(*m_service, QStringLiteral("work/ftp")), QStringLiteral("<none>"));
    QCOMPARE(lookup(*m_service, QStringLiteral("work/smtp")), QStringLiteral("<none>"));
    QCOMPARE(lookup(*m_service, QStringLiteral("default/smtp")), QStringLiteral("smtp secret"));
}

void TestKeychain::protectedPasswordsMoveIntoKeychain()
{
    QVERIFY(startService(TestSecretService::Kind::Unlocked));
    const QProcessEnvironment env = clientEnvironment();

    // The SMTP password went into the keychain once; later it was changed while no keychain ran,
    // so the protected value is the newer one.
    QCOMPARE(runAsChild(env, QStringLiteral("Default"),
                 { QStringLiteral("save"), QStringLiteral("smtp"), QStringLiteral("older smtp") })
                 .code,
        0);
    QVERIFY(writeProtected(QStringLiteral("Default"), QStringLiteral("Password"), QStringLiteral("old ftp")));
    QVERIFY(writeProtected(
        QStringLiteral("Default"), QStringLiteral("Smtp Password"), QStringLiteral("new smtp")));
    // Another value in the same file, which the move leaves alone.
    QVERIFY(CRegistry::SetString(
        QStringLiteral("Settings"), QStringLiteral("Host"), QStringLiteral("ftp.example.org")));

    ChildRun run = runAsChild(env, QStringLiteral("Default"), { QStringLiteral("start") });
    QCOMPARE(run.code, 0);
    QCOMPARE(run.told, QStringList());
    QCOMPARE(lookup(*m_service, QStringLiteral("default/ftp")), QStringLiteral("old ftp"));
    QCOMPARE(lookup(*m_service, QStringLiteral("default/smtp")), QStringLiteral("new smtp"));
    QVERIFY(!hasValue(QStringLiteral("Default"), QStringLiteral("Password")));
    QVERIFY(!hasValue(QStringLiteral("Default"), QStringLiteral("Smtp Password")));
    QCOMPARE(CRegistry::GetString(QStringLiteral("Settings"), QStringLiteral("Host")),
        QStringLiteral("ftp.example.org"));

    run = runAsChild(env, QStringLiteral("Default"),
        { QStringLiteral("load"), QStringLiteral("ftp"), QStringLiteral("load"), QStringLiteral("smtp") });
    QCOMPARE(run.results, QStringList({ QStringLiteral("old ftp"), QStringLiteral("new smtp") }));

    // A program that reads the password before any start-up step moves it just as well.
    QVERIFY(
        writeProtected(QStringLiteral("Default"), QStringLiteral("Password"), QStringLiteral("newer ftp")));
    run = runAsChild(env, QStringLiteral("Default"), { QStringLiteral("load"), QStringLiteral("ftp") });
    QCOMPARE(run.results, QStringList(QStringLiteral("newer ftp")));
    QCOMPARE(lookup(*m_service, QStringLiteral("default/ftp")), QStringLiteral("newer ftp"));
    QVERIFY(!hasValue(QStringLiteral("Default"), QStringLiteral("Password")));

    // "Save password" turned off while no keychain ran: the keychain's copy is not used, and it
    // goes at the next start where the keychain runs.
    run = runAsChild(m_home->ProcessEnvironment(), QStringLiteral("Default"),
        { QStringLiteral("delete"), QStringLiteral("ftp"), QStringLiteral("load"), QStringLiteral("ftp") });
    QCOMPARE(run.results, QStringList({ QString(), QString() }));
    QCOMPARE(lookup(*m_service, QStringLiteral("default/ftp")), QStringLiteral("newer ftp"));
    run = runAsChild(env, QStringLiteral("Default"),
        { QStringLiteral("start"), QStringLiteral("load"), QStringLiteral("ftp") });
    QCOMPARE(run.results, QStringList({ QString(), QString() }));
    QCOMPARE(run.told, QStringList());
    QCOMPARE(lookup(*m_service, QStringLiteral("default/ftp")), QStringLiteral("<none>"));
    QVERIFY(!hasValue(QStringLiteral("Default"), QStringLiteral("Password")));
    QCOMPARE(lookup(*m_service, QStringLiteral("default/smtp")), QStringLiteral("new smtp"));
}

// zeph-cli without --password-env logs in to a real FTP server with the saved password: first the
// one an older ZEPH left in the registry file, which moves into the keychain, then the keychain's.
void TestKeychain::cliLogsInWithKeychainPassword()
{
    TestFtpServer server(TestFtpServer::Pyftpdlib);
    QVERIFY(StartTestServer(server));
    QVERIFY(startService(TestSecretService::Kind::Unlocked));
    QVERIFY(writeProtected(QStringLiteral("Default"), QStringLiteral("Password"), server.Password()));
    QVERIFY(server.PutFile(QStringLiteral("listed.txt"), "x\n"));

    const QStringList args = { QStringLiteral("ftp"), QStringLiteral("--host"), QStringLiteral("127.0.0.1"),
        QStringLiteral("--port"), QString::number(server.Port()), QStringLiteral("--user"), server.User(),
        QStringLiteral("ls"), QStringLiteral(".") };
    for (int round = 0; round < 2; ++round) {
        const ZephCliRun run = RunZephCli(args, clientEnvironment());
        QVERIFY2(run.code == 0, run.err.constData());
        QVERIFY2(run.out.contains("listed.txt"), run.out.constData());
        QVERIFY(!hasValue(QStringLiteral("Default"), QStringLiteral("Password")));
        QCOMPARE(lookup(*m_service, QStringLiteral("default/ftp")), server.Password());
    }
}

// The desktop program moves both passwords at its start, before anything asks for one.
void TestKeychain::programMovesPasswordsAtStart()
{
    QVERIFY(startService(TestSecretService::Kind::Unlocked));
    QVERIFY(writeProtected(QStringLiteral("Default"), QStringLiteral("Password"), QStringLiteral("old ftp")));
    QVERIFY(writeProtected(
        QStringLiteral("Default"), QStringLiteral("Smtp Password"), QStringLiteral("old smtp")));

    QProcessEnvironment env = clientEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // Stopped by its process id however the test ends.
    struct Program
    {
        QProcess process;
        ~Program()
        {
            process.terminate();
            if (!process.waitForFinished(10000)) {
                process.kill();
                process.waitForFinished(5000);
            }
        }
    } zeph;
    zeph.process.setProcessEnvironment(env);
    zeph.process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    zeph.process.start(QStringLiteral(ZEPH_APP_PATH), QStringList());
    QVERIFY(zeph.process.waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(!hasValue(QStringLiteral("Default"), QStringLiteral("Smtp Password")), 30000);
    QVERIFY(!hasValue(QStringLiteral("Default"), QStringLiteral("Password")));
    QCOMPARE(lookup(*m_service, QStringLiteral("default/ftp")), QStringLiteral("old ftp"));
    QCOMPARE(lookup(*m_service, QStringLiteral("default/smtp")), QStringLiteral("old smtp"));
    QCOMPARE(zeph.process.state(), QProcess::Running);
}

void TestKeychain::lockedKeychainKeepsProtectedValue()
{
    QVERIFY(startService(TestSecretService::Kind::Locked));
    const QProcessEnvironment env = clientEnvironment();
    QVERIFY(
        writeProtected(QStringLiteral("Default"), QStringLiteral("Password"), QStringLiteral("kept ftp")));

    ChildRun run = runAsChild(env, QStringLiteral("Default"),
        { QStringLiteral("start"), QStringLiteral("load"), QStringLiteral("ftp"), QStringLiteral("save"),
            QStringLiteral("smtp"), QStringLiteral("new smtp") });
    QCOMPARE(run.code, 0);
    QCOMPARE(run.results, QStringList({ QString(), QStringLiteral("kept ftp"), QStringLiteral("saved") }));
    // gnome-keyring's own reason reaches the user, once for the move and once for the save.
    const QString reason = QStringLiteral("Cannot create an item in a locked collection");
    QCOMPARE(run.told,
        QStringList({ QStringLiteral("The saved password could not be moved into the desktop keychain (%1).  "
                                     "It stays in the settings file.")
                          .arg(reason),
            QStringLiteral("The password could not be stored in the desktop keychain (%1).  It is kept as a "
                           "protected value in the settings file instead.")
                .arg(reason) }));
    QCOMPARE(
        protectedValue(QStringLiteral("Default"), QStringLiteral("Password")), QStringLiteral("kept ftp"));
    QCOMPARE(protectedValue(QStringLiteral("Default"), QStringLiteral("Smtp Password")),
        QStringLiteral("new smtp"));
    QCOMPARE(lookup(*m_service, QStringLiteral("default/ftp")), QStringLiteral("<none>"));

    // The FTP page names the store where the password really is.
    run = runAsChild(env, QStringLiteral("Default"), { QStringLiteral("store") });
    QCOMPARE(run.results,
        QStringList(
            QStringLiteral("Password store: a protected value in the settings file (%1)").arg(reason)));
}

void TestKeychain::stuckKeychainIsGivenUp()
{
    QVERIFY(startService(TestSecretService::Kind::Silent));
    const QProcessEnvironment env = clientEnvironment();

    const ChildRun run = runAsChild(env, QStringLiteral("Default"),
        { QStringLiteral("save"), QStringLiteral("ftp"), QStringLiteral("ftp secret"), QStringLiteral("load"),
            QStringLiteral("ftp"), QStringLiteral("store") });
    QCOMPARE(run.code, 0);
    QCOMPARE(run.results,
        QStringList({ QStringLiteral("saved"), QStringLiteral("ftp secret"),
            QStringLiteral(
                "Password store: a protected value in the settings file (the desktop keychain did not "
                "answer in time earlier in this run)") }));
    // Told once: after the first call ran out of time the keychain is not waited for again.
    QCOMPARE(run.told,
        QStringList(
            QStringLiteral("The password could not be stored in the desktop keychain (no answer within 2 "
                           "seconds).  It is kept as a protected value in the settings file instead.")));
    QVERIFY2(run.milliseconds < 20000, qPrintable(QString::number(run.milliseconds)));
    QCOMPARE(
        protectedValue(QStringLiteral("Default"), QStringLiteral("Password")), QStringLiteral("ftp secret"));
}

int main(int argc, char* argv[])
{
    if (argc > 2 && qstrcmp(argv[1], ChildFlag) == 0)
        return runChild(argc, argv);
    QCoreApplication app(argc, argv);
    TestKeychain test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_keychain.moc"
