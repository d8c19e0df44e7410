#include "FileSizeLimit.h"
#include "TestEnvironment.h"
#include "XSession.h"
#include "core/common/Prompt.h"
#include "core/settings/CAppState.h"
#include "core/settings/Profile.h"
#include "gui/app/SingleInstance.h"
#include "gui/app/ZephApplication.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// A started `zeph` for one identity, ended (by its own pid) when the test is done with it.
class ZephProcess
{
public:
    ZephProcess(const QStringList& args, const QProcessEnvironment& env)
    {
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(ZEPH_APP_PATH), args);
    }
    ~ZephProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000))
                m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    QProcess& process() { return m_process; }

private:
    QProcess m_process;
};

// Waits until a first instance has its single-instance server listening.
bool waitUntilServing(const QString& identity)
{
    for (int i = 0; i < 200; ++i) {
        if (SingleInstance::IsServed(SingleInstance::InstanceName(identity)))
            return true;
        QTest::qWait(100);
    }
    return false;
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void identityFromArguments_data();
    void identityFromArguments();
    void uninstallIdentity();
    void secondInstanceRaisesFirst();
    void oneInstancePerIdentity();
    void exitSavesOnlyWhatWasLoaded();
    void failedExitSaveOffersRetry();
    void closingWithHelpOpenEndsTheProgram();
};

void TestStartup::identityFromArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("identity");
    QTest::newRow("none") << QStringList {} << QStringLiteral("Default");
    QTest::newRow("one") << QStringList { QStringLiteral("-Work") } << QStringLiteral("Work");
    QTest::newRow("last wins") << QStringList { QStringLiteral("-Work"), QStringLiteral("-Home") }
                               << QStringLiteral("Home");
    QTest::newRow("slash form") << QStringList { QStringLiteral("/Work") } << QStringLiteral("Work");
    QTest::newRow("toolkit option is an identity")
        << QStringList { QStringLiteral("-style") } << QStringLiteral("style");
    QTest::newRow("non-flags ignored") << QStringList { QStringLiteral("file.txt"), QStringLiteral("-A"),
        QStringLiteral("x") } << QStringLiteral("A");
    QTest::newRow("bare dash") << QStringList { QStringLiteral("-") } << QString();
}

void TestStartup::identityFromArguments()
{
    QFETCH(QStringList, args);
    QFETCH(QString, identity);
    QList<QByteArray> storage { "zeph" };
    for (const QString& arg : args)
        storage.append(arg.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& arg : storage)
        argv.push_back(arg.data());
    QCOMPARE(ZephApplication::IdentityFromArguments(static_cast<int>(argv.size()), argv.data()), identity);

    CAppState::Instance().SetIdentity(identity);
    QCOMPARE(CAppState::Instance().IdentityName(), identity.isEmpty() ? QStringLiteral("Default") : identity);
}

void TestStartup::uninstallIdentity()
{
    CAppState& state = CAppState::Instance();
    state.SetIdentity(QStringLiteral("_Z_e_p_H___uNiNSTaLl__"));
    QVERIFY(state.UninstallMode());
    QCOMPARE(state.IdentityName(), QStringLiteral("Default"));
    state.SetIdentity(QStringLiteral("Work"));
    QVERIFY(!state.UninstallMode());
}

void TestStartup::secondInstanceRaisesFirst()
{
    TestEnvironment env;
    SingleInstance first(SingleInstance::InstanceName(QStringLiteral("Work")));
    QVERIFY(first.Acquire());
    QSignalSpy raised(&first, &SingleInstance::ActivationRequested);

    SingleInstance second(SingleInstance::InstanceName(QStringLiteral("Work")));
    QVERIFY(!second.Acquire());
    QVERIFY(raised.wait(3000));

    SingleInstance other(SingleInstance::InstanceName(QStringLiteral("Home")));
    QVERIFY(other.Acquire());
    QCOMPARE(SingleInstance::InstanceName(QStringLiteral("Work")).left(14), QStringLiteral("ZEPH USER WORK"));
}

