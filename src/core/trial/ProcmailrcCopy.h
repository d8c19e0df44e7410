#pragma once

#include <QByteArray>

// The user's .procmailrc as a dry run includes it: every line that assigns one of the variables
// the run itself sets (where mail is stored and logged, what is sent, which programs are found)
// becomes a comment, so that the run stays in its throwaway home and keeps its own log. Each
// line stays a line, so complaints keep their line numbers.
QByteArray ProcmailrcCopy(const QByteArray& procmailrc);
