#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <limits>

// Text on the wire of a line-based protocol: what may go out inside one command line, and how
// the bytes that come in become lines. The FTP session uses both; a mail client can use them
// the same way.
namespace ProtocolText {

// Whether `text` may go out in one command line: at most `maxLength` bytes and no control
// character. CR and LF would end the line early and run the rest as a second command, NUL ends
// the text for many servers, and the other controls (tab and DEL included) are no part of any
// name or argument we send. 255 is refused too: FTP servers read it as the Telnet IAC that starts
// a Telnet command, and UTF-8 text never holds it.
bool IsCommandText(QByteArrayView text, qsizetype maxLength = std::numeric_limits<qsizetype>::max());

// Splits received bytes into lines at each LF, one block at a time, as they arrive. The lines
// that `block` completes are appended to `lines` without their LF; every other byte (CR and NUL
// included) stays. `partial` carries the unfinished line from one block to the next. A line keeps
// its first `maxLine` bytes; the rest of a longer line is dropped up to its LF, so a line without
// end never grows.
void SplitLines(QByteArrayView block, QByteArray* partial, qsizetype maxLine, QList<QByteArray>* lines);

// Text from a remote host as it may be shown to the user: every control character but the line
// feed (C0, DEL, and C1 in its UTF-8 form, which terminals also obey) and the backslash become
// \ooo, the octal of each byte, so a hostile server can send no escape sequence to a terminal,
// hide nothing in a message box, and the text stays unambiguous.
QByteArray Printable(QByteArrayView bytes);

} // namespace ProtocolText
