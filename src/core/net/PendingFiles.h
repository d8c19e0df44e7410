#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include <functional>

class CRemoteHost;

// Files changed locally and waiting for upload: pairs (local path, remote name) kept in the
// identity's settings. Every change is stored at once.

// False when the local file is already listed (any case) or unchanged since its last upload.
bool AddPending(const QString& local, const QString& remote);
// Removes the first pair with that local path (any case) and exactly that remote name.
void RemovePending(const QString& local, const QString& remote);
bool HasPending();
// The stored pairs in order; an element without its partner is left out.
QList<QPair<QString, QString>> PendingPairs();

// A check of the files about to go up that a feature installs (the recipe file tried with the
// local procmail): `check` runs before connecting and returns false to stop the upload, after it
// told the user why; `note` is a line for the pending files dialog, empty for none.
struct PendingUploadCheck
{
    std::function<bool(const QList<QPair<QString, QString>>& pairs)> check;
    std::function<QString()> note;
};
void SetPendingUploadCheck(PendingUploadCheck check);
QString PendingUploadNote();

// Uploads every pending file in one session on `host` (connecting it first), records each upload
// in the remote-files record and keeps the unsent pairs listed. Tells the user the outcome.
// True when every file was sent.
bool SendPendingNow(CRemoteHost& host);

// The line of a file that ends in a backslash followed by blanks or tabs (1-based), or 0 when
// there is none. False when the file cannot be read.
bool FindBackslashSpaceLine(const QString& path, long* line, QString* error);
