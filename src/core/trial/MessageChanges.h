#pragma once

#include <QByteArray>
#include <QStringList>

// What the recipes changed between the message given and one delivered copy of it: each header
// field added, removed or changed, and whether the body changed. An envelope "From " line, CR LF
// line ends, the ">From " quoting of an mbox folder and trailing blank lines are storage, not
// changes.
QStringList MessageChanges(const QByteArray& given, const QByteArray& delivered);
