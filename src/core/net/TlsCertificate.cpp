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

QString TlsCertificate::RefusalText(const QString& server, const QByteArray& pinned, QString* caption) const
{
    const QString details = QStringLiteral("Subject: %1\nIssuer: %2\nValid from %3 to %4\n")
                                .arg(subject, issuer, notBefore, notAfter);
    if (!pinned.isEmpty()) {
        *caption = QStringLiteral("Certificate Changed");
        return QStringLiteral("WARNING: the certificate of %1 is not the one you trusted.  Someone may be "
                              "posing as the server; nothing was sent to it.\n\n%2"
                              "Trusted SHA-256 fingerprint:   %3\nPresented SHA-256 fingerprint: %4")
            .arg(server, details, TlsCertificate::DisplayFingerprint(pinned), DisplayFingerprint());
    }
    *caption = QStringLiteral("Certificate Not Trusted");
    return QStringLiteral("The certificate of %1 is not trusted (%2); nothing was sent to the server.\n\n"
                          "%3SHA-256 fingerprint: %4")
        .arg(server, verifyError, details, DisplayFingerprint());
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
