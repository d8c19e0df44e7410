// The main window's remote commands against real FTP servers: the log download with its
// rotation on the host, the custom Upload and Download entries, Disconnect, the password
// question, and the pending files offered at exit.
#include "core/common/Clock.h"
#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/net/CustomMenus.h"
#include "core/net/FtpPassword.h"
#include "core/net/PendingFiles.h"
#include "core/settings/CAppState.h"
#include "core/settings/Profile.h"
#include "gui/app/CommandRegistry.h"
#include "gui/app/DocumentRegistry.h"
#include "gui/app/MainWindow.h"
#include "gui/common/CInputDlg.h"
#include "gui/common/CommandIds.h"
#include "gui/common/IShell.h"
#include "gui/editor/CZEPHView.h"
#include "gui/net/CCustomizeMenuDlg.h"
#include "gui/net/CFtpProgressDlg.h"
#include "gui/net/CPendingFilesDlg.h"
#include "gui/net/NetCommands.h"
#include "support/FtpServers.h"
#include "support/NetTestFixture.h"
#include "support/gui/GuiTestFixture.h"
#include "support/gui/MainWindowWithEditor.h"
#include "support/gui/ModalDialogs.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

const QDateTime FixedNow(QDate(2007, 3, 5), QTime(9, 4, 3));

} // namespace

class TestNetCommands : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<GuiTestFixture> m_fixture;
    QString docs() const { return m_fixture->Docs(); }

