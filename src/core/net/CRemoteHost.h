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

    // Connection values that replace the settings (the command line uses them). Unset values keep
    // the settings.
    struct Overrides
    {
        QString host;
        int port = 0;
        QString user;
        QString password;
        bool hasPassword = false;
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
