// The remote-transfer windows offscreen: progress with Cancel during a stalled transfer, the
// pending files dialog, the custom menu editor, the menu entry checks and the FTP settings page.
#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/net/CustomMenus.h"
#include "core/net/FtpPassword.h"
#include "core/net/PendingFiles.h"
#include "core/settings/CAppState.h"
#include "core/settings/CUserData.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "gui/net/CCustomizeMenuDlg.h"
#include "gui/net/CFtpProgressDlg.h"
#include "gui/net/CMenuEntryDlg.h"
#include "gui/net/CPendingFilesDlg.h"
#include "gui/settings/CPropPageFTP.h"
#include "support/FtpServers.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <memory>

class TestNetDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void progressCancelDuringStall();
    void pendingTexts_data();
    void pendingTexts();
    void pendingNeedsSetup();
    void pendingRemove();
    void customizeMenu();
    void dialogsKeepTheirSize_data();
    void dialogsKeepTheirSize();
    void menuEntryChecks();
    void menuEntrySelectedFile_data();
    void menuEntrySelectedFile();
    void ftpPage();

private:
    QString makeFile(const QString& name);
    QTemporaryDir m_dir;
};

void TestNetDialogs::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    RemoteHostUi::Install();
}

void TestNetDialogs::init()
{
    CAppState::Instance().Reset();
    Prompt::ClearHistory();
}

QString TestNetDialogs::makeFile(const QString& name)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write("content\n");
    return path;
}

void TestNetDialogs::progressCancelDuringStall()
{
    TestFtpServer server(TestFtpServer::Fault, QStringLiteral("stall"));
    QString error;
    QVERIFY2(server.Start(&error), qUtf8Printable(error));
    SetSetting(Settings::ExpandFtpDialog, 1);
    CRemoteHost host;
    host.SetTimeout(60);
    QVERIFY(
        host.ConnectTo(QStringLiteral("127.0.0.1"), QStringLiteral("u"), QStringLiteral("p"), server.Port()));
    QString logSeen;
    QString messageSeen;
    QElapsedTimer sinceCancel;
    QTimer::singleShot(700, [&] {
        CFtpProgressDlg* dialog = RemoteHostUi::CurrentProgressDialog();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
        logSeen = dialog->LogEdit()->toPlainText();
        messageSeen = dialog->MessageText();
        sinceCancel.start();
        QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
    });
    const QString local = m_dir.filePath(QStringLiteral("stall.bin"));
    QVERIFY(!host.Transfer(local, QStringLiteral("data.bin"), true, true, true));
    const qint64 latency = sinceCancel.elapsed();
    qInfo("the cancelled transfer returned %lld ms after the click", static_cast<long long>(latency));
    // A hang guard with a wide margin: the time-out is 60 s, only the cancel can end it.
    QVERIFY2(sinceCancel.isValid() && latency < 5000, qUtf8Printable(QString::number(latency)));
    QVERIFY(host.WasCanceled());
    QVERIFY(logSeen.contains(QStringLiteral("RETR data.bin")));
    QVERIFY2(messageSeen.startsWith(
                 QStringLiteral("Attempting to download data.bin.\n\n100000 of 200000 bytes.  50 Percent.")),
        qUtf8Printable(messageSeen));
    QVERIFY(!QFile::exists(local));
    QVERIFY(!RemoteHostUi::CurrentProgressDialog());
}

void TestNetDialogs::pendingTexts_data()
{
    QTest::addColumn<int>("files");
    QTest::addColumn<bool>("quitting");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("addIsDefault");
    QTest::newRow("two at exit") << 2 << true
                                 << QStringLiteral(
                                        "The 2 files listed below should be uploaded to your ISP.  To do so, "
                                        "select the 'Send Files Now' button.  To ignore this message and "
                                        "continue quitting, hit 'Close'.")
                                 << false;
    QTest::newRow("one") << 1 << false
                         << QStringLiteral(
                                "The file listed below should be uploaded to your ISP.\r\nTo do so, select "
                                "the 'Send Files Now' button.")
                         << false;
    QTest::newRow("none") << 0 << false
                          << QStringLiteral(
                                 "There are no files pending to be sent to your ISP.  To add a file to the "
                                 "list, select the 'Add File' button.")
                          << true;
}

