// Help > Man Pages and Procmail Version as the user meets them: local copies open without a
// connection, the setup gate, the sheet's pages and texts, Enter in the send-message dialog, and
// the whole round on the mail loop through the dialogs.
#include "core/common/Prompt.h"
#include "core/procmail/CProcmailrcFile.h"
#include "core/procmail/ManPageFiles.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "gui/app/CommandRegistry.h"
#include "gui/app/DocumentRegistry.h"
#include "gui/app/MainWindow.h"
#include "gui/app/ZephApplication.h"
#include "gui/common/CommandIds.h"
#include "gui/procmail/CManPgConnect.h"
#include "gui/procmail/CManPgFiles.h"
#include "gui/procmail/CManPgSendMsgDlg.h"
#include "gui/procmail/CManPgSheet.h"
#include "support/MailLoop.h"
#include "support/NetTestFixture.h"
#include "support/gui/GuiTestFixture.h"
#include "support/gui/ModalDialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <memory>

class TestManPages : public QObject
{
    Q_OBJECT

    std::unique_ptr<GuiTestFixture> m_fixture;

private slots:
    void initTestCase() { m_fixture = std::make_unique<GuiTestFixture>(QStringLiteral("ManPages")); }
    void init()
    {
        m_fixture->Init();
        SetSetting(Settings::SetupWizRun, 1);
    }

