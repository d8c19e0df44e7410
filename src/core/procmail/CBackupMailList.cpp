#include "core/procmail/CBackupMailList.h"

#include "core/common/Clock.h"
#include "core/common/Prompt.h"
#include "core/net/CRemoteHost.h"
#include "core/settings/Profile.h"
#include "core/settings/SettingsTable.h"
#include "core/workspace/Workspace.h"

#include <QFile>
#include <QScopeGuard>

CBackupMailList::CBackupMailList(CRemoteHost& host)
    : m_host(host)
{
}

QString CBackupMailList::RemoteDir()
{
    return Workspace::GetRemoteMailDir() + QStringLiteral("/backup");
}

bool CBackupMailList::Connect()
{
    // Connecting is always followed by the change of folder, so a standing connection is in it.
    if (m_host.IsConnected())
        return true;
    if (!m_host.Connect())
        return false;
    if (!m_host.Command(QStringLiteral("CWD ") + RemoteDir())) {
        m_host.ShowResult();
        m_host.Disconnect();
        return false;
    }
    return true;
}

bool CBackupMailList::Load(QList<BackupListing::Entry>* entries, QList<QByteArray>* lines)
{
    entries->clear();
    lines->clear();
    if (!Connect())
        return false;
    const bool listed = m_host.ListDir(lines);
    if (!listed)
        m_host.ShowResult();
    m_host.Disconnect();
    if (!listed)
        return false;
    *entries = BackupListing::Parse(*lines, GetSettingString(Settings::BackupDlgMsgPrefix),
        GetSetting(Settings::LogDateFormat), GetSettingString(Settings::LogDateSeparator),
        Clock::Now().date());
    return true;
}

bool CBackupMailList::View(const QString& name, QByteArray* text)
{
    text->clear();
    if (!Connect())
        return false;
    const QString temporary = Workspace::MakeTempFile();
    if (temporary.isEmpty()) {
        Prompt::Tell(QStringLiteral("No temporary file could be created for the download of %1.").arg(name),
            QStringLiteral("File Error"), Prompt::Warning);
        return false;
    }
    const auto cleanUp = qScopeGuard([&temporary] { QFile::remove(temporary); });
    if (!m_host.Transfer(temporary, name, true, true, CRemoteHost::PassiveSetting() != 0)) {
        m_host.ShowResult();
        return false;
    }
    QFile file(temporary);
    if (!file.open(QIODevice::ReadOnly)) {
        Prompt::Tell(
            QStringLiteral("The downloaded file %1 cannot be read: %2").arg(temporary, file.errorString()),
            QStringLiteral("File Error"), Prompt::Warning);
        return false;
    }
    *text = file.readAll();
    if (text->isEmpty()) {
        Prompt::Tell(QStringLiteral("The file %1 downloaded from the remote host is empty.").arg(name),
            QStringLiteral("Download Failed"), Prompt::Warning);
        return false;
    }
    return true;
}

void CBackupMailList::Delete(const QStringList& names, QStringList* deleted)
{
    deleted->clear();
    if (names.isEmpty()) {
        Prompt::Tell(QStringLiteral("Please select a file in the list to remove."),
            QStringLiteral("Nothing selected!"), Prompt::Information);
        return;
    }
    if (Prompt::Ask(
            QStringLiteral("Are you sure you want to delete the selected files(s) on the remote host?"),
            QStringLiteral("Okay to delete?"), Prompt::Warning, Prompt::Yes | Prompt::No | Prompt::Cancel,
            Prompt::No)
        != Prompt::Yes)
        return;
    bool failed = false;
    for (const QString& name : names) {
        if (!Connect())
            return;
        if (m_host.DeleteFile(name)) {
            deleted->append(name);
            continue;
        }
        m_host.ShowResult();
        failed = true;
        if (m_host.WasCanceled())
            break;
    }
    if (!deleted->isEmpty() && !failed)
        Prompt::Tell(QStringLiteral("The selected file(s) were deleted."), QStringLiteral("Finished"),
            Prompt::Information);
}

QString CBackupMailList::JoinLines(const QList<QByteArray>& lines)
{
    QByteArray text;
    qsizetype size = 0;
    for (const QByteArray& line : lines)
        size += line.size() + 1;
    // One allocation, however long the listing.
    text.reserve(size);
    for (const QByteArray& line : lines) {
        // The server ends its lines with CR LF.
        text += line.endsWith('\r') ? line.chopped(1) : line;
        text += '\n';
    }
    return QString::fromUtf8(text);
}
