#pragma once

#include <QByteArray>
#include <QString>

// How a local text file was written, so that an edit saves it back the same way: its line end
// (CR LF when its first line ends so, else LF) and its encoding (UTF-8, or Latin-1 when the
// bytes are not UTF-8). Files for the host are always written with LF.
struct TextFileCodec
{
    QString lineEnd = QStringLiteral("\n");
    bool latin1 = false;

    // The text with LF line ends; records how the bytes were written.
    QString Decode(const QByteArray& bytes);
    QByteArray Encode(QString text, bool forHost) const;
    bool UsesCrLf() const { return lineEnd == QLatin1String("\r\n"); }

    // .procmailrc, .forward, .qmail and recipe files: procmail reads them, so LF only.
    static bool IsFileForHost(const QString& path);
};