void TestNetDialogs::pendingTexts()
{
    QFETCH(int, files);
    QFETCH(bool, quitting);
    QFETCH(QString, text);
    QFETCH(bool, addIsDefault);
    for (int i = 0; i < files; ++i)
        QVERIFY(AddPending(makeFile(QStringLiteral("p%1").arg(i)), QStringLiteral("r%1").arg(i)));
    CPendingFilesDlg dialog(quitting);
    QCOMPARE(dialog.Text()->text(), text);
    QCOMPARE(dialog.List()->topLevelItemCount(), files);
    QCOMPARE(dialog.AddButton()->isDefault(), addIsDefault);
    QCOMPARE(dialog.SendButton()->isDefault(), !addIsDefault);
}

void TestNetDialogs::pendingNeedsSetup()
{
    QVERIFY(!SendPending(true, false, nullptr));
    QCOMPARE(Prompt::History().size(), 1);
    QCOMPARE(Prompt::History().first().caption, QStringLiteral("Setup not initialized"));
    QVERIFY(!SendPending(false, false, nullptr));
    QCOMPARE(Prompt::History().size(), 1);
}

void TestNetDialogs::pendingRemove()
{
    const QString a = makeFile(QStringLiteral("ra"));
    const QString b = makeFile(QStringLiteral("rb"));
    QVERIFY(AddPending(a, QStringLiteral("x")));
    QVERIFY(AddPending(b, QStringLiteral("y")));
    CPendingFilesDlg dialog(false);
    dialog.RemoveFiles();
    QCOMPARE(Prompt::History().last().caption, QStringLiteral("Nothing selected!"));
    dialog.List()->topLevelItem(0)->setSelected(true);
    Prompt::QueueAnswer(Prompt::No);
    dialog.RemoveFiles();
    QCOMPARE(PendingPairs().size(), 2);
    Prompt::QueueAnswer(Prompt::Yes);
    dialog.RemoveFiles();
    QCOMPARE(Prompt::History().last().caption, QStringLiteral("Okay to remove?"));
    QCOMPARE(Prompt::History().last().defaultButton, Prompt::No);
    QCOMPARE(PendingPairs(), (QList<QPair<QString, QString>> { { b, QStringLiteral("y") } }));
    QCOMPARE(dialog.List()->topLevelItemCount(), 1);
}

void TestNetDialogs::customizeMenu()
{
    QList<CMenuEntry> entries;
    for (int i = 0; i < 3; ++i)
        entries.append(
            { QStringLiteral("m%1").arg(i), QStringLiteral("r%1").arg(i), QStringLiteral("/l%1").arg(i) });
    QVERIFY(CustomMenus::SaveMenuEntries(false, entries));
    bool rebuilt = false;
    CCustomizeMenuDlg::SetMenusChangedHandler([&rebuilt] { rebuilt = true; });
    CCustomizeMenuDlg dialog(false);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Customize download menu"));
    QCOMPARE(dialog.Entries(), entries);
    dialog.List()->clearSelection();
    dialog.DeleteEntry();
    QCOMPARE(Prompt::History().last().text,
        QStringLiteral("Please select an item in the list or choose cancel to quit."));
    dialog.List()->setCurrentItem(dialog.List()->topLevelItem(2));
    dialog.MoveEntry(-1);
    dialog.List()->setCurrentItem(dialog.List()->topLevelItem(0));
    Prompt::QueueAnswer(Prompt::Yes);
    dialog.DeleteEntry();
    dialog.accept();
    QVERIFY(rebuilt);
    CCustomizeMenuDlg::SetMenusChangedHandler(nullptr);
    QCOMPARE(CustomMenus::LoadMenuEntries(false), (QList<CMenuEntry> { entries[2], entries[1] }));

    QList<CMenuEntry> full;
    for (int i = 0; i < CustomMenus::MaxEntries; ++i)
        full.append({ QStringLiteral("m"), QStringLiteral("r"), QStringLiteral("/l") });
    QVERIFY(CustomMenus::SaveMenuEntries(true, full));
    CCustomizeMenuDlg upload(true);
    upload.AddEntry();
    QCOMPARE(Prompt::History().last().caption, QStringLiteral("Maximum number in list"));
    QCOMPARE(Prompt::History().last().text,
        QStringLiteral("You can have a maximum of 50 menu entries.  Please delete an item in the list before "
                       "adding another."));
}

