// Disabling procmail on a real host: the files are renamed away and back over vsftpd, mail sent
// through the SMTP server meanwhile lands unfiltered in the inbox (nothing lost) and is filtered
// again afterwards; the clean-up deletes exactly what the remote-files registry lists.
#include "NetTestFixture.h"
#include "TestEnvironment.h"
#include "core/common/Clock.h"
#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/procmail/CProcmailDisabler.h"
#include "core/procmail/CProcmailrcFile.h"
#include "core/settings/CAppState.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "support/MailLoop.h"

#include <QTest>

#include <memory>

namespace {

CRemoteFilesFoldersMgr& registry()
{
    return CAppState::Instance().RemoteFiles();
}

void record(const QString& remote)
{
    registry().AddUpload(remote, Workspace::GetDocumentFolder() + remote,
        COleDateTime::FromDateTime(Clock::Now()), COleDateTime(), -1);
}

QStringList listed()
{
    QStringList names;
    registry().RemoteNames(&names);
    return names;
}

QString lastText()
{
    return Prompt::History().isEmpty() ? QString() : Prompt::History().last().text;
}

} // namespace

class TestDisableLoop : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<MailLoop> m_loop;

    // The user's mail is filtered when the offer lands in "spam", unfiltered in the inbox.
    bool filtered()
    {
        m_loop->ClearOutputs();
        if (!m_loop->MailYourself("cheap offer", "Buy.\n"))
            return false;
        return m_loop->Host().Folder(QStringLiteral("spam")).size() == 1 && m_loop->Inbox().isEmpty();
    }