    // A page or version with a local copy opens as text at once: no sheet, no box, no host.
    void localCopyOpensWithoutConnecting_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("item");
        QTest::newRow("sed") << int(Cmd::ManSed) << 9;
        QTest::newRow("sysexits") << int(Cmd::ManSysexits) << 10;
        QTest::newRow("version") << int(Cmd::VersionView) << 0;
    }
    void localCopyOpensWithoutConnecting()
    {
        QFETCH(int, command);
        QFETCH(int, item);
        QVERIFY(WriteTestFile(ManPageFiles::LocalPath(item), "a local copy\n"));
        MainWindow window;
        ZephApplication::InstallFeatures(window.Shell());
        QVERIFY(window.Commands().Run(command));
        QVERIFY(window.Documents().FindDocument(ManPageFiles::LocalPath(item)));
        QVERIFY(Prompt::History().isEmpty());
    }

    void setupGate()
    {
        SetSetting(Settings::SetupWizRun, 0);
        MainWindow window;
        ZephApplication::InstallFeatures(window.Shell());
        QVERIFY(window.Commands().Run(Cmd::VersionUpdate));
        QCOMPARE(Prompt::History().size(), 1);
        QCOMPARE(Prompt::History().first().caption, QStringLiteral("Setup not initialized"));
        QCOMPARE(Prompt::History().first().text,
            QStringLiteral(
                "You cannot retrieve this information until after you have run the Initial Setup Wizard. "
                " To do so, from the 'Tools' menu select 'Initial Setup'."));
    }

    // Files with a local copy start unticked; none ticked keeps the page; one page selected gives
    // the singular texts.
    void filePageAndSingularTexts()
    {
        QVERIFY(WriteTestFile(ManPageFiles::LocalPath(9), "sed\n"));
        CManPgSheet sheet(false, {}, nullptr);
        QListWidget* list = sheet.FilesPage()->List();
        QCOMPARE(list->count(), ManPageFiles::Count);
        QCOMPARE(list->item(9)->text(), QStringLiteral("sed man page"));
        QCOMPARE(list->item(9)->checkState(), Qt::Unchecked);
        QCOMPARE(list->item(0)->checkState(), Qt::Checked);
        QVERIFY(sheet.BackButton()->isHidden());

        for (int row = 0; row < list->count(); ++row)
            list->item(row)->setCheckState(Qt::Unchecked);
        sheet.Next();
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("No Files Selected"));
        QCOMPARE(sheet.PageTitle()->text(), QStringLiteral("Select Manuals To Retrieve"));

        list->item(9)->setCheckState(Qt::Checked);
        sheet.Next();
        QCOMPARE(sheet.PageTitle()->text(), QStringLiteral("Retrieving Man Page"));
        const QString text = sheet.ConnectPage()->Text()->text();
        QVERIFY(text.startsWith(QStringLiteral("To retrieve the information from the remote host")));
        QVERIFY(
            text.contains(QStringLiteral("download the newly created file from your ISP, delete the file")));
        QVERIFY(!sheet.FinishButton()->isEnabled());
        QVERIFY(!sheet.BackButton()->isHidden());
    }

    void versionModeHasOnlyTheConnectPage()
    {
        CManPgSheet sheet(true, {}, nullptr);
        QCOMPARE(sheet.windowTitle(), QStringLiteral("Procmail version"));
        QCOMPARE(sheet.PageTitle()->text(), QStringLiteral("Getting procmail version information"));
        QVERIFY(sheet.ConnectPage()->Text()->text().startsWith(
            QStringLiteral("To retrieve the procmail version information from the remote host")));
        QVERIFY(sheet.BackButton()->isHidden());
        QVERIFY(sheet.NextButton()->isHidden());
        QCOMPARE(sheet.ConnectPage()->AddressEdit()->text(), GetSettingString(Settings::EmailAddress));
    }

    // Enter must not press a button while the user comes back from the mail program; Cancel asks
    // before it closes, and its own Cancel keeps the dialog.
    void sendMessageDialogKeys()
    {
        CRemoteHost host;
        CTempRecipeTask task(host);
        CManPgSendMsgDlg dialog(task, { QStringLiteral("man.sed.txt") }, nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(&dialog, Qt::Key_Return);
        QTest::keyClick(&dialog, Qt::Key_Enter);
        QVERIFY(dialog.isVisible());
        QVERIFY(Prompt::History().isEmpty());

        Prompt::QueueAnswer(Prompt::Cancel);
        dialog.CancelButton()->click();
        QVERIFY(dialog.isVisible());
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("Delete remote files?"));
        Prompt::QueueAnswer(Prompt::No);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    // Procmail Version > Update on a real host: the sheet, Connect, the user's own mail, "I received
    // my mail message", and View opens what came back.
    void versionThroughTheDialogs()
    {
        MailLoop loop;
        QVERIFY2(loop.Start(), qPrintable(loop.Error()));
        QVERIFY(loop.UseSettings());
        QVERIFY(CProcmailrcFile().CreateDefault(nullptr));
        QVERIFY(loop.Host().WriteFile(QStringLiteral(".procmailrc"), CProcmailrcFile::DefaultText()));

        MainWindow window;
        ZephApplication::InstallFeatures(window.Shell());
        bool mailed = false;
        WhenModal<CManPgSheet>([&](CManPgSheet* sheet) {
            WhenModal<CManPgSendMsgDlg>([&](CManPgSendMsgDlg* dialog) {
                mailed = loop.MailYourself("version", "x\n");
                dialog->ReceivedButton()->click();
            });
            sheet->ConnectPage()->ConnectButton()->click();
        });
        QVERIFY(window.Commands().Run(Cmd::VersionUpdate));
        QVERIFY2(mailed, qPrintable(loop.Error()));
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("Download Complete"));
        QVERIFY(ReadTestFile(ManPageFiles::LocalPath(0)).startsWith("procmail v"));
        QCOMPARE(loop.Host().ReadFile(QStringLiteral(".procmailrc")), CProcmailrcFile::DefaultText());

        const qsizetype before = Prompt::History().size();
        QVERIFY(window.Commands().Run(Cmd::VersionView));
        QVERIFY(window.Documents().FindDocument(ManPageFiles::LocalPath(0)));
        QCOMPARE(Prompt::History().size(), before);
    }
};

QTEST_MAIN(TestManPages)
#include "tst_manpages.moc"
