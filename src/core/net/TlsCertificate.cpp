#include "core/net/TlsCertificate.h"

QString TlsCertificate::DisplayFingerprint(const QByteArray& fingerprint)
{
    QString text;
    for (qsizetype i = 0; i < fingerprint.size(); i += 2) {
        if (i > 0)
            text += QLatin1Char(':');
        text += QString::fromLatin1(fingerprint.mid(i, 2).toUpper());
    }
    return text;
}

QByteArray TlsCertificate::NormalizeFingerprint(const QString& text)
{
    QByteArray digits;
    for (const QChar c : text) {
        if (c == QLatin1Char(':'))
            continue;
        const char low = c.toLower().toLatin1();
        if (!((low >= '0' && low <= '9') || (low >= 'a' && low <= 'f')))
            return QByteArray();
        digits += low;
    }
    return digits.size() == 64 ? digits : QByteArray();
}

QString TlsPinKey(const QString& service, const QString& host)
{
    return service + QLatin1Char(' ') + host.toLower();
}