// Long local paths need a wide list: the size the user gives these dialogs is kept, under the
// keys of the settings section "Dialogs".
void TestNetDialogs::dialogsKeepTheirSize_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("key");
    QTest::newRow("pending files") << 0 << QStringLiteral("Dlg Pending Files ");
    QTest::newRow("customize menu") << 1 << QStringLiteral("Dlg#134 ");
}

void TestNetDialogs::dialogsKeepTheirSize()
{
    QFETCH(int, which);
    QFETCH(QString, key);
    auto open = [which]() -> std::unique_ptr<CResizingDialog> {
        if (which == 0)
            return std::make_unique<CPendingFilesDlg>(false);
        return std::make_unique<CCustomizeMenuDlg>(true);
    };
    {
        const std::unique_ptr<CResizingDialog> first = open();
        QCOMPARE(first->KeyPrefix(), key);
        first->show();
        QVERIFY(first->width() >= 640 && first->height() >= 320);
        first->resize(900, 500);
        QApplication::processEvents();
        first->reject();
    }
    QCOMPARE(GetProfileInt(QStringLiteral("Dialogs"), key + QStringLiteral("Width"), 0), 900);
    const std::unique_ptr<CResizingDialog> again = open();
    again->show();
    QCOMPARE(again->size(), QSize(900, 500));
    again->reject();
}

void TestNetDialogs::menuEntryChecks()
{
    QString name, remote, local;
    CMenuEntryDlg dialog(CMenuEntryDlg::AddUpload, &name, &remote, &local);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Upload menu entry"));
    dialog.accept();
    QCOMPARE(Prompt::History().last().caption, QStringLiteral("No local filename"));
    dialog.LocalEdit()->setText(m_dir.filePath(QStringLiteral("missing")));
    dialog.accept();
    QCOMPARE(Prompt::History().last().caption, QStringLiteral("No remote filename"));
    dialog.RemoteEdit()->setText(QStringLiteral("a\nb"));
    dialog.accept();
    QCOMPARE(Prompt::History().last().caption, QStringLiteral("No menu name"));
    dialog.MenuNameEdit()->setText(QStringLiteral("Mine"));
    dialog.accept();
    QCOMPARE(Prompt::History().last().caption, QStringLiteral("Invalid entry"));
    dialog.RemoteEdit()->setText(QStringLiteral("remote"));
    dialog.accept();
    QCOMPARE(Prompt::History().last().caption, QStringLiteral("File doesn't exist!"));
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    const QString existing = makeFile(QStringLiteral("exists"));
    dialog.LocalEdit()->setText(existing);
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(local, existing);
    QCOMPARE(remote, QStringLiteral("remote"));
    QCOMPARE(name, QStringLiteral("Mine"));

    CMenuEntryDlg download(CMenuEntryDlg::AddDownload, &name, &remote, &local);
    download.LocalEdit()->setText(QStringLiteral("/no/such/folder/file"));
    download.RemoteEdit()->setText(QStringLiteral("r"));
    download.MenuNameEdit()->setText(QStringLiteral("n"));
    download.accept();
    QCOMPARE(Prompt::History().last().caption, QStringLiteral("Directory doesn't exist!"));

    CMenuEntryDlg pending(CMenuEntryDlg::NewPending, &name, &remote, &local);
    QCOMPARE(pending.windowTitle(), QStringLiteral("New pending file to upload"));
    QVERIFY(pending.MenuNameEdit()->isHidden());
}

