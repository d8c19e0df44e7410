#include "core/common/TextFileCodec.h"

#include <QFileInfo>
#include <QStringDecoder>

QString TextFileCodec::Decode(const QByteArray& bytes)
{
    const qsizetype firstLineEnd = bytes.indexOf('\n');
    lineEnd = (firstLineEnd > 0 && bytes.at(firstLineEnd - 1) == '\r') ? QStringLiteral("\r\n")
                                                                       : QStringLiteral("\n");
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    latin1 = decoder.hasError();
    if (latin1)
        text = QString::fromLatin1(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

QByteArray TextFileCodec::Encode(QString text, bool forHost) const
{
    if (!forHost && lineEnd != QLatin1String("\n"))
        text.replace(QLatin1Char('\n'), lineEnd);
    return latin1 ? text.toLatin1() : text.toUtf8();
}

bool TextFileCodec::IsFileForHost(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    return name == QLatin1String(".procmailrc") || name == QLatin1String(".forward")
        || name == QLatin1String(".qmail") || name.endsWith(QLatin1String(".recipes"));
}