private slots:
    void initTestCase() { m_fixture = std::make_unique<GuiTestFixture>(QStringLiteral("Net")); }

    void init()
    {
        m_fixture->Init();
        Clock::SetNow(FixedNow);
    }

    void cleanup() { Clock::SetNow(std::nullopt); }

    // The log is renamed aside on the host, downloaded, then deleted or kept under a dated name;
    // an old log left by an earlier failed run is kept, never overwritten.
    void logDownload_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("deleteAfter");
        QTest::addColumn<bool>("leftOver");
        QTest::addColumn<QStringList>("remaining");
        const QString dated = QStringLiteral(".procmail/zeph.log.2007.03.05.090403");
        QTest::newRow("pyftpdlib, delete") << int(TestFtpServer::Pyftpdlib) << 1 << false << QStringList {};
        QTest::newRow("pyftpdlib, keep, left-over old log") << int(
            TestFtpServer::Pyftpdlib) << 0 << true << QStringList { dated, dated + QStringLiteral(".1") };
        QTest::newRow("vsftpd, keep") << int(TestFtpServer::Vsftpd) << 0 << false << QStringList { dated };
        QTest::newRow("vsftpd, delete, left-over old log")
            << int(TestFtpServer::Vsftpd) << 1 << true << QStringList { dated };
    }

    void logDownload()
    {
        QFETCH(int, kind);
        QFETCH(int, deleteAfter);
        QFETCH(bool, leftOver);
        QFETCH(QStringList, remaining);
        TestFtpServer server(static_cast<TestFtpServer::Kind>(kind));
        QVERIFY(StartServerForSettings(server));
        const QByteArray log
            = "From bob@example.org  Mon Mar  5 09:00:00 2007\n Subject: hi\n  Folder: inbox\t\t123\n";
        QVERIFY(server.PutFile(QStringLiteral(".procmail/zeph.log"), log));
        if (leftOver)
            QVERIFY(server.PutFile(QStringLiteral(".procmail/zeph.log.old"), "earlier log\n"));
        SetSetting(Settings::DeleteLogAfterDownload, deleteAfter);

        MainWindowWithEditor window;
        NetCommands::Install(window.Shell());
        SetSettingTime(Settings::LogDownloadTime, QDateTime(QDate(2001, 1, 1), QTime(0, 0)));
        QVERIFY(window.Commands().Run(Cmd::LogDownload));

        const QString local = docs() + QStringLiteral("zeph.log");
        QCOMPARE(ReadTestFile(local), log);
        QVERIFY(!server.Exists(QStringLiteral(".procmail/zeph.log")));
        QVERIFY(!server.Exists(QStringLiteral(".procmail/zeph.log.old")));
        QStringList found = QDir(server.Root() + QStringLiteral("/.procmail")).entryList(QDir::Files);
        for (QString& name : found)
            name.prepend(QStringLiteral(".procmail/"));
        QCOMPARE(found, remaining);
        if (leftOver)
            QCOMPARE(server.FileContent(remaining.first()), QByteArray("earlier log\n"));
        if (!deleteAfter)
            QCOMPARE(server.FileContent(remaining.last()), log);
        QCOMPARE(GetSettingTime(Settings::LogDownloadTime), FixedNow);
        QVERIFY(window.Documents().FindDocument(local));
        QVERIFY(!window.Commands().IsEnabled(Cmd::Disconnect));
        for (const Prompt::Record& shown : Prompt::History())
            QFAIL(qUtf8Printable(shown.caption + QStringLiteral(": ") + shown.text));
    }

    // Failures leave the local log as it was and the download time unchanged; a download cut
    // off mid-way never deletes the log on the host.
    void logDownloadFailure_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("caption");
        QTest::newRow("no log on the host")
            << QStringLiteral("normal") << QStringLiteral("File Renamed Failed");
        QTest::newRow("connection dropped") << QStringLiteral("drop") << QStringLiteral("Download Failed");
        QTest::newRow("426 after part") << QStringLiteral("abort426") << QStringLiteral("Download Failed");
        QTest::newRow("stalled, cancelled")
            << QStringLiteral("stall") << QStringLiteral("Operation canceled");
    }

    void logDownloadFailure()
    {
        QFETCH(QString, scenario);
        QFETCH(QString, caption);
        TestFtpServer server(TestFtpServer::Fault, scenario);
        QVERIFY(StartServerForSettings(server));
        const QString local = docs() + QStringLiteral("zeph.log");
        QVERIFY(WriteTestFile(local, "the log downloaded last time\n"));
        if (scenario != QLatin1String("normal")) {
            // The fault server keeps files in memory: put the log there first.
            CRemoteHost upload;
            upload.SetSaveBeforeConnect(false);
            QVERIFY(upload.Connect());
            QVERIFY(upload.Transfer(local, QStringLiteral(".procmail/zeph.log"), false, true, true));
            upload.Disconnect();
        }
        Prompt::ClearHistory();
        MainWindowWithEditor window;
        NetCommands::Install(window.Shell());
        const QDateTime before = GetSettingTime(Settings::LogDownloadTime);
        if (scenario == QLatin1String("stall")) {
            // Cancel once the download is under way.
            auto* timer = new QTimer(&window);
            timer->setInterval(50);
            connect(timer, &QTimer::timeout, timer, [timer] {
                CFtpProgressDlg* dialog = RemoteHostUi::CurrentProgressDialog();
                if (dialog && dialog->MessageText().contains(QStringLiteral("bytes"))) {
                    timer->stop();
                    QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
                }
            });
            timer->start();
        }
        QVERIFY(window.Commands().Run(Cmd::LogDownload));
        QVERIFY(!Prompt::History().isEmpty());
        QCOMPARE(Prompt::History().last().caption, caption);
        QCOMPARE(ReadTestFile(local), QByteArray("the log downloaded last time\n"));
        QCOMPARE(GetSettingTime(Settings::LogDownloadTime), before);
        QVERIFY(!window.Documents().FindDocument(local));
        QVERIFY(!window.Commands().IsEnabled(Cmd::Disconnect));
        for (const QByteArray& command : server.Commands())
            QVERIFY2(!command.startsWith("DELE"), command.constData());
    }

    // An edited local log is never thrown away: Cancel to the save question stops before the host
    // is touched.
    void logDownloadKeepsEdits()
    {
        TestFtpServer server(TestFtpServer::Pyftpdlib);
        QVERIFY(StartServerForSettings(server));
        QVERIFY(server.PutFile(QStringLiteral(".procmail/zeph.log"), "new\n"));
        const QString local = docs() + QStringLiteral("zeph.log");
        QVERIFY(WriteTestFile(local, "old\n"));
        MainWindowWithEditor window;
        NetCommands::Install(window.Shell());
        auto* view = qobject_cast<CZEPHView*>(window.Documents().OpenDocument(local, DocumentKind::Text));
        QVERIFY(view);
        view->Editor()->insertPlainText(QStringLiteral("my notes\n"));
        Prompt::QueueAnswer(Prompt::Cancel);
        QVERIFY(window.Commands().Run(Cmd::LogDownload));
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("Save changes?"));
        QVERIFY(server.Exists(QStringLiteral(".procmail/zeph.log")));
        QVERIFY(window.Documents().FindDocument(local));
        QCOMPARE(ReadTestFile(local), QByteArray("old\n"));
    }

    // With "Log disconnect" off the connection stays and Disconnect ends it.
    void disconnectCommand()
    {
        TestFtpServer server(TestFtpServer::Pyftpdlib);
        QVERIFY(StartServerForSettings(server));
        QVERIFY(server.PutFile(QStringLiteral(".procmail/zeph.log"), "x\n"));
        SetSetting(Settings::LogDisconnect, 0);
        MainWindowWithEditor window;
        NetCommands::Install(window.Shell());
        QVERIFY(!window.Commands().IsEnabled(Cmd::Disconnect));
        QVERIFY(window.Commands().Run(Cmd::LogDownload));
        QVERIFY(NetCommands::SharedHost()->IsConnected());
        QVERIFY(window.Commands().IsEnabled(Cmd::Disconnect));
        QVERIFY(window.Commands().Run(Cmd::Disconnect));
        QVERIFY(!NetCommands::SharedHost()->IsConnected());
        QVERIFY(!window.Commands().IsEnabled(Cmd::Disconnect));
    }

    // The custom entries: an upload goes through the checks, is recorded and leaves the pending
    // files; a download replaces the local file and opens it.
    void customEntries_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("pyftpdlib") << int(TestFtpServer::Pyftpdlib);
        QTest::newRow("vsftpd") << int(TestFtpServer::Vsftpd);
    }

    void customEntries()
    {
        QFETCH(int, kind);
        TestFtpServer server(static_cast<TestFtpServer::Kind>(kind));
        QVERIFY(StartServerForSettings(server));
        QVERIFY(server.MakeDir(QStringLiteral(".procmail")));
        QVERIFY(server.PutFile(QStringLiteral("notes.txt"), "remote notes\n"));
        const QString upload = docs() + QStringLiteral("zeph.recipes");
        const QString download = docs() + QStringLiteral("notes.txt");
        QVERIFY(WriteTestFile(upload, ":0\n* ^Subject: test\ninbox\n"));
        QVERIFY(WriteTestFile(download, "stale\n"));
        QVERIFY(CustomMenus::SaveMenuEntries(
            true, { { QStringLiteral("Recipes"), QStringLiteral(".procmail/zeph.recipes"), upload } }));
        QVERIFY(CustomMenus::SaveMenuEntries(
            false, { { QStringLiteral("Notes"), QStringLiteral("notes.txt"), download } }));
        QVERIFY(AddPending(upload, QStringLiteral(".procmail/zeph.recipes")));

        MainWindowWithEditor window;
        NetCommands::Install(window.Shell());
        window.RebuildCustomMenus();
        QVERIFY(window.Commands().Run(Cmd::FirstUpload));
        QCOMPARE(server.FileContent(QStringLiteral(".procmail/zeph.recipes")), ReadTestFile(upload));
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("File Upload Successful"));
        QVERIFY(!HasPending());
        QCOMPARE(CAppState::Instance().RemoteFiles().FileCount(), 1);
        QVERIFY(CAppState::Instance().RemoteFiles().IsUnchanged(
            QStringLiteral(".procmail/zeph.recipes"), upload));

        QVERIFY(window.Commands().Run(Cmd::FirstDownload));
        QCOMPARE(ReadTestFile(download), QByteArray("remote notes\n"));
        QVERIFY(window.Documents().FindDocument(download));
        QVERIFY(!NetCommands::SharedHost()->IsConnected());
    }

    // A whitespace problem or a Cancel to the save question stops before anything is sent; an
    // edited document of a download target is only replaced after the user agreed.
    void customEntryChecks()
    {
        TestFtpServer server(TestFtpServer::Pyftpdlib);
        QVERIFY(StartServerForSettings(server));
        QVERIFY(server.PutFile(QStringLiteral("notes.txt"), "remote notes\n"));
        const QString upload = docs() + QStringLiteral("rc");
        const QString download = docs() + QStringLiteral("notes.txt");
        QVERIFY(WriteTestFile(upload, "a\nb \\ \n"));
        QVERIFY(WriteTestFile(download, "stale\n"));
        QVERIFY(
            CustomMenus::SaveMenuEntries(true, { { QStringLiteral("Rc"), QStringLiteral("rc"), upload } }));
        QVERIFY(CustomMenus::SaveMenuEntries(
            false, { { QStringLiteral("Notes"), QStringLiteral("notes.txt"), download } }));
        SetSetting(Settings::BackslashSpaceWarning, 1);
        MainWindowWithEditor window;
        NetCommands::Install(window.Shell());
        window.RebuildCustomMenus();
        QVERIFY(window.Commands().Run(Cmd::FirstUpload));
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("Whitespace at end of line!"));
        QVERIFY(!server.Exists(QStringLiteral("rc")));

        auto* view = qobject_cast<CZEPHView*>(window.Documents().OpenFile(download));
        QVERIFY(view);
        view->Editor()->insertPlainText(QStringLiteral("mine\n"));
        Prompt::QueueAnswer(Prompt::Cancel);
        QVERIFY(window.Commands().Run(Cmd::FirstDownload));
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("Save changes?"));
        QCOMPARE(ReadTestFile(download), QByteArray("stale\n"));
        QVERIFY(window.Documents().FindDocument(download));
    }

    // Without a saved password the input dialog asks; Cancel connects nowhere.
    void passwordQuestion_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("entered") << true;
        QTest::newRow("cancelled") << false;
    }

    void passwordQuestion()
    {
        QFETCH(bool, answer);
        TestFtpServer server(TestFtpServer::Pyftpdlib);
        QVERIFY(StartServerForSettings(server));
        FtpPassword::Delete();
        QVERIFY(server.PutFile(QStringLiteral("notes.txt"), "remote\n"));
        const QString download = docs() + QStringLiteral("notes.txt");
        QVERIFY(CustomMenus::SaveMenuEntries(
            false, { { QStringLiteral("Notes"), QStringLiteral("notes.txt"), download } }));
        MainWindowWithEditor window;
        NetCommands::Install(window.Shell());
        window.RebuildCustomMenus();
        QString title;
        bool masked = false;
        WhenModal<CInputDlg>([&](CInputDlg* dialog) {
            title = dialog->windowTitle();
            masked = dialog->Field1()->echoMode() == QLineEdit::Password;
            if (answer) {
                dialog->Field1()->setText(server.Password());
                dialog->accept();
            } else {
                dialog->reject();
            }
        });
        QVERIFY(window.Commands().Run(Cmd::FirstDownload));
        QCOMPARE(title, QStringLiteral("FTP password"));
        QVERIFY(masked);
        QCOMPARE(ReadTestFile(download), answer ? QByteArray("remote\n") : QByteArray("<missing>"));
    }

    // Closing the window first asks about edited documents, then offers the pending files; both
    // answers of the pending dialog let the window close, and unsent files stay listed.
    void pendingAtExit_data()
    {
        QTest::addColumn<bool>("send");
        QTest::newRow("Send Files Now") << true;
        QTest::newRow("Close") << false;
    }

    void pendingAtExit()
    {
        QFETCH(bool, send);
        TestFtpServer server(TestFtpServer::Pyftpdlib);
        QVERIFY(StartServerForSettings(server));
        SetSetting(Settings::SetupWizRun, 1);
        const QString a = docs() + QStringLiteral("a.txt");
        const QString b = docs() + QStringLiteral("b.txt");
        QVERIFY(WriteTestFile(a, "a\n"));
        QVERIFY(WriteTestFile(b, "b\n"));
        QVERIFY(AddPending(a, QStringLiteral("a.txt")));
        QVERIFY(AddPending(b, QStringLiteral("b.txt")));

        MainWindowWithEditor window;
        NetCommands::Install(window.Shell());
        window.show();
        auto* view = qobject_cast<CZEPHView*>(window.Documents().OpenFile(a));
        QVERIFY(view);
        view->Editor()->selectAll();
        view->Editor()->insertPlainText(QStringLiteral("edited a\n"));
        Prompt::QueueAnswer(Prompt::Yes);
        QString text;
        qsizetype questionsBefore = -1;
        WhenModal<CPendingFilesDlg>([&](CPendingFilesDlg* dialog) {
            questionsBefore = Prompt::History().size();
            text = dialog->Text()->text();
            if (send)
                dialog->accept();
            else
                dialog->reject();
        });
        QVERIFY(window.close());
        // The save question came before the pending files.
        QCOMPARE(questionsBefore, 1);
        QCOMPARE(text,
            QStringLiteral("The 2 files listed below should be uploaded to your ISP.  To do so, select the "
                           "'Send Files Now' button.  To ignore this message and continue quitting, hit "
                           "'Close'."));
        if (send) {
            // The saved edit is what went to the host.
            QCOMPARE(server.FileContent(QStringLiteral("a.txt")), QByteArray("edited a\n"));
            QCOMPARE(server.FileContent(QStringLiteral("b.txt")), QByteArray("b\n"));
            QVERIFY(!HasPending());
            QCOMPARE(Prompt::History().last().caption, QStringLiteral("Upload complete"));
        } else {
            QVERIFY(!server.Exists(QStringLiteral("a.txt")));
            QCOMPARE(PendingPairs().size(), 2);
        }
    }

    // The menu commands open their windows; the customise dialog rebuilds the menus on OK.
    void menuCommands()
    {
        MainWindowWithEditor window;
        NetCommands::Install(window.Shell());
        QVERIFY(window.Commands().Run(Cmd::PendingFiles));
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("Setup not initialized"));
        QVERIFY(CustomMenus::SaveMenuEntries(
            true, { { QStringLiteral("Mine"), QStringLiteral("r"), QStringLiteral("/l") } }));
        QString title;
        WhenModal<CCustomizeMenuDlg>([&](CCustomizeMenuDlg* dialog) {
            title = dialog->windowTitle();
            dialog->accept();
        });
        QVERIFY(window.Commands().Run(Cmd::CustomizeUploadMenu));
        QCOMPARE(title, QStringLiteral("Customize upload menu"));
        QCOMPARE(window.Commands().Action(Cmd::FirstUpload)->property("customName").toString(),
            QStringLiteral("Mine"));
    }

    // A customise dialog saved after the window is gone reaches nothing of it.
    void customiseDialogOutlivesWindow()
    {
        {
            MainWindowWithEditor window;
            NetCommands::Install(window.Shell());
        }
        CCustomizeMenuDlg dialog(true);
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestNetCommands)
#include "tst_netcommands.moc"
