#include "core/procmail/CInitialSetup.h"

#include "core/common/AtomicFile.h"
#include "core/common/Clock.h"
#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/net/PendingFiles.h"
#include "core/procmail/CProcmailrcSettings.h"
#include "core/procmail/ForwardFile.h"
#include "core/settings/CAppState.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"

#include <QFile>
#include <QScopeGuard>

namespace {

const QString Procmailrc = QStringLiteral(".procmailrc");
const QString NotApplicable = QStringLiteral("N.A.");
const QString DeleteCaption = QStringLiteral("Okay to delete file?");
const QString BackOutCaption = QStringLiteral("Backing out changes");
const QString NoFilesCaption = QStringLiteral("No files to delete");
// The test log is a few lines; a host that sends more gets this much read.
constexpr qint64 MaxTestLogBytes = 16 * 1024 * 1024;

const QString TestLine
    = QStringLiteral(" Testing, procmail has written this line to your log file as a test.");

const QString NothingUploadedText = QStringLiteral(
    "Since you elected not to have ZEPH upload any files, any changes it made do not need to be "
    "reversed.  Any directories it may have created can be left as they are.  If for some reason you "
    "would like to delete the directories, you can do so by selecting the \"Remote Files and Folders\" "
    "button on the Button Page.");

// A remote directory setting as a path below the login directory, without a trailing '/'.
QString remoteDir(QString dir)
{
    while (dir.size() > 1 && dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    return dir;
}

QString mailDir()
{
    return remoteDir(Workspace::GetRemoteMailDir());
}

QString zephDir()
{
    return remoteDir(Workspace::GetRemoteZephDir());
}

CRemoteFilesFoldersMgr& registry()
{
    return CAppState::Instance().RemoteFiles();
}

void recordUpload(const QString& remote, const QString& local, int permissions)
{
    registry().AddUpload(remote, local, COleDateTime::FromDateTime(Clock::Now()),
        local == NotApplicable ? COleDateTime() : CRemoteFilesFoldersMgr::LocalFileTime(local), permissions);
}

// The local file the registry records for that remote name, or an empty text.
QString recordedLocal(const QString& remote)
{
    const CRemoteFilesFoldersMgr& files = registry();
    for (int i = 0; i < files.FileCount(); ++i) {
        CRemoteFileEntry entry;
        if (files.GetFile(i, &entry) && entry.remoteName.compare(remote, Qt::CaseInsensitive) == 0)
            return entry.localName;
    }
    return QString();
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

CInitialSetup::CInitialSetup(CRemoteHost& host)
    : m_host(host)
{
}

CInitialSetup::~CInitialSetup()
{
    QFile::remove(TestProcmailrcPath());
}

QString CInitialSetup::TestProcmailrcPath()
{
    return Workspace::GetDocumentFolder() + QStringLiteral("zeph.test.procmailrc");
}

QString CInitialSetup::OriginalPath(const QString& remote)
{
    return Workspace::GetDocumentFolder() + remote + QStringLiteral(".host-original");
}

QString CInitialSetup::ForwardName()
{
    const ForwardFile::Kind kind = ForwardFile::StoredKind();
    return kind == ForwardFile::Forward || kind == ForwardFile::Qmail ? ForwardFile::RemoteName(kind)
                                                                      : QString();
}

QStringList CInitialSetup::MissingItems()
{
    QStringList items;
    if (GetSettingString(Settings::Host).isEmpty())
        items << QStringLiteral(
            "On the FTP settings tab, please enter the name of the FTP host at your ISP.");
    if (GetSettingString(Settings::UserName).isEmpty())
        items << QStringLiteral("On the FTP settings tab, please enter your user name for the FTP host.");
    const ForwardFile::Kind kind = ForwardFile::StoredKind();
    if (kind == ForwardFile::NotChosen) {
        items << QStringLiteral(
            "On the .forward/.qmail settings tab, please select the appropriate setting for your ISP, i.e.  "
            "whether you need a .forward, .qmail, or neither file.");
    } else if (kind != ForwardFile::Neither) {
        QString line;
        QString error;
        // A file that cannot be read has no value to upload either.
        if (!ForwardFile::ReadLine(ForwardFile::LocalPath(kind), &line, &error) || line.isEmpty())
            items << QStringLiteral(
                "On the .forward/.qmail settings tab, please enter the appropriate value for the %1 "
                "file at your ISP.")
                         .arg(ForwardFile::RemoteName(kind));
    }
    if (GetSettingString(Settings::EmailAddress).isEmpty())
        items << QStringLiteral("On the Misc settings tab, please enter your email address.");
    if (GetSettingString(Settings::ReturnEmailAddress).isEmpty())
        items << QStringLiteral("On the Misc settings tab, please enter your return email address.");
    // Creates the default .procmailrc when there is none yet, without a word.
    CProcmailrcSettings procmailrc;
    return items;
}

QString CInitialSetup::PageText(const QStringList& missing)
{
    if (missing.isEmpty())
        return QStringLiteral(
            "Please send a test mail message to yourself now, before any changes are made.  This will "
            "ensure that your ISP is sending and receiving mail in a timely fashion.\n\nAfter ZEPH has "
            "performed the necessary steps to get procmail processing your mail, ZEPH will ask you to send "
            "another test message to verify procmail is setup correctly.  If your ISP is having a temporary "
            "slowdown in sending or delivering mail, ZEPH will regard the fact that the second test message "
            "isn't delivered quickly a sign that there was a problem with the initial setup and will back "
            "out the changes it made.  For this reason it's important to first make sure that your ISP is "
            "sending and delivering mail without delays.\n\nTo send the test message click on the "
            "underlined \"Send Test Message\" hyperlink below.  Your default email program should pop up "
            "(if it doesn't, please click the \"Mailto Link Failed\" button). Please verify the message is "
            "correctly addressed to your address, send it, then check to see if the message has arrived "
            "(using your regular mail program that you use to send the test message).  If your test message "
            "doesn't get delivered to you within one minute or so, please wait and run this initial setup "
            "another time when mail delivery is caught up at your ISP.\n\nAfter you have verified that mail "
            "is being sent and delivered without delay, please hit the \"Next\" button.");
    QString text = QStringLiteral(
        "You have not provided all the information needed to perform the initial setup.  Please hit the "
        "\"Modify Setup\" button and provide the necessary information.  ");
    text += missing.size() == 1
        ? QStringLiteral("The following one item is needed:\n\n")
        : QStringLiteral("The following %1 items are needed:\n\n").arg(missing.size());
    for (qsizetype i = 0; i < missing.size(); ++i)
        text += QStringLiteral("%1.  %2\n\n").arg(QString::number(i + 1), missing.at(i));
    return text;
}

QString CInitialSetup::MailtoLink()
{
    return QStringLiteral("mailto:") + GetSettingString(Settings::EmailAddress);
}

void CInitialSetup::TellMailtoFailed()
{
    Prompt::Tell(
        QStringLiteral(
            "If you have clicked on the underlined \"Send Test Message\" hyperlink and your regular mail "
            "program "
            "did not pop up, it means your computer doesn't have that program registered with windows for "
            "sending mail.  You'll have to do a little more work.\n\nAfter you close this messagebox the "
            "'Start' "
            "Menu will appear.  Please use that to start up your regular mail program.  Then send a test "
            "message "
            "to yourself and see if it's delivered to you within about a minute.  When you're finished, "
            "minimize "
            "your mail program and ZEPH will again be the active program."),
        QStringLiteral("Mailto error"), Prompt::Information);
}

bool CInitialSetup::DeclareAlreadySetUp()
{
    const Prompt::Button answer = Prompt::Ask(
        QStringLiteral(
            "If you are certain that you have procmail already setup correctly and processing your incoming "
            "mail you do not need to run the Initial Setup Wizard.  Please confirm this by hitting 'Yes'.  "
            "This option is intended for advanced users only, please see the help file for more "
            "information.\n\nNote that if you choose this option you are responsible for ensuring that your "
            "mail directory exists, that it contains a subdirectory named backup, and that the .procmail "
            "directory exists.\n\nAre you sure you have procmail setup correctly and do not need to run the "
            "Initial Setup Wizard?"),
        QStringLiteral("Procmail already setup?"), Prompt::Question,
        Prompt::Yes | Prompt::No | Prompt::Cancel, Prompt::No);
    if (answer != Prompt::Yes)
        return false;
    SetSetting(Settings::SetupWizRun, 1);
    Prompt::Tell(QStringLiteral("Thank you, ZEPH now regards procmail as setup correctly."),
        QStringLiteral("Setup Complete"), Prompt::Information);
    for (const QString& dir :
        { zephDir(), QStringLiteral("$HOME"), mailDir(), mailDir() + QStringLiteral("/backup") })
        registry().AddDir(dir, -1);
    recordUpload(zephDir() + QStringLiteral("/zeph.log"), NotApplicable, -1);
    recordUpload(zephDir() + QStringLiteral("/zeph.log.old"), NotApplicable, -1);
    recordUpload(Procmailrc, Workspace::GetProcmailrcPath(), -1);
    return true;
}

QString CInitialSetup::DirectoryLabel(const QString& dir)
{
    return QStringLiteral("Create the '%1' directory (if it doesn't already exist)").arg(dir);
}

QString CInitialSetup::PermissionText(const Permissions& permissions)
{
    QString text;
    if (permissions.home)
        text += QStringLiteral("Set your $HOME directory permissions to rwx-----x\r\n");
    if (permissions.procmailrc)
        text += QStringLiteral("Set your .procmailrc permissions to rw----r--\r\n");
    if (permissions.forward)
        text += QStringLiteral("Set your .forward permissions to rw----r--\r\n");
    if (permissions.qmail)
        text += QStringLiteral("Set your .qmail permissions to rw----r--\r\n");
    return text;
}

QByteArray CInitialSetup::TestProcmailrc(const QDateTime& stamp)
{
    const QByteArray log
        = '"' + stamp.toString(QStringLiteral("MMddyyHHmmss")).toLatin1() + TestLine.toLatin1() + "$NL\"";
    return "SHELL=/bin/sh\nZEPH_DIR=" + GetSettingString(Settings::ZephDir).toUtf8()
        + "\nMAILDIR=" + GetSettingString(Settings::MailDir).toUtf8() + "\nNL=\"\n\"\nLOGFILE=$ZEPH_DIR/"
        + TestLogName().toLatin1() + "\nLOG=" + log + "\n\n:0:\n$DEFAULT\n";
}

bool CInitialSetup::Connect(const Options& options, const Permissions& permissions)
{
    m_directories.clear();
    m_permissionsChanged = false;
    m_forwardUploaded = m_qmailUploaded = m_testUploaded = false;
    m_expectedLine.clear();
    const QString forward = options.forward ? ForwardName() : QString();

    QStringList directories;
    if (options.mailDir)
        directories << mailDir();
    if (options.backupDir)
        directories << mailDir() + QStringLiteral("/backup");
    if (options.zephDir)
        directories << zephDir();
    // An empty setting would make "/backup" at the top of the host.
    if (((options.mailDir || options.backupDir) && mailDir().isEmpty())
        || (options.zephDir && zephDir().isEmpty())) {
        Prompt::Tell(QStringLiteral("The mail directory or the ZEPH directory is not set.  Enter both on the "
                                    ".procmailrc page of the Settings."),
            QStringLiteral("Directory not set"), Prompt::Warning);
        return false;
    }
    for (const QString& dir : std::as_const(directories)) {
        if (!CRemoteHost::IsCommandSafe(dir)) {
            CRemoteHost::TellInvalidEntry();
            return false;
        }
    }

    if (!m_host.Connect())
        return false;
    if (!makeDirectories(directories))
        return false;
    SetSetting(Settings::SetupWizAttempted, 1);

    // The host's own files go into the Document Folder before anything replaces them.
    QStringList replaced;
    if (!forward.isEmpty())
        replaced << forward;
    if (options.testProcmailrc)
        replaced << Procmailrc;
    if (!saveOriginals(replaced)) {
        m_host.Disconnect();
        return false;
    }

    if (!forward.isEmpty()) {
        (forward == QLatin1String(".forward") ? m_forwardUploaded : m_qmailUploaded) = true;
        if (!upload(ForwardFile::LocalPath(ForwardFile::StoredKind()), forward)) {
            failConnect();
            return false;
        }
    }
    if (options.testProcmailrc) {
        const QDateTime stamp = Clock::Now();
        QString error;
        if (!SaveFileAtomically(TestProcmailrcPath(), TestProcmailrc(stamp), &error)) {
            Prompt::Tell(QStringLiteral("The test .procmailrc file %1 could not be written: %2")
                             .arg(TestProcmailrcPath(), error),
                QStringLiteral("File Error"), Prompt::Warning);
            failConnect();
            return false;
        }
        m_expectedLine = stamp.toString(QStringLiteral("MMddyyHHmmss")) + TestLine;
        m_testUploaded = true;
        if (!upload(TestProcmailrcPath(), Procmailrc)) {
            failConnect();
            return false;
        }
    }
    if (permissions.confirmed)
        changePermissions(permissions);
    m_host.Disconnect();
    return true;
}

void CInitialSetup::failConnect()
{
    backOut(true);
    m_host.Disconnect();
}

bool CInitialSetup::makeDirectories(const QStringList& wanted)
{
    // Back to where the login put us after each CWD: counting the setting's slashes goes wrong
    // for absolute paths and for a directory named like its parent.
    QString loginDir;
    if (!wanted.isEmpty()) {
        loginDir = m_host.CurrentDir();
        if (!m_host.IsConnected()) {
            m_host.ShowResult();
            return false;
        }
        if (!CRemoteHost::IsCommandSafe(loginDir))
            loginDir.clear();
    }
    for (const QString& dir : std::as_const(wanted)) {
        if (!visitDirectory(dir, loginDir)) {
            m_host.ShowResult();
            m_host.Disconnect();
            return false;
        }
        registry().AddDir(dir, -1);
        m_directories << dir;
    }
    registry().AddDir(QStringLiteral("$HOME"), -1);
    return true;
}

bool CInitialSetup::visitDirectory(const QString& path, const QString& loginDir)
{
    if (m_host.Command(QStringLiteral("CWD ") + path)) {
        if (!loginDir.isEmpty())
            return m_host.Command(QStringLiteral("CWD ") + loginDir);
        const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (!m_host.Command(QStringLiteral("CDUP")))
                return false;
        }
        return true;
    }
    if (!m_host.IsConnected() || m_host.WasCanceled())
        return false;
    return m_host.MakeDir(path);
}

bool CInitialSetup::saveOriginals(const QStringList& names)
{
    for (const QString& name : names) {
        // A test file of an earlier setup is ZEPH's own; nothing of the user's to keep.
        if (recordedLocal(name) == TestProcmailrcPath())
            continue;
        if (!saveOriginal(name))
            return false;
    }
    return true;
}

bool CInitialSetup::saveOriginal(const QString& remote)
{
    const QString temporary = Workspace::MakeTempFile();
    if (temporary.isEmpty())
        return false;
    const auto cleanUp = qScopeGuard([&temporary] { QFile::remove(temporary); });
    if (!m_host.Transfer(temporary, remote, true, true, CRemoteHost::PassiveSetting() != 0)) {
        // A permanent refusal means the host has no such file; anything else may hide one.
        if (m_host.IsConnected() && !m_host.WasCanceled()
            && m_host.LastResponse().startsWith(QLatin1Char('5')))
            return true;
        m_host.ShowResult();
        return false;
    }
    QFile file(temporary);
    if (!file.open(QIODevice::ReadOnly)) {
        Prompt::Tell(
            QStringLiteral("The downloaded copy of %1 could not be read: %2").arg(remote, file.errorString()),
            QStringLiteral("File Error"), Prompt::Warning);
        return false;
    }
    const QByteArray bytes = file.readAll();
    // A listed file is ZEPH's own while it holds what was uploaded. Declaring procmail set up
    // lists the user's own .procmailrc too, so the listing alone does not tell.
    const QString uploaded = recordedLocal(remote);
    if (!uploaded.isEmpty() && QFile::exists(uploaded) && fileBytes(uploaded) == bytes)
        return true;
    // An earlier setup's copy is never replaced: the same bytes keep it, others get a name of their own.
    QString target = OriginalPath(remote);
    for (int n = 2; QFile::exists(target); ++n) {
        QFile existing(target);
        if (existing.open(QIODevice::ReadOnly) && existing.size() == bytes.size()
            && existing.readAll() == bytes)
            break;
        target = OriginalPath(remote) + QLatin1Char('.') + QString::number(n);
    }
    QString error;
    if (!QFile::exists(target) && !SaveFileAtomically(target, bytes, &error)) {
        Prompt::Tell(QStringLiteral("The %1 file of the remote host could not be saved as %2: %3")
                         .arg(remote, target, error),
            QStringLiteral("File Error"), Prompt::Warning);
        return false;
    }
    // A second Connect of the same wizard names the copy the first one kept, or the newer one.
    for (auto& original : m_originals) {
        if (original.first == remote) {
            original.second = target;
            return true;
        }
    }
    m_originals.append({ remote, target });
    return true;
}

bool CInitialSetup::upload(const QString& local, const QString& remote)
{
    if (!m_host.Connect())
        return false;
    if (!m_host.Transfer(local, remote, false, false, CRemoteHost::PassiveSetting() != 0)) {
        m_host.ShowResult();
        return false;
    }
    RemovePending(local, remote);
    recordUpload(remote, local, CRemoteFilesFoldersMgr::UploadPermissions());
    return true;
}

void CInitialSetup::changePermissions(const Permissions& permissions)
{
    const QString forward = ForwardName();
    struct Change
    {
        bool wanted;
        QString name;
        QString shownName;
        int mode;
    };
    const Change changes[] = {
        { permissions.home, QStringLiteral("."), QStringLiteral("$HOME"), 701 },
        { permissions.procmailrc, Procmailrc, Procmailrc, 604 },
        { permissions.forward && forward == QLatin1String(".forward"), forward, forward, 604 },
        { permissions.qmail && forward == QLatin1String(".qmail"), forward, forward, 604 },
    };
    for (const Change& change : changes) {
        if (!change.wanted)
            continue;
        m_permissionsChanged = true;
        if (!chmodOne(change.name, change.shownName, change.mode) && m_host.WasCanceled())
            return;
    }
}

bool CInitialSetup::chmodOne(const QString& name, const QString& shownName, int mode)
{
    if (m_host.Connect() && m_host.Chmod(name, mode)) {
        if (shownName == QLatin1String("$HOME"))
            registry().SetDirPermissions(shownName, mode);
        else
            registry().SetFilePermissions(shownName, mode);
        return true;
    }
    if (m_host.WasCanceled())
        Prompt::Tell(
            QStringLiteral("chmod canceled."), QStringLiteral("Operation canceled"), Prompt::Information);
    else
        Prompt::Tell(QStringLiteral("Error trying to change permissions for %1.  The last response from the "
                                    "remote host was:\n\n%2")
                         .arg(shownName, m_host.LastResponse()),
            QStringLiteral("Error!"), Prompt::Warning);
    return false;
}

QString CInitialSetup::originalNote(const QString& remote) const
{
    for (const auto& [name, path] : m_originals) {
        if (name == remote)
            return QStringLiteral(
                "  The %1 file that was on the remote host before the setup is saved as %2; "
                "upload it as %3 to restore it.")
                .arg(remote, path, remote);
    }
    return QString();
}

void CInitialSetup::backOut(bool afterConnect)
{
    const QPair<QString, bool> files[] = {
        { QStringLiteral(".forward"), m_forwardUploaded },
        { QStringLiteral(".qmail"), m_qmailUploaded },
        { Procmailrc, m_testUploaded },
    };
    for (const auto& [name, uploaded] : files) {
        if (!uploaded)
            continue;
        const QString text
            = (afterConnect
                      ? QStringLiteral("The %1 file was uploaded or possibly the upload was only attempted "
                                       "and failed.  In any case there were problems with the initial setup "
                                       "and to be on the safe side it's recommended that you click 'Yes' to "
                                       "allow ZEPH to attempt to delete the %2 file on the remote host now.")
                      : QStringLiteral("The %1 file was uploaded and should be deleted now.  There were "
                                       "problems with the initial setup and to be on the safe side it's "
                                       "recommended that you click 'Yes' to allow ZEPH to attempt to delete "
                                       "the %2 file on the remote host now."))
                  .arg(name, name)
            + originalNote(name) + QStringLiteral("\n\nOkay to delete the %1 file?").arg(name);
        if (Prompt::Ask(text, DeleteCaption, Prompt::Question, Prompt::Yes | Prompt::No) == Prompt::Yes)
            deleteRemote(name);
    }
    if (!afterConnect)
        m_host.Disconnect();
}

bool CInitialSetup::deleteRemote(const QString& name)
{
    if (!m_host.Connect())
        return false;
    if (!m_host.DeleteFile(name)) {
        m_host.ShowResult();
        return false;
    }
    m_host.ShowMessage();
    registry().ForgetFile(name);
    return true;
}

QString CInitialSetup::TestText() const
{
    if (!AnythingUploaded() && m_directories.isEmpty() && !m_permissionsChanged)
        return QStringLiteral(
            "Since nothing was selected ZEPH hasn't performed any operations other than testing that it "
            "could "
            "connect to the remote host.  If you were attempting to perform any other setup functions please "
            "make sure you have the appropriate selections checked.  Generally all the selections should be "
            "checked.");
    if (m_testUploaded)
        return QStringLiteral(
            "Please send another test mail message to yourself now.  To do so, click on the underlined "
            "\"Send "
            "Test Message\" hyperlink below.  Your default email program should pop up (if it doesn't, "
            "please "
            "click the \"Mailto Link Failed\" button).  Please verify the message is correctly addressed to "
            "your address, send it, then check to see if the message has arrived (using your regular mail "
            "program that you use to send the test message).  Then minimize your mail program and ZEPH will "
            "again be the active program.\n\nIf you receive the test message you send to yourself click on "
            "the "
            "\"I received my test message\" button.  If you do not receive your test message within one "
            "minute "
            "or so please click on the \"I did not receive my test message\" button.");
    return QStringLiteral(
        "Since you haven't elected to upload the test .procmailrc file you may or may not want to test your "
        "setup (depending on what you have in your .procmailrc).  If you would like to send a test message, "
        "click the \"Send Test Message\" button, otherwise click the \"Close\" button.\n\nTo verify that "
        "procmail is filtering your mail, it's recommended that you leave all the items checked (including "
        "\"Upload a test .procmailrc file\") then hit the \"Connect\" button again.  ZEPH will then be able "
        "to "
        "verify that procmail is filtering your mail.");
}

CInitialSetup::TestEnd CInitialSetup::MailReceived()
{
    if (!m_testUploaded) {
        Prompt::Tell(
            QStringLiteral(
                "Normally ZEPH would check the %1 file now to verify that procmail is processing your mail.  "
                "Since you have elected not to upload the test .procmailrc file, the log may or may not "
                "exist.  "
                "To verify that procmail is filtering your mail, it's recommended that you leave all the "
                "items "
                "checked (including \"Upload a test .procmailrc file\") then hit the \"Connect\" button "
                "again.  "
                "ZEPH will then be able to verify that procmail is filtering your mail.")
                .arg(TestLogName()),
            QStringLiteral(".procmailrc not uploaded"), Prompt::Information);
        return TestEnd::StayOpen;
    }
    Prompt::Tell(
        QStringLiteral(
            "ZEPH will now attempt to connect to the remote host and download the %1 file to verify that "
            "procmail is processing your mail.  If the file doesn't exist it's very likely that procmail "
            "isn't "
            "setup properly.  (ZEPH will also delete the test .procmailrc file that was uploaded, either way "
            "that test file should not be left on the remote host.)")
            .arg(TestLogName()),
        QStringLiteral("Checking log"), Prompt::Information);
    return checkLog() ? TestEnd::Succeeded : TestEnd::Failed;
}

bool CInitialSetup::checkLog()
{
    const QString introduction = QStringLiteral(
        "There was a problem with the setup and it's recommended that any files that were uploaded by ZEPH "
        "be "
        "deleted now.  You will be prompted for each file.  After the file(s) have been deleted, please "
        "click "
        "on the help button for information on what may be the cause of the problem.  You can run the setup "
        "again after making adjustments.");
    const QString remoteLog = zephDir() + QLatin1Char('/') + TestLogName();
    const QString temporary = Workspace::MakeTempFile();
    const auto cleanUp = qScopeGuard([&temporary] {
        if (!temporary.isEmpty())
            QFile::remove(temporary);
    });
    const bool connected = !temporary.isEmpty() && m_host.Connect();
    const bool downloaded
        = connected && m_host.Transfer(temporary, remoteLog, true, true, CRemoteHost::PassiveSetting() != 0);
    if (connected && !downloaded)
        m_host.ShowResult();
    // A log left behind would let the next setup find an old line.
    if (connected && m_host.Connect())
        m_host.DeleteFile(remoteLog);
    if (!downloaded) {
        Prompt::Tell(introduction, BackOutCaption, Prompt::Information);
        backOut(false);
        return false;
    }
    if (m_host.Connect() && m_host.DeleteFile(Procmailrc))
        registry().ForgetFile(Procmailrc);
    m_host.Disconnect();
    QByteArray log;
    QFile file(temporary);
    if (file.open(QIODevice::ReadOnly))
        log = file.read(MaxTestLogBytes);

    if (!m_expectedLine.isEmpty() && log.contains(m_expectedLine.toLatin1())) {
        const QString dir = zephDir() + QLatin1Char('/');
        recordUpload(dir + QStringLiteral("zeph.log"), NotApplicable, -1);
        recordUpload(dir + QStringLiteral("zeph.log.old"), NotApplicable, -1);
        const QString local = Workspace::GetProcmailrcPath();
        AddPending(local, Procmailrc);
        SetSetting(Settings::SetupWizRun, 1);
        QString text = QStringLiteral(
            "Congratulations, procmail has filtered your incoming mail!  The %1 file contained the test "
            "line that we wanted procmail to write.  Now that the setup test is complete, it's recommended "
            "that you upload your %2 file and any other files that are pending to be sent to the remote "
            "host.  (If you haven't modified any settings for the %3 file a default file has been created "
            "for you and no changes are needed. The %4 file must be uploaded before procmail can begin "
            "filtering your mail, the test %5 file on the remote host has been deleted.)\n\nA list of "
            "pending files will be shown in the next dialog, it's recommended that you click the 'Send "
            "Files Now' button on that dialog.  If you have already used the recipe wizard to create some "
            "recipes the zeph.recipes file will also be listed.  Otherwise your next step should be to "
            "create some recipes using the recipe wizard and put the recipes in the order you want.  For "
            "more information on creating, editing, and ordering recipes, please consult the help file.")
                           .arg(TestLogName(), local, local, local, Procmailrc);
        if (!m_originals.isEmpty()) {
            QStringList paths;
            for (const auto& original : std::as_const(m_originals))
                paths << original.second;
            text += QStringLiteral(
                "\n\nThe files that were on the remote host before the setup are saved as: %1.")
                        .arg(paths.join(QStringLiteral(", ")));
        }
        Prompt::Tell(text, QStringLiteral("Success!"), Prompt::Information);
        if (m_showPendingFiles)
            m_showPendingFiles();
        return true;
    }

    Prompt::Tell(introduction, BackOutCaption, Prompt::Information);
    backOut(false);
    const QString expected = m_expectedLine;
    if (Prompt::Ask(
            QStringLiteral("The %1 file did not contain the test line that we wanted procmail to write.  "
                           "We had tried to write the string:\n\n%2\n\nIf you would like to view the "
                           "contents of the %3 file click 'Yes'.  Either way, please click on the help "
                           "button for information on what may be the cause of the problem.")
                .arg(TestLogName(), expected, TestLogName()),
            QStringLiteral("View log contents?"), Prompt::Question, Prompt::Yes | Prompt::No)
            == Prompt::Yes
        && m_viewLog)
        m_viewLog(log);
    return false;
}

void CInitialSetup::MailNotReceived()
{
    if (AnythingUploaded()) {
        Prompt::Tell(
            QStringLiteral("Since you have not received the test message any files that were uploaded by "
                           "ZEPH should be deleted now.  You will be prompted for each file, select "
                           "'Yes' to delete each file.  After the file(s) have been deleted, please "
                           "click on the help button for information on what may be the cause of the "
                           "problem."),
            BackOutCaption, Prompt::Information);
        backOut(false);
        return;
    }
    Prompt::Tell(NothingUploadedText
            + QStringLiteral(
                "\n\nPlease click on the help button for information on what may be the cause of "
                "the problem."),
        NoFilesCaption, Prompt::Information);
}

void CInitialSetup::CancelTest()
{
    if (AnythingUploaded()) {
        Prompt::Tell(
            QStringLiteral("Since you are canceling the setup it's recommended that any files that were "
                           "uploaded by this setup wizard be deleted now.  You will be prompted for each "
                           "file.  You can run the setup again after making adjustments."),
            BackOutCaption, Prompt::Information);
        backOut(false);
        return;
    }
    Prompt::Tell(NothingUploadedText, NoFilesCaption, Prompt::Information);
}

void CInitialSetup::CloseTest()
{
    if (!AnythingUploaded())
        return;
    if (Prompt::Ask(
            QStringLiteral("One or more files were uploaded to the remote host and ZEPH has not verified "
                           "that procmail is setup correctly.  If you would like to reverse the changes "
                           "it has made, hit 'Yes' and ZEPH will prompt you for deleting each "
                           "file.\n\nWould you like to reverse the changes ZEPH made to the remote "
                           "files?"),
            QStringLiteral("Reverse file changes?"), Prompt::Question, Prompt::Yes | Prompt::No)
        == Prompt::Yes)
        backOut(false);
}

void CInitialSetup::Complete()
{
    SetSettingTime(Settings::LogDownloadTime, Clock::Now());
    Prompt::Tell(QStringLiteral("The setup has been completed.  The initial setup wizard will be closed."),
        QStringLiteral("Setup Complete"), Prompt::Information);
}
