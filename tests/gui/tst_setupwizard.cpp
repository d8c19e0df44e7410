// Tools > Initial Setup as the user meets it: the first page with settings missing and complete,
// the "already set up" box, the connect page's options and Advanced, the keys of the test dialog,
// and the whole wizard walked on the mail loop until mail is filtered by the uploaded files.
#include "core/common/Prompt.h"
#include "core/net/PendingFiles.h"
#include "core/procmail/CInitialSetup.h"
#include "core/procmail/CProcmailrcFile.h"
#include "core/procmail/ForwardFile.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "gui/app/CommandRegistry.h"
#include "gui/app/MainWindow.h"
#include "gui/app/ZephApplication.h"
#include "gui/common/CHyperLink.h"
#include "gui/common/CTextViewerDlg.h"
#include "gui/common/CommandIds.h"
#include "gui/net/CPendingFilesDlg.h"
#include "gui/procmail/CISetupSheet.h"
#include "gui/procmail/CISetupWizConnect.h"
#include "gui/procmail/CISetupWizMail.h"
#include "gui/procmail/CSetupAdvancedDlg.h"
#include "gui/procmail/CSetupTestDlg.h"
#include "support/MailLoop.h"
#include "support/NetTestFixture.h"
#include "support/gui/GuiTestFixture.h"
#include "support/gui/ModalDialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

const QString ForwardLine = QStringLiteral("\"|exec /usr/bin/procmail\"");

void completeSettings()
{
    SetSetting(Settings::Host, QStringLiteral("127.0.0.1"));
    SetSetting(Settings::UserName, QStringLiteral("me"));
    SetSetting(Settings::EmailAddress, QStringLiteral("me@example.org"));
    SetSetting(Settings::ForwardQmailRadio, ForwardFile::Forward);
    QString error;
    QVERIFY2(ForwardFile::WriteLine(Workspace::GetForwardPath(), ForwardLine, &error), qPrintable(error));
}

} // namespace

class TestSetupWizard : public QObject
{
    Q_OBJECT

    std::unique_ptr<GuiTestFixture> m_fixture;

private slots:
    void initTestCase() { m_fixture = std::make_unique<GuiTestFixture>(QStringLiteral("SetupWizard")); }
    void init()
    {
        m_fixture->Init();
        QVERIFY(Workspace::CreatePath(Workspace::GetDocumentFolder()));
    }

