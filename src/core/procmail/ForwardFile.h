#pragma once

#include <QString>
#include <QStringList>

// The local .forward or .qmail: the one line that makes the host's mail system start procmail.
namespace ForwardFile {

enum Kind { Forward = 0, Qmail = 1, Neither = 2, NotChosen = 3 };

// The stored choice; a value outside 0..3 reads as not chosen.
Kind StoredKind();

QString LocalPath(Kind kind); // the Document Folder's .forward or .qmail
QString RemoteName(Kind kind); // ".forward" or ".qmail"

// The first line that is not empty and does not begin with '#'; a missing file gives "".
// False with *error when the file exists but cannot be read.
bool ReadLine(const QString& path, QString* line, QString* error);
// Replaces the file by `line` alone, without a line end. A line holding a line break (which
// would add a delivery of its own) or a NUL is refused.
bool WriteLine(const QString& path, const QString& line, QString* error);

// The examples offered in the drop-down lists, `user` filled in ("username" when empty).
QStringList ForwardExamples(const QString& user);
QStringList QmailExamples();

} // namespace ForwardFile
