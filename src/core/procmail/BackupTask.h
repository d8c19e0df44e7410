#pragma once

#include "core/procmail/ReservedRecipe.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

class CTempRecipeTask;

// What the backup dialogs do with the recipe file, the settings and the host. Every message goes
// through Prompt, so tests answer them in advance.
namespace BackupTask {

// The gate of the listing, retrieval and deletion of saved copies: false, and the user told, until
// the Initial Setup Wizard has run.
bool CheckSetup();

using Written = ReservedRecipe::Written;
// Writes the recipe keeping `count` copies of the messages of `selection` into the recipe file
// (replacing an earlier one in place, else at the end) and tells the user. On success it stores
// both choices and queues the recipe file for upload. Failed when the count is not above zero or
// the stored MSGPREFIX is no plain word (the user was told), or the recipe file refused the
// change (its error was shown); nothing is stored or queued then.
Written AddRecipe(const QString& recipeFile, int selection, int count);

enum class Deleted { Failed, NotFound, Deleted };
// Removes the recipe (the caller has asked the user); a found recipe leaves the recipe file
// queued for upload, a missing one is reported.
Deleted DeleteRecipe(const QString& recipeFile);

// Modify MSGPREFIX: the warning and its question, true on Yes.
bool ConfirmPrefixChange();
// Stores a new MSGPREFIX and tells the user to renew the recipe. The value stands unquoted in
// shell commands on the host, so anything but a plain word is refused with the reason and
// nothing is stored.
bool SetPrefix(const QString& prefix);

// Retrieval through the temporary recipe for the mail directory's backup folder and MSGPREFIX:
// checks the address, runs the recipe and, when the user
// did not confirm the copies, says what may have gone wrong. `waitForMail` is the send-message
// dialog: true when the user received the copies. True when the retrieval dialog may close.
using WaitForMail = std::function<bool(const QStringList& downloads)>;
bool Retrieve(
    CTempRecipeTask& task, const QByteArray& address, bool toDefault, const WaitForMail& waitForMail);

} // namespace BackupTask
