#include "core/net/CRemoteHost.h"

#include "core/common/Prompt.h"
#include "core/net/CFtpSession.h"
#include "core/net/CTimedSocket.h"
#include "core/net/FtpPassword.h"
#include "core/net/ProtocolText.h"
#include "core/settings/CAppState.h"
#include "core/settings/Profile.h"
#include "core/workspace/Workspace.h"

namespace {

CRemoteHost::PasswordAsker& passwordAsker()
{
    static CRemoteHost::PasswordAsker asker;
    return asker;
}

CRemoteHost::CertificateAsker& certificateAsker()
{
    static CRemoteHost::CertificateAsker asker;
    return asker;
}

} // namespace

void CRemoteHost::SetCertificateAsker(CertificateAsker asker)
{
    certificateAsker() = std::move(asker);
}

void CRemoteHost::SetPasswordAsker(PasswordAsker asker)
{
    passwordAsker() = std::move(asker);
}

int CRemoteHost::PassiveSetting()
{
    return GetSetting(Settings::PasvMode);
}

QString CRemoteHost::TemporaryName(const QString& remote)
{
    return remote.left(remote.lastIndexOf(QLatin1Char('/')) + 1) + QStringLiteral("zeph.temp_");
}

bool CRemoteHost::IsCommandSafe(const QString& value)
{
    return ProtocolText::IsCommandText(value.toUtf8());
}

void CRemoteHost::TellInvalidEntry()
{
    Prompt::Tell(QStringLiteral("The entry must not contain a line break or a NUL character."),
        QStringLiteral("Invalid entry"), Prompt::Information);
}

bool CRemoteHost::Connect()
{
    if (IsConnected())
        return true;
    if (m_saveBeforeConnect && CAppState::Instance().DataLoaded())
        CAppState::Instance().SaveIdentityData();
    const QString host = !m_overrides.host.isEmpty() ? m_overrides.host : GetSettingString(Settings::Host);
    const QString user
        = !m_overrides.user.isEmpty() ? m_overrides.user : GetSettingString(Settings::UserName);
    const int port = m_overrides.port > 0 ? m_overrides.port : GetSetting(Settings::Port);
    const QString initialDir = GetSettingString(Settings::InitialDir);
    if (host.isEmpty()) {
        setResult(
            QStringLiteral("No FTP host name is set.  Enter the name of your ISP's FTP host on the FTP page "
                           "of the Settings."),
            QStringLiteral("No host name"));
        Prompt::Tell(ResultText(), ResultCaption(), Prompt::Warning);
        return false;
    }
    if (user.isEmpty()) {
        setResult(QStringLiteral("No FTP user name is set.  Enter your user name on the FTP page of the "
                                 "Settings."),
            QStringLiteral("No user name"));
        Prompt::Tell(ResultText(), ResultCaption(), Prompt::Warning);
        return false;
    }
    QString password = m_overrides.hasPassword ? m_overrides.password : FtpPassword::Load();
    if (password.isEmpty()) {
        if (!passwordAsker() || !passwordAsker()(&password) || password.isEmpty()) {
            setResult(QStringLiteral("No password was given."), QStringLiteral("Connect Failed"));
            return false;
        }
    }
    if (!IsCommandSafe(host) || !IsCommandSafe(user) || !IsCommandSafe(password)
        || !IsCommandSafe(initialDir)) {
        setResult(QStringLiteral("The entry must not contain a line break or a NUL character."),
            QStringLiteral("Invalid entry"));
        TellInvalidEntry();
        return false;
    }
    if (GetSetting(Settings::LogFtpSessions))
        SetLogFile(Workspace::GetDocumentFolder() + QStringLiteral("zeph.ftp.log.txt"));
    const int tls = m_overrides.tls >= 0 ? m_overrides.tls : GetSetting(Settings::FtpTls);
    const SettingRef pinSetting(Settings::TlsPin, TlsPinKey(QStringLiteral("ftp"), host));
    QByteArray pinned = GetSettingString(pinSetting).toLatin1();
    const QString server = QStringLiteral("%1 port %2").arg(host).arg(port);
    for (bool asked = false;; asked = true) {
        const QByteArray accepted = m_overrides.trust.isEmpty() ? pinned : m_overrides.trust;
        SetTls(tls, accepted);
        if (ConnectTo(host, user, password, port))
            break;
        const int status = LoginStatus();
        const TlsCertificate certificate = PeerCertificate();
        Disconnect();
        const bool untrusted
            = status == CTimedSocket::CertificateUntrusted || status == CTimedSocket::CertificateChanged;
        if (untrusted && !certificate.IsNull()) {
            QString caption;
            const QString text = certificate.RefusalText(
                server, status == CTimedSocket::CertificateChanged ? accepted : QByteArray(), &caption);
            setResult(text, caption);
            if (!asked && certificateAsker()) {
                // The question is the message: a "no" needs no second box.
                if (!certificateAsker()(server, certificate, accepted))
                    return false;
                pinned = certificate.fingerprint;
                SetSetting(pinSetting, QString::fromLatin1(pinned));
                if (m_saveBeforeConnect && CAppState::Instance().DataLoaded())
                    CAppState::Instance().SaveIdentityDataAndReport();
                continue;
            }
        }
        if (status == CFtpSession::TlsNotOffered)
            setResult(ResultText()
                    + QStringLiteral("\n\nIf this host offers no secure connection, choose another one under "
                                     "\"Secure connection\" on the FTP page of the Settings."),
                ResultCaption());
        ShowResult();
        return false;
    }
    if (!initialDir.isEmpty() && !Command(QStringLiteral("CWD ") + initialDir)) {
        const QString response = LastResponse();
        const bool canceled = WasCanceled();
        Disconnect();
        if (canceled) {
            ShowResult();
        } else {
            setResult(
                QStringLiteral("Error trying to change to remote directory %1.  The last response from the "
                               "remote host was:\n\n%2")
                    .arg(initialDir, response),
                QStringLiteral("Error"));
            Prompt::Tell(ResultText(), ResultCaption(), Prompt::Warning);
        }
        return false;
    }
    return true;
}

bool CRemoteHost::Transfer(
    const QString& local, const QString& remote, bool download, bool binary, bool passive)
{
    if (download)
        return CFtpClient::Transfer(local, remote, download, binary, passive);
    const bool chmod = GetSetting(Settings::ChmodOnUpload) != 0;
    const int permissions = GetSetting(Settings::OnUploadChmodPerms);
    if (GetSetting(Settings::UploadWithTempFile)) {
        // The target is replaced only by a complete file that already has its mode.
        const QString temporary = TemporaryName(remote);
        if (!CFtpClient::Transfer(local, temporary, false, binary, passive)) {
            if (IsConnected())
                sendQuietly(QStringLiteral("DELE ") + temporary);
            return false;
        }
        if (chmod && !Chmod(temporary, permissions)) {
            sendQuietly(QStringLiteral("DELE ") + temporary);
            return false;
        }
        if (!Rename(temporary, remote)) {
            sendQuietly(QStringLiteral("DELE ") + temporary);
            return false;
        }
    } else {
        if (!CFtpClient::Transfer(local, remote, false, binary, passive))
            return false;
        if (chmod && !Chmod(remote, permissions))
            return false;
    }
    setResult(QStringLiteral("%1 was successfully uploaded as %2").arg(local, remote),
        QStringLiteral("File Upload Successful"));
    return true;
}
