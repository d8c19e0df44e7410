#include "core/net/PendingFiles.h"

#include "core/common/Clock.h"
#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/settings/CAppState.h"
#include "core/settings/CUserData.h"
#include "core/settings/Profile.h"

#include <QFile>
#include <QStringList>

namespace {

QStringList storedList()
{
    return GetSettingStringArray(Settings::PendingFiles);
}

bool storeList(const QStringList& list)
{
    return SetSettingStringArray(Settings::PendingFiles, list);
}

} // namespace

bool AddPending(const QString& local, const QString& remote)
{
    QStringList list = storedList();
    for (qsizetype i = 0; i < list.size(); i += 2) {
        if (list[i].compare(local, Qt::CaseInsensitive) == 0)
            return false;
    }
    if (CAppState::Instance().RemoteFiles().IsUnchanged(remote, local))
        return false;
    list << local << remote;
    return storeList(list);
}

void RemovePending(const QString& local, const QString& remote)
{
    QStringList list = storedList();
    for (qsizetype i = 0; i + 1 < list.size(); i += 2) {
        if (list[i].compare(local, Qt::CaseInsensitive) == 0 && list[i + 1] == remote) {
            list.remove(i, 2);
            storeList(list);
            return;
        }
    }
}

bool HasPending()
{
    return !storedList().isEmpty();
}

QList<QPair<QString, QString>> PendingPairs()
{
    const QStringList list = storedList();
    QList<QPair<QString, QString>> pairs;
    for (qsizetype i = 0; i + 1 < list.size(); i += 2)
        pairs.append({ list[i], list[i + 1] });
    return pairs;
}

bool FindBackslashSpaceLine(const QString& path, long* line, QString* error)
{
    *line = 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    long number = 0;
    while (!file.atEnd()) {
        QByteArray text = file.readLine();
        if (text.isEmpty() && file.error() != QFile::NoError) {
            *error = file.errorString();
            return false;
        }
        ++number;
        if (text.endsWith('\n'))
            text.chop(1);
        if (text.endsWith('\r'))
            text.chop(1);
        if (text.size() < 2 || text.startsWith('#'))
            continue;
        if (!text.endsWith(' ') && !text.endsWith('\t'))
            continue;
        while (text.endsWith(' ') || text.endsWith('\t'))
            text.chop(1);
        if (text.endsWith('\\')) {
            *line = number;
            return true;
        }
    }
    return true;
}

namespace {

PendingUploadCheck& uploadCheck()
{
    static PendingUploadCheck check;
    return check;
}

} // namespace

void SetPendingUploadCheck(PendingUploadCheck check)
{
    uploadCheck() = std::move(check);
}

QString PendingUploadNote()
{
    return uploadCheck().note ? uploadCheck().note() : QString();
}

bool SendPendingNow(CRemoteHost& host)
{
    QStringList list = storedList();
    if (list.isEmpty())
        return true;
    if (list.size() % 2 != 0) {
        // A path without its remote name cannot be sent anywhere sensible.
        const QString orphan = list.takeLast();
        storeList(list);
        Prompt::Tell(
            QStringLiteral("The pending files list held the local file %1 without a remote name.  It was "
                           "removed from the list and not uploaded.")
                .arg(orphan),
            QStringLiteral("Pending Files"), Prompt::Warning);
        if (list.isEmpty())
            return false;
    }
    if (GetSetting(Settings::BackslashSpaceWarning)) {
        for (qsizetype i = 0; i < list.size(); i += 2) {
            long line = 0;
            QString error;
            if (!FindBackslashSpaceLine(list[i], &line, &error)) {
                Prompt::Tell(QStringLiteral("The file %1 could not be read.\n\n%2").arg(list[i], error),
                    QStringLiteral("File Error"), Prompt::Warning);
                return false;
            }
            if (line > 0) {
                Prompt::Tell(
                    QStringLiteral("Line %1 in %2 ends with a '\\' character followed by one or more space "
                                   "or tab characters.  Please check it and remove the whitespace "
                                   "character(s), that can create unexpected problems.\n\nIf you don't want "
                                   "to see this warning anymore and have the files uploaded as they are, "
                                   "select 'Options' from the 'Tools' menu, then the 'Misc.' tab.  Uncheck "
                                   "'Warn about lines ending with a backslash and whitespace'.")
                        .arg(line)
                        .arg(list[i]),
                    QStringLiteral("Whitespace at end of line!"), Prompt::Warning);
                return false;
            }
        }
    }
    if (uploadCheck().check) {
        QList<QPair<QString, QString>> pairs;
        for (qsizetype i = 0; i + 1 < list.size(); i += 2)
            pairs.append({ list[i], list[i + 1] });
        if (!uploadCheck().check(pairs))
            return false;
    }
    if (!host.Connect())
        return false;
    QStringList sent;
    QStringList unsent;
    const bool passive = CRemoteHost::PassiveSetting() != 0;
    for (qsizetype i = 0; i < list.size(); i += 2) {
        const QString& local = list[i];
        const QString& remote = list[i + 1];
        if (host.Transfer(local, remote, false, false, passive)) {
            sent << local;
            CAppState::Instance().RemoteFiles().AddUpload(remote, local,
                COleDateTime::FromDateTime(Clock::Now()), CRemoteFilesFoldersMgr::LocalFileTime(local),
                CRemoteFilesFoldersMgr::UploadPermissions());
            continue;
        }
        if (host.WasCanceled()) {
            Prompt::Tell(QStringLiteral("Upload canceled."), QStringLiteral("Operation canceled"),
                Prompt::Information);
            unsent << list.mid(i);
            break;
        }
        Prompt::Tell(
            QStringLiteral("Error while trying to uploaded local file %1.  The last remote host response "
                           "was:\n\n%2")
                .arg(local, host.LastResponse()),
            QStringLiteral("Error while uploading!"), Prompt::Warning);
        unsent << local << remote;
    }
    // The unsent pairs go back as they were, in one save.
    storeList(unsent);
    if (GetSetting(Settings::PendingFilesDisconnect))
        host.Disconnect();
    host.CloseProgress();
    if (sent.size() == 1) {
        Prompt::Tell(QStringLiteral("The file %1 was successfully uploaded.").arg(sent.first()),
            QStringLiteral("Upload complete"), Prompt::Information);
    } else if (sent.size() > 1) {
        QString names;
        for (const QString& name : sent)
            names += name + QLatin1Char('\n');
        Prompt::Tell(QStringLiteral("These files were successfully uploaded:\n%1").arg(names),
            QStringLiteral("Upload complete"), Prompt::Information);
    }
    return unsent.isEmpty();
}
