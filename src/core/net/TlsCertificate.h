#pragma once

#include <QByteArray>
#include <QString>

// What the user is shown about a server's certificate, and what a pin is compared with. The
// fingerprint is the SHA-256 of the certificate's DER bytes as 64 lower-case hex digits.
struct TlsCertificate
{
    QString subject;
    QString issuer;
    QString notBefore; // "yyyy-MM-dd HH:mm:ss UTC"
    QString notAfter;
    QByteArray fingerprint;
    // Whether the certificate verified against the trusted authorities for the host name, and if
    // not, OpenSSL's reason.
    bool caValid = false;
    QString verifyError;

    bool IsNull() const { return fingerprint.isEmpty(); }
    // The fingerprint in pairs of upper-case hex digits joined by colons, as certificate viewers
    // show it.
    QString DisplayFingerprint() const { return DisplayFingerprint(fingerprint); }
    static QString DisplayFingerprint(const QByteArray& fingerprint);
    // The message for this certificate refused by `server`: not trusted, or, with the `pinned`
    // fingerprint it no longer matches, changed (the loud one); `caption` gets the title.
    QString RefusalText(const QString& server, const QByteArray& pinned, QString* caption) const;
    // The 64 lower-case hex digits of a fingerprint typed with or without colons, in any case;
    // empty for anything else.
    static QByteArray NormalizeFingerprint(const QString& text);
};

// The key of a pinned fingerprint in the identity's settings: the service ("ftp", "smtp", "pop")
// and the host in lower case. A pin belongs to the host, whatever port the service moves to.
QString TlsPinKey(const QString& service, const QString& host);
