// The Options sheet: every page stores what it shows and shows what was stored; the Document
// Folder changes only after the question and moves nothing; and an identity's whole life on the
// Identities page, with the program itself started from the identity's launcher.
#include "TestEnvironment.h"
#include "core/common/Prompt.h"
#include "core/settings/CAppState.h"
#include "core/settings/CRegistry.h"
#include "core/settings/Profile.h"
#include "core/workspace/Identities.h"
#include "core/workspace/InstanceLock.h"
#include "core/workspace/Workspace.h"
#include "gui/common/CColourPopup.h"
#include "gui/common/CInputDlg.h"
#include "gui/common/COptPropSheet.h"
#include "gui/common/CPermissionsDlg.h"
#include "gui/common/CommandIds.h"
#include "gui/common/FileDialogs.h"
#include "gui/common/IShell.h"
#include "gui/log/LogViewerRegistration.h"
#include "gui/options/CColourCaptionButton.h"
#include "gui/options/COptFilesPropPg.h"
#include "gui/options/COptMiscPropPg.h"
#include "gui/options/COptUsersPropPg.h"
#include "gui/options/OptionsCommands.h"
#include "support/gui/MainWindowWithEditor.h"
#include "support/gui/ModalDialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <csignal>
#include <memory>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList rows(const QTreeWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(0);
    return texts;
}

void selectRow(QTreeWidget* list, const QString& text)
{
    list->clearSelection();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(0) == text) {
            list->topLevelItem(i)->setSelected(true);
            list->setCurrentItem(list->topLevelItem(i));
        }
    }
}

QCheckBox* box(const COptFilesPropPg* page, int id)
{
    return qobject_cast<QCheckBox*>(page->ControlWidget(id));
}

QCheckBox* box(const COptMiscPropPg* page, int id)
{
    return qobject_cast<QCheckBox*>(page->ControlWidget(id));
}

// Every file under `folder` with its bytes, for "nothing else changed".
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDir dir(folder);
    const QStringList names = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QString path = dir.filePath(name);
        if (QFileInfo(path).isDir()) {
            const auto inner = snapshot(path);
            for (auto it = inner.cbegin(); it != inner.cend(); ++it)
                files.insert(name + QLatin1Char('/') + it.key(), it.value());
        } else {
            files.insert(name, readFile(path));
        }
    }
    return files;
}

// Writes a record for `identity` with a few settings, files in its Document Folder and a
// registry value, as a run of the program for it would have; the test's own identity comes back.
QString giveSettings(const QString& identity, const QStringList& files)
{
    CAppState& state = CAppState::Instance();
    const QString running = state.IdentityName();
    state.Reset();
    state.SetIdentity(identity);
    state.LoadIdentityData();
    SetSetting(Settings::Host, QStringLiteral("ftp.") + identity.toLower() + QStringLiteral(".example.org"));
    SetSetting(Settings::CommentString, QStringLiteral(";; "));
    const QString folder = Workspace::GetDocumentFolder();
    for (const QString& file : files)
        writeFile(folder + file, identity.toUtf8() + ' ' + file.toUtf8() + '\n');
    state.RemoteFiles().AddUpload(QStringLiteral(".procmail/zeph.log"), folder + QStringLiteral("zeph.log"),
        COleDateTime(), COleDateTime(), 600);
    CRegistry::SetString(QStringLiteral("Settings"), QStringLiteral("Password"), identity);
    QString error;
    if (!state.SaveIdentityData(&error))
        qWarning("cannot save %s: %s", qUtf8Printable(identity), qUtf8Printable(error));
    state.Reset();
    state.SetIdentity(running);
    state.LoadIdentityData();
    return folder;
}

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_env;
    QString home() const { return m_env->Home(); }
    QString desktopLauncher(const QString& name) const
    {
        return home() + QStringLiteral("/Desktop/ZEPH ") + name + QStringLiteral(".desktop");
    }
    QString menuLauncher(const QString& name) const
    {
        return home() + QStringLiteral("/.local/share/applications/ZEPH ") + name
            + QStringLiteral(".desktop");
    }

