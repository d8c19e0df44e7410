#include "core/workspace/Identities.h"

#include "core/common/AtomicFile.h"
#include "core/common/Prompt.h"
#include "core/settings/AppDataFolder.h"
#include "core/settings/CAppState.h"
#include "core/settings/CRegistry.h"
#include "core/settings/CRemoteFilesFoldersMgr.h"
#include "core/settings/Keychain.h"
#include "core/workspace/InstanceLock.h"
#include "core/workspace/Workspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

QString& launcherProgramOverride()
{
    static QString path;
    return path;
}

QString withSlash(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The desktop folder the user's session names, else ~/Desktop.
QString desktopFolder()
{
    QProcess process;
    process.start(QStringLiteral("xdg-user-dir"), { QStringLiteral("DESKTOP") });
    if (process.waitForFinished(5000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0) {
        const QString folder = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
        if (QDir::isAbsolutePath(folder))
            return folder;
    } else if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(1000);
    }
    return QDir::homePath() + QStringLiteral("/Desktop");
}

// A value of type string in a desktop entry: backslash and the line-end characters escaped.
QString entryString(const QString& text)
{
    QString out;
    for (QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else if (c == QLatin1Char('\t'))
            out += QStringLiteral("\\t");
        else
            out += c;
    }
    return out;
}

// One argument of an Exec line: in double quotes, with ", `, $ and \ quoted by a backslash and a
// literal % doubled. The string escapes of entryString come on top when the line is written.
QString execArgument(const QString& argument)
{
    QString out = QStringLiteral("\"");
    for (QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        if (c == QLatin1Char('%'))
            out += QLatin1Char('%');
        out += c;
    }
    return out + QLatin1Char('"');
}

QString documentFolderOf(const CUserData& record)
{
    return record.GetString(QStringLiteral("Settings"), QStringLiteral("Document Directory"), QString());
}

// Every deletion of the user's files goes to the trash, so nothing is lost for good.
void trash(const QString& path)
{
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        Workspace::DeleteFolder(path);
}

QStringList recipeDataFiles(const QString& documentFolder)
{
    const QDir data(withSlash(documentFolder) + QStringLiteral("Data"));
    QStringList paths;
    for (const QString& name : data.entryList({ QStringLiteral("*.zeph") }, QDir::Files | QDir::Hidden))
        paths.append(data.filePath(name));
    return paths;
}

void removeIfEmpty(const QString& folder)
{
    if (!folder.isEmpty() && QFileInfo(folder).isDir() && Workspace::IsFolderEmpty(folder))
        QDir().rmdir(folder);
}

// A name read from the data file goes into file names only when it cannot reach another folder
// (the program itself never makes such a record; a hand-edited data file might).
bool safeInFileName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

// A later identity of the same name must not log in with this one's passwords.
void forgetPasswords(const QString& name)
{
    QString error;
    if (!Keychain::ForgetIdentity(name, &error))
        Prompt::Tell(
            QStringLiteral("The saved passwords of the identity \"%1\" could not be removed from the "
                           "desktop keychain (%2).")
                .arg(name, error),
            QStringLiteral("Desktop keychain"), Prompt::Warning);
}

Prompt::Button askYesNo(const QString& text)
{
    return Prompt::Ask(text, QStringLiteral("ZEPH"), Prompt::Question, Prompt::Yes | Prompt::No, Prompt::No);
}

} // namespace

namespace Identities {

const QStringList& LocalFileNames()
{
    static const QStringList names = { QStringLiteral(".procmailrc"), QStringLiteral(".forward"),
        QStringLiteral(".qmail"), QStringLiteral("man.procmail.txt"), QStringLiteral("man.procmailex.txt"),
        QStringLiteral("man.procmailrc.txt"), QStringLiteral("man.procmailsc.txt"),
        QStringLiteral("man.formail.txt"), QStringLiteral("man.lockfile.txt"),
        QStringLiteral("man.egrep.txt"), QStringLiteral("man.grep.txt"), QStringLiteral("man.sed.txt"),
        QStringLiteral("sysexits.h.txt"), QStringLiteral("procmail.version.txt"), QStringLiteral("zeph.log"),
        QStringLiteral("zeph.recipes") };
    return names;
}

QString LauncherFolder(Place place)
{
    if (place == Place::Menu) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
        return folder.isEmpty() ? QString() : withSlash(folder);
    }
    const QString folder = desktopFolder();
    return QFileInfo(folder).isDir() ? withSlash(folder) : QString();
}

QString LauncherPath(Place place, const QString& name)
{
    if (!safeInFileName(name))
        return QString();
    const QString folder = LauncherFolder(place);
    return folder.isEmpty() ? QString()
                            : folder + QStringLiteral("ZEPH ") + name + QStringLiteral(".desktop");
}

