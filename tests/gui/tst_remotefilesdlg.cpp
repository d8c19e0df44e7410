// The Remote Files & Folders window against real FTP servers: rename, delete and permission
// changes reach the host and the record follows only what the host confirmed; listings return
// to the login directory; the record-only actions never touch the host.
#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/settings/CAppState.h"
#include "core/settings/CRegistry.h"
#include "core/settings/Profile.h"
#include "gui/common/CInputDlg.h"
#include "gui/common/CPermissionsDlg.h"
#include "gui/net/CFtpProgressDlg.h"
#include "gui/net/CRemoteFilesFoldersSheet.h"
#include "gui/net/CRemoteFilesPg.h"
#include "gui/net/CRemoteFoldersPg.h"
#include "support/FtpServers.h"
#include "support/NetTestFixture.h"
#include "support/gui/ModalDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <memory>
#include <sys/stat.h>

namespace {

void select(QTreeWidget* list, const QString& name)
{
    list->clearSelection();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(0) == name) {
            list->setCurrentItem(list->topLevelItem(i));
            list->topLevelItem(i)->setSelected(true);
            return;
        }
    }
    QFAIL(qUtf8Printable(QStringLiteral("no row %1").arg(name)));
}

QStringList column(QTreeWidget* list, int index)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(index);
    return texts;
}

CRemoteFilesFoldersMgr& record()
{
    return CAppState::Instance().RemoteFiles();
}

COleDateTime at(int year, int month, int day)
{
    return COleDateTime::FromDateTime(QDateTime(QDate(year, month, day), QTime(12, 0)));
}

} // namespace

class TestRemoteFilesDlg : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    void fillRecord()
    {
        record().AddUpload(
            QStringLiteral("a.txt"), QStringLiteral("/local/a.txt"), at(2007, 12, 1), at(2007, 12, 1), 644);
        record().AddUpload(QStringLiteral(".procmail/zeph.log"), QStringLiteral("/local/zeph.log"),
            at(2006, 1, 2), at(2006, 1, 2), -1);
        record().AddUpload(QStringLiteral("gone.txt"), QStringLiteral("/local/gone.txt"), at(2008, 5, 6),
            at(2008, 5, 6), 600);
        record().AddDir(QStringLiteral("$HOME"), 755);
        record().AddDir(QStringLiteral("sub/deeper"), 755);
        record().AddDir(QStringLiteral("empty"), -1);
    }

    bool fillHost(TestFtpServer& server)
    {
        return server.PutFile(QStringLiteral("a.txt"), "alpha\n")
            && server.PutFile(QStringLiteral(".procmail/zeph.log"), "log\n")
            && server.PutFile(QStringLiteral("sub/deeper/inside.txt"), "in\n")
            && server.MakeDir(QStringLiteral("empty"));
    }