private slots:
    void initTestCase()
    {
        RegisterLogOptionPages();
        RegisterOptionPages();
    }

    void init()
    {
        m_env = std::make_unique<TestEnvironment>();
        StartFreshIdentity();
        CRegistry::SetFilePathOverride(QString());
        CAppState::Instance().LoadIdentityData();
        FileDialogs::ClearQueue();
        QDir().mkpath(home() + QStringLiteral("/Desktop"));
        Identities::SetLauncherProgram(QStringLiteral(ZEPH_APP_PATH));
    }

    void cleanup()
    {
        Identities::SetLauncherProgram(QString());
        QDir::setCurrent(QDir::tempPath());
        m_env.reset();
    }

    // Created, started from its launcher, given settings, deleted: nothing of it is left, the
    // other identity is untouched, and neither the running identity nor one another running copy
    // serves can be deleted.
    void identityWholeLife()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("gio")).isEmpty())
            QFAIL("gio is missing: install the package libglib2.0-bin");
        const QString other = giveSettings(QStringLiteral("Other"),
            { QStringLiteral(".procmailrc"), QStringLiteral("zeph.recipes"),
                QStringLiteral("Data/Spam.zeph") });
        QVERIFY(Identities::CreateShortcut(Identities::Place::Desktop, QStringLiteral("Other")));
        const QMap<QString, QByteArray> otherFiles = snapshot(other);
        const QByteArray otherRegistry = readFile(CRegistry::FilePathFor(QStringLiteral("Other")));
        const QByteArray otherLauncher = readFile(desktopLauncher(QStringLiteral("Other")));

        COptUsersPropPg page;
        page.show();
        QCOMPARE(rows(page.List()), QStringList({ QStringLiteral("Default"), QStringLiteral("Other") }));

        // 1. Created: two launchers, and no record until the program has run for it.
        WhenModal<CInputDlg>([](CInputDlg* input) {
            QCOMPARE(input->windowTitle(), QStringLiteral("New Identity"));
            input->Field1()->setText(QStringLiteral("Work"));
            input->accept();
        });
        QTest::mouseClick(page.Button(COptUsersPropPg::CreateButton), Qt::LeftButton);
        QCOMPARE(Prompt::History().last().text,
            QStringLiteral(
                "A shortcut to ZEPH for the identity named \"Work\" has been created on the desktop"));
        QCOMPARE(Prompt::History().last().caption, QStringLiteral("Shortcut created"));
        QVERIFY(QFile::exists(desktopLauncher(QStringLiteral("Work"))));
        QVERIFY(QFile::exists(menuLauncher(QStringLiteral("Work"))));
        QCOMPARE(rows(page.List()), QStringList({ QStringLiteral("Default"), QStringLiteral("Other") }));

        // 2. Started from its launcher, the way a desktop starts it.
        QProcess gio;
        gio.setProcessChannelMode(QProcess::ForwardedChannels);
        gio.start(
            QStringLiteral("gio"), { QStringLiteral("launch"), desktopLauncher(QStringLiteral("Work")) });
        QVERIFY(gio.waitForFinished(20000));
        QCOMPARE(gio.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(InstanceLock::IsHeld(QStringLiteral("Work")), 30000);
        qint64 pid = 0;
        QString host;
        QString application;
        QVERIFY(QLockFile(InstanceLock::LockFilePath(InstanceLock::InstanceName(QStringLiteral("Work"))))
                    .getLockInfo(&pid, &host, &application));
        // Only the program this test started is ever stopped.
        QCOMPARE(QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).canonicalFilePath(),
            QFileInfo(QStringLiteral(ZEPH_APP_PATH)).canonicalFilePath());
        const QString work = home() + QStringLiteral("/Documents/ZEPH/Work/");
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(work).isDir(), 20000);

        // 3. Given settings.
        QCOMPARE(giveSettings(QStringLiteral("Work"),
                     { QStringLiteral(".procmailrc"), QStringLiteral("zeph.recipes"),
                         QStringLiteral("zeph.log"), QStringLiteral("man.procmail.txt"),
                         QStringLiteral("Data/Spam.zeph"), QStringLiteral("Data/Lists.zeph") }),
            work);
        page.Refill();
        QCOMPARE(rows(page.List()),
            QStringList({ QStringLiteral("Default"), QStringLiteral("Other"), QStringLiteral("Work") }));

        // Neither the identity another copy serves nor this copy's own can be deleted.
        for (const QString& name : { QStringLiteral("Work"), QStringLiteral("Default") }) {
            Prompt::ClearHistory();
            selectRow(page.List(), name);
            QTest::mouseClick(page.Button(COptUsersPropPg::DeleteButton), Qt::LeftButton);
            QCOMPARE(Prompt::History().size(), 1);
            QCOMPARE(Prompt::History()[0].caption, QStringLiteral("Identity in use"));
            QCOMPARE(Prompt::History()[0].text,
                QStringLiteral(
                    "The identity \"%1\" is in use by a running copy of ZEPH and cannot be deleted.  "
                    "Close ZEPH for that identity, then delete it from another identity.")
                    .arg(name));
        }
        QCOMPARE(CAppState::Instance().GetIdentityNames().size(), 3);

        QVERIFY(::kill(static_cast<pid_t>(pid), SIGTERM) == 0);
        QTRY_VERIFY_WITH_TIMEOUT(!InstanceLock::IsHeld(QStringLiteral("Work")), 20000);

        // 4. Deleted, with yes to every question.
        Prompt::ClearHistory();
        for (int i = 0; i < 3; ++i)
            Prompt::QueueAnswer(Prompt::Yes);
        selectRow(page.List(), QStringLiteral("Work"));
        QTest::mouseClick(page.Button(COptUsersPropPg::DeleteButton), Qt::LeftButton);
        const QList<Prompt::Record> asked = Prompt::History();
        QCOMPARE(asked.size(), 3);
        QCOMPARE(asked[0].text, QStringLiteral("Are you sure you want to delete the \"Work\" identity?"));
        QCOMPARE(asked[0].defaultButton, Prompt::No);
        QVERIFY(asked[1].text.endsWith(QStringLiteral(
            "There are 2 *.zeph files for the Work identity, would you like to delete them now?")));
        QVERIFY(asked[2].text.endsWith(
            QStringLiteral("Would you like to delete these files for the Work identity?")));

        QCOMPARE(rows(page.List()), QStringList({ QStringLiteral("Default"), QStringLiteral("Other") }));
        QStringList names = CAppState::Instance().GetIdentityNames();
        names.sort();
        QCOMPARE(names, QStringList({ QStringLiteral("Default"), QStringLiteral("Other") }));
        QVERIFY2(!QFileInfo::exists(work),
            qUtf8Printable(QDir(work).entryList(QDir::AllEntries | QDir::Hidden).join(QLatin1Char(' '))));
        QVERIFY(!QFile::exists(desktopLauncher(QStringLiteral("Work"))));
        QVERIFY(!QFile::exists(menuLauncher(QStringLiteral("Work"))));
        QVERIFY(!QFile::exists(CRegistry::FilePathFor(QStringLiteral("Work"))));
        CRemoteFilesFoldersMgr none;
        QVERIFY(!CAppState::Instance().GetRemoteFilesOf(QStringLiteral("Work"), &none));
        // What was deleted waits in the trash.
        const QStringList inTrash = QDir(home() + QStringLiteral("/.local/share/Trash/files"))
                                        .entryList(QDir::AllEntries | QDir::Hidden);
        for (const QString& name : { QStringLiteral("Spam.zeph"), QStringLiteral("Lists.zeph"),
                 QStringLiteral(".procmailrc"), QStringLiteral("ZEPH Work.desktop") })
            QVERIFY2(inTrash.contains(name), qUtf8Printable(inTrash.join(QLatin1Char(' '))));

        // The other identity is untouched.
        QCOMPARE(snapshot(other), otherFiles);
        QCOMPARE(readFile(CRegistry::FilePathFor(QStringLiteral("Other"))), otherRegistry);
        QCOMPARE(readFile(desktopLauncher(QStringLiteral("Other"))), otherLauncher);
        for (const CUserData& record : CAppState::Instance().GetAllIdentities()) {
            if (record.name == QLatin1String("Other"))
                QCOMPARE(record.GetString(QStringLiteral("Setup"), QStringLiteral("Host")),
                    QStringLiteral("ftp.other.example.org"));
        }
    }

    // A new identity's name must be usable as a folder name everywhere; a refused name writes
    // no launcher.
    void identityNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("refusal");
        const QString characters = QStringLiteral("You cannot use any of the following characters in the "
                                                  "identity name:\r\n\r\n\\/:*?\"<>|\r\n\r\nPlease use "
                                                  "another name.");
        const auto folder = [](const QString& name) {
            return QStringLiteral(
                "The identity name \"%1\" cannot be used as a folder name.\r\n\r\nPlease use another "
                "name.")
                .arg(name);
        };
        for (const char* name : { "a/b", "a\\b", "a:b", "x*", "q?", "\"q\"", "<a>", "a|b" })
            QTest::newRow(name) << QString::fromLatin1(name) << characters;
        for (const char* name :
            { " lead", "trail ", "end.", "..", "CON", "con.txt", "LPT1", "Com9.x", "CLOCK$" })
            QTest::newRow(name) << QString::fromLatin1(name) << folder(QString::fromLatin1(name));
        QTest::newRow("tab") << QStringLiteral("a\tb") << folder(QStringLiteral("a\tb"));
        QTest::newRow("DEL") << QStringLiteral("a\x7f") << folder(QStringLiteral("a\x7f"));
        for (const char* name : { "Work", "COM10", "CONSOLE", "a.b", "Mail & more" })
            QTest::newRow(name) << QString::fromLatin1(name) << QString();
    }

    void identityNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, refusal);
        COptUsersPropPg page;
        WhenModal<CInputDlg>([name](CInputDlg* input) {
            input->Field1()->setText(name);
            input->accept();
        });
        QTest::mouseClick(page.Button(COptUsersPropPg::CreateButton), Qt::LeftButton);
        QCOMPARE(Prompt::History().size(), 1);
        if (refusal.isEmpty()) {
            QCOMPARE(Prompt::History()[0].caption, QStringLiteral("Shortcut created"));
            QVERIFY(QFile::exists(desktopLauncher(name)));
            QVERIFY(QFile::exists(menuLauncher(name)));
        } else {
            QCOMPARE(Prompt::History()[0].text, refusal);
            QCOMPARE(Prompt::History()[0].caption, QStringLiteral("Invalid name"));
            QVERIFY(QDir(home() + QStringLiteral("/Desktop")).isEmpty());
            QVERIFY(!QFileInfo::exists(home() + QStringLiteral("/.local/share/applications")));
        }
    }

    // Files and Misc store what they show at OK, nothing at Cancel, and show it when opened again.
    void pagesStoreAndShow()
    {
        const QString first = home() + QStringLiteral("/first.txt");
        const QString second = home() + QStringLiteral("/second.txt");
        {
            COptPropSheet sheet(QStringLiteral("Options"), nullptr, COptPropSheet::FilesPage, false);
            sheet.show();
            // Defaults: the safe temporary-name upload is on.
            auto* files = sheet.FindPage<COptFilesPropPg>();
            QVERIFY(box(files, COptFilesPropPg::TempFileBox)->isChecked());
            QVERIFY(!box(files, COptFilesPropPg::ChmodBox)->isChecked());
            QCOMPARE(box(files, COptFilesPropPg::ChmodBox)->text(),
                QStringLiteral("After uploading change permissions to rw-------"));
            auto* misc = sheet.FindPage<COptMiscPropPg>();
            QCOMPARE(qobject_cast<QLineEdit*>(misc->ControlWidget(COptMiscPropPg::CommentStringEdit))->text(),
                QStringLiteral("# "));
            FileDialogs::QueueAnswer(first);
            FileDialogs::QueueAnswer(second);
            QTest::mouseClick(
                qobject_cast<QPushButton*>(files->ControlWidget(COptFilesPropPg::AddButton)), Qt::LeftButton);
            QTest::mouseClick(
                qobject_cast<QPushButton*>(files->ControlWidget(COptFilesPropPg::AddButton)), Qt::LeftButton);
            for (int id : { COptFilesPropPg::TempFileBox, COptFilesPropPg::ChmodBox,
                     COptFilesPropPg::BlankDocumentBox, COptFilesPropPg::WordWrapBox })
                box(files, id)->click();
            qobject_cast<QLineEdit*>(misc->ControlWidget(COptMiscPropPg::CommentStringEdit))
                ->setText(QStringLiteral("%% "));
            for (int id : { COptMiscPropPg::DisconnectBox, COptMiscPropPg::BackslashSpaceBox,
                     COptMiscPropPg::PreflightBox, COptMiscPropPg::NoRegexWarningBox,
                     COptMiscPropPg::NoSedWarningBox })
                box(misc, id)->click();
            // Colours chosen in the palette (0x00RRGGBB) are stored as colour references.
            const struct
            {
                int button;
                quint32 rgb;
            } picks[] = { { COptMiscPropPg::NormalTextButton, 0x0000FF },
                { COptMiscPropPg::EmphasizedButton, 0x102030 },
                { COptMiscPropPg::BackgroundButton, CColourPopup::AutomaticColour } };
            for (const auto& pick : picks) {
                auto* button = qobject_cast<CColourCaptionButton*>(misc->ControlWidget(pick.button));
                QTest::mouseClick(button, Qt::LeftButton);
                auto* popup = button->findChild<CColourPopup*>();
                QVERIFY(popup);
                emit popup->ColourAccepted(pick.rgb);
                popup->close();
            }
            // Cancel stores nothing.
            sheet.reject();
            QCOMPARE(GetSettingStringArray(Settings::StartFiles), QStringList());
            QCOMPARE(GetSetting(Settings::WordWrapOn), 0);
            QCOMPARE(GetSettingString(Settings::CommentString), QStringLiteral("# "));
            QCOMPARE(GetSetting(Settings::WizTextColor), 0);
            sheet.accept();
        }
        QCOMPARE(GetSettingStringArray(Settings::StartFiles), QStringList({ first, second }));
        QCOMPARE(GetSetting(Settings::UploadWithTempFile), 0);
        QCOMPARE(GetSetting(Settings::ChmodOnUpload), 1);
        QCOMPARE(GetSetting(Settings::NewDocumentAtStartup), 1);
        QCOMPARE(GetSetting(Settings::WordWrapOn), 1);
        QCOMPARE(GetSettingString(Settings::CommentString), QStringLiteral("%% "));
        QCOMPARE(GetSetting(Settings::DisconnectAfterCustom), 0);
        QCOMPARE(GetSetting(Settings::BackslashSpaceWarning), 1);
        QCOMPARE(GetSetting(Settings::PreflightUpload), 0);
        QCOMPARE(GetSetting(Settings::NoRegexWarning), 1);
        QCOMPARE(GetSetting(Settings::NoSedRegexWarning), 1);
        QCOMPARE(GetSetting(Settings::WizTextColor), 0xFF0000);
        QCOMPARE(GetSetting(Settings::WizHighlightColor), 0x302010);
        QCOMPARE(GetSetting(Settings::WizBackgroundColor), int(0xFF000000u));

        // Opened again, the pages show what was stored; an emptied comment string stores "# ".
        COptPropSheet again(QStringLiteral("Options"), nullptr, COptPropSheet::FilesPage, false);
        auto* files = again.FindPage<COptFilesPropPg>();
        QCOMPARE(rows(files->List()), QStringList({ first, second }));
        QVERIFY(!box(files, COptFilesPropPg::TempFileBox)->isChecked());
        QVERIFY(box(files, COptFilesPropPg::ChmodBox)->isChecked());
        QVERIFY(box(files, COptFilesPropPg::BlankDocumentBox)->isChecked());
        QVERIFY(box(files, COptFilesPropPg::WordWrapBox)->isChecked());
        auto* misc = again.FindPage<COptMiscPropPg>();
        QVERIFY(!box(misc, COptMiscPropPg::DisconnectBox)->isChecked());
        QVERIFY(box(misc, COptMiscPropPg::NoSedWarningBox)->isChecked());
        QCOMPARE(qobject_cast<CColourCaptionButton*>(misc->ControlWidget(COptMiscPropPg::EmphasizedButton))
                     ->Colour(),
            0x302010u);
        auto* comment = qobject_cast<QLineEdit*>(misc->ControlWidget(COptMiscPropPg::CommentStringEdit));
        QCOMPARE(comment->text(), QStringLiteral("%% "));
        QCOMPARE(comment->maxLength(), 25);
        comment->clear();
        again.accept();
        QCOMPARE(GetSettingString(Settings::CommentString), QStringLiteral("# "));
    }

    // "Modify...." stores the permissions at once: cancelling the sheet keeps them.
    void uploadPermissionsStoredAtOnce()
    {
        SetSetting(Settings::OnUploadChmodPerms, 644);
        COptPropSheet sheet(QStringLiteral("Options"), nullptr, COptPropSheet::FilesPage, false);
        sheet.show();
        auto* files = sheet.FindPage<COptFilesPropPg>();
        QCOMPARE(box(files, COptFilesPropPg::ChmodBox)->text(),
            QStringLiteral("After uploading change permissions to rw-r--r--"));
        int shown = -1;
        WhenModal<CPermissionsDlg>([&shown](CPermissionsDlg* dialog) {
            shown = dialog->Value();
            dialog->Box(CPermissionsDlg::GroupRead)->setChecked(false);
            dialog->Box(CPermissionsDlg::WorldRead)->setChecked(false);
            dialog->accept();
        });
        QTest::mouseClick(
            qobject_cast<QPushButton*>(files->ControlWidget(COptFilesPropPg::ModifyButton)), Qt::LeftButton);
        QCOMPARE(shown, 644);
        QCOMPARE(box(files, COptFilesPropPg::ChmodBox)->text(),
            QStringLiteral("After uploading change permissions to rw-------"));
        sheet.reject();
        QCOMPARE(GetSetting(Settings::OnUploadChmodPerms), 600);
    }

    // The Document Folder changes only after a Yes, a chosen folder and OK; nothing is moved, and
    // the old folder keeps every file.
    void documentFolder()
    {
        const QString old = Workspace::GetDocumentFolder();
        QVERIFY(writeFile(old + QStringLiteral(".procmailrc"), "rc\n"));
        QVERIFY(writeFile(old + QStringLiteral("Data/Spam.zeph"), "spam\n"));
        const QMap<QString, QByteArray> oldFiles = snapshot(old);
        const QString fresh = home() + QStringLiteral("/New & Docs");
        QVERIFY(QDir().mkpath(fresh));
        QDir::setCurrent(home());

        // OK without Select leaves the setting and the current folder alone.
        {
            COptPropSheet sheet(QStringLiteral("Options"), nullptr, COptPropSheet::FilesPage, false);
            sheet.accept();
        }
        QCOMPARE(GetSettingString(Settings::DocumentDirectory), old);
        QCOMPARE(QDir::currentPath(), home());

        COptPropSheet sheet(QStringLiteral("Options"), nullptr, COptPropSheet::FilesPage, false);
        sheet.show();
        auto* files = sheet.FindPage<COptFilesPropPg>();
        auto* select = qobject_cast<QPushButton*>(files->ControlWidget(COptFilesPropPg::SelectFolderButton));
        // No: the question was all.
        Prompt::QueueAnswer(Prompt::No);
        FileDialogs::QueueAnswer(fresh);
        QTest::mouseClick(select, Qt::LeftButton);
        const Prompt::Record asked = Prompt::History().last();
        QCOMPARE(asked.caption, QStringLiteral("Okay to modify Document Folder?"));
        QVERIFY(asked.text.startsWith(QStringLiteral("Warning, changing the value of the Document Folder "
                                                     "will change where ZEPH expects to find certain files.  "
                                                     "If you modify this path you are responsible for moving "
                                                     "any files that ZEPH has already created in the "
                                                     "old folder and 'Data' subfolder.")));
        QCOMPARE(asked.buttons, Prompt::Buttons(Prompt::Yes | Prompt::No | Prompt::Cancel));
        QCOMPARE(asked.defaultButton, Prompt::No);
        QCOMPARE(files->DocumentFolderShown(), old);
        FileDialogs::ClearQueue();

        // Yes and a folder: shown, not yet stored.
        Prompt::QueueAnswer(Prompt::Yes);
        FileDialogs::QueueAnswer(fresh);
        QTest::mouseClick(select, Qt::LeftButton);
        QCOMPARE(files->DocumentFolderShown(), fresh);
        QCOMPARE(qobject_cast<QLabel*>(files->ControlWidget(COptFilesPropPg::DocumentFolderField))->toolTip(),
            fresh);
        QCOMPARE(GetSettingString(Settings::DocumentDirectory), old);
        sheet.accept();
        QCOMPARE(GetSettingString(Settings::DocumentDirectory), fresh + QLatin1Char('/'));
        QCOMPARE(Workspace::GetDocumentFolder(), fresh + QLatin1Char('/'));
        QCOMPARE(QDir::currentPath(), fresh);
        QCOMPARE(snapshot(old), oldFiles);
        QVERIFY(QDir(fresh).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }

    // Move Up and Move Down swap the first selected row with its neighbour; the ends stay.
    void startFileOrder_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("B up") << QStringLiteral(
            "B") << true << QStringList { QStringLiteral("B"), QStringLiteral("A"), QStringLiteral("C") };
        QTest::newRow("B down") << QStringLiteral(
            "B") << false << QStringList { QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("B") };
        QTest::newRow("A up") << QStringLiteral(
            "A") << true << QStringList { QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C") };
        QTest::newRow("C down") << QStringLiteral(
            "C") << false << QStringList { QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C") };
        QTest::newRow("nothing selected")
            << QString() << true
            << QStringList { QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C") };
    }

    void startFileOrder()
    {
        QFETCH(QString, selected);
        QFETCH(bool, up);
        QFETCH(QStringList, order);
        SetSettingStringArray(
            Settings::StartFiles, { QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C") });
        COptFilesPropPg page;
        if (!selected.isEmpty())
            selectRow(page.List(), selected);
        QTest::mouseClick(qobject_cast<QPushButton*>(page.ControlWidget(
                              up ? COptFilesPropPg::MoveUpButton : COptFilesPropPg::MoveDownButton)),
            Qt::LeftButton);
        QCOMPARE(rows(page.List()), order);
        if (selected.isEmpty()) {
            QCOMPARE(Prompt::History().last().text,
                QStringLiteral("Please select an item in the list to move the selected row up."));
            QCOMPARE(Prompt::History().last().caption, QStringLiteral("Nothing selected"));
        } else {
            QCOMPARE(page.List()->selectedItems().size(), 1);
            QCOMPARE(page.List()->selectedItems().first()->text(0), selected);
        }
    }

    // Tools > Options opens the sheet with all five pages and no Apply; a log list opens it with
    // Apply.
    void sheetFromMenuAndFromLog()
    {
        MainWindowWithEditor window;
        RegisterLogViewer(window.Shell());
        InstallOptions(window.Shell());
        QStringList tabs;
        bool withApply = true;
        WhenModal<COptPropSheet>([&](COptPropSheet* sheet) {
            for (int i = 0; i < sheet->Tabs()->count(); ++i)
                tabs << sheet->Tabs()->tabText(i);
            withApply = sheet->ApplyButton() != nullptr;
            sheet->reject();
        });
        QVERIFY(window.Shell().RunCommand(Cmd::Options));
        QCOMPARE(tabs,
            QStringList({ QStringLiteral("Log files"), QStringLiteral("Log colors"), QStringLiteral("Files"),
                QStringLiteral("Misc"), QStringLiteral("Identities") }));
        QVERIFY(!withApply);

        const QString log = Workspace::GetDocumentFolder() + QStringLiteral("zeph.log");
        QVERIFY(writeFile(
            log, "From bob@example.org  Mon Mar  5 09:00:00 2007\n Subject: hi\n  Folder: inbox\t\t123\n"));
        QVERIFY(window.Shell().OpenDocument(log, DocumentKind::Log));
        WhenModal<COptPropSheet>([&](COptPropSheet* sheet) {
            withApply = sheet->ApplyButton() != nullptr;
            sheet->reject();
        });
        QVERIFY(window.Shell().RunCommand(Cmd::Options));
        QVERIFY(withApply);
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
