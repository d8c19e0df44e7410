// Recipes > Backup as the user meets it, on the real mail loop where it matters: the recipe made
// in the dialog keeps exactly N copies once uploaded, the list shows the copies with their dates
// and views and deletes them, retrieval re-delivers each copy once with its X-Loop line and its
// "From " body lines, cancelling and refused uploads leave the host and the pending files as the
// texts say; the setup gate, MSGPREFIX, deleting the recipe and editing ZEPH_Backup by name.
#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/net/PendingFiles.h"
#include "core/procmail/BackupRecipe.h"
#include "core/procmail/CProcmailrcFile.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "gui/app/CommandRegistry.h"
#include "gui/app/MainWindow.h"
#include "gui/app/ZephApplication.h"
#include "gui/common/CInputDlg.h"
#include "gui/common/CTextViewerDlg.h"
#include "gui/common/CommandIds.h"
#include "gui/common/IShell.h"
#include "gui/procmail/CBackupDlg.h"
#include "gui/procmail/CBackupMsgListDlg.h"
#include "gui/procmail/CBackupRecipeDlg.h"
#include "gui/procmail/CBackupRetrieveDlg.h"
#include "gui/procmail/CBackupSendMsgDlg.h"
#include "gui/recipes/CRecipeListDlg.h"
#include "support/FtpServers.h"
#include "support/MailLoop.h"
#include "support/NetTestFixture.h"
#include "support/gui/GuiTestFixture.h"
#include "support/gui/ModalDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

#include <memory>

namespace {

QStringList captions()
{
    QStringList list;
    for (const Prompt::Record& record : Prompt::History())
        list << record.caption;
    return list;
}

QStringList savedCopies(ProcmailSandbox& host)
{
    return QDir(host.MailDir() + QStringLiteral("/backup"))
        .entryList({ QStringLiteral("msg.*") }, QDir::Files);
}

bool saveCopy(ProcmailSandbox& host, const QString& name, const QByteArray& bytes, const QDateTime& time)
{
    const QString relative = QStringLiteral("mail/backup/") + name;
    if (!host.WriteFile(relative, bytes))
        return false;
    QFile file(host.Home() + QLatin1Char('/') + relative);
    return file.open(QIODevice::ReadWrite) && file.setFileTime(time, QFileDevice::FileModificationTime);
}

CTextViewerDlg* viewerTitled(const QString& title)
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* viewer = qobject_cast<CTextViewerDlg*>(widget);
        if (viewer && viewer->isVisible() && viewer->windowTitle() == title)
            return viewer;
    }
    return nullptr;
}

QStringList column(QTreeWidget* list, int index)
{
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        texts << list->topLevelItem(row)->text(index);
    return texts;
}

