#pragma once

#include <QByteArray>
#include <QString>

// The message a dry run is given, from what the user has at hand: a composed one, pasted text, an
// .eml file or the first message of an mbox file. Every result has LF line ends and a header; a
// text without a header line is refused, so that a wrong file never runs as an empty message.
namespace SampleMessage {

// A file larger than this is refused; for an mbox file it bounds the first message only.
constexpr qint64 MaxBytes = 32 * 1024 * 1024;

// From, To and Subject lines (a line break inside a field becomes a blank), an empty line, the body.
QByteArray Compose(const QString& from, const QString& to, const QString& subject, const QString& body);

// Pasted text or a file's bytes: CR LF and lone CR become LF. An mbox text (one that begins with a
// "From " line) gives its first message, its own "From " line kept as the envelope.
bool FromText(QByteArray text, QByteArray* message, QString* error);

// The same for a file; `error` names the file.
bool FromFile(const QString& path, QByteArray* message, QString* error);

// A message rebuilt from what a log entry holds: the envelope sender on its "From " line, the
// From, To and Subject lines, and a body of filler lines that brings it to `size` bytes (as far as
// the header allows, and at most MaxBytes), so that size conditions see what procmail saw.
QByteArray FromLogEntry(
    const QString& sender, const QString& from, const QString& to, const QString& subject, qint64 size);

} // namespace SampleMessage