QByteArray LauncherText(const QString& program, const QString& name)
{
    const QString exec = execArgument(program) + QLatin1Char(' ') + execArgument(QLatin1Char('-') + name);
    const QString text
        = QStringLiteral("[Desktop Entry]\n"
                         "Type=Application\n"
                         "Version=1.0\n"
                         "Name=ZEPH %1\n"
                         "Comment=ZEPH %1\n"
                         "Exec=%2\n"
                         "Path=%3\n"
                         "Terminal=false\n")
              .arg(entryString(name), entryString(exec), entryString(QFileInfo(program).absolutePath()));
    return text.toUtf8();
}

QString LauncherProgram()
{
    return launcherProgramOverride().isEmpty() ? QCoreApplication::applicationFilePath()
                                               : launcherProgramOverride();
}

void SetLauncherProgram(const QString& path)
{
    launcherProgramOverride() = path;
}

bool CreateShortcut(Place place, const QString& name)
{
    const QString folder = LauncherFolder(place);
    if (folder.isEmpty() || !safeInFileName(name) || !Workspace::CreatePath(folder))
        return false;
    const QString path = folder + QStringLiteral("ZEPH ") + name + QStringLiteral(".desktop");
    QString error;
    if (!SaveFileAtomically(path, LauncherText(LauncherProgram(), name), &error))
        return false;
    // Desktops start only launchers that may be executed.
    return QFile::setPermissions(
        path, QFile::permissions(path) | QFileDevice::ExeOwner | QFileDevice::ExeUser);
}

bool DeleteShortcut(Place place, const QString& name)
{
    const QString path = LauncherPath(place, name);
    if (path.isEmpty())
        return false;
    if (!QFileInfo::exists(path))
        return true;
    return Workspace::DeleteFolder(path);
}

int CountRemoteFiles(const QString& name)
{
    CRemoteFilesFoldersMgr record;
    if (!CAppState::Instance().GetRemoteFilesOf(name, &record))
        return 0;
    QStringList remoteNames;
    record.RemoteNames(&remoteNames);
    int count = 0;
    for (const QString& remote : std::as_const(remoteNames)) {
        const QString last = remote.mid(remote.lastIndexOf(QLatin1Char('/')) + 1);
        if (last != QLatin1String("zeph.log") && last != QLatin1String("zeph.log.old"))
            ++count;
    }
    return count;
}

QString InUseReason(const QString& name)
{
    if (!sameName(name, CAppState::Instance().IdentityName()) && !InstanceLock::IsHeld(name))
        return QString();
    return QStringLiteral(
        "The identity \"%1\" is in use by a running copy of ZEPH and cannot be deleted.  Close "
        "ZEPH for that identity, then delete it from another identity.")
        .arg(name);
}

bool DeleteIdentity(const QString& name)
{
    if (name.isEmpty())
        return false;
    const QString inUse = InUseReason(name);
    if (!inUse.isEmpty()) {
        Prompt::Tell(inUse, QStringLiteral("Identity in use"), Prompt::Information);
        return false;
    }
    QList<CUserData> records;
    for (const CUserData& record : CAppState::Instance().GetAllIdentities()) {
        if (sameName(record.name, name))
            records.append(record);
    }
    if (records.size() != 1)
        return false;
    const int remote = CountRemoteFiles(name);
    if (remote > 0) {
        const QString text = QStringLiteral(
            "The identity \"%1\" has %2 file(s) listed as still on the remote host.  Before deleting this "
            "identity you should delete any files on the remote host that were uploaded by ZEPH.  To do so, "
            "start ZEPH using the identity \"%1\" and from the 'Tools' menu select 'Disable Procmail' and on "
            "the resulting dialog, select 'Delete all remote ZEPH procmail files'.\r\n\r\nTo disregard this "
            "warning and delete the identity anyway, hit 'Yes'.  To stop the deletion click "
            "'No'.\r\n\r\nOkay "
            "to continue with deletion?")
                                 .arg(name)
                                 .arg(remote);
        if (askYesNo(text) != Prompt::Yes) {
            Prompt::Tell(QStringLiteral("The identity has not been deleted."), QStringLiteral("ZEPH"),
                Prompt::Information);
            return false;
        }
    }
    AskDeleteRecipeDataFiles(records, true);
    AskDeleteLocalFiles(records, true);
    DeleteShortcut(Place::Desktop, name);
    DeleteShortcut(Place::Menu, name);
    QString error;
    if (!CAppState::Instance().DeleteIdentityData(name, &error)) {
        // The identity still exists: saying it is gone would be false.
        Prompt::Tell(
            QStringLiteral("The identity \"%1\" could not be removed from the ZEPH data file.  The error "
                           "was:\r\n\r\n%2")
                .arg(name, error),
            QStringLiteral("Error!"), Prompt::Warning);
        return false;
    }
    RemoveEmptyFolders(records);
    if (safeInFileName(name))
        CRegistry::DeleteIdentity(name);
    forgetPasswords(name);
    return true;
}

