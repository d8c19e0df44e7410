// The vacation on a real host, driven through the dialogs: the recipe and the response file are
// uploaded over vsftpd, mail arrives through the SMTP server and real procmail answers each sender
// once (the reply to the user's own mail comes back in through the sendmail stub and is not
// answered again), never a daemon or a list; the reply is the one the preview showed. The list of
// answered addresses is shown and deleted over FTP; cancelling changes nothing; deleting the recipe
// ends the replies.
#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/net/PendingFiles.h"
#include "core/procmail/CProcmailrcFile.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "gui/app/MainWindow.h"
#include "gui/app/ZephApplication.h"
#include "gui/common/CTextViewerDlg.h"
#include "gui/procmail/CVacationDlg.h"
#include "gui/procmail/CVacationRecipeDlg.h"
#include "support/MailLoop.h"
#include "support/NetTestFixture.h"
#include "support/gui/GuiTestFixture.h"
#include "support/gui/ModalDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QByteArray ResponseText = "I am away until 7 January.\nYour mail will be read then.\n";
const QString ReplyList = QStringLiteral(".procmail/zeph_vacation_reply.txt");

// "Name: value" lines of the preview's header part.
QByteArray previewHeader(const QByteArray& preview, const QByteArray& name)
{
    for (const QByteArray& line : preview.split('\n')) {
        if (line.isEmpty())
            break;
        if (line.startsWith(name + ": "))
            return line.mid(name.size() + 2);
    }
    return "<missing>";
}

} // namespace

class TestVacationLoop : public QObject
{
    Q_OBJECT

    std::unique_ptr<GuiTestFixture> m_fixture;

private slots:
    void initTestCase() { m_fixture = std::make_unique<GuiTestFixture>(QStringLiteral("VacationLoop")); }
    void init() { m_fixture->Init(); }

