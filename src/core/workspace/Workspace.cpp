#include "core/workspace/Workspace.h"

#include "core/common/Prompt.h"
#include "core/settings/CAppState.h"
#include "core/settings/Profile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>

namespace {

QString withSlash(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

QString withoutHome(QString dir)
{
    if (dir.startsWith(QLatin1String("$HOME/")))
        dir.remove(0, 6);
    return dir;
}

struct TempFiles
{
    QMutex mutex;
    QStringList paths;
};

TempFiles& tempFiles()
{
    static TempFiles files;
    return files;
}

} // namespace

namespace Workspace {

QString GetDocumentFolder()
{
    QString folder = GetSettingString(Settings::DocumentDirectory);
    if (!folder.isEmpty())
        return withSlash(folder);
    const QString identity = CAppState::Instance().IdentityName();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    folder = documents.isEmpty()
        ? withSlash(QCoreApplication::applicationDirPath()) + identity + QLatin1Char('/')
        : withSlash(documents) + QStringLiteral("ZEPH/") + identity + QLatin1Char('/');
    SetSetting(Settings::DocumentDirectory, folder);
    return folder;
}

bool SetDocumentFolder(const QString& path)
{
    return SetSetting(Settings::DocumentDirectory, withSlash(path));
}

QString GetRecipeFilePath()
{
    const QString path = GetDocumentFolder() + QStringLiteral("zeph.recipes");
    if (QFileInfo(path).isFile())
        return path;
    QFile file(path);
    if (CreatePath(GetDocumentFolder()) && file.open(QIODevice::WriteOnly))
        return path;
    if (path.size() > 260)
        Prompt::Tell(QStringLiteral(
                         "Error trying to create a file for your recipes.  The path appears to be too long."),
            QStringLiteral("ZEPH"), Prompt::Stop);
    else
        Prompt::Tell(QStringLiteral("Unexpected error while trying to create recipes file"),
            QStringLiteral("ZEPH"), Prompt::Stop);
    return QString();
}

QString GetDataFolder()
{
    return GetDocumentFolder() + QStringLiteral("Data/");
}

QString GetProcmailrcPath()
{
    return GetDocumentFolder() + QStringLiteral(".procmailrc");
}

QString GetForwardPath()
{
    return GetDocumentFolder() + QStringLiteral(".forward");
}

QString GetQmailPath()
{
    return GetDocumentFolder() + QStringLiteral(".qmail");
}

QString GetRemoteZephDir()
{
    return withoutHome(GetSettingString(Settings::ZephDir));
}

QString GetRemoteMailDir()
{
    return withoutHome(GetSettingString(Settings::MailDir));
}

QString MakeTempFile()
{
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/zephXXXXXX"));
    file.setAutoRemove(false);
    if (!file.open()) {
        Prompt::Tell(QStringLiteral("Unexpected error!\n\n") + file.errorString(), QStringLiteral("ZEPH"),
            Prompt::Stop);
        return QString();
    }
    const QString path = file.fileName();
    QMutexLocker lock(&tempFiles().mutex);
    tempFiles().paths.append(path);
    return path;
}

void DeleteTempFiles()
{
    QMutexLocker lock(&tempFiles().mutex);
    for (const QString& path : std::as_const(tempFiles().paths))
        QFile::remove(path);
    tempFiles().paths.clear();
}

bool CreatePath(const QString& path)
{
    if (path.size() <= 2)
        return false;
    // Skip the root ("/") or a network path's server ("//server/").
    qsizetype start = 1;
    if (path.startsWith(QLatin1String("//"))) {
        start = path.indexOf(QLatin1Char('/'), 2);
        if (start < 0)
            return false;
        ++start;
    } else if (!path.startsWith(QLatin1Char('/'))) {
        start = 0;
    }
    qsizetype slash = path.indexOf(QLatin1Char('/'), start);
    if (slash < 0)
        return false;
    for (; slash >= 0; slash = path.indexOf(QLatin1Char('/'), slash + 1)) {
        const QString part = path.left(slash);
        if (part.isEmpty() || QFileInfo(part).isDir())
            continue;
        if (!QDir().mkdir(part))
            return false;
    }
    return true;
}

bool CreateFolder(const QString& path)
{
    if (FolderExists(path))
        return true;
    if (path.size() > 256)
        return false;
    if (QDir().mkdir(path))
        return true;
    Prompt::Tell(QStringLiteral("Error trying to create directory \"%1\".  The error message was:\n\n%2")
                     .arg(path, QString::fromLocal8Bit(strerror(errno))),
        QStringLiteral("ZEPH"), Prompt::Warning);
    return false;
}

bool FolderExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool FileExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool IsFolderEmpty(const QString& path)
{
    if (path.isEmpty())
        return false;
    QDir dir(path);
    if (!dir.exists() || !dir.isReadable())
        return true;
    return dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot).isEmpty();
}

bool DeleteFolder(const QString& path)
{
    // The trash folders must exist first, or the file is moved into the current folder instead.
    const QString trash = withSlash(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        + QStringLiteral("Trash/");
    QDir().mkpath(trash + QStringLiteral("files"));
    QDir().mkpath(trash + QStringLiteral("info"));
    QString stripped = path;
    while (stripped.size() > 1 && stripped.endsWith(QLatin1Char('/')))
        stripped.chop(1);
    return QFile::moveToTrash(stripped);
}

QString CheckIdentityName(const QString& name, bool atStartup)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (QChar c : name) {
        if (forbidden.contains(c)) {
            return atStartup
                ? QStringLiteral("You cannot use any of the following characters in the identity name:"
                                 "\r\n\r\n\\/:*?\"<>|\r\n\r\nPlease modify the command line name and "
                                 "restart ZEPH.")
                : QStringLiteral("You cannot use any of the following characters in the identity name:"
                                 "\r\n\r\n\\/:*?\"<>|\r\n\r\nPlease use another name.");
        }
    }
    static const QRegularExpression reserved(QStringLiteral("^(CON|PRN|AUX|NUL|CLOCK\\$|COM[1-9]|LPT[1-9])$"),
        QRegularExpression::CaseInsensitiveOption);
    bool bad = name.startsWith(QLatin1Char(' ')) || name.endsWith(QLatin1Char(' '))
        || name.endsWith(QLatin1Char('.')) || reserved.match(name.section(QLatin1Char('.'), 0, 0)).hasMatch();
    for (QChar c : name)
        bad = bad || c.unicode() < 0x20 || c.unicode() == 0x7F;
    if (!bad)
        return QString();
    return QStringLiteral("The identity name \"%1\" cannot be used as a folder name.\r\n\r\n").arg(name)
        + (atStartup ? QStringLiteral("Please modify the command line name and restart ZEPH.")
                     : QStringLiteral("Please use another name."));
}

} // namespace Workspace
