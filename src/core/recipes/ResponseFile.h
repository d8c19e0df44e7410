#pragma once

#include <QString>

// The local text file that a reply action (or the vacation recipe) sends back: the checks and the
// line wrap offered before it goes to the host.
namespace ResponseFile {

// Lines longer than this are hard to read in a mail reader; the wrap cuts them near WrapWidth.
inline constexpr int LongLineLimit = 80;
inline constexpr int WrapWidth = 72;

// True when a line of the file is longer than `limit` characters; a file that cannot be read
// counts as having none.
bool HasLongLines(const QString& path, int limit = LongLineLimit);

// Every line longer than `width` cut at the last blank within its first `width` characters (the
// blank is dropped), or at `width` when there is none, until no part is longer. `text` has LF line
// ends; every line of the result ends with LF.
QString Wrap(const QString& text, int width = WrapWidth);

// Wraps the file in place, keeping its encoding and its line ends. The file is replaced in one
// step: on failure it is unchanged and *error says why.
bool WrapFile(const QString& path, QString* error, int width = WrapWidth);

// The checks before a response file goes into a recipe, each told or asked through Prompt: the
// file must exist, the user accepts the name it gets on the host when that differs, and is
// offered the wrap of long lines. False when the user should change the file name first.
bool ConfirmForUse(const QString& path);

} // namespace ResponseFile