void TestNetDialogs::menuEntrySelectedFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("remote");
    QTest::newRow(".procmailrc") << QStringLiteral(".procmailrc") << QStringLiteral(".procmailrc");
    QTest::newRow("other") << QStringLiteral("zeph.recipes") << QStringLiteral(".procmail/zeph.recipes");
}

void TestNetDialogs::menuEntrySelectedFile()
{
    QFETCH(QString, file);
    QFETCH(QString, remote);
    QString name, remoteOut, local;
    CMenuEntryDlg dialog(CMenuEntryDlg::AddUpload, &name, &remoteOut, &local);
    dialog.ApplySelectedFile(m_dir.filePath(file));
    QCOMPARE(dialog.RemoteEdit()->text(), remote);
    QCOMPARE(dialog.MenuNameEdit()->text(), file);
    QCOMPARE(dialog.LocalEdit()->text(), m_dir.filePath(file));
}

void TestNetDialogs::ftpPage()
{
    SetSetting(Settings::Host, QStringLiteral("ftp.example.org"));
    SetSetting(Settings::UserName, QStringLiteral("mary"));
    {
        CPropPageFTP page;
        QCOMPARE(page.HostEdit()->text(), QStringLiteral("ftp.example.org"));
        // The tests run without a session bus, so without a keychain.
        QCOMPARE(page.PasswordStoreLabel()->text(),
            QStringLiteral("Password store: a protected value in the settings file (no D-Bus session)"));
        QCOMPARE(page.PortEdit()->text(), QStringLiteral("21"));
        QCOMPARE(page.AdvancedButton()->text(), QStringLiteral("Show advanced >>"));
        QTest::mouseClick(page.AdvancedButton(), Qt::LeftButton);
        QCOMPARE(page.AdvancedButton()->text(), QStringLiteral("<< Hide advanced"));
        page.UserEdit()->setText(QStringLiteral("john"));
        QCOMPARE(page.CurrentUserName(), QStringLiteral("john"));
        page.PassiveBox()->setChecked(true);
        page.PortEdit()->setText(QStringLiteral("2121"));
        page.SavePasswordBox()->setChecked(true);
        QTest::keyClicks(page.PasswordEdit(), QStringLiteral("secret"));
        page.InitialDirEdit()->setText(QStringLiteral("bad\rdir"));
        QVERIFY(!page.OnOK());
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("Invalid entry"));
        page.InitialDirEdit()->setText(QStringLiteral("www"));
        QVERIFY(page.OnOK());
    }
    QCOMPARE(GetSettingString(Settings::UserName), QStringLiteral("john"));
    QCOMPARE(GetSetting(Settings::PasvMode), 1);
    QCOMPARE(GetSetting(Settings::Port), 2121);
    QCOMPARE(GetSettingString(Settings::InitialDir), QStringLiteral("www"));
    QCOMPARE(GetSetting(Settings::FtpAdvancedShown), 1);
    QCOMPARE(FtpPassword::Load(), QStringLiteral("secret"));
    // The saved value is not the password in clear.
    {
        CPropPageFTP page;
        QCOMPARE(page.PasswordEdit()->text(), QStringLiteral("secret"));
        page.SavePasswordBox()->setChecked(false);
        QVERIFY(page.OnOK());
    }
    QCOMPARE(FtpPassword::Load(), QString());
}

QTEST_MAIN(TestNetDialogs)
#include "tst_netdialogs.moc"