void AskDeleteRecipeDataFiles(const QList<CUserData>& records, bool forOne)
{
    QStringList files;
    QString owner;
    for (const CUserData& record : records) {
        const QString folder = documentFolderOf(record);
        if (folder.isEmpty())
            continue;
        const QStringList found = recipeDataFiles(folder);
        if (found.isEmpty())
            continue;
        files += found;
        owner = record.name;
    }
    if (files.isEmpty())
        return;
    QString text
        = QStringLiteral("Each time you used the ZEPH Recipe Wizard to create a new recipe, a corresponding "
                         "file using that recipe name (with a '.zeph' extension) was created in the 'Data' "
                         "subdirectory.\r\n\r\nThere are %1 *.zeph files")
              .arg(files.size());
    if (forOne)
        text += QStringLiteral(" for the %1 identity").arg(owner);
    text += QStringLiteral(", would you like to delete them now?");
    if (askYesNo(text) != Prompt::Yes) {
        Prompt::Tell(QStringLiteral("The *.zeph files will not be deleted."), QStringLiteral("ZEPH"),
            Prompt::Information);
        return;
    }
    for (const QString& file : std::as_const(files))
        trash(file);
}

void AskDeleteLocalFiles(const QList<CUserData>& records, bool forOne)
{
    QString text
        = QStringLiteral("ZEPH may create the following files:\r\n\r\n.procmailrc\r\n.forward\r\n.qmail\r\n"
                         "various manual pages (e.g. man.procmail.txt)\r\nzeph.log\r\nzeph.recipes\r\n\r\n");
    if (forOne && !records.isEmpty())
        text += QStringLiteral("Would you like to delete these files for the %1 identity?")
                    .arg(records.first().name);
    else
        text += QStringLiteral("Would you like to delete all these files?");
    if (askYesNo(text) != Prompt::Yes) {
        Prompt::Tell(
            QStringLiteral("The files will not be deleted."), QStringLiteral("ZEPH"), Prompt::Information);
        return;
    }
    for (const CUserData& record : records) {
        const QString folder = documentFolderOf(record);
        if (folder.isEmpty())
            continue;
        for (const QString& name : LocalFileNames())
            trash(withSlash(folder) + name);
    }
}

void RemoveEmptyFolders(const QList<CUserData>& records)
{
    for (const CUserData& record : records) {
        const QString folder = documentFolderOf(record);
        if (folder.isEmpty())
            continue;
        removeIfEmpty(withSlash(folder) + QStringLiteral("Data"));
        removeIfEmpty(folder);
    }
    if (records.isEmpty())
        return;
    // The folder that holds the identities' Document Folders by default.
    QString last = documentFolderOf(records.last());
    if (last.isEmpty())
        return;
    while (last.size() > 1 && last.endsWith(QLatin1Char('/')))
        last.chop(1);
    const QString parent = QFileInfo(last).path();
    if (parent.endsWith(QStringLiteral("/ZEPH"), Qt::CaseInsensitive))
        removeIfEmpty(parent);
}

void UninstallCleanup()
{
    CAppState& state = CAppState::Instance();
    const QStringList names = state.GetIdentityNames();
    const QList<CUserData> records = state.GetAllIdentities();
    QString lines;
    for (const QString& name : names) {
        const int count = CountRemoteFiles(name);
        if (count > 0)
            lines += QStringLiteral(
                "The identity \"%1\" has %2 file(s) listed as still on the remote host.\r\n")
                         .arg(name)
                         .arg(count);
    }
    if (!lines.isEmpty()) {
        const QString text
            = QStringLiteral(
                  "Warning: Before uninstalling ZEPH you should delete any files on the remote host that "
                  "were uploaded by ZEPH.  To do so, start ZEPH (using the appropriate identity) and from "
                  "the 'Tools' menu select 'Disable Procmail' and on the resulting dialog, select 'Delete "
                  "all remote ZEPH procmail files'.\r\n\r\n")
            + lines
            + QStringLiteral(
                "\r\nTo disregard this warning and continue with the uninstallation of ZEPH hit 'Yes'.  "
                "To stop the uninstall click 'No'.\r\n\r\nOkay to continue with uninstall?");
        if (askYesNo(text) != Prompt::Yes) {
            Prompt::Tell(
                QStringLiteral("Please click the 'Cancel' button on the Wizard to cancel the uninstall."),
                QStringLiteral("ZEPH"), Prompt::Information);
            return;
        }
    }
    AskDeleteRecipeDataFiles(records, false);
    AskDeleteLocalFiles(records, false);
    for (const QString& name : names) {
        DeleteShortcut(Place::Desktop, name);
        DeleteShortcut(Place::Menu, name);
        forgetPasswords(name);
    }
    // The installation's own launcher, where the user has one.
    for (Place place : { Place::Desktop, Place::Menu }) {
        const QString folder = LauncherFolder(place);
        if (!folder.isEmpty())
            trash(folder + QStringLiteral("ZEPH.desktop"));
    }
    const QString dataFile = state.DataFilePath();
    trash(dataFile);
    QFile::remove(dataFile + QStringLiteral(".lock"));
    // The registry files hold the saved passwords: removed outright, not kept in the trash.
    QDir(GetAppDataFolder() + QStringLiteral("registry")).removeRecursively();
    removeIfEmpty(GetAppDataFolder());
    RemoveEmptyFolders(records);
}

} // namespace Identities
