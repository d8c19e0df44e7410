#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// The recipe file and the .procmailrc tried with the local procmail before they go up: a canary
// message runs through them, and what procmail complains about (a missing action, skipped flags
// or lines, a brace it did not expect, an include it cannot read, a bad regular expression) stops
// the upload unless the user answers "Upload anyway". A brace left open, which procmail passes in silence
// although it swallows every recipe after it, counts as a complaint too.
namespace UploadPreflight {

struct Finding
{
    QString complaint; // procmail's words
    int line = 0; // 1-based line of the file it concerns; 0 when that cannot be told
    QByteArray lineText;
};

// The message run through the file: its header matches as few recipes as a message can, so
// that procmail reads on as far as it can.
QByteArray CanaryMessage();

// Runs the canary through `recipeText`; `findings` in the order procmail met them. False when the
// run itself failed (`error` says why).
bool Check(const QByteArray& recipeText, QList<Finding>* findings, QString* error, int timeoutMs = 5000);

// Runs the canary through `procmailrcText`, which includes `recipeText` as the recipe file, as
// the host will; `findings` gets what the .procmailrc itself causes: the complaints of that run
// that a run of the recipe file alone does not give, with the .procmailrc's lines.
bool CheckProcmailrc(const QByteArray& procmailrcText, const QByteArray& recipeText, QList<Finding>* findings,
    QString* error, int timeoutMs = 5000);

// The line a complaint concerns, from the text it quotes or from the file's own structure.
int LineOf(const QString& complaint, const QByteArray& recipeText);

// The check before `pairs` (local path, remote name) are uploaded: the recipe file and the
// .procmailrc are tried. True when the upload may go on: nothing found, the user chose "Upload
// anyway", the check is switched off, or procmail is not installed here.
bool ConfirmUpload(const QList<QPair<QString, QString>>& pairs);

// Why the recipe file and the .procmailrc are not checked before upload, for the pending files
// dialog; empty when they are (or when the check is switched off).
QString Note();

} // namespace UploadPreflight
