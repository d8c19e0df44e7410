#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The text operations of the editor on plain text whose lines end in '\n' (the document's own
// line break; the file's line-end style is applied when it is saved).
namespace EditorTextOps {

// `atLineStart`: the selection starts at the start of the text or of a line.
QString Comment(const QString& selected, bool atLineStart, const QString& prefix);
QString Uncomment(const QString& selected, bool atLineStart, const QString& prefix);
// Breaks every line longer than `column` at its last blank within the first `column`
// characters (or hard at `column`); every line ends in '\n' afterwards.
QString HardWrap(const QString& text, int column);
// An empty comment string counts as "# ".
QString EffectiveCommentString(const QString& stored);

} // namespace EditorTextOps