    void vacationOnTheMailLoop()
    {
        MailLoop loop;
        QVERIFY2(loop.Start(), qPrintable(loop.Error()));
        QVERIFY(loop.UseSettings());
        const QByteArray me = loop.Address();
        const QByteArray joe = "joe@example.net";
        SetSetting(Settings::SetupWizRun, 1);
        SetSetting(Settings::ZephDir, QStringLiteral("$HOME/.procmail"));
        SetSetting(Settings::ReturnEmailAddress, QString::fromUtf8(me));
        SetSetting(Settings::PersonalName, QStringLiteral("Test User"));
        QVERIFY(loop.Host().WriteFile(QStringLiteral(".procmailrc"), CProcmailrcFile::DefaultText() + "\n"));
        const QString response = m_fixture->Docs() + QStringLiteral("away.txt");
        QVERIFY(WriteTestFile(response, ResponseText));
        const QString recipes = Workspace::GetRecipeFilePath();

        MainWindow window;
        ZephApplication::InstallFeatures(window.Shell());
        CVacationDlg dialog(window.Shell(), &window);

        // Create the recipe and upload what it queued.
        QByteArray preview;
        WhenModal<CVacationRecipeDlg>([&](CVacationRecipeDlg* recipe) {
            recipe->FileEdit()->setText(response);
            preview = recipe->Preview()->toPlainText().toUtf8();
            recipe->AddButton()->click();
        });
        dialog.CreateButton()->click();
        QCOMPARE(PendingPairs().size(), 2);
        CRemoteHost host;
        QVERIFY(SendPendingNow(host));
        host.Disconnect();
        QVERIFY(!HasPending());
        QCOMPARE(loop.Host().ReadFile(QStringLiteral(".procmail/away.txt")), ResponseText);

        // The user, Joe twice, a daemon and a list write.
        QVERIFY2(loop.MailYourself("note to self", "Remember the plants.\n"), qPrintable(loop.Error()));
        const QList<QPair<QByteArray, QByteArray>> others = {
            { joe, QByteArray() },
            { joe, QByteArray() },
            { "MAILER-DAEMON@example.net", QByteArray() },
            { "news@lists.example.net", "Precedence: list\nList-Id: <news.lists.example.net>\n" },
        };
        for (const auto& [from, extra] : others)
            QVERIFY2(
                loop.Send(from, { me }, ProcmailSandbox::Message(from, me, "Question", "Hello?\n", extra)),
                qPrintable(loop.Error()));
        QVERIFY2(loop.WaitUntilQuiet(), qPrintable(loop.Error()));

        // One reply to the user, fed back and delivered without a reply of its own, one to Joe.
        const QList<ProcmailSandbox::SentMail> sent = loop.Host().Sent();
        QCOMPARE(sent.size(), 2);
        QList<QByteArray> to;
        for (const ProcmailSandbox::SentMail& mail : sent)
            to << ProcmailSandbox::Header(mail.message, "To");
        QVERIFY2(to.at(0).contains(me) && to.at(1).contains(joe), to.join(", ").constData());
        const QByteArray& reply = sent.at(1).message;
        for (const QByteArray name : { "From", "X-Loop", "Precedence" })
            QCOMPARE(ProcmailSandbox::Header(reply, name), previewHeader(preview, name));
        QVERIFY(ProcmailSandbox::Header(reply, "Subject").contains("Question"));
        QCOMPARE(ProcmailSandbox::Body(reply), ResponseText);
        QVERIFY(preview.endsWith("\n\n" + ResponseText));
        QCOMPARE(loop.Deliveries(), QList<int>(6, 0));
        const QList<QByteArray> inbox = loop.Inbox();
        QCOMPARE(inbox.size(), 6);
        int fedBack = 0;
        for (const QByteArray& message : inbox)
            fedBack += ProcmailSandbox::Header(message, "X-Loop") == me ? 1 : 0;
        QCOMPARE(fedBack, 1);

        // The list as the host holds it.
        QString shown;
        QString caption;
        WhenModal<CTextViewerDlg>([&](CTextViewerDlg* viewer) {
            shown = viewer->TextBox()->toPlainText();
            caption = viewer->windowTitle();
            viewer->accept();
        });
        dialog.ViewListButton()->click();
        QCOMPARE(shown, QString::fromUtf8(me + '\n' + joe + '\n'));
        QCOMPARE(caption, QStringLiteral("Remote file: ") + ReplyList);

        // Cancel at every step leaves the recipe file, the settings, the queue and the host alone.
        const QByteArray recipeBefore = ReadTestFile(recipes);
        WhenModal<CVacationRecipeDlg>([&](CVacationRecipeDlg* recipe) {
            recipe->ToCombo()->setCurrentIndex(4);
            recipe->reject();
        });
        dialog.CreateButton()->click();
        Prompt::QueueAnswer(Prompt::Cancel);
        dialog.DeleteRecipeButton()->click();
        Prompt::QueueAnswer(Prompt::Cancel);
        dialog.DeleteListButton()->click();
        QCOMPARE(ReadTestFile(recipes), recipeBefore);
        QCOMPARE(GetSetting(Settings::VacationDlgToCombo), 0);
        QVERIFY(!HasPending());
        QCOMPARE(loop.Host().ReadFile(ReplyList), me + '\n' + joe + '\n');

        // Delete the recipe and, as offered, the list; upload the recipe file: no more replies.
        Prompt::ClearHistory();
        Prompt::QueueAnswer(Prompt::Yes);
        Prompt::QueueAnswer(Prompt::Ok); // "Success"
        Prompt::QueueAnswer(Prompt::Yes);
        dialog.DeleteRecipeButton()->click();
        QVERIFY(!ReadTestFile(recipes).contains("ZEPH_Vacation"));
        QVERIFY(!loop.Host().FileExists(ReplyList));
        QVERIFY(SendPendingNow(host));
        host.Disconnect();
        QVERIFY(!loop.Host().ReadFile(QStringLiteral(".procmail/zeph.recipes")).contains("ZEPH_Vacation"));
        loop.ClearOutputs();
        QVERIFY(loop.Send(joe, { me }, ProcmailSandbox::Message(joe, me, "Again", "Back yet?\n")));
        QVERIFY2(loop.WaitUntilQuiet(), qPrintable(loop.Error()));
        QCOMPARE(loop.Inbox().size(), 1);
        QVERIFY(loop.Host().Sent().isEmpty());

        // With the list gone, viewing it reports the server's refusal and shows no viewer.
        Prompt::ClearHistory();
        bool viewerShown = false;
        QTimer watch;
        watch.setInterval(50);
        connect(&watch, &QTimer::timeout, this, [&viewerShown] {
            if (auto* viewer = qobject_cast<CTextViewerDlg*>(QApplication::activeModalWidget())) {
                viewerShown = true;
                viewer->accept();
            }
        });
        watch.start();
        dialog.ViewListButton()->click();
        watch.stop();
        QVERIFY(!viewerShown);
        QVERIFY(!Prompt::History().isEmpty());
        QVERIFY2(Prompt::History().last().text.contains(QStringLiteral("550")),
            qPrintable(Prompt::History().last().text));
    }