    // Missing settings: only a disabled "Next" that is the Finish button, no link, no shortcut
    // for advanced users. Once they are filled in the page offers Next and the link.
    void mailPageFollowsTheSettings()
    {
        SetSetting(Settings::Host, QString());
        CISetupSheet sheet(nullptr, nullptr);
        CISetupWizMail* page = sheet.MailPage();
        QCOMPARE(sheet.windowTitle(), QStringLiteral("Setup"));
        QCOMPARE(sheet.PageTitle()->text(), QStringLiteral("Initial Setup"));
        QVERIFY(page->TextBox()->toPlainText().startsWith(QStringLiteral(
            "You have not provided all the information needed to perform the initial setup.")));
        QVERIFY(sheet.NextButton()->isHidden());
        QVERIFY(!sheet.FinishButton()->isHidden());
        QVERIFY(!sheet.FinishButton()->isEnabled());
        QCOMPARE(sheet.FinishButton()->text(), QStringLiteral("&Next >"));
        QVERIFY(!page->AlreadySetUpBox()->isEnabled());
        QVERIFY(page->Link()->isHidden());
        QVERIFY(page->MailtoFailedButton()->isHidden());
        QVERIFY(sheet.BackButton()->isHidden());

        completeSettings();
        page->ModifyButton()->click();
        QVERIFY(page->TextBox()->toPlainText().startsWith(
            QStringLiteral("Please send a test mail message to yourself now")));
        QVERIFY(!sheet.NextButton()->isHidden());
        QVERIFY(sheet.NextButton()->isEnabled());
        QVERIFY(sheet.FinishButton()->isHidden());
        QVERIFY(page->AlreadySetUpBox()->isEnabled());
        QVERIFY(!page->Link()->isHidden());
        QCOMPARE(page->Link()->URL(), QStringLiteral("mailto:me@example.org"));
        page->MailtoFailedButton()->click();
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("Mailto error"));
    }

    // Anything but Yes unticks the box and keeps the wizard; Yes ends it as cancelled with the
    // setup regarded as done.
    void alreadySetUpBox()
    {
        completeSettings();
        CISetupSheet sheet(nullptr, nullptr);
        sheet.show();
        QCheckBox* box = sheet.MailPage()->AlreadySetUpBox();
        Prompt::QueueAnswer(Prompt::Cancel);
        box->click();
        QVERIFY(!box->isChecked());
        QVERIFY(sheet.isVisible());
        QCOMPARE(GetSetting(Settings::SetupWizRun), 0);

        Prompt::QueueAnswer(Prompt::Yes);
        box->click();
        QVERIFY(!sheet.isVisible());
        QCOMPARE(sheet.result(), int(QDialog::Rejected));
        QCOMPARE(GetSetting(Settings::SetupWizRun), 1);
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("Setup Complete"));
    }

    // The options name the directories of the settings; with neither .forward nor .qmail the
    // upload option is hidden; Advanced lists its choice, and coming back clears it.
    void connectPageAndAdvanced()
    {
        completeSettings();
        // The page makes a missing .procmailrc with the default directories: make it first.
        QVERIFY(CProcmailrcFile().CreateDefault(nullptr));
        SetSetting(Settings::MailDir, QStringLiteral("$HOME/Mail/"));
        CISetupSheet sheet(nullptr, nullptr);
        sheet.Next();
        CISetupWizConnect* page = sheet.ConnectPage();
        QCOMPARE(sheet.PageTitle()->text(), QStringLiteral("Ready To Connect"));
        QCOMPARE(page->OptionBox(0)->text(),
            QStringLiteral("Create the 'Mail' directory (if it doesn't already exist)"));
        QCOMPARE(page->OptionBox(1)->text(),
            QStringLiteral("Create the 'Mail/backup' directory (if it doesn't already exist)"));
        QCOMPARE(page->OptionBox(2)->text(),
            QStringLiteral("Create the '.procmail' directory (if it doesn't already exist)"));
        QCOMPARE(page->OptionBox(3)->text(), QStringLiteral("Upload your .forward file"));
        QVERIFY(!page->OptionBox(3)->isHidden());
        QVERIFY(!sheet.BackButton()->isHidden());
        QVERIFY(!sheet.FinishButton()->isEnabled());

        WhenModal<CSetupAdvancedDlg>([](CSetupAdvancedDlg* dialog) {
            QCOMPARE(
                dialog->ForwardBox()->text(), QStringLiteral("Set your .forward permissions to rw----r--"));
            QVERIFY(!dialog->HomeBox()->isChecked());
            dialog->HomeBox()->setChecked(true);
            dialog->ForwardBox()->setChecked(true);
            dialog->accept();
        });
        page->AdvancedButton()->click();
        QCOMPARE(page->PermissionLabel()->text(),
            QStringLiteral(
                "Set your $HOME directory permissions to rwx-----x\nSet your .forward permissions to "
                "rw----r--\n"));
        QVERIFY(page->Permissions().confirmed && page->Permissions().home && page->Permissions().forward);
        QVERIFY(!page->Permissions().qmail);

        sheet.Back();
        SetSetting(Settings::ForwardQmailRadio, ForwardFile::Neither);
        sheet.Next();
        QVERIFY(page->OptionBox(3)->isHidden());
        QVERIFY(page->PermissionLabel()->text().isEmpty());
        QVERIFY(!page->Permissions().confirmed);
    }

    // Enter presses nothing while the user comes back from the mail program; with nothing
    // uploaded, Esc closes without a question.
    void testDialogKeys()
    {
        completeSettings();
        CRemoteHost host;
        CInitialSetup setup(host);
        CSetupTestDlg dialog(setup, nullptr);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Setup Test"));
        QVERIFY(dialog.TextBox()->toPlainText().startsWith(QStringLiteral("Since nothing was selected")));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(&dialog, Qt::Key_Return);
        QTest::keyClick(&dialog, Qt::Key_Enter);
        QVERIFY(dialog.isVisible());
        QVERIFY(Prompt::History().isEmpty());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QVERIFY(Prompt::History().isEmpty());
    }

    // Each way out of the Setup Test on a real host, by its own button: the uploads are offered
    // for deletion (every box answered with its default, Yes), the wizard stays on the connect
    // page with Finish off, and a log without the line can be viewed.
    void leavingTheTestDialog_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("Cancel") << "cancel";
        QTest::newRow("not received") << "notReceived";
        QTest::newRow("Esc") << "escape";
        QTest::newRow("stale log") << "staleLog";
    }
    void leavingTheTestDialog()
    {
        QFETCH(QString, way);
        MailLoop loop;
        QVERIFY2(loop.Start(), qPrintable(loop.Error()));
        QVERIFY(loop.UseSettings());
        QVERIFY(QFile::remove(loop.Host().Home() + QStringLiteral("/.procmailrc")));
        SetSetting(Settings::ForwardQmailRadio, ForwardFile::Forward);
        QString error;
        QVERIFY2(ForwardFile::WriteLine(Workspace::GetForwardPath(), ForwardLine, &error), qPrintable(error));

        CISetupSheet sheet(nullptr, nullptr);
        sheet.show();
        sheet.NextButton()->click();
        QString viewerCaption;
        WhenModal<CSetupTestDlg>([&](CSetupTestDlg* dialog) {
            if (way == QLatin1String("cancel")) {
                dialog->CancelButton()->click();
            } else if (way == QLatin1String("notReceived")) {
                dialog->NotReceivedButton()->click();
            } else if (way == QLatin1String("escape")) {
                QTest::keyClick(dialog, Qt::Key_Escape);
            } else {
                QVERIFY(loop.Host().WriteFile(QStringLiteral(".procmail/zeph.test.log"), "old line\n"));
                WhenModal<CTextViewerDlg>([&](CTextViewerDlg* viewer) {
                    viewerCaption = viewer->windowTitle();
                    viewer->reject();
                });
                dialog->ReceivedButton()->click();
            }
        });
        sheet.ConnectPage()->ConnectButton()->click();

        QVERIFY(sheet.isVisible());
        QCOMPARE(sheet.PageTitle()->text(), QStringLiteral("Ready To Connect"));
        QVERIFY(!sheet.FinishButton()->isEnabled());
        QVERIFY(!loop.Host().FileExists(QStringLiteral(".procmailrc")));
        QVERIFY(!loop.Host().FileExists(QStringLiteral(".forward")));
        QCOMPARE(GetSetting(Settings::SetupWizRun), 0);
        QCOMPARE(viewerCaption,
            way == QLatin1String("staleLog") ? QStringLiteral("Test ZEPH log file") : QString());
    }

    // The program as the user drives it on a real host: Tools > Initial Setup, Next, Connect, the
    // test message, "I received my test message", Send Files Now in the Pending Files dialog. The
    // host then filters mail with ZEPH's .procmailrc and recipe file.
    void walkTheWizardOnTheMailLoop()
    {
        MailLoop loop;
        QVERIFY2(loop.Start(), qPrintable(loop.Error()));
        QVERIFY(loop.UseSettings());
        const QString home = loop.Host().Home();
        QVERIFY(QFile::remove(home + QStringLiteral("/.procmailrc")));
        QVERIFY(QDir(home + QStringLiteral("/.procmail")).removeRecursively());
        QVERIFY(QDir(home + QStringLiteral("/mail")).removeRecursively());
        SetSetting(Settings::ForwardQmailRadio, ForwardFile::Forward);
        QString error;
        QVERIFY2(ForwardFile::WriteLine(Workspace::GetForwardPath(), ForwardLine, &error), qPrintable(error));
        QVERIFY(WriteTestFile(Workspace::GetRecipeFilePath(), ":0\n* ^Subject: cheap\nspam\n"));
        QVERIFY(AddPending(Workspace::GetRecipeFilePath(), QStringLiteral(".procmail/zeph.recipes")));

        MainWindow window;
        ZephApplication::InstallFeatures(window.Shell());
        window.UpdateCommandStates();
        QAction* action = window.Commands().Action(Cmd::InitialSetup);
        QVERIFY(action->isVisible());
        QVERIFY(action->isEnabled());

        bool mailed = false;
        bool testShown = false;
        bool pendingShown = false;
        int sheetResult = -1;
        WhenModal<CISetupSheet>([&](CISetupSheet* sheet) {
            connect(sheet, &QDialog::finished, [&sheetResult](int result) { sheetResult = result; });
            WhenModal<CSetupTestDlg>([&](CSetupTestDlg* dialog) {
                testShown = dialog->TextBox()->toPlainText().startsWith(
                    QStringLiteral("Please send another test mail message to yourself now."));
                WhenModal<CPendingFilesDlg>([&](CPendingFilesDlg* pending) {
                    pendingShown = true;
                    pending->SendButton()->click();
                });
                mailed = loop.MailYourself("setup test", "Testing.\n");
                dialog->ReceivedButton()->click();
            });
            sheet->NextButton()->click();
            sheet->ConnectPage()->ConnectButton()->click();
        });
        QVERIFY(window.Commands().Run(Cmd::InitialSetup));
        QVERIFY2(mailed, qPrintable(loop.Error()));
        QVERIFY(testShown);
        QVERIFY(pendingShown);
        QCOMPARE(sheetResult, int(QDialog::Accepted));
        QCOMPARE(GetSetting(Settings::SetupWizRun), 1);
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("Setup Complete"));
        QCOMPARE(loop.Host().ReadFile(QStringLiteral(".procmailrc")), CProcmailrcFile::DefaultText());
        QCOMPARE(loop.Host().ReadFile(QStringLiteral(".forward")), ForwardLine.toUtf8());
        QVERIFY(!loop.Host().FileExists(QStringLiteral(".procmail/zeph.test.log")));
        QVERIFY(!QFile::exists(CInitialSetup::TestProcmailrcPath()));
        QVERIFY(!HasPending());

        loop.ClearOutputs();
        QVERIFY2(loop.MailYourself("cheap offer", "Buy.\n"), qPrintable(loop.Error()));
        QCOMPARE(loop.Host().Folder(QStringLiteral("spam")).size(), 1);
        QVERIFY(loop.Inbox().isEmpty());
    }
};

QTEST_MAIN(TestSetupWizard)
#include "tst_setupwizard.moc"
