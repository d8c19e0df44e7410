// The Settings sheet offscreen: opened from Tools > Settings and from the button page, the checks
// and messages of its pages, the local .forward/.qmail, and the Pending Files offer on close.
#include "NetTestFixture.h"
#include "core/common/Prompt.h"
#include "core/net/PendingFiles.h"
#include "core/procmail/CProcmailrcFile.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"
#include "gui/app/COpeningFormView.h"
#include "gui/app/DocumentRegistry.h"
#include "gui/common/CFileEditorDlg.h"
#include "gui/common/CommandIds.h"
#include "gui/common/Help.h"
#include "gui/common/HelpBrowser.h"
#include "gui/common/IShell.h"
#include "gui/editor/CZEPHView.h"
#include "gui/net/CPendingFilesDlg.h"
#include "gui/net/NetCommands.h"
#include "gui/settings/CPropPageEmail.h"
#include "gui/settings/CPropPageFTP.h"
#include "gui/settings/CPropPageForward.h"
#include "gui/settings/CPropPageProcmailrc.h"
#include "gui/settings/CPropSheetSetup.h"
#include "gui/settings/SettingsCommands.h"
#include "support/gui/GuiTestFixture.h"
#include "support/gui/MainWindowWithEditor.h"
#include "support/gui/ModalDialogs.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

namespace {

QStringList captions()
{
    QStringList list;
    for (const Prompt::Record& record : Prompt::History())
        list << record.caption;
    return list;
}

struct SeenSheet
{
    bool seen = false;
    QString caption;
    int page = -1;
    QStringList tabs;
    bool apply = true;
};

// Closes the next sheet with Cancel after noting what it showed.
void noteAndCancel(SeenSheet* seen)
{
    WhenModal<CPropSheetSetup>([seen](CPropSheetSetup* sheet) {
        seen->seen = true;
        seen->caption = sheet->windowTitle();
        seen->page = sheet->Tabs()->currentIndex();
        for (int i = 0; i < sheet->Tabs()->count(); ++i)
            seen->tabs << sheet->Tabs()->tabText(i);
        seen->apply = sheet->Buttons()->button(QDialogButtonBox::Apply) != nullptr;
        sheet->reject();
    });
}

} // namespace

class TestSettingsSheet : public QObject
{
    Q_OBJECT

    std::unique_ptr<GuiTestFixture> m_fixture;

private slots:
    void initTestCase() { m_fixture = std::make_unique<GuiTestFixture>(QStringLiteral("Sheet")); }
    void init()
    {
        m_fixture->Init();
        SetSetting(Settings::SetupWizRun, 1);
    }

    // Both roads open the sheet captioned "Settings" on its FTP page, without Apply.
    void opensFromMenuAndButtonPage_data()
    {
        QTest::addColumn<bool>("fromButtonPage");
        QTest::newRow("Tools > Settings") << false;
        QTest::newRow("button page") << true;
    }
    void opensFromMenuAndButtonPage()
    {
        QFETCH(bool, fromButtonPage);
        SetSetting(Settings::ShowPendingFilesDlg, 0);
        MainWindowWithEditor window;
        NetCommands::Install(window.Shell());
        InstallSettings(window.Shell());
        window.Shell().UpdateCommandStates();
        QAction* action = window.Shell().CommandAction(Cmd::Settings);
        QVERIFY(action->isEnabled());
        SeenSheet seen;
        noteAndCancel(&seen);
        if (fromButtonPage) {
            auto* page = qobject_cast<COpeningFormView*>(window.Documents().OpenButtonPage());
            QVERIFY(page);
            QToolButton* button = page->ButtonFor(COpeningFormView::SettingsButton);
            QVERIFY(button->isEnabled());
            button->click();
        } else {
            action->trigger();
        }
        QTRY_VERIFY(seen.seen);
        QCOMPARE(seen.caption, QStringLiteral("Settings"));
        QCOMPARE(seen.page, 0);
        QCOMPARE(seen.tabs,
            (QStringList { QStringLiteral("FTP"), QStringLiteral(".forward/.qmail"), QStringLiteral("Misc"),
                QStringLiteral(".procmailrc") }));
        QVERIFY(!seen.apply);
        // The .procmailrc page made the missing file, silently.
        QCOMPARE(ReadTestFile(Workspace::GetProcmailrcPath()), CProcmailrcFile::DefaultText());
        QVERIFY(Prompt::History().isEmpty());
    }

