#pragma once

#include <QByteArray>

// Whether procmail text could run a program other than formail and $SENDMAIL, or write outside
// the folders of MAILDIR: a pipe to anything else, a redirection, a command in backquotes, an
// exit-code condition, an absolute path. Without a private namespace such text must not run.
bool RunsPrograms(const QByteArray& text);