private slots:
    void initTestCase()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        qputenv("XDG_DATA_HOME", (m_dir->path() + QStringLiteral("/data")).toUtf8());
        RemoteHostUi::Install();
    }

    void init()
    {
        CAppState::Instance().Reset();
        CAppState::Instance().SetIdentity(QStringLiteral("Remote"));
        CAppState::Instance().SetDataFilePath(m_dir->path() + QStringLiteral("/zeph.dat"));
        CRegistry::SetFilePathOverride(m_dir->path() + QStringLiteral("/registry.ini"));
        QFile::remove(CRegistry::FilePath());
        SetSetting(Settings::DocumentDirectory, m_dir->path() + QStringLiteral("/docs/"));
        Prompt::ClearHistory();
        fillRecord();
    }

    // The lists show the record with the permission texts and the dates in the chosen format;
    // the header sorts and a second click reverses.
    void lists()
    {
        SetSetting(Settings::LogDateFormat, 2);
        SetSetting(Settings::LogDateSeparator, QStringLiteral("-"));
        CRemoteFilesFoldersSheet sheet(QStringLiteral("Remote Files and Folders"));
        QCOMPARE(sheet.Tabs()->tabText(0), QStringLiteral("Remote Files"));
        QCOMPARE(sheet.Tabs()->tabText(1), QStringLiteral("Remote Folders"));
        QVERIFY(!sheet.DisconnectButton()->isEnabled());
        QVERIFY(sheet.HelpButton()->isDefault());
        QTreeWidget* files = sheet.FilesPage()->List();
        QCOMPARE(column(files, 0),
            (QStringList {
                QStringLiteral("a.txt"), QStringLiteral(".procmail/zeph.log"), QStringLiteral("gone.txt") }));
        QCOMPARE(column(files, 1),
            (QStringList {
                QStringLiteral("rw-r--r--"), QStringLiteral("Default"), QStringLiteral("rw-------") }));
        QCOMPARE(files->topLevelItem(0)->text(2), QStringLiteral("07-12-01 12:00"));
        QCOMPARE(files->headerItem()->text(3), QStringLiteral("Local Filename"));
        QCOMPARE(files->header()->toolTip(), QStringLiteral("Click to sort. Drag to reposition"));
        emit files->header()->sectionClicked(2);
        QCOMPARE(column(files, 0),
            (QStringList {
                QStringLiteral(".procmail/zeph.log"), QStringLiteral("a.txt"), QStringLiteral("gone.txt") }));
        emit files->header()->sectionClicked(2);
        QCOMPARE(column(files, 0),
            (QStringList {
                QStringLiteral("gone.txt"), QStringLiteral("a.txt"), QStringLiteral(".procmail/zeph.log") }));
        QTreeWidget* folders = sheet.FoldersPage()->List();
        QCOMPARE(folders->headerItem()->text(1), QStringLiteral("Permsissions"));
        QCOMPARE(column(folders, 1),
            (QStringList {
                QStringLiteral("rwxr-xr-x"), QStringLiteral("rwxr-xr-x"), QStringLiteral("Default") }));
        // No header text is cut off in the first layout.
        for (QTreeWidget* list : { files, folders }) {
            const QFontMetrics metrics(list->header()->font());
            for (int i = 0; i < list->columnCount(); ++i) {
                const QString text = list->headerItem()->text(i);
                QVERIFY2(list->header()->sectionSize(i) > metrics.horizontalAdvance(text), qPrintable(text));
            }
        }
    }

    // Buttons without a selected row only tell the user; the record-only removal asks and sends
    // nothing; "$HOME" cannot be deleted.
    void withoutHost()
    {
        CRemoteFilesFoldersSheet sheet(QStringLiteral("Remote Files and Folders"));
        CRemoteFilesPg* files = sheet.FilesPage();
        files->List()->clearSelection();
        files->List()->setCurrentItem(nullptr);
        const QList<std::pair<std::function<void()>, QString>> needSelection {
            { [&] { files->ChangePermissions(); },
                QStringLiteral("Please select a remote file to change permissions for.") },
            { [&] { files->ViewFile(); }, QStringLiteral("Please select a remote file to view.") },
            { [&] { files->DeleteFile(); }, QStringLiteral("Please select a remote file to delete.") },
            { [&] { files->RemoveFromList(); },
                QStringLiteral("Please select a remote file to remove from the list.") },
            { [&] { files->RenameFile(); }, QStringLiteral("Please select a remote file to rename.") },
        };
        for (const auto& [action, text] : needSelection) {
            action();
            QCOMPARE(Prompt::History().last().text, text);
            QCOMPARE(Prompt::History().last().caption, QStringLiteral("No file selected"));
        }
        select(files->List(), QStringLiteral("gone.txt"));
        Prompt::QueueAnswer(Prompt::No);
        files->RemoveFromList();
        QCOMPARE(record().FileCount(), 3);
        QCOMPARE(Prompt::History().last().defaultButton, Prompt::No);
        Prompt::QueueAnswer(Prompt::Yes);
        files->RemoveFromList();
        QCOMPARE(record().FileCount(), 2);
        QCOMPARE(files->List()->topLevelItemCount(), 2);

        CRemoteFoldersPg* folders = sheet.FoldersPage();
        select(folders->List(), QStringLiteral("$HOME"));
        folders->DeleteFolder();
        QCOMPARE(Prompt::History().last().text,
            QStringLiteral("You are not allowed to delete your $HOME directory."));
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("Cannot delete $HOME"));
        select(folders->List(), QStringLiteral("empty"));
        Prompt::QueueAnswer(Prompt::Yes);
        folders->RemoveFromList();
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("Confirm removal from list"));
        QCOMPARE(record().DirCount(), 2);
        QVERIFY(!sheet.DisconnectButton()->isEnabled());
    }

    void hostActions_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("pyftpdlib") << int(TestFtpServer::Pyftpdlib);
        QTest::newRow("vsftpd") << int(TestFtpServer::Vsftpd);
    }

    // Rename, permissions, view and delete from the window reach the host, and the record
    // changes only after the host confirmed.
    void hostActions()
    {
        QFETCH(int, kind);
        TestFtpServer server(static_cast<TestFtpServer::Kind>(kind));
        QVERIFY(StartServerForSettings(server));
        QVERIFY(fillHost(server));
        ::chmod(QFile::encodeName(server.Root() + QStringLiteral("/a.txt")).constData(), 0644);
        CRemoteFilesFoldersSheet sheet(QStringLiteral("Remote Files and Folders"));
        CRemoteFilesPg* files = sheet.FilesPage();
        files->SetShowViewer(false);

        // Rename.
        select(files->List(), QStringLiteral("a.txt"));
        QString renameTitle;
        WhenModal<CInputDlg>([&](CInputDlg* dialog) {
            renameTitle = dialog->windowTitle();
            dialog->Field1()->setText(QStringLiteral("b.txt"));
            dialog->accept();
        });
        files->RenameFile();
        QCOMPARE(renameTitle, QStringLiteral("Renaming a.txt"));
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("File Renamed"));
        QVERIFY(!server.Exists(QStringLiteral("a.txt")));
        QCOMPARE(server.FileContent(QStringLiteral("b.txt")), QByteArray("alpha\n"));
        QCOMPARE(files->List()->topLevelItem(0)->text(0), QStringLiteral("b.txt"));
        QVERIFY(sheet.DisconnectButton()->isEnabled());

        // Permissions: the dialog starts from the recorded 644; owner-only read and write.
        select(files->List(), QStringLiteral("b.txt"));
        WhenModal<CPermissionsDlg>([](CPermissionsDlg* dialog) {
            QCOMPARE(dialog->Value(), 644);
            dialog->Box(CPermissionsDlg::GroupRead)->setChecked(false);
            dialog->Box(CPermissionsDlg::WorldRead)->setChecked(false);
            dialog->accept();
        });
        files->ChangePermissions();
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("Permissions updated."));
        QCOMPARE(Prompt::History().last().text,
            QStringLiteral("The permissions for b.txt were successfully changed to rw-------."));
        QCOMPARE(FileMode(server.Root() + QStringLiteral("/b.txt")), 0600);
        QCOMPARE(record().files.first().permissions, 600);
        QCOMPARE(files->List()->topLevelItem(0)->text(1), QStringLiteral("rw-------"));

        // View.
        files->ViewFile();
        QCOMPARE(files->LastViewedText(), QStringLiteral("alpha\n"));
        QCOMPARE(files->LastViewedCaption(), QStringLiteral("Remote file: b.txt"));

        // Delete: a file the host no longer has stays recorded; the log file leaves the host but
        // stays recorded; any other file leaves both.
        select(files->List(), QStringLiteral("gone.txt"));
        Prompt::QueueAnswer(Prompt::Yes);
        files->DeleteFile();
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("File Not Deleted"));
        QCOMPARE(record().FileCount(), 3);
        QVERIFY(NetCommandsStillUsable(sheet));
        select(files->List(), QStringLiteral(".procmail/zeph.log"));
        Prompt::QueueAnswer(Prompt::Yes);
        files->DeleteFile();
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("File Deleted"));
        QVERIFY(!server.Exists(QStringLiteral(".procmail/zeph.log")));
        QCOMPARE(record().FileCount(), 3);
        select(files->List(), QStringLiteral("b.txt"));
        Prompt::QueueAnswer(Prompt::No);
        files->DeleteFile();
        QVERIFY(server.Exists(QStringLiteral("b.txt")));
        Prompt::QueueAnswer(Prompt::Yes);
        files->DeleteFile();
        QVERIFY(!server.Exists(QStringLiteral("b.txt")));
        QCOMPARE(record().FileCount(), 2);

        QTest::mouseClick(sheet.DisconnectButton(), Qt::LeftButton);
        QVERIFY(!sheet.DisconnectButton()->isEnabled());
        QVERIFY(!sheet.Host().IsConnected());
    }

    // Folders: the listing of a nested folder returns to the login directory; "$HOME" is changed
    // as "."; an empty folder is removed from host and record.
    void folderActions_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("pyftpdlib") << int(TestFtpServer::Pyftpdlib);
        QTest::newRow("vsftpd") << int(TestFtpServer::Vsftpd);
    }

    void folderActions()
    {
        QFETCH(int, kind);
        TestFtpServer server(static_cast<TestFtpServer::Kind>(kind));
        QVERIFY(StartServerForSettings(server));
        QVERIFY(fillHost(server));
        CRemoteFilesFoldersSheet sheet(QStringLiteral("Remote Files and Folders"));
        CRemoteFoldersPg* folders = sheet.FoldersPage();
        folders->SetShowViewer(false);

        QVERIFY(sheet.Connect());
        const QString start = sheet.Host().CurrentDir();
        QVERIFY(!start.isEmpty());
        select(folders->List(), QStringLiteral("sub/deeper"));
        folders->ViewDirList();
        QVERIFY2(folders->LastViewedText().contains(QStringLiteral("inside.txt")),
            qUtf8Printable(folders->LastViewedText()));
        QCOMPARE(folders->LastViewedCaption(), QStringLiteral("Remote directory sub/deeper"));
        QCOMPARE(sheet.Host().CurrentDir(), start);

        select(folders->List(), QStringLiteral("$HOME"));
        WhenModal<CPermissionsDlg>([](CPermissionsDlg* dialog) {
            QCOMPARE(dialog->Value(), 755);
            dialog->Box(CPermissionsDlg::GroupWrite)->setChecked(true);
            dialog->accept();
        });
        folders->ChangePermissions();
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("Permissions updated."));
        QVERIFY(sheet.Host().Log().contains("SITE chmod 775 ."));
        QCOMPARE(FileMode(server.Root()), 0775);
        QCOMPARE(record().directories.first().permissions, 775);

        select(folders->List(), QStringLiteral("empty"));
        Prompt::QueueAnswer(Prompt::Yes);
        folders->DeleteFolder();
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("Directory Deleted"));
        QVERIFY(!server.Exists(QStringLiteral("empty")));
        QCOMPARE(record().DirCount(), 2);

        // A folder that is not empty stays, on the host and in the record.
        select(folders->List(), QStringLiteral("sub/deeper"));
        Prompt::QueueAnswer(Prompt::Yes);
        folders->DeleteFolder();
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("Directory Not Deleted"));
        QVERIFY(server.Exists(QStringLiteral("sub/deeper/inside.txt")));
        QCOMPARE(record().DirCount(), 2);
    }

private:
    static bool NetCommandsStillUsable(CRemoteFilesFoldersSheet& sheet) { return sheet.Host().IsConnected(); }
};

QTEST_MAIN(TestRemoteFilesDlg)
#include "tst_remotefilesdlg.moc"
