#pragma once

#include <QByteArray>
#include <QString>

// The backup recipe, "ZEPH_Backup" in the recipe file: it saves a copy of each matching message
// into the mail directory's "backup" folder and then deletes all but the newest N copies; and the
// temporary recipe that re-sends the saved copies through procmail.
namespace BackupRecipe {

constexpr int SelectionCount = 5;
constexpr int AllMessages = 4;

QByteArray Name();
// The drop-down text of a selection, with the address.
QString SelectionText(int index, const QString& address);

// The whole block for the recipe file: markers, comment and procmail text. The address stands in
// the condition as a regular expression that matches exactly that text.
QByteArray BuildBlock(int selection, int count, const QByteArray& prefix, const QByteArray& address);

// The temporary recipe for retrieval: on a message from `address` every saved copy (at most 500)
// goes through procmail again with an X-Loop line, one file at a time, so that a body line that
// begins with "From " cannot split a copy in two; with `toDefault` the copies go straight to the
// default mailbox.
QByteArray BuildRetrievalRecipe(
    const QByteArray& address, const QByteArray& backupDir, const QByteArray& prefix, bool toDefault);

// The loop marker of the retrieval recipe.
QByteArray LoopMarker();

// The backup directory on the host: "Setup"/"MailDir" followed by "/backup".
QByteArray BackupDir(const QString& mailDir);

// MSGPREFIX stands unquoted in shell commands: only letters, digits and . _ + - are taken.
bool IsValidPrefix(const QString& prefix);
QString InvalidPrefixText();

} // namespace BackupRecipe
