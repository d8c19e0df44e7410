#include "SampleMessage.h"

#include "core/common/RegularFileCheck.h"

#include <QFile>

namespace {

QByteArray OneLine(const QString& text)
{
    QByteArray line = text.toUtf8();
    line.replace("\r\n", " ");
    line.replace('\r', ' ');
    line.replace('\n', ' ');
    return line.trimmed();
}

// "Name: value", the name printable and without blanks: what procmail's ^Name: conditions test.
bool IsHeaderLine(QByteArrayView line)
{
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return false;
    for (char c : line.first(colon))
        if (c <= ' ' || c > '~')
            return false;
    return true;
}

} // namespace

namespace SampleMessage {

QByteArray Compose(const QString& from, const QString& to, const QString& subject, const QString& body)
{
    QByteArray text = body.toUtf8();
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    if (!text.isEmpty() && !text.endsWith('\n'))
        text += '\n';
    return "From: " + OneLine(from) + "\nTo: " + OneLine(to) + "\nSubject: " + OneLine(subject) + "\n\n"
        + text;
}

bool FromText(QByteArray text, QByteArray* message, QString* error)
{
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    // Leading empty lines would end the header before it began.
    qsizetype start = 0;
    while (start < text.size() && text[start] == '\n')
        ++start;
    text.remove(0, start);
    qsizetype headerStart = 0;
    if (text.startsWith("From ")) {
        // The next "From " line after an empty line starts the second message of an mbox text.
        const qsizetype next = text.indexOf("\n\nFrom ");
        if (next >= 0)
            text.truncate(next + 1);
        headerStart = text.indexOf('\n') + 1;
        if (headerStart == 0)
            headerStart = text.size();
    }
    const qsizetype lineEnd = text.indexOf('\n', headerStart);
    const QByteArrayView firstLine
        = QByteArrayView(text).sliced(headerStart, (lineEnd < 0 ? text.size() : lineEnd) - headerStart);
    if (!IsHeaderLine(firstLine)) {
        *error = QStringLiteral("This is not a mail message: it does not begin with a header line such as "
                                "\"From: you@example.com\".");
        return false;
    }
    if (!text.endsWith('\n'))
        text += '\n';
    *message = text;
    return true;
}

bool FromFile(const QString& path, QByteArray* message, QString* error)
{
    if (!RegularFileCheck::CanRead(path, QStringLiteral("as a message"), error))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("The file %1 could not be opened: %2").arg(path, file.errorString());
        return false;
    }
    // Only the first message of an mbox file is needed: read up to the start of the second one.
    QByteArray text;
    bool mbox = false, blankBefore = false;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine(MaxBytes + 1);
        if (line.isEmpty() && file.error() != QFile::NoError) {
            *error = QStringLiteral("The file %1 could not be read: %2").arg(path, file.errorString());
            return false;
        }
        if (text.isEmpty() && line.startsWith("From "))
            mbox = true;
        else if (mbox && blankBefore && line.startsWith("From "))
            break;
        blankBefore = line == "\n" || line == "\r\n";
        text += line;
        if (text.size() > MaxBytes) {
            *error = QStringLiteral("The message in %1 is larger than %2 MB.").arg(path).arg(MaxBytes >> 20);
            return false;
        }
    }
    if (FromText(text, message, error))
        return true;
    *error = QStringLiteral("%1\n\nThe file was %2.").arg(*error, path);
    return false;
}

QByteArray FromLogEntry(
    const QString& sender, const QString& from, const QString& to, const QString& subject, qint64 size)
{
    QByteArray envelope = OneLine(sender);
    if (envelope.isEmpty() || envelope.contains(' '))
        envelope = "unknown@localhost";
    QByteArray message = "From " + envelope + " Thu Jan  1 00:00:00 1970\n";
    if (!from.trimmed().isEmpty())
        message += "From: " + OneLine(from) + '\n';
    if (!to.trimmed().isEmpty())
        message += "To: " + OneLine(to) + '\n';
    message += "Subject: " + OneLine(subject) + "\n\n";
    // The size procmail logs for an mbox folder counts the "From " line and the empty line it
    // writes after the message.
    qint64 missing = qMin(size, MaxBytes) - 1 - message.size();
    const QByteArray filler(71, 'x');
    while (missing > 0) {
        const qint64 take = qMin<qint64>(missing, filler.size() + 1);
        message += filler.first(take - 1) + '\n';
        missing -= take;
    }
    return message;
}

} // namespace SampleMessage