    // The guided tasks reach the sheet through the shell: their caption, their first page, Apply.
    void otherCallersThroughTheShell()
    {
        SetSetting(Settings::ShowPendingFilesDlg, 0);
        MainWindowWithEditor window;
        NetCommands::Install(window.Shell());
        QCOMPARE(
            window.Shell().ShowSettingsSheet(QStringLiteral("Setup"), IShell::SettingsPage::Misc, true), -1);
        InstallSettings(window.Shell());
        SeenSheet seen;
        noteAndCancel(&seen);
        QCOMPARE(window.Shell().ShowSettingsSheet(QStringLiteral("Setup"), IShell::SettingsPage::Misc, true),
            int(QDialog::Rejected));
        QVERIFY(seen.seen);
        QCOMPARE(seen.caption, QStringLiteral("Setup"));
        QCOMPARE(seen.page, int(CPropSheetSetup::MiscPage));
        QVERIFY(seen.apply);
    }

    // A modified .procmailrc in an editor window is saved or dropped first; Cancel opens no sheet.
    void editorWindowClosedFirst_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("opened");
        QTest::newRow("cancel") << int(Prompt::Cancel) << false;
        QTest::newRow("discard") << int(Prompt::No) << true;
    }
    void editorWindowClosedFirst()
    {
        QFETCH(int, answer);
        QFETCH(bool, opened);
        SetSetting(Settings::ShowPendingFilesDlg, 0);
        const QString path = Workspace::GetProcmailrcPath();
        QString error;
        QVERIFY(CProcmailrcFile().CreateDefault(&error));
        MainWindowWithEditor window;
        InstallSettings(window.Shell());
        auto* view = qobject_cast<CZEPHView*>(window.Documents().OpenDocument(path, DocumentKind::Text));
        QVERIFY(view);
        view->Editor()->insertPlainText(QStringLiteral("# unsaved\n"));
        bool sheetShown = false;
        QTimer watch;
        watch.setInterval(50);
        connect(&watch, &QTimer::timeout, [&sheetShown] {
            if (auto* sheet = qobject_cast<CPropSheetSetup*>(QApplication::activeModalWidget())) {
                sheetShown = true;
                sheet->reject();
            }
        });
        watch.start();
        Prompt::QueueAnswer(Prompt::Button(answer));
        window.Shell().RunCommand(Cmd::Settings);
        QCOMPARE(sheetShown, opened);
        QCOMPARE(Prompt::History().first().caption, QStringLiteral("Save changes?"));
        QCOMPARE(window.Documents().FindDocument(path) != nullptr, !opened);
        QCOMPARE(ReadTestFile(path), CProcmailrcFile::DefaultText());
    }

    // Help shows each page's own topic; an unknown topic would show the contents instead.
    void helpTopics()
    {
        CPropSheetSetup sheet(QStringLiteral("Settings"), nullptr, CPropSheetSetup::FtpPage);
        sheet.show();
        const QStringList topics
            = { QStringLiteral("settingsFTP.html"), QStringLiteral("settingsForward.html"),
                  QStringLiteral("settingsMisc.html"), QStringLiteral("settingsProcmailrc.html") };
        for (int page = 0; page < topics.size(); ++page) {
            sheet.Tabs()->setCurrentIndex(page);
            sheet.Buttons()->button(QDialogButtonBox::Help)->click();
            QCOMPARE(HelpBrowser::Instance()->CurrentTopic(), topics[page]);
        }
        ShowHelpTopic(&sheet, QStringLiteral("settings.html"));
        QCOMPARE(HelpBrowser::Instance()->CurrentTopic(), QStringLiteral("settings.html"));
        HelpBrowser::Instance()->close();
    }

    // The FTP page's host reaches the setting that the connection reads.
    void ftpHostIsStored()
    {
        CPropSheetSetup sheet(QStringLiteral("Settings"), nullptr, CPropSheetSetup::FtpPage);
        sheet.FtpPagePtr()->HostEdit()->setText(QStringLiteral("ftp.example.org"));
        sheet.FtpPagePtr()->UserEdit()->setText(QStringLiteral("mary"));
        sheet.accept();
        QCOMPARE(sheet.result(), int(QDialog::Accepted));
        QCOMPARE(GetSettingString(Settings::Host), QStringLiteral("ftp.example.org"));
        QCOMPARE(GetSettingString(Settings::UserName), QStringLiteral("mary"));
    }

    // When the sheet closes, OK or Cancel, the Pending Files dialog follows as the setting says.
    void pendingOfferOnClose_data()
    {
        QTest::addColumn<int>("show");
        QTest::addColumn<bool>("pending");
        QTest::addColumn<int>("setupRun");
        QTest::addColumn<bool>("offered");
        QTest::newRow("on, files pending") << 1 << true << 1 << true;
        QTest::newRow("off, files pending") << 0 << true << 1 << false;
        QTest::newRow("on, nothing pending") << 1 << false << 1 << false;
        // Without a finished setup there is no dialog to offer, and no message either.
        QTest::newRow("on, files pending, setup not run") << 1 << true << 0 << false;
    }
    void pendingOfferOnClose()
    {
        QFETCH(int, show);
        QFETCH(bool, pending);
        QFETCH(int, setupRun);
        QFETCH(bool, offered);
        SetSetting(Settings::ShowPendingFilesDlg, show);
        SetSetting(Settings::SetupWizRun, setupRun);
        QString error;
        QVERIFY(CProcmailrcFile().CreateDefault(&error));
        if (pending)
            CProcmailrcFile().MarkForUpload();
        MainWindowWithEditor window;
        NetCommands::Install(window.Shell());
        InstallSettings(window.Shell());
        // Polled by a timer of this test, so that nothing is left waiting when no dialog comes.
        bool dialogShown = false;
        QTimer watch;
        watch.setInterval(50);
        connect(&watch, &QTimer::timeout, [&dialogShown] {
            if (auto* dialog = qobject_cast<CPendingFilesDlg*>(QApplication::activeModalWidget())) {
                dialogShown = true;
                dialog->reject();
            }
        });
        watch.start();
        SeenSheet seen;
        noteAndCancel(&seen);
        window.Shell().RunCommand(Cmd::Settings);
        QVERIFY(seen.seen);
        if (offered)
            QTRY_VERIFY(dialogShown);
        else
            QTest::qWait(300);
        QCOMPARE(dialogShown, offered);
        QVERIFY(Prompt::History().isEmpty());
    }

    // A refused page becomes the current page with its message; the sheet stays open.
    void refusedPages_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        const QString angle = QStringLiteral("The %1 entry should just contain your plain email address, "
                                             "e.g. you@example.com.  It should  not "
                                             "contain any angle brackets (also referred to as 'less than' "
                                             "and 'greater than' signs) i.e. < or > "
                                             ".\n\n Please remove the angle brackets from your %1.");
        const QString special = QStringLiteral(
            "The %1 should not contain a quote, backquote, dollar sign, backslash or control character.");
        QTest::newRow("address with brackets") << "address"
                                               << "Me <me@example.org>" << 2 << "Remove angle brackets"
                                               << angle.arg(QStringLiteral("email address"));
        QTest::newRow("return address with brackets") << "return"
                                                      << "<me@example.org>" << 2 << "Remove angle brackets"
                                                      << angle.arg(QStringLiteral("return email address"));
        QTest::newRow("name with quote") << "name"
                                         << "Joe \"Boss\" Smith" << 2 << "Remove special characters"
                                         << special.arg(QStringLiteral("name"));
        QTest::newRow("name with backquote")
            << "name"
            << "Joe `id`" << 2 << "Remove special characters" << special.arg(QStringLiteral("name"));
        QTest::newRow("address with dollar") << "address"
                                             << "$USER@example.org" << 2 << "Remove special characters"
                                             << special.arg(QStringLiteral("email address"));
        QTest::newRow("return address with backslash")
            << "return"
            << "me\\@example.org" << 2 << "Remove special characters"
            << special.arg(QStringLiteral("return email address"));
        QTest::newRow("return address with tab") << "return"
                                                 << "me@example.org\t" << 2 << "Remove special characters"
                                                 << special.arg(QStringLiteral("return email address"));
        QTest::newRow("empty .forward") << "forward"
                                        << "" << 1 << ".forward is empty"
                                        << "Please enter a value for your .forward file.";
        QTest::newRow("empty .qmail") << "qmail"
                                      << "" << 1 << ".qmail is empty"
                                      << "Please enter a value for your .qmail file.";
        QTest::newRow("host with line break")
            << "host"
            << "ftp.example.org\r\nDELE x" << 0 << "Invalid entry"
            << "The entry must not contain a line break or a NUL character.";
    }
    void refusedPages()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(int, page);
        QFETCH(QString, caption);
        QFETCH(QString, text);
        CPropSheetSetup sheet(QStringLiteral("Settings"), nullptr, CPropSheetSetup::FtpPage);
        CPropPageEmail* misc = sheet.MiscPagePtr();
        CPropPageForward* forward = sheet.ForwardPagePtr();
        if (field == QLatin1String("address"))
            misc->AddressEdit()->setText(value);
        else if (field == QLatin1String("return"))
            misc->ReturnAddressEdit()->setText(value);
        else if (field == QLatin1String("name"))
            misc->NameEdit()->setText(value);
        else if (field == QLatin1String("host"))
            sheet.FtpPagePtr()->HostEdit()->setText(value);
        else {
            const ForwardFile::Kind kind
                = field == QLatin1String("qmail") ? ForwardFile::Qmail : ForwardFile::Forward;
            forward->ChoiceButton(kind)->click();
            (kind == ForwardFile::Qmail ? forward->QmailBox() : forward->ForwardBox())->setEditText(value);
        }
        const QString nameBefore = GetSettingString(Settings::PersonalName);
        sheet.accept();
        QCOMPARE(sheet.result(), int(QDialog::Rejected));
        QCOMPARE(sheet.Tabs()->currentIndex(), page);
        QCOMPARE(Prompt::History().size(), 1);
        QCOMPARE(Prompt::History().first().caption, caption);
        QCOMPARE(Prompt::History().first().text, text);
        QCOMPARE(GetSettingString(Settings::PersonalName), nameBefore);
        QCOMPARE(GetSetting(Settings::ForwardQmailRadio), 3);
    }

    // The examples carry the FTP user name as typed ("username" when there is none); the line
    // keeps its text.
    void forwardExamples()
    {
        SetSetting(Settings::UserName, QStringLiteral(""));
        CPropSheetSetup sheet(QStringLiteral("Settings"), nullptr, CPropSheetSetup::ForwardPage);
        CPropPageForward* page = sheet.ForwardPagePtr();
        sheet.show();
        QCOMPARE(page->Message()->text(),
            QStringLiteral("Make the appropriate selection to indicate if you need a .forward or .qmail file "
                           "(specific to your ISP).  For more information hit the Help button."));
        QVERIFY(!page->EditButton()->isVisible());
        page->ChoiceButton(ForwardFile::Forward)->click();
        QCOMPARE(page->Label()->text(), QStringLiteral("Enter your .forward below:"));
        QCOMPARE(page->EditButton()->text(), QStringLiteral("Edit .forward in text editor"));
        QCOMPARE(page->ForwardBox()->count(), 6);
        QCOMPARE(page->ForwardBox()->itemText(0),
            QStringLiteral(
                "\"|IFS=' '&&p=/usr/local/bin/procmail&&test -f $p&&exec $p -f-||exit 75 #username\""));
        QCOMPARE(page->ForwardBox()->itemText(5), QStringLiteral("\"|/usr/local/bin/procmail #username\""));
        page->ForwardBox()->setEditText(QStringLiteral("typed"));
        sheet.FtpPagePtr()->UserEdit()->setText(QStringLiteral("mary"));
        sheet.Tabs()->setCurrentIndex(CPropSheetSetup::FtpPage);
        sheet.Tabs()->setCurrentIndex(CPropSheetSetup::ForwardPage);
        QCOMPARE(
            page->ForwardBox()->itemText(2), QStringLiteral("\"|exec /usr/local/bin/procmail USER=mary\""));
        QCOMPARE(page->ForwardBox()->currentText(), QStringLiteral("typed"));
        page->ChoiceButton(ForwardFile::Qmail)->click();
        QCOMPARE(page->QmailBox()->count(), 1);
        QCOMPARE(page->QmailBox()->itemText(0), QStringLiteral("|preline /usr/local/bin/procmail"));
        QVERIFY(!page->ForwardBox()->isVisible());
    }

    // The local .forward: its first real line is shown; a changed line replaces the whole file
    // (no line end) and is marked for upload; an unchanged one writes nothing; "neither" keeps it.
    void forwardFile()
    {
        const QString path = Workspace::GetForwardPath();
        QVERIFY(WriteTestFile(path, "# mine\r\n\r\n\"|exec /usr/bin/procmail\"\r\n# more\r\n"));
        SetSetting(Settings::ForwardQmailRadio, 7);
        QString error;
        QVERIFY(CProcmailrcFile().CreateDefault(&error));
        {
            CPropSheetSetup sheet(QStringLiteral("Settings"), nullptr, CPropSheetSetup::ForwardPage);
            CPropPageForward* page = sheet.ForwardPagePtr();
            QCOMPARE(page->Choice(), ForwardFile::NotChosen);
            QCOMPARE(page->ForwardBox()->currentText(), QStringLiteral("\"|exec /usr/bin/procmail\""));
            page->ChoiceButton(ForwardFile::Forward)->click();
            QVERIFY(page->OnOK());
        }
        QCOMPARE(GetSetting(Settings::ForwardQmailRadio), 0);
        QVERIFY(!HasPending());
        QVERIFY(ReadTestFile(path).startsWith("# mine"));
        {
            CPropSheetSetup sheet(QStringLiteral("Settings"), nullptr, CPropSheetSetup::ForwardPage);
            sheet.ForwardPagePtr()->ForwardBox()->setEditText(
                QStringLiteral("\"|exec /usr/bin/procmail #mary\""));
            QVERIFY(sheet.ForwardPagePtr()->OnOK());
        }
        QCOMPARE(ReadTestFile(path), QByteArray("\"|exec /usr/bin/procmail #mary\""));
        QCOMPARE(PendingPairs(), (QList<QPair<QString, QString>> { { path, QStringLiteral(".forward") } }));
        {
            CPropSheetSetup sheet(QStringLiteral("Settings"), nullptr, CPropSheetSetup::ForwardPage);
            sheet.ForwardPagePtr()->ForwardBox()->setEditText(
                QStringLiteral("\"|procmail\"\r\nroot@example.org"));
            QVERIFY(!sheet.ForwardPagePtr()->OnOK());
            QCOMPARE(Prompt::History().last().caption, QStringLiteral("Invalid entry"));
            sheet.ForwardPagePtr()->ChoiceButton(ForwardFile::Neither)->click();
            QVERIFY(sheet.ForwardPagePtr()->OnOK());
        }
        QCOMPARE(GetSetting(Settings::ForwardQmailRadio), 2);
        QCOMPARE(ReadTestFile(path), QByteArray("\"|exec /usr/bin/procmail #mary\""));
        QVERIFY(!ReadTestFile(path).contains('\r'));
    }

    // Ticking "no lockfiles": No clears it again with no second message; Yes warns once more.
    void miscLockfileQuestion()
    {
        CPropPageEmail page;
        Prompt::QueueAnswer(Prompt::No);
        page.LockfileBox()->click();
        QVERIFY(!page.LockfileBox()->isChecked());
        QCOMPARE(captions(), QStringList { QStringLiteral("Directories always used?") });
        QCOMPARE(Prompt::History().first().defaultButton, Prompt::No);
        Prompt::ClearHistory();
        Prompt::QueueAnswer(Prompt::Yes);
        page.LockfileBox()->click();
        QVERIFY(page.LockfileBox()->isChecked());
        QCOMPARE(captions(),
            (QStringList {
                QStringLiteral("Directories always used?"), QStringLiteral("Update your recipes!") }));
        page.NameEdit()->setText(QStringLiteral("Mary O'Neil"));
        page.AddressEdit()->setText(QStringLiteral("mary+box@example.org"));
        page.PendingBox()->setChecked(false);
        QVERIFY(page.OnOK());
        QCOMPARE(GetSetting(Settings::MaildirFormat), 1);
        QCOMPARE(GetSetting(Settings::ShowPendingFilesDlg), 0);
        QCOMPARE(GetSettingString(Settings::PersonalName), QStringLiteral("Mary O'Neil"));
        QCOMPARE(GetSettingString(Settings::EmailAddress), QStringLiteral("mary+box@example.org"));
    }

    // The .procmailrc page: advanced toggle, a change written under its marker, a damaged file
    // that offers the reset, and the reset button.
    void procmailrcPage()
    {
        const QString path = Workspace::GetProcmailrcPath();
        CPropSheetSetup sheet(QStringLiteral("Settings"), nullptr, CPropSheetSetup::ProcmailrcPage);
        CPropPageProcmailrc* page = sheet.ProcmailrcPagePtr();
        sheet.show();
        QVERIFY(!page->AdvancedGroup()->isVisible());
        QCOMPARE(page->AdvancedButton()->text(), QStringLiteral("Show advanced >>"));
        page->AdvancedButton()->click();
        QVERIFY(page->AdvancedGroup()->isVisible());
        QCOMPARE(page->AdvancedButton()->text(), QStringLiteral("<< Hide advanced"));
        QCOMPARE(captions(), QStringList { QStringLiteral("Warning!") });
        QCOMPARE(page->ZephDirEdit()->text(), QStringLiteral("$HOME/.procmail"));

        // Verbose without logging, cancelled: the sheet stays on this page, nothing changes.
        page->LoggingBox()->setChecked(false);
        page->VerboseBox()->setChecked(true);
        sheet.Tabs()->setCurrentIndex(CPropSheetSetup::FtpPage);
        Prompt::ClearHistory();
        Prompt::QueueAnswer(Prompt::Cancel);
        sheet.accept();
        QCOMPARE(sheet.result(), int(QDialog::Rejected));
        QCOMPARE(sheet.Tabs()->currentIndex(), int(CPropSheetSetup::ProcmailrcPage));
        QCOMPARE(captions(), QStringList { QStringLiteral("Turn logging on?") });
        QCOMPARE(ReadTestFile(path), CProcmailrcFile::DefaultText());

        // The marker is gone: no change, the reset question; No keeps the file.
        QByteArray damaged = CProcmailrcFile::DefaultText();
        damaged.replace("##_VERBOSE_##\n", "");
        QVERIFY(WriteTestFile(path, damaged));
        SetSettingStringArray(Settings::PendingFiles, {});
        page->LoggingBox()->setChecked(true);
        Prompt::ClearHistory();
        Prompt::QueueAnswer(Prompt::No);
        sheet.accept();
        QCOMPARE(sheet.result(), int(QDialog::Rejected));
        QCOMPARE(captions(), QStringList { QStringLiteral("Reset .procmailrc?") });
        QCOMPARE(ReadTestFile(path), damaged);
        QVERIFY(!HasPending());

        // The reset button brings the template back and shows it.
        Prompt::ClearHistory();
        Prompt::QueueAnswer(Prompt::Yes);
        page->ResetButton()->click();
        QCOMPARE(captions(),
            (QStringList { QStringLiteral("Okay to overwrite?"), QStringLiteral(".procmailrc updated") }));
        QCOMPARE(ReadTestFile(path), CProcmailrcFile::DefaultText());
        QVERIFY(!page->VerboseBox()->isChecked());
        QVERIFY(HasPending());

        page->VerboseBox()->setChecked(true);
        sheet.accept();
        QCOMPARE(sheet.result(), int(QDialog::Accepted));
        QVERIFY(ReadTestFile(path).contains("##_VERBOSE_##\nVERBOSE=yes\n"));
        QCOMPARE(GetSetting(Settings::ProcmailrcAdvancedShown), 1);
    }

    // Editing the file in the editor marks it for upload and warns that the boxes may be wrong;
    // closing the editor without a save changes nothing.
    void procmailrcEdit_data()
    {
        QTest::addColumn<bool>("save");
        QTest::newRow("saved") << true;
        QTest::newRow("not saved") << false;
    }
    void procmailrcEdit()
    {
        QFETCH(bool, save);
        const QString path = Workspace::GetProcmailrcPath();
        CPropPageProcmailrc page;
        SetSettingStringArray(Settings::PendingFiles, {});
        Prompt::ClearHistory();
        WhenModal<CFileEditorDlg>([save](CFileEditorDlg* editor) {
            editor->Editor()->appendPlainText(QStringLiteral("# added by hand"));
            if (save)
                editor->Save();
            editor->Editor()->document()->setModified(false);
            editor->reject();
        });
        Prompt::QueueAnswer(Prompt::Yes);
        page.EditButton()->click();
        if (save) {
            QCOMPARE(captions(), (QStringList { QStringLiteral("Warning"), QStringLiteral("Warning!") }));
            QVERIFY(HasPending());
            QVERIFY(ReadTestFile(path).endsWith("# added by hand\n")
                || ReadTestFile(path).endsWith("# added by hand"));
            QVERIFY(!ReadTestFile(path).contains('\r'));
        } else {
            QCOMPARE(captions(), QStringList { QStringLiteral("Warning") });
            QVERIFY(!HasPending());
            QCOMPARE(ReadTestFile(path), CProcmailrcFile::DefaultText());
        }
    }
};

QTEST_MAIN(TestSettingsSheet)
#include "tst_settingssheet.moc"
