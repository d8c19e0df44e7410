#pragma once

#include <QByteArray>

// Quoting rules for values that go into generated procmail text.
namespace ProcmailText {

// A `\` before each of \ ^ $ * + ? ( ) [ ] { } | so that the value matches itself in a procmail
// condition. Every other character, the point included, stays.
QByteArray RegexEscape(const QByteArray& text);

// A `\` before each \, ", $ and ` so that a value inside a double-quoted procmail or shell word
// is neither expanded nor run and cannot end the word.
QByteArray EscapeInDoubleQuotes(const QByteArray& text);

// A literal text for a double-quoted procmail or shell word (a formail argument). The wizard asks
// users to write \", \\, \$ and \` themselves, so such a pair is kept as it is; every other ",
// $ and ` gets a `\` in front, and a lone backslash at the end is doubled so that it cannot
// escape the closing quote. A text without these characters is unchanged.
QByteArray QuoteInDoubleQuotes(const QByteArray& text);

// A sed regular expression for a single-quoted sed script whose commands use `/` as delimiter
// ('/pattern/q', 's/pattern//'). The text stays a pattern: every escape pair is kept, except that
// \' becomes a plain quote. A lone / gets a `\` in front, a quote is written as '\'' (close,
// escaped quote, reopen), and a lone backslash at the end is doubled. A text without these
// characters is unchanged.
QByteArray QuoteSedPattern(const QByteArray& text);

// Multi-line wizard text with CR LF between lines: lone CR and lone LF become CR LF, lines of
// blanks and tabs become empty, runs of empty lines collapse, and one line break at each end goes.
QByteArray NormaliseLines(const QByteArray& text);

// Items with CR LF between them (as NormaliseLines leaves them) on lines of about `width` bytes:
// the items of one line are joined by `separator`; a line that goes on ends in `separator` and a
// backslash, and the next one begins with `indent`. An item longer than the width is never cut.
QByteArray WrapList(
    const QByteArray& items, qsizetype width, const QByteArray& separator, const QByteArray& indent);

} // namespace ProcmailText
