#pragma once

#include "core/procmail/BackupListing.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class CRemoteHost;

// The saved copies in the host's backup folder, over FTP: list them with their dates, fetch one to
// read, delete some. Each operation connects when needed and changes into the folder first; the
// connection's errors are shown to the user. The connection is the caller's (one per dialog) and
// stays open after viewing and deleting, until the caller disconnects.
class CBackupMailList
{
public:
    explicit CBackupMailList(CRemoteHost& host);

    // The backup folder from the login directory: the mail directory without "$HOME/", then
    // "/backup".
    static QString RemoteDir();

    // Connects unless connected, and changes into the backup folder. A folder that cannot be
    // entered ends the connection.
    bool Connect();
    // Lists the folder and disconnects: the copies (plain files named with MSGPREFIX) with their
    // dates in the date format of the settings, and the raw lines of the listing.
    bool Load(QList<BackupListing::Entry>* entries, QList<QByteArray>* lines);
    // The whole copy `name`. An empty file is reported as a failed download: a saved message is
    // never empty.
    bool View(const QString& name, QByteArray* text);
    // Asks, then deletes the names in the order given, stopping when connecting fails or the user
    // cancels a transfer; `deleted` gets the names that are gone. Says "Finished" when all went.
    void Delete(const QStringList& names, QStringList* deleted);

    // The listing as one text, one line each, without the server's CR.
    static QString JoinLines(const QList<QByteArray>& lines);

private:
    CRemoteHost& m_host;
};
