#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

// The vacation recipe, "ZEPH_Vacation" in the recipe file: procmail answers each sender once with
// the uploaded response text and keeps the answered addresses in a list beside it.
namespace VacationRecipe {

struct Options
{
    int selection = 0; // the same five entries as the backup selection
    QByteArray address; // the user's address in the condition
    QByteArray returnAddress; // sender of the replies and the loop marker
    QByteArray name; // the user's name in the replies' From:
    QByteArray localPath; // the response file as the comment names it
    QByteArray remoteName; // the response file in the remote ZEPH directory
    bool oldProcmail = false; // earlier than 3.14: formail needs -rt
    // Optional, both inclusive, compared by procmail with the host's date: outside the window no
    // reply is sent and no sender is recorded.
    QDate firstDay;
    QDate lastDay;
};

QByteArray Name();
QByteArray ReplyListName(); // "zeph_vacation_reply.txt"

// The whole block for the recipe file.
QByteArray BuildBlock(const Options& options);

// The response file's name on the host: file name and extension of the local path, with the
// characters a shell treats specially replaced by '_'.
QString RemoteName(const QString& localPath);

// The sender and loop marker of the replies: the return address without angle brackets, or the
// placeholder address when that leaves nothing.
QByteArray ReplyAddress(const Options& options);

// What a sender gets: the headers the recipe sets (formail adds the sender's own address and
// subject) and the response text.
QByteArray PreviewReply(const Options& options, const QByteArray& responseText);

// An empty string when the window is usable, else the message to show.
QString CheckDates(const QDate& firstDay, const QDate& lastDay);

} // namespace VacationRecipe
