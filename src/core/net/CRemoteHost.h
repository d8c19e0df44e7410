#pragma once

#include "core/net/CFtpClient.h"

#include <functional>

// The remote host of the current identity: Connect takes host, user, password, port and initial
// directory from the settings; uploads go through a temporary name and can be followed by a
// permission change.
class CRemoteHost : public CFtpClient
{
    Q_OBJECT
public:
    CRemoteHost() = default;

    bool Connect();
    bool Transfer(
        const QString& local, const QString& remote, bool download, bool binary, bool passive) override;

    // The passive flag callers pass to Transfer.
    static int PassiveSetting();
    // The upload's temporary name: the remote path up to its last "/", then "zeph.temp_".
    static QString TemporaryName(const QString& remote);

    // Asks for the password when none is saved; false when the user cancels.
    using PasswordAsker = std::function<bool(QString* password)>;
    static void SetPasswordAsker(PasswordAsker asker);

    // Asks whether to trust a certificate that does not verify for the host: `pinned` is empty
    // when the host has no pin yet, else the fingerprint the certificate no longer matches (the
    // user must replace the pin on purpose). True pins the certificate and connects again.
    using CertificateAsker = std::function<bool(
        const QString& server, const TlsCertificate& certificate, const QByteArray& pinned)>;
    static void SetCertificateAsker(CertificateAsker asker);
    // The message for a certificate that was refused.
    static QString CertificateRefusal(
        const QString& server, const TlsCertificate& certificate, const QByteArray& pinned, QString* caption);

    // Connection values that replace the settings (the command line uses them). Unset values keep
    // the settings.
    struct Overrides
    {
        QString host;
        int port = 0;
        QString user;
        QString password;
        bool hasPassword = false;
        int tls = -1; // a CFtpSession::TlsMode; -1 keeps the setting
        QByteArray trust; // a fingerprint accepted besides the pinned one
    };
    void SetOverrides(const Overrides& overrides) { m_overrides = overrides; }
    // Whether Connect first writes the identity's records to the data file (on by default).
    void SetSaveBeforeConnect(bool save) { m_saveBeforeConnect = save; }

    // A value that feeds an FTP command must not hold a control character (see ProtocolText).
    static bool IsCommandSafe(const QString& value);
    // Tells the user about a value that is not.
    static void TellInvalidEntry();

private:
    Overrides m_overrides;
    bool m_saveBeforeConnect = true;
};