QByteArray lostMessage(const QByteArray& subject, const QByteArray& body)
{
    return "From someone@example.net  Thu Dec 10 04:36:33 2026\nFrom: someone@example.net\nSubject: "
        + subject + "\n\n" + body;
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

    std::unique_ptr<GuiTestFixture> m_fixture;
    std::unique_ptr<MailLoop> m_loop;

    // A host after the setup: ZEPH's .procmailrc on it and the backup folder made.
    void startLoop()
    {
        m_loop = std::make_unique<MailLoop>();
        QVERIFY2(m_loop->Start(), qPrintable(m_loop->Error()));
        QVERIFY(m_loop->UseSettings());
        QVERIFY(CProcmailrcFile().CreateDefault(nullptr));
        QVERIFY(m_loop->Host().WriteFile(QStringLiteral(".procmailrc"), CProcmailrcFile::DefaultText()));
        QVERIFY(m_loop->Host().MakeDir(QStringLiteral("mail/backup")));
    }

    // Opens Recipes > Backup and runs `action` in the Backup Mail Dialog, which is closed after it.
    static void inBackupDialog(MainWindow& window, std::function<void(CBackupDlg*)> action)
    {
        WhenModal<CBackupDlg>([action](CBackupDlg* dialog) {
            action(dialog);
            dialog->accept();
        });
        QVERIFY(window.Commands().Run(Cmd::Backup));
    }

private slots:
    void initTestCase() { m_fixture = std::make_unique<GuiTestFixture>(QStringLiteral("Backup")); }
    void init()
    {
        m_fixture->Init();
        SetSetting(Settings::SetupWizRun, 1);
        SetSetting(Settings::EmailAddress, QStringLiteral("me@example.org"));
        // The recipe list would offer the pending files after it closes.
        SetSetting(Settings::RecipeListShowPendingFiles, 0);
    }
    void cleanup() { m_loop.reset(); }

    // The recipe made in the dialog, uploaded as the pending files do it, keeps exactly the three
    // newest messages on the host; the recipe list opens after it so the user can move it.
    void recipeKeepsTheNewestCopies()
    {
        startLoop();
        MainWindow window;
        ZephApplication::InstallFeatures(window.Shell());
        bool listShown = false;
        inBackupDialog(window, [&](CBackupDlg* dialog) {
            WhenModal<CBackupRecipeDlg>([](CBackupRecipeDlg* recipe) {
                recipe->NumberBox()->setValue(3);
                recipe->SelectionBox()->setCurrentIndex(BackupRecipe::AllMessages);
                recipe->AddButton()->click();
            });
            WhenModal<CRecipeListDlg>([&](CRecipeListDlg* list) {
                listShown = true;
                list->reject();
            });
            dialog->CreateButton()->click();
        });
        QVERIFY(listShown);
        QVERIFY(captions().contains(QStringLiteral("Recipe added")));
        QCOMPARE(GetSetting(Settings::BackupDlgMsgNumber), 3);
        QCOMPARE(GetSetting(Settings::BackupDlgToCombo), int(BackupRecipe::AllMessages));

        CRemoteHost host;
        QVERIFY(SendPendingNow(host));
        for (int i = 1; i <= 5; ++i)
            QVERIFY2(m_loop->MailYourself("number " + QByteArray::number(i), "Body.\n"),
                qPrintable(m_loop->Error()));
        const QStringList copies = savedCopies(m_loop->Host());
        QCOMPARE(copies.size(), 3);
        QStringList subjects;
        for (const QString& name : copies)
            subjects << QString::fromUtf8(ProcmailSandbox::Header(
                m_loop->Host().ReadFile(QStringLiteral("mail/backup/") + name), "Subject"));
        subjects.sort();
        QCOMPARE(subjects,
            (QStringList {
                QStringLiteral("number 3"), QStringLiteral("number 4"), QStringLiteral("number 5") }));
        QCOMPARE(m_loop->Inbox().size(), 5);
    }

    // Verify Backup Mail lists the copies with the dates the server gives, sorts by date and by
    // name, shows a copy, deletes the selected ones and keeps the connection until Disconnect.
    void listShowsCopiesWithDates()
    {
        startLoop();
        const QDateTime recent = QDateTime::currentDateTime().addDays(-1);
        const QDateTime minute(recent.date(), QTime(recent.time().hour(), recent.time().minute()));
        const QByteArray lost = lostMessage("lost", "Text.\n");
        QVERIFY(saveCopy(m_loop->Host(), QStringLiteral("msg.b"), lost, minute));
        QVERIFY(saveCopy(
            m_loop->Host(), QStringLiteral("msg.a"), "x\n", QDateTime(QDate(2005, 3, 3), QTime(8, 0))));
        QVERIFY(saveCopy(
            m_loop->Host(), QStringLiteral("msg.c"), "x\n", QDateTime(QDate(1999, 12, 31), QTime(8, 0))));
        QVERIFY(saveCopy(m_loop->Host(), QStringLiteral("readme"), "x\n", minute));
        const QString recentDate = minute.toString(QStringLiteral("MM/dd/yy hh:mm"));

        MainWindow window;
        ZephApplication::InstallFeatures(window.Shell());
        QStringList names;
        QStringList dates;
        QStringList byNameDescending;
        QString viewed;
        bool connectedAfterView = false;
        bool disconnected = false;
        inBackupDialog(window, [&](CBackupDlg* dialog) {
            WhenModal<CBackupMsgListDlg>([&](CBackupMsgListDlg* list) {
                QTreeWidget* tree = list->List();
                names = column(tree, 0);
                dates = column(tree, 1);
                list->SortBy(0);
                list->SortBy(0);
                byNameDescending = column(tree, 0);

                tree->topLevelItem(byNameDescending.indexOf(QStringLiteral("msg.b")))->setSelected(true);
                list->ViewButton()->click();
                if (CTextViewerDlg* viewer = viewerTitled(QStringLiteral("Remote file: msg.b"))) {
                    viewed = viewer->TextBox()->toPlainText();
                    viewer->close();
                }
                connectedAfterView = list->DisconnectButton()->isEnabled();

                tree->clearSelection();
                tree->topLevelItem(column(tree, 0).indexOf(QStringLiteral("msg.a")))->setSelected(true);
                tree->topLevelItem(column(tree, 0).indexOf(QStringLiteral("msg.c")))->setSelected(true);
                Prompt::QueueAnswer(Prompt::Yes);
                list->DeleteButton()->click();
                names = column(tree, 0);
                list->DisconnectButton()->click();
                disconnected = !list->DisconnectButton()->isEnabled();
                list->reject();
            });
            Prompt::QueueAnswer(Prompt::Yes);
            dialog->VerifyButton()->click();
        });
        QCOMPARE(dates,
            (QStringList { QStringLiteral("12/31/99 00:00"), QStringLiteral("03/03/05 00:00"), recentDate }));
        QCOMPARE(byNameDescending,
            (QStringList { QStringLiteral("msg.c"), QStringLiteral("msg.b"), QStringLiteral("msg.a") }));
        QCOMPARE(viewed, QString::fromUtf8(lost));
        QVERIFY(connectedAfterView);
        QCOMPARE(names, QStringList { QStringLiteral("msg.b") });
        QCOMPARE(savedCopies(m_loop->Host()), QStringList { QStringLiteral("msg.b") });
        QVERIFY(disconnected);
        QCOMPARE(captions(),
            (QStringList { QStringLiteral("Okay to connect?"), QStringLiteral("Files found"),
                QStringLiteral("Okay to delete?"), QStringLiteral("Finished") }));
    }

    // An empty folder: the message, then the server's listing; the list dialog never shows.
    void emptyFolderShowsTheListing()
    {
        startLoop();
        QVERIFY(m_loop->Host().WriteFile(QStringLiteral("mail/backup/notes.txt"), "x\n"));
        QWidget owner;
        QCOMPARE(CBackupMsgListDlg::Run(&owner), int(QDialog::Rejected));
        QCOMPARE(captions(), QStringList { QStringLiteral("No messages found") });
        CTextViewerDlg* viewer = viewerTitled(QStringLiteral("Remote directory list"));
        QVERIFY(viewer);
        QVERIFY(viewer->TextBox()->toPlainText().contains(QStringLiteral("notes.txt")));
        viewer->close();
    }

    // Retrieve Backup Mail on a real host: each copy comes back once, with the X-Loop line, its
    // body whole, into the inbox although a recipe would file it away; the host gets its
    // .procmailrc back. Cancel in the send-message dialog also takes the recipe off the host and
    // keeps the retrieval dialog open with the hint.
    void retrievalThroughTheDialogs_data()
    {
        QTest::addColumn<bool>("received");
        QTest::newRow("received") << true;
        QTest::newRow("cancelled") << false;
    }
    void retrievalThroughTheDialogs()
    {
        QFETCH(bool, received);
        startLoop();
        QVERIFY(m_loop->Host().WriteFile(QStringLiteral("mail/backup/msg.one"),
            lostMessage("lost one", "First line.\nFrom the start it was wrong.\nLast line.\n")));
        QVERIFY(m_loop->Host().WriteFile(
            QStringLiteral("mail/backup/msg.two"), lostMessage("lost two", "Second.\n")));
        // The recipe that lost them would file them away again.
        QVERIFY(m_loop->Host().SetRecipes(":0\n* ^Subject: lost\nelsewhere\n"));

        MainWindow window;
        ZephApplication::InstallFeatures(window.Shell());
        bool mailed = false;
        bool stayedOpen = false;
        QString sendText;
        inBackupDialog(window, [&](CBackupDlg* dialog) {
            WhenModal<CBackupRetrieveDlg>([&](CBackupRetrieveDlg* retrieve) {
                WhenModal<CBackupSendMsgDlg>([&](CBackupSendMsgDlg* send) {
                    sendText = send->Text();
                    mailed = m_loop->MailYourself("retrieve", "Go.\n");
                    (received ? send->ReceivedButton() : send->CancelButton())->click();
                });
                retrieve->ConnectButton()->click();
                stayedOpen = retrieve->isVisible();
                if (stayedOpen)
                    retrieve->reject();
            });
            dialog->RetrieveButton()->click();
        });
        QVERIFY2(mailed, qPrintable(m_loop->Error()));
        QCOMPARE(stayedOpen, !received);
        QVERIFY(
            sendText.contains(QStringLiteral("all the messages in your backup folder have arrived (using")));

        QList<QByteArray> resent;
        for (const QByteArray& message : m_loop->Inbox()) {
            if (ProcmailSandbox::Header(message, "Subject").startsWith("lost"))
                resent << message;
        }
        QCOMPARE(resent.size(), 2);
        for (const QByteArray& message : resent) {
            QCOMPARE(ProcmailSandbox::Header(message, "X-Loop"), BackupRecipe::LoopMarker());
            if (ProcmailSandbox::Header(message, "Subject") == "lost one")
                QVERIFY(ProcmailSandbox::Body(message).endsWith(
                            "First line.\n>From the start it was wrong.\nLast line.\n")
                    || ProcmailSandbox::Body(message).endsWith(
                        "First line.\nFrom the start it was wrong.\nLast line.\n"));
        }
        QVERIFY(m_loop->Host().Folder(QStringLiteral("elsewhere")).isEmpty());
        QCOMPARE(m_loop->Host().ReadFile(QStringLiteral(".procmailrc")), CProcmailrcFile::DefaultText());
        QCOMPARE(ReadTestFile(Workspace::GetProcmailrcPath()), CProcmailrcFile::DefaultText());
        QVERIFY(!HasPending());
        QCOMPARE(captions().contains(QStringLiteral("Backup")), !received);
    }

    // Uploads refused half-way by the server: when the recipe cannot go up the user is never asked
    // to mail themselves and the dialog stays for another try; when the restored .procmailrc cannot,
    // it waits in the pending files and the user is told so (the copies came, so the dialog closes).
    // Either way the local file ends without the recipe.
    void refusedUploads_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<bool>("asked");
        QTest::newRow("every upload refused") << QStringLiteral("stor452") << false;
        QTest::newRow("restore refused") << QStringLiteral("fail2nd") << true;
    }
    void refusedUploads()
    {
        QFETCH(QString, scenario);
        QFETCH(bool, asked);
        QVERIFY(CProcmailrcFile().CreateDefault(nullptr));
        TestFtpServer server(TestFtpServer::Fault, scenario);
        QVERIFY(StartServerForSettings(server));
        bool wasAsked = false;
        bool stayedOpen = false;
        WhenModal<CBackupRetrieveDlg>([&](CBackupRetrieveDlg* retrieve) {
            ModalWatch<CBackupSendMsgDlg> send(
                [](CBackupSendMsgDlg* dialog) { dialog->ReceivedButton()->click(); });
            retrieve->ConnectButton()->click();
            wasAsked = send.Seen();
            stayedOpen = retrieve->isVisible();
            if (stayedOpen)
                retrieve->reject();
        });
        CBackupRetrieveDlg dialog(nullptr);
        dialog.exec();
        QCOMPARE(wasAsked, asked);
        QCOMPARE(stayedOpen, !asked);
        QCOMPARE(ReadTestFile(Workspace::GetProcmailrcPath()), CProcmailrcFile::DefaultText());
        QCOMPARE(PendingPairs(),
            (QList<QPair<QString, QString>> {
                { Workspace::GetProcmailrcPath(), QStringLiteral(".procmailrc") } }));
        QVERIFY(captions().contains(QStringLiteral("Upload failed")));
        QVERIFY(!captions().contains(QStringLiteral(".procmailrc Uploaded")));
    }

    // The buttons that need the host wait for the setup; the recipe buttons do not.
    void setupGate_data()
    {
        QTest::addColumn<int>("button");
        QTest::newRow("verify") << 0;
        QTest::newRow("retrieve") << 1;
        QTest::newRow("delete mail") << 2;
    }
    void setupGate()
    {
        QFETCH(int, button);
        SetSetting(Settings::SetupWizRun, 0);
        MainWindow window;
        ZephApplication::InstallFeatures(window.Shell());
        QVERIFY(window.Commands().IsEnabled(Cmd::Backup));
        inBackupDialog(window, [button](CBackupDlg* dialog) {
            QPushButton* buttons[]
                = { dialog->VerifyButton(), dialog->RetrieveButton(), dialog->DeleteMailButton() };
            buttons[button]->click();
        });
        QCOMPARE(captions(), QStringList { QStringLiteral("Setup not initialized") });

        // With the setup done, Delete Backup Mail points to the list.
        SetSetting(Settings::SetupWizRun, 1);
        Prompt::ClearHistory();
        inBackupDialog(window, [](CBackupDlg* dialog) { dialog->DeleteMailButton()->click(); });
        QCOMPARE(captions(), QStringList { QStringLiteral("Select \"Verfiy Backup Mail\" button") });
    }

    // A value that is no plain word is refused and the input asked for again.
    void modifyPrefix()
    {
        MainWindow window;
        ZephApplication::InstallFeatures(window.Shell());
        int inputs = 0;
        inBackupDialog(window, [&](CBackupDlg* dialog) {
            WhenModal<CInputDlg>([&](CInputDlg* input) {
                ++inputs;
                WhenModal<CInputDlg>([&](CInputDlg* again) {
                    ++inputs;
                    again->Field1()->setText(QStringLiteral("mine."));
                    again->accept();
                });
                input->Field1()->setText(QStringLiteral("msg $(id)"));
                input->accept();
            });
            Prompt::QueueAnswer(Prompt::Yes);
            dialog->PrefixButton()->click();
        });
        QCOMPARE(inputs, 2);
        QCOMPARE(captions(),
            (QStringList { QStringLiteral("Modify MSGPREFIX?"), QStringLiteral("Invalid MSGPREFIX"),
                QStringLiteral("MSGPREFIX updated") }));
        QCOMPARE(GetSettingString(Settings::BackupDlgMsgPrefix), QStringLiteral("mine."));
    }

    // Delete Backup Recipe takes only the backup recipe out and queues the file; a second time it
    // says that there is none.
    void deleteRecipe()
    {
        const QByteArray other = "##_ZEPH_RECIPE_BEGIN_##Other\n:0:\nother\n##_ZEPH_RECIPE_END_##Other\n";
        QVERIFY(WriteTestFile(Workspace::GetRecipeFilePath(),
            other + BackupRecipe::BuildBlock(0, 10, "msg.", "me@example.org")));
        MainWindow window;
        ZephApplication::InstallFeatures(window.Shell());
        inBackupDialog(window, [](CBackupDlg* dialog) {
            Prompt::QueueAnswer(Prompt::Yes);
            Prompt::QueueAnswer(Prompt::No);
            dialog->DeleteRecipeButton()->click();
            Prompt::QueueAnswer(Prompt::Yes);
            dialog->DeleteRecipeButton()->click();
        });
        QCOMPARE(ReadTestFile(Workspace::GetRecipeFilePath()), other + "\n");
        QCOMPARE(PendingPairs(),
            (QList<QPair<QString, QString>> {
                { Workspace::GetRecipeFilePath(), QStringLiteral(".procmail/zeph.recipes") } }));
        QCOMPARE(captions(),
            (QStringList { QStringLiteral("Okay to delete?"), QStringLiteral("Upload file?"),
                QStringLiteral("Okay to delete?"), QStringLiteral("Recipe not found") }));
        QCOMPARE(Prompt::History().first().defaultButton, Prompt::No);
    }

    // Editing the recipe by name, in any letter case, opens the backup recipe dialog (and no
    // recipe list after it); OK there counts as finished.
    void editingTheRecipeByName()
    {
        MainWindow window;
        ZephApplication::InstallFeatures(window.Shell());
        ModalWatch<CRecipeListDlg> list([](CRecipeListDlg* dialog) { dialog->reject(); });
        WhenModal<CBackupRecipeDlg>([](CBackupRecipeDlg* recipe) {
            recipe->NumberBox()->setValue(7);
            recipe->AddButton()->click();
        });
        QVERIFY(window.Shell().EditRecipe(QStringLiteral("zeph_BACKUP"), false));
        QVERIFY(ReadTestFile(Workspace::GetRecipeFilePath()).contains("| sed -e 1,7d`\n"));
        QTest::qWait(200);
        QVERIFY(!list.Seen());

        // A number of 0 is refused and the dialog stays; Cancel then ends it without a change.
        const QByteArray before = ReadTestFile(Workspace::GetRecipeFilePath());
        bool stayed = false;
        WhenModal<CBackupRecipeDlg>([&](CBackupRecipeDlg* recipe) {
            recipe->NumberBox()->setValue(0);
            recipe->AddButton()->click();
            stayed = recipe->isVisible();
            recipe->reject();
        });
        QVERIFY(!window.Shell().EditRecipe(QStringLiteral("ZEPH_Backup"), false));
        QVERIFY(stayed);
        QCOMPARE(captions().last(), QStringLiteral("Invalid Number Entered"));
        QCOMPARE(ReadTestFile(Workspace::GetRecipeFilePath()), before);
    }

    // Enter must press no button while the user comes back from the mail program; clearing the
    // mailbox box asks, and only No leaves it clear (the send-message text then says where to look).
    void retrievalDialogKeysAndMailboxBox()
    {
        CBackupRetrieveDlg retrieve(nullptr);
        retrieve.show();
        QVERIFY(QTest::qWaitForWindowExposed(&retrieve));
        QCOMPARE(retrieve.AddressEdit()->text(), QStringLiteral("me@example.org"));
        QTest::keyClick(&retrieve, Qt::Key_Return);
        QVERIFY(retrieve.isVisible());
        QVERIFY(Prompt::History().isEmpty());

        QCheckBox* box = retrieve.DefaultMailboxBox();
        QVERIFY(box->isChecked());
        Prompt::QueueAnswer(Prompt::Cancel);
        box->click();
        QVERIFY(box->isChecked());
        QCOMPARE(captions(), QStringList { QStringLiteral("Save to default mailbox?") });
        Prompt::QueueAnswer(Prompt::No);
        box->click();
        QVERIFY(!box->isChecked());

        CBackupSendMsgDlg send(false, QStringLiteral("I received my backup messages"),
            QStringLiteral("I did not receive my backup messages"), nullptr);
        QVERIFY(send.Text().contains(
            QStringLiteral("send it,  wait a few seconds, then check to see if that test "
                           "message and all messages in your backup folder have arrived. "
                           "(Since you elected")));
        send.show();
        QVERIFY(QTest::qWaitForWindowExposed(&send));
        QTest::keyClick(&send, Qt::Key_Enter);
        QVERIFY(send.isVisible());
        send.NotReceivedButton()->click();
        QCOMPARE(send.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