void TestStartup::oneInstancePerIdentity()
{
    TestEnvironment env;
    const QProcessEnvironment processEnv = env.ProcessEnvironment();

    // "-style" must reach ZEPH as the identity "style", not be taken by the toolkit.
    ZephProcess style({ QStringLiteral("-style") }, processEnv);
    QVERIFY(style.process().waitForStarted(10000));
    QVERIFY(waitUntilServing(QStringLiteral("style")));

    ZephProcess second({ QStringLiteral("-style") }, processEnv);
    QVERIFY(second.process().waitForFinished(20000));
    QCOMPARE(second.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.process().exitCode(), 0);

    // Other identities run beside it, "Default" among them.
    ZephProcess home({ QStringLiteral("-Home") }, processEnv);
    ZephProcess plain({}, processEnv);
    QVERIFY(waitUntilServing(QStringLiteral("Home")));
    QVERIFY(waitUntilServing(QStringLiteral("Default")));
    QCOMPARE(home.process().state(), QProcess::Running);
    QCOMPARE(plain.process().state(), QProcess::Running);
    QCOMPARE(style.process().state(), QProcess::Running);
}

void TestStartup::exitSavesOnlyWhatWasLoaded()
{
    TestEnvironment env;
    CAppState& state = CAppState::Instance();
    state.SetDataFilePath(QString());
    state.SetIdentity(QStringLiteral("Refused"));
    state.Reset();
    QVERIFY(CAppState::Instance().SaveAtExit());
    QVERIFY(!QFile::exists(env.DataFilePath()));

    state.LoadIdentityData();
    SetSetting(Settings::ShowTipOfDay, 0);
    QVERIFY(CAppState::Instance().SaveAtExit());
    state.Reset();
    state.LoadIdentityData();
    QCOMPARE(GetSetting(Settings::ShowTipOfDay), 0);
}

void TestStartup::failedExitSaveOffersRetry()
{
    TestEnvironment env;
    CAppState& state = CAppState::Instance();
    state.SetIdentity(QStringLiteral("Full"));
    state.Reset();
    state.LoadIdentityData();
    SetSetting(Settings::ZephDir, QString(50000, QLatin1Char('z')));
    Prompt::ClearHistory();
    Prompt::QueueAnswer(Prompt::Retry);
    Prompt::QueueAnswer(Prompt::Cancel);

    bool saved = true;
    {
        FileSizeLimit limit(1000);
        saved = CAppState::Instance().SaveAtExit();
    }
    QVERIFY(!saved);
    const auto history = Prompt::History();
    QCOMPARE(history.size(), 2);
    QCOMPARE(history[0].caption, QStringLiteral("Error!"));
    QVERIFY(history[0].text.startsWith(
        QStringLiteral("The ZEPH data file %1 could not be saved.  The error was:\r\n\r\n")
            .arg(env.DataFilePath())));
    QCOMPARE(history[0].buttons, Prompt::Buttons(Prompt::Retry | Prompt::Cancel));
    QVERIFY(!QFile::exists(env.DataFilePath()));
}

// On a real display with a window manager: F1 opens help, closing the main window through the
// window manager ends the process (help does not keep it alive) and the settings are written.
void TestStartup::closingWithHelpOpenEndsTheProgram()
{
    XSession x;
    QString error;
    QVERIFY2(x.Start(&error), qPrintable(error));
    TestEnvironment env;
    ZephProcess zeph({}, x.Environment(env.ProcessEnvironment()));
    QVERIFY(zeph.process().waitForStarted(10000));
    // A first start shows the tip of the day over the main window.
    const QString tip = x.WaitForWindow(QStringLiteral("^Tip of the day$"));
    QVERIFY(!tip.isEmpty());
    x.XDoTool({ QStringLiteral("windowactivate"), QStringLiteral("--sync"), tip });
    x.XDoTool({ QStringLiteral("key"), QStringLiteral("Escape") });
    const QString main = x.WaitForWindow(QStringLiteral("^ZEPH - Default"));
    QVERIFY(!main.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(x.WaitForWindow(QStringLiteral("^Tip of the day$"), 100).isEmpty(), 10000);
    x.XDoTool({ QStringLiteral("windowactivate"), QStringLiteral("--sync"), main });
    x.XDoTool({ QStringLiteral("key"), QStringLiteral("F1") });
    QVERIFY(!x.WaitForWindow(QStringLiteral("^ZEPH Help$")).isEmpty());
    QVERIFY(!QFile::exists(env.DataFilePath()));

    x.XDoTool({ QStringLiteral("windowactivate"), QStringLiteral("--sync"), main });
    x.XDoTool({ QStringLiteral("key"), QStringLiteral("alt+F4") });
    QVERIFY(zeph.process().waitForFinished(20000));
    QCOMPARE(zeph.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(zeph.process().exitCode(), 0);
    QVERIFY(QFile::exists(env.DataFilePath()));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
