#pragma once

#include "core/procmail/ReservedRecipe.h"
#include "core/procmail/VacationRecipe.h"

#include <QString>

#include <functional>

class CRemoteHost;

// What the vacation dialog does with the recipe file, the pending uploads and the host: the
// user's messages go through Prompt, so tests answer them in advance.
namespace VacationTask {

using Written = ReservedRecipe::Written;

// The remote path of the answered-address list: the remote ZEPH directory and its file name.
QString ReplyListRemotePath();

// The options from the settings and the chosen response file: selection, addresses, name,
// procmail version and the date window.
VacationRecipe::Options OptionsFromSettings(const QString& responseFile);

// Writes the recipe into the recipe file (replacing an earlier one) and tells the user. On
// success it stores the dialog's settings, queues the recipe file and the response file for
// upload and records the address list among the remote files. Recipe file errors have been
// shown already when Failed comes back; nothing is stored or queued then.
using MarkForUpload = std::function<void(const QString& localPath, const QString& remotePath)>;
Written AddRecipe(const QString& recipeFile, const QString& responseFile,
    const VacationRecipe::Options& options, const MarkForUpload& markForUpload);

// Removes the recipe after the user confirmed: true when it was found and deleted (the recipe
// file is then queued for upload); a missing recipe is reported to the user.
bool DeleteRecipe(const QString& recipeFile, const MarkForUpload& markForUpload);

// Downloads the address list; the connection's error is shown on failure.
bool ReadReplyList(CRemoteHost& host, QByteArray* text);
// Deletes the address list on the host and shows the server's answer or its error.
bool DeleteReplyList(CRemoteHost& host);

} // namespace VacationTask
