// The FTP dialog against real FTP servers: browsing, sending, getting, renaming, deleting,
// making directories and changing permissions, each checked on the server's disk; the selection
// messages; listed names that would write outside the local folder; Cancel of a transfer.
#include "core/common/Prompt.h"
#include "core/net/PendingFiles.h"
#include "core/settings/Profile.h"
#include "gui/common/CInputDlg.h"
#include "gui/common/CPermissionsDlg.h"
#include "gui/common/CTextViewerDlg.h"
#include "gui/common/CWorkingDlg.h"
#include "gui/common/CommandIds.h"
#include "gui/common/IShell.h"
#include "gui/net/CFtpDlg.h"
#include "gui/net/CFtpPaneModel.h"
#include "gui/net/CFtpProgressDlg.h"
#include "gui/net/NetCommands.h"
#include "support/FtpServers.h"
#include "support/NetTestFixture.h"
#include "support/gui/GuiTestFixture.h"
#include "support/gui/MainWindowWithEditor.h"
#include "support/gui/ModalDialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <memory>

namespace {

QStringList rows(const CFtpPaneModel* model)
{
    QStringList texts;
    for (int i = 0; i < model->rowCount(); ++i)
        texts << model->index(i).data().toString();
    return texts;
}

bool selectRow(QTreeView* view, const QString& text)
{
    view->clearSelection();
    for (int i = 0; i < view->model()->rowCount(); ++i) {
        const QModelIndex index = view->model()->index(i, 0);
        if (index.data().toString() == text) {
            view->setCurrentIndex(index);
            view->selectionModel()->select(
                index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            return true;
        }
    }
    qWarning("no row %s in %s", qUtf8Printable(text),
        qUtf8Printable(rows(qobject_cast<CFtpPaneModel*>(view->model())).join(QLatin1Char('|'))));
    return false;
}

void click(CFtpDlg& dialog, int control)
{
    QTest::mouseClick(dialog.Button(control), Qt::LeftButton);
}

// Answers the next input dialog with `text`.
void answerInput(const QString& text)
{
    WhenModal<CInputDlg>([text](CInputDlg* input) {
        input->Field1()->setText(text);
        input->accept();
    });
}

QString lastCaption()
{
    return Prompt::History().isEmpty() ? QString() : Prompt::History().last().caption;
}

} // namespace

class TestFtpDialog : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<GuiTestFixture> m_fixture;
    QString docs() const { return m_fixture->Docs(); }

private slots:
    void initTestCase()
    {
        m_fixture = std::make_unique<GuiTestFixture>(QStringLiteral("FtpDialog"));
        RemoteHostUi::Install();
    }

    void init() { m_fixture->Init(); }

