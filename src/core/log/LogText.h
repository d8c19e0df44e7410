#pragma once

#include <QByteArrayView>
#include <QString>

// Byte helpers of the log viewer. Log fields are raw header bytes: shown as UTF-8 when they are
// valid UTF-8 and as Latin-1 otherwise, and compared without regard to case by folding ASCII
// letters only, so that every comparison is a fixed mapping of the bytes (a strict ordering).
namespace LogText {

bool IsAscii(QByteArrayView bytes);
bool IsValidUtf8(QByteArrayView bytes);
// The field as display text.
QString Decode(QByteArrayView bytes);
// The bytes to look for in a field that is decoded like `field`: UTF-8 of `text` for a field
// that is valid UTF-8, else its Latin-1 form; false when the text cannot occur in such a field.
bool EncodeLike(QByteArrayView field, const QString& text, QByteArray* bytes);

inline unsigned char Fold(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}
QByteArray Folded(QByteArrayView bytes);
// Index of `needle` in `haystack`, -1 when absent; the Folded variant expects a folded needle.
qsizetype IndexOf(QByteArrayView haystack, QByteArrayView needle);
qsizetype IndexOfFolded(QByteArrayView haystack, QByteArrayView foldedNeedle);

} // namespace LogText
