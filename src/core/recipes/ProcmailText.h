#pragma once

#include <QByteArray>

// Quoting rules for values that go into generated procmail text.
namespace ProcmailText {

// A `\` before each of \ ^ $ * + ? ( ) [ ] { } | so that the value matches itself in a procmail
// condition. Every other character, the point included, stays.
QByteArray RegexEscape(const QByteArray& text);

// A `\` before each \, $ and ` so that a value inside a double-quoted procmail or shell word is
// neither expanded nor run.
QByteArray EscapeInDoubleQuotes(const QByteArray& text);

// Multi-line wizard text with CR LF between lines: lone CR and lone LF become CR LF, lines of
// blanks and tabs become empty, runs of empty lines collapse, and one line break at each end goes.
QByteArray NormaliseLines(const QByteArray& text);

} // namespace ProcmailText