    // Every button of the dialog once, against each server, with the result read from its disk.
    void wholeRound_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("vsftpd") << int(TestFtpServer::Vsftpd);
        QTest::newRow("pyftpdlib") << int(TestFtpServer::Pyftpdlib);
    }

    void wholeRound()
    {
        QFETCH(int, kind);
        TestFtpServer server(static_cast<TestFtpServer::Kind>(kind));
        QVERIFY(StartServerForSettings(server));
        const QByteArray notes = "first line\nsecond line\n";
        QVERIFY(server.PutFile(QStringLiteral("notes.txt"), notes));
        QVERIFY(server.PutFile(QStringLiteral("Mail/inbox"), "From x\n"));
        QVERIFY(QFile::link(QStringLiteral("Mail"), server.Root() + QStringLiteral("/www")));
        const QByteArray upload = "line one\r\nline two\n";
        QVERIFY(WriteTestFile(docs() + QStringLiteral("upload me.txt"), upload));
        QVERIFY(QDir().mkpath(docs() + QStringLiteral("Data")));
        AddPending(docs() + QStringLiteral("upload me.txt"), QStringLiteral("upload me.txt"));

        MainWindowWithEditor window;
        CFtpDlg dialog(&window, &window.Shell());
        dialog.show();
        auto* status = qobject_cast<QLabel*>(dialog.ControlWidget(CFtpDlg::StatusText));
        QCOMPARE(status->text(), QStringLiteral("Press 'Connect' to view remote files"));
        QCOMPARE(rows(dialog.LocalModel()),
            QStringList({ QStringLiteral("..Up One Level"), QStringLiteral("Data"),
                QStringLiteral("upload me.txt") }));
        QCOMPARE(dialog.RemoteModel()->rowCount(), 0);
        QVERIFY(!dialog.Host().IsConnected());

        // Connect lists the login directory: directories, then links, then files.
        click(dialog, CFtpDlg::ConnectButton);
        QVERIFY(dialog.Host().IsConnected());
        QCOMPARE(status->text(), QStringLiteral("Connected to remote host"));
        QCOMPARE(dialog.Button(CFtpDlg::ConnectButton)->text(), QStringLiteral("Disconnect"));
        QCOMPARE(rows(dialog.RemoteModel()),
            QStringList({ QStringLiteral("..Up One Level"), QStringLiteral("Mail"), QStringLiteral("www"),
                QStringLiteral("notes.txt") }));

        // Into a directory and back up.
        QVERIFY(selectRow(dialog.RemoteView(), QStringLiteral("Mail")));
        click(dialog, CFtpDlg::RemoteChangeDirectory);
        QCOMPARE(rows(dialog.RemoteModel()),
            QStringList({ QStringLiteral("..Up One Level"), QStringLiteral("inbox") }));
        QVERIFY(qobject_cast<QLabel*>(dialog.ControlWidget(CFtpDlg::RemotePathLabel))
                    ->text()
                    .endsWith(QStringLiteral("Mail")));
        QVERIFY(selectRow(dialog.RemoteView(), QStringLiteral("..Up One Level")));
        click(dialog, CFtpDlg::RemoteChangeDirectory);
        QVERIFY(rows(dialog.RemoteModel()).contains(QStringLiteral("notes.txt")));

        // Send a file in binary: the bytes arrive as they are, and the pending pair goes.
        QVERIFY(selectRow(dialog.LocalView(), QStringLiteral("upload me.txt")));
        qobject_cast<QRadioButton*>(dialog.ControlWidget(CFtpDlg::BinaryButton))->setChecked(true);
        click(dialog, CFtpDlg::SendFileButton);
        QCOMPARE(lastCaption(), QStringLiteral("File Upload Successful"));
        QCOMPARE(server.FileContent(QStringLiteral("upload me.txt")), upload);
        QVERIFY(rows(dialog.RemoteModel()).contains(QStringLiteral("upload me.txt")));
        QVERIFY(!HasPending());

        // Get a file in ASCII into the local directory shown.
        qobject_cast<QRadioButton*>(dialog.ControlWidget(CFtpDlg::AsciiButton))->setChecked(true);
        QVERIFY(selectRow(dialog.RemoteView(), QStringLiteral("notes.txt")));
        click(dialog, CFtpDlg::GetFileButton);
        QCOMPARE(ReadTestFile(docs() + QStringLiteral("notes.txt")), notes);
        QVERIFY(rows(dialog.LocalModel()).contains(QStringLiteral("notes.txt")));

        // Rename.
        QVERIFY(selectRow(dialog.RemoteView(), QStringLiteral("upload me.txt")));
        answerInput(QStringLiteral("renamed.txt"));
        click(dialog, CFtpDlg::RenameButton);
        QVERIFY(!server.Exists(QStringLiteral("upload me.txt")));
        QCOMPARE(server.FileContent(QStringLiteral("renamed.txt")), upload);
        QVERIFY(rows(dialog.RemoteModel()).contains(QStringLiteral("renamed.txt")));

        // Permissions start from the listed mode; the new mode lands on the file.
        QVERIFY(selectRow(dialog.RemoteView(), QStringLiteral("renamed.txt")));
        const int listedMode = FileMode(server.Root() + QStringLiteral("/renamed.txt"));
        int shownValue = -2;
        WhenModal<CPermissionsDlg>([&shownValue](CPermissionsDlg* permissions) {
            shownValue = permissions->Value();
            permissions->Box(CPermissionsDlg::GroupRead)->setChecked(false);
            permissions->Box(CPermissionsDlg::WorldRead)->setChecked(false);
            permissions->Box(CPermissionsDlg::GroupExecute)->setChecked(false);
            permissions->Box(CPermissionsDlg::WorldExecute)->setChecked(false);
            permissions->accept();
        });
        click(dialog, CFtpDlg::PermissionButton);
        QCOMPARE(QString::number(shownValue), QString::number(listedMode, 8));
        QCOMPARE(FileMode(server.Root() + QStringLiteral("/renamed.txt")), listedMode & 0700);

        // Make a directory with a blank in its name.
        answerInput(QStringLiteral("new dir"));
        click(dialog, CFtpDlg::MakeDirButton);
        QVERIFY(QFileInfo(server.Root() + QStringLiteral("/new dir")).isDir());
        QVERIFY(rows(dialog.RemoteModel()).contains(QStringLiteral("new dir")));

        // Delete: No keeps the file; Yes deletes a file and a directory.
        QVERIFY(selectRow(dialog.RemoteView(), QStringLiteral("renamed.txt")));
        Prompt::QueueAnswer(Prompt::No);
        click(dialog, CFtpDlg::DeleteButton);
        QVERIFY(server.Exists(QStringLiteral("renamed.txt")));
        const Prompt::Record asked = Prompt::History().last();
        QCOMPARE(asked.text, QStringLiteral("Are you sure you want to delete the remote file renamed.txt?"));
        QCOMPARE(asked.caption, QStringLiteral("Confirm file delete"));
        QCOMPARE(asked.buttons, Prompt::Buttons(Prompt::Yes | Prompt::No | Prompt::Cancel));
        QCOMPARE(asked.defaultButton, Prompt::No);
        Prompt::QueueAnswer(Prompt::Yes);
        click(dialog, CFtpDlg::DeleteButton);
        QVERIFY(!server.Exists(QStringLiteral("renamed.txt")));
        QVERIFY(!rows(dialog.RemoteModel()).contains(QStringLiteral("renamed.txt")));
        QVERIFY(selectRow(dialog.RemoteView(), QStringLiteral("new dir")));
        Prompt::QueueAnswer(Prompt::Yes);
        click(dialog, CFtpDlg::DeleteButton);
        QCOMPARE(Prompt::History()[Prompt::History().size() - 2].caption,
            QStringLiteral("Confirm directory delete"));
        QVERIFY(!server.Exists(QStringLiteral("new dir")));

        // View shows the remote file; the temporary copy is gone afterwards.
        QVERIFY(selectRow(dialog.RemoteView(), QStringLiteral("notes.txt")));
        QString viewed;
        QString viewTitle;
        WhenModal<CTextViewerDlg>([&](CTextViewerDlg* viewer) {
            viewed = viewer->TextBox()->toPlainText();
            viewTitle = viewer->windowTitle();
            viewer->accept();
        });
        const QStringList tempBefore = QDir::temp().entryList({ QStringLiteral("zeph*") }, QDir::Files);
        click(dialog, CFtpDlg::ViewButton);
        QCOMPARE(viewed, QString::fromUtf8(notes));
        QCOMPARE(viewTitle, QStringLiteral("Remote file: notes.txt"));
        QCOMPARE(QDir::temp().entryList({ QStringLiteral("zeph*") }, QDir::Files), tempBefore);

        // The raw listing as the server sent it.
        QString raw;
        WhenModal<CTextViewerDlg>([&](CTextViewerDlg* viewer) {
            raw = viewer->TextBox()->toPlainText();
            viewTitle = viewer->windowTitle();
            viewer->accept();
        });
        click(dialog, CFtpDlg::RawDirListButton);
        QCOMPARE(viewTitle, QStringLiteral("Remote directory list"));
        QVERIFY2(raw.contains(QStringLiteral("www -> Mail")), qUtf8Printable(raw));

        // The dialogue went to the dialog's own log box.
        const QString log
            = qobject_cast<QPlainTextEdit*>(dialog.ControlWidget(CFtpDlg::LogBox))->toPlainText();
        QVERIFY(log.contains(QStringLiteral("RETR notes.txt")));
        QVERIFY(log.contains(QStringLiteral("MKD new dir")));

        // Exit ends the connection and closes.
        click(dialog, CFtpDlg::ExitButton);
        QVERIFY(!dialog.Host().IsConnected());
        QVERIFY(!dialog.isVisible());
    }

    // Without a suitable row the dialog explains and sends nothing; the up row of Delete does
    // nothing at all.
    void selectionMessages_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("remote");
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("text");
        const QString uploadFolder = QStringLiteral(
            "Please select a local file to upload to the remote host.  Folders cannot be uploaded.");
        const QString downloadFolder = QStringLiteral(
            "Please select a remote file to download to your computer.  Folders cannot be downloaded.");
        QTest::newRow("Send File, nothing") << int(CFtpDlg::SendFileButton) << false << QString()
                                            << QStringLiteral("Please select a local file to upload.");
        QTest::newRow("Send File, folder")
            << int(CFtpDlg::SendFileButton) << false << QStringLiteral("sub") << uploadFolder;
        QTest::newRow("Send File, up")
            << int(CFtpDlg::SendFileButton) << false << QStringLiteral("..Up One Level") << uploadFolder;
        QTest::newRow("Get File, nothing") << int(CFtpDlg::GetFileButton) << true << QString()
                                           << QStringLiteral("Please select a remote file to download.");
        QTest::newRow("Get File, folder")
            << int(CFtpDlg::GetFileButton) << true << QStringLiteral("dir") << downloadFolder;
        QTest::newRow("Get File, link")
            << int(CFtpDlg::GetFileButton) << true << QStringLiteral("link") << downloadFolder;
        QTest::newRow("Get File, up")
            << int(CFtpDlg::GetFileButton) << true << QStringLiteral("..Up One Level") << downloadFolder;
        QTest::newRow("View, nothing") << int(CFtpDlg::ViewButton) << true << QString()
                                       << QStringLiteral("Please select a remote file to view.");
        QTest::newRow("Permission, nothing")
            << int(CFtpDlg::PermissionButton) << true << QString()
            << QStringLiteral("Please select a remote file or folder to change permissions for.");
        QTest::newRow("Delete, nothing") << int(CFtpDlg::DeleteButton) << true << QString()
                                         << QStringLiteral("Please select a remote file to delete.");
        QTest::newRow("Delete, up") << int(CFtpDlg::DeleteButton) << true << QStringLiteral("..Up One Level")
                                    << QString();
        QTest::newRow("Rename, nothing") << int(CFtpDlg::RenameButton) << true << QString()
                                         << QStringLiteral("Please select a remote file to rename.");
    }

    void selectionMessages()
    {
        QFETCH(int, button);
        QFETCH(bool, remote);
        QFETCH(QString, row);
        QFETCH(QString, text);
        QVERIFY(QDir().mkpath(docs() + QStringLiteral("sub")));
        CFtpDlg dialog(nullptr, nullptr);
        dialog.RemoteModel()->SetItems(true, { { QStringLiteral("dir"), "dir", 755 } },
            { { QStringLiteral("link"), "link", 777 } }, { { QStringLiteral("file"), "file", 644 } });
        if (!row.isEmpty())
            QVERIFY(selectRow(remote ? dialog.RemoteView() : dialog.LocalView(), row));
        click(dialog, button);
        if (text.isEmpty()) {
            QVERIFY(Prompt::History().isEmpty());
        } else {
            QCOMPARE(Prompt::History().size(), 1);
            QCOMPARE(Prompt::History()[0].text, text);
            QCOMPARE(Prompt::History()[0].caption, QStringLiteral("No file selected"));
            QCOMPARE(Prompt::History()[0].icon, Prompt::Information);
        }
        QVERIFY(!dialog.Host().IsConnected());
    }

    // A listed name with a path, a backslash or a control character, or a dot name, is never
    // used as a local name: nothing is asked of the host and nothing is written.
    void hostileNamesAreNotDownloaded_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("slash") << QStringLiteral("a/b");
        QTest::newRow("backslash") << QStringLiteral("back\\slash");
        QTest::newRow("escape sequence") << QStringLiteral("evil\x1b[31mred");
        QTest::newRow("tab") << QStringLiteral("tab\tname");
        QTest::newRow("parent") << QStringLiteral("..");
        QTest::newRow("itself") << QStringLiteral(".");
    }

    void hostileNamesAreNotDownloaded()
    {
        QFETCH(QString, name);
        TestFtpServer server(TestFtpServer::Fault, QStringLiteral("hostile"));
        QVERIFY(StartServerForSettings(server));
        const QStringList localBefore = QDir(docs()).entryList(QDir::AllEntries | QDir::Hidden);
        const QStringList parentBefore
            = QDir(docs() + QStringLiteral("..")).entryList(QDir::AllEntries | QDir::Hidden);
        CFtpDlg dialog(nullptr, nullptr);
        click(dialog, CFtpDlg::ConnectButton);
        QVERIFY(selectRow(dialog.RemoteView(), name));
        Prompt::ClearHistory();
        click(dialog, CFtpDlg::GetFileButton);
        QCOMPARE(Prompt::History().size(), 1);
        QCOMPARE(Prompt::History()[0].caption, QStringLiteral("Invalid file name"));
        QCOMPARE(Prompt::History()[0].text,
            QStringLiteral(
                "The remote name %1 cannot be used as a local file name.  Rename it on the remote host "
                "first.")
                .arg(name));
        dialog.Host().Disconnect();
        for (const QByteArray& command : server.Commands())
            QVERIFY2(!command.startsWith("RETR"), command.constData());
        QCOMPARE(QDir(docs()).entryList(QDir::AllEntries | QDir::Hidden), localBefore);
        QCOMPARE(
            QDir(docs() + QStringLiteral("..")).entryList(QDir::AllEntries | QDir::Hidden), parentBefore);
    }

    // Cancel in the progress window ends a stalled download at once: no local file, the
    // connection gone, and the dialog says so.
    void cancelDownload()
    {
        TestFtpServer server(TestFtpServer::Fault, QStringLiteral("stall"));
        QVERIFY(StartServerForSettings(server));
        CFtpDlg dialog(nullptr, nullptr);
        dialog.Host().SetTimeout(60);
        dialog.show();
        click(dialog, CFtpDlg::ConnectButton);
        QVERIFY(selectRow(dialog.RemoteView(), QStringLiteral("data.bin")));
        qobject_cast<QRadioButton*>(dialog.ControlWidget(CFtpDlg::BinaryButton))->setChecked(true);
        QElapsedTimer sinceCancel;
        auto* timer = new QTimer(&dialog);
        timer->setInterval(50);
        connect(timer, &QTimer::timeout, timer, [timer, &sinceCancel] {
            CFtpProgressDlg* progress = RemoteHostUi::CurrentProgressDialog();
            if (progress && progress->MessageText().contains(QStringLiteral("bytes"))) {
                timer->stop();
                sinceCancel.start();
                QTest::mouseClick(progress->CancelButton(), Qt::LeftButton);
            }
        });
        timer->start();
        click(dialog, CFtpDlg::GetFileButton);
        QVERIFY(sinceCancel.isValid());
        // A hang guard with a wide margin: only the cancel can end the stall before 60 s.
        QVERIFY2(sinceCancel.elapsed() < 5000, qUtf8Printable(QString::number(sinceCancel.elapsed())));
        QCOMPARE(lastCaption(), QStringLiteral("Operation canceled"));
        QVERIFY(!QFile::exists(docs() + QStringLiteral("data.bin")));
        QVERIFY(!dialog.Host().IsConnected());
        QTRY_COMPARE(qobject_cast<QLabel*>(dialog.ControlWidget(CFtpDlg::StatusText))->text(),
            QStringLiteral("Press 'Connect' to view remote files"));
        QCOMPARE(dialog.Button(CFtpDlg::ConnectButton)->text(), QStringLiteral("Connect"));
    }

    // A listing of more than 50 lines is classified under the working window; Cancel there keeps
    // what was classified so far, still sorted.
    void longListing_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("whole") << false;
        QTest::newRow("cancelled") << true;
    }

    void longListing()
    {
        QFETCH(bool, cancel);
        TestFtpServer server(TestFtpServer::Pyftpdlib);
        QVERIFY(StartServerForSettings(server));
        QStringList names;
        for (int i = 0; i < 120; ++i) {
            const QString name = QStringLiteral("%1file%2.txt")
                                     .arg(i % 2 ? QStringLiteral("B") : QStringLiteral("a"))
                                     .arg(119 - i, 3, 10, QLatin1Char('0'));
            names.append(name);
            QVERIFY(server.PutFile(name, "x"));
        }
        int workingShown = 0;
        // The working window is cancelled the moment it shows.
        struct Canceller : QObject
        {
            bool cancel = false;
            int* shown = nullptr;
            bool eventFilter(QObject* watched, QEvent* event) override
            {
                if (event->type() == QEvent::Show) {
                    if (auto* working = qobject_cast<CWorkingDlg*>(watched)) {
                        ++*shown;
                        if (cancel)
                            working->reject();
                    }
                }
                return false;
            }
        } canceller;
        canceller.cancel = cancel;
        canceller.shown = &workingShown;
        qApp->installEventFilter(&canceller);
        CFtpDlg dialog(nullptr, nullptr);
        click(dialog, CFtpDlg::ConnectButton);
        qApp->removeEventFilter(&canceller);
        QCOMPARE(workingShown, 1);
        QVERIFY(dialog.findChildren<CWorkingDlg*>().isEmpty());
        QStringList shown = rows(dialog.RemoteModel());
        QCOMPARE(shown.takeFirst(), QStringLiteral("..Up One Level"));
        QStringList sorted = shown;
        std::sort(sorted.begin(), sorted.end(),
            [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
        QCOMPARE(shown, sorted);
        if (cancel) {
            QVERIFY2(!shown.isEmpty() && shown.size() < 120, qUtf8Printable(QString::number(shown.size())));
        } else {
            names.sort(Qt::CaseInsensitive);
            QCOMPARE(shown, names);
        }
    }

    // The local pane walks the folders; the root has no level above it.
    void localFolders()
    {
        QVERIFY(QDir().mkpath(docs() + QStringLiteral("sub/deeper")));
        CFtpDlg dialog(nullptr, nullptr);
        QVERIFY(selectRow(dialog.LocalView(), QStringLiteral("sub")));
        click(dialog, CFtpDlg::LocalChangeDirectory);
        QCOMPARE(dialog.LocalFolder(), docs() + QStringLiteral("sub/"));
        QCOMPARE(rows(dialog.LocalModel()),
            QStringList({ QStringLiteral("..Up One Level"), QStringLiteral("deeper") }));
        QVERIFY(selectRow(dialog.LocalView(), QStringLiteral("..Up One Level")));
        click(dialog, CFtpDlg::LocalChangeDirectory);
        QCOMPARE(dialog.LocalFolder(), docs());
        dialog.SetLocalFolder(QStringLiteral("/"));
        QVERIFY(!rows(dialog.LocalModel()).contains(QStringLiteral("..Up One Level")));
    }

    void pathLabels_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("local");
        QTest::addColumn<QString>("remote");
        const QString digits = QStringLiteral("0123456789");
        const QString fifty = digits.repeated(5);
        QTest::newRow("30 shown whole") << 30 << fifty.left(30) << fifty.left(30);
        QTest::newRow("31: the tail leaves the head alone")
            << 31 << QStringLiteral("012...") + fifty.left(31).right(27)
            << QStringLiteral("...") + fifty.left(31).right(30);
        QTest::newRow("33") << 33 << QStringLiteral("012...") + fifty.left(33).right(29)
                            << QStringLiteral("...") + fifty.left(33).right(30);
        QTest::newRow("34") << 34 << QStringLiteral("012...") + fifty.left(34).right(30)
                            << QStringLiteral("...") + fifty.left(34).right(30);
        QTest::newRow("50") << 50 << QStringLiteral("012...") + fifty.right(30)
                            << QStringLiteral("...") + fifty.right(30);
    }

    void pathLabels()
    {
        QFETCH(int, length);
        QFETCH(QString, local);
        QFETCH(QString, remote);
        const QString path = QStringLiteral("0123456789").repeated(5).left(length);
        QCOMPARE(CFtpDlg::ShortLocalPath(path), local);
        QCOMPARE(CFtpDlg::ShortRemotePath(path), remote);
    }

    // Tools > FTP Dialog opens the dialog once the remote commands are installed.
    void toolsMenuOpensIt()
    {
        MainWindowWithEditor window;
        QVERIFY(!window.Shell().CommandAction(Cmd::FtpDialog)->isEnabled());
        NetCommands::Install(window.Shell());
        window.Shell().UpdateCommandStates();
        QVERIFY(window.Shell().CommandAction(Cmd::FtpDialog)->isEnabled());
        QString title;
        WhenModal<CFtpDlg>([&title](CFtpDlg* dialog) {
            title = dialog->windowTitle();
            QTest::mouseClick(dialog->Button(CFtpDlg::ExitButton), Qt::LeftButton);
        });
        QVERIFY(window.Shell().RunCommand(Cmd::FtpDialog));
        QCOMPARE(title, QStringLiteral("FTP"));
    }
};

QTEST_MAIN(TestFtpDialog)
#include "tst_ftpdialog.moc"