private slots:
    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        StartFreshIdentity();
        m_loop = std::make_unique<MailLoop>();
        QVERIFY2(m_loop->Start(), qPrintable(m_loop->Error()));
        QVERIFY(m_loop->UseSettings());
        SetSetting(Settings::SetupWizRun, 1);
        QVERIFY(m_loop->Host().WriteFile(QStringLiteral(".procmailrc"), CProcmailrcFile::DefaultText()));
        QVERIFY(m_loop->Host().SetRecipes(":0\n* ^Subject: cheap\nspam\n"));
        QVERIFY(m_loop->Host().WriteFile(QStringLiteral(".forward"), "\"|exec /usr/bin/procmail\"\n"));
        record(QStringLiteral(".procmailrc"));
        record(QStringLiteral(".forward"));
        Prompt::ClearHistory();
    }
    void cleanup()
    {
        m_loop.reset();
        m_env.reset();
    }

    void disableThenEnable()
    {
        SetSetting(Settings::ForwardQmailRadio, 0);
        QVERIFY2(filtered(), qPrintable(m_loop->Error()));
        CRemoteHost host;
        CProcmailDisabler disabler(host);

        Prompt::QueueAnswer(Prompt::Yes);
        QVERIFY(disabler.Disable());
        QCOMPARE(Prompt::History().first().caption, QStringLiteral("Okay to disable Procmail?"));
        QCOMPARE(Prompt::History().first().defaultButton, Prompt::No);
        QVERIFY(Prompt::History().first().text.contains(
            QStringLiteral("ZEPH will also rename \".forward\" to \"disabled.forward\".  With those files")));
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("Renamed"));
        QVERIFY(!m_loop->Host().FileExists(QStringLiteral(".procmailrc")));
        QCOMPARE(
            m_loop->Host().ReadFile(QStringLiteral("disabled.procmailrc")), CProcmailrcFile::DefaultText());
        QVERIFY(m_loop->Host().FileExists(QStringLiteral("disabled.forward")));
        QCOMPARE(listed(),
            (QStringList { QStringLiteral("disabled.procmailrc"), QStringLiteral("disabled.forward") }));

        // No filtering, and the message is still delivered.
        QVERIFY(!filtered());
        QCOMPARE(m_loop->Inbox().size(), 1);
        QCOMPARE(ProcmailSandbox::Body(m_loop->Inbox().first()), QByteArray("Buy.\n"));

        Prompt::ClearHistory();
        Prompt::QueueAnswer(Prompt::Yes);
        QVERIFY(disabler.Enable());
        QCOMPARE(Prompt::History().first().caption, QStringLiteral("Okay to re-enable Procmail?"));
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("Renamed"));
        QCOMPARE(listed(), (QStringList { QStringLiteral(".procmailrc"), QStringLiteral(".forward") }));
        QVERIFY2(filtered(), qPrintable(m_loop->Error()));
    }

    // The second attempt finds no .procmailrc: the host's answer is shown and the report names the
    // file, in the singular when no second file takes part.
    void disableTwice()
    {
        SetSetting(Settings::ForwardQmailRadio, 2);
        CRemoteHost host;
        CProcmailDisabler disabler(host);
        Prompt::QueueAnswer(Prompt::Yes);
        QVERIFY(disabler.Disable());
        QVERIFY(m_loop->Host().FileExists(QStringLiteral(".forward")));
        QVERIFY(Prompt::History().first().text.contains(QStringLiteral("With that file renamed")));

        Prompt::ClearHistory();
        Prompt::QueueAnswer(Prompt::Yes);
        QVERIFY(!disabler.Disable());
        QVERIFY(Prompt::History().at(1).text.contains(QStringLiteral("550")));
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("Rename failed"));
        QVERIFY(lastText().startsWith(QStringLiteral("The .procmailrc file was not renamed.  It's possible "
                                                     "procmail is still filtering your mail.  If the "
                                                     "last response")));
        QVERIFY(lastText().contains(QStringLiteral("1. Try to rename the file again")));
        QCOMPARE(
            m_loop->Host().ReadFile(QStringLiteral("disabled.procmailrc")), CProcmailrcFile::DefaultText());
    }

    void notSetUp()
    {
        SetSetting(Settings::SetupWizRun, 0);
        CRemoteHost host;
        CProcmailDisabler disabler(host);
        QVERIFY(!disabler.Disable());
        QVERIFY(!disabler.Enable());
        QCOMPARE(Prompt::History().size(), 2);
        QVERIFY(Prompt::History().first().text.endsWith(
            QStringLiteral("select the 'Delete all remote ZEPH procmail files' button.")));
        QVERIFY(Prompt::History().last().text.endsWith(
            QStringLiteral("from the 'Tools' menu select 'Initial Setup'.")));
        QVERIFY(m_loop->Host().FileExists(QStringLiteral(".procmailrc")));
    }

    // Only what the registry lists goes, each after its own question, and then the .procmailrc the
    // registry no longer names (it was renamed) is offered separately; the user's own files stay.
    void deleteAllRemovesExactlyTheListedFiles()
    {
        SetSetting(Settings::ForwardQmailRadio, 2);
        QVERIFY(m_loop->Host().WriteFile(QStringLiteral("notes.txt"), "mine\n"));
        QVERIFY(m_loop->Host().WriteFile(QStringLiteral("zeph.recipes"), "x\n"));
        record(QStringLiteral("zeph.recipes"));
        CRemoteHost host;
        CProcmailDisabler disabler(host);
        Prompt::QueueAnswer(Prompt::Yes);
        QVERIFY(disabler.Disable());
        QCOMPARE(listed(),
            (QStringList { QStringLiteral("disabled.procmailrc"), QStringLiteral(".forward"),
                QStringLiteral("zeph.recipes") }));

        Prompt::ClearHistory();
        for (int i = 0; i < 5; ++i)
            Prompt::QueueAnswer(Prompt::Yes);
        disabler.DeleteAll();
        const QList<Prompt::Record> shown = Prompt::History();
        QCOMPARE(shown.first().caption, QStringLiteral("Okay to delete files?"));
        QVERIFY(shown.first().text.contains(QStringLiteral("There are currently 3 files in the list.")));
        QStringList questions;
        for (const Prompt::Record& r : shown)
            if (r.caption == QStringLiteral("Okay to delete file?"))
                questions << r.text.left(60);
        QCOMPARE(questions,
            (QStringList { QStringLiteral("Okay to delete the disabled.procmailrc file?"),
                QStringLiteral("Okay to delete the .forward file?"),
                QStringLiteral("Okay to delete the zeph.recipes file?"),
                QStringLiteral("Although the .procmailrc file was not listed in the Remote F") }));
        for (const char* gone : { "disabled.procmailrc", ".forward", "zeph.recipes", ".procmailrc" })
            QVERIFY2(!m_loop->Host().FileExists(QLatin1String(gone)), gone);
        QCOMPARE(m_loop->Host().ReadFile(QStringLiteral("notes.txt")), QByteArray("mine\n"));
        QVERIFY(listed().isEmpty());
        // The .procmailrc was gone already: its failure is shown, and nothing else breaks.
        QVERIFY(shown.last().text.contains(QStringLiteral("550")));
    }

    // An empty registry with a .forward choice: one question for both, then one per file; No to the
    // second keeps it.
    void deleteAllWithEmptyRegistry()
    {
        SetSetting(Settings::ForwardQmailRadio, 0);
        registry().ForgetFile(QStringLiteral(".procmailrc"));
        registry().ForgetFile(QStringLiteral(".forward"));
        CRemoteHost host;
        CProcmailDisabler disabler(host);
        Prompt::QueueAnswer(Prompt::Yes);
        Prompt::QueueAnswer(Prompt::Yes);
        Prompt::QueueAnswer(Prompt::Ok);
        Prompt::QueueAnswer(Prompt::No);
        disabler.DeleteAll();
        const QList<Prompt::Record> shown = Prompt::History();
        QCOMPARE(shown.first().caption, QStringLiteral("Okay to delete?"));
        QVERIFY(shown.first().text.contains(
            QStringLiteral("Would you like to delete the files .procmailrc and .forward?")));
        QCOMPARE(shown.last().text, QStringLiteral("Okay to delete the .forward file?"));
        QVERIFY(!m_loop->Host().FileExists(QStringLiteral(".procmailrc")));
        QVERIFY(m_loop->Host().FileExists(QStringLiteral(".forward")));
    }
};

QTEST_MAIN(TestDisableLoop)
#include "tst_disable_loop.moc"