    // The days chosen in the dialog are checked by procmail on the host with its own date: a
    // window around today answers, one that starts after or ends before today does not.
    void daysOnTheHost_data()
    {
        QTest::addColumn<int>("firstOffset");
        QTest::addColumn<int>("lastOffset");
        QTest::addColumn<bool>("replied");
        QTest::newRow("around today") << -1 << 1 << true;
        QTest::newRow("starts later") << 2 << 9 << false;
        QTest::newRow("ended before") << -9 << -2 << false;
    }
    void daysOnTheHost()
    {
        QFETCH(int, firstOffset);
        QFETCH(int, lastOffset);
        QFETCH(bool, replied);
        MailLoop loop;
        QVERIFY2(loop.Start(), qPrintable(loop.Error()));
        QVERIFY(loop.UseSettings());
        SetSetting(Settings::SetupWizRun, 1);
        SetSetting(Settings::ZephDir, QStringLiteral("$HOME/.procmail"));
        QVERIFY(loop.Host().WriteFile(QStringLiteral(".procmailrc"), CProcmailrcFile::DefaultText() + "\n"));
        const QString response = m_fixture->Docs() + QStringLiteral("away.txt");
        QVERIFY(WriteTestFile(response, ResponseText));
        MainWindow window;
        ZephApplication::InstallFeatures(window.Shell());
        const QDate today = QDate::currentDate();
        WhenModal<CVacationRecipeDlg>([&](CVacationRecipeDlg* recipe) {
            recipe->FileEdit()->setText(response);
            recipe->FirstDayBox()->setChecked(true);
            recipe->FirstDayEdit()->setDate(today.addDays(firstOffset));
            recipe->LastDayBox()->setChecked(true);
            recipe->LastDayEdit()->setDate(today.addDays(lastOffset));
            recipe->AddButton()->click();
        });
        QVERIFY(CVacationDlg::RunRecipeDialog(window.Shell(), &window));
        CRemoteHost host;
        QVERIFY(SendPendingNow(host));
        host.Disconnect();

        const QByteArray joe = "joe@example.net";
        QVERIFY(
            loop.Send(joe, { loop.Address() }, ProcmailSandbox::Message(joe, loop.Address(), "Hi", "x\n")));
        QVERIFY2(loop.WaitUntilQuiet(), qPrintable(loop.Error()));
        QCOMPARE(loop.Inbox().size(), 1);
        QCOMPARE(loop.Host().Sent().size(), replied ? 1 : 0);
        QCOMPARE(loop.Host().FileExists(ReplyList), replied);
    }
};

QTEST_MAIN(TestVacationLoop)
#include "tst_vacation_loop.moc"
