#include "core/net/SavedPassword.h"

#include "core/common/Prompt.h"
#include "core/settings/CAppState.h"
#include "core/settings/CRegistry.h"
#include "core/settings/CRegistryCipher.h"
#include "core/settings/ProtectedKeys.h"

#include <QSet>

namespace {

void tellKeychainProblem(const QString& text)
{
    Prompt::Tell(text, QStringLiteral("Desktop keychain"), Prompt::Warning);
}

// For what happens on its own (reading, moving at start-up): told once per run, not at every
// connection.
void tellKeychainProblemOnce(const QString& text)
{
    static QSet<QString> told;
    if (told.contains(text))
        return;
    told.insert(text);
    tellKeychainProblem(text);
}

QString settingsKeyPath()
{
    return CRegistry::KeyPathOf(CAppState::Instance().IdentityName(), QStringLiteral("Settings"));
}

} // namespace

SavedPassword SavedPassword::Ftp()
{
    return SavedPassword("Password", Keychain::Purpose::Ftp);
}

SavedPassword SavedPassword::Smtp()
{
    return SavedPassword("Smtp Password", Keychain::Purpose::Smtp);
}

// "HKEY_CURRENT_USER\Software\Talvenor\ZEPH\<identity>\Settings\<value name>"
QString SavedPassword::valuePath() const
{
    return QStringLiteral("HKEY_CURRENT_USER\\") + settingsKeyPath() + QLatin1Char('\\')
        + QLatin1String(m_valueName);
}

Keychain SavedPassword::keychain() const
{
    return Keychain(CAppState::Instance().IdentityName(), m_purpose);
}

bool SavedPassword::readProtected(QString* password) const
{
    CRegistryCipher cipher;
    QByteArray text;
    if (!cipher.SetKey(PasswordKey()) || !cipher.ReadValue(&text, valuePath()))
        return false;
    *password = QString::fromUtf8(text);
    return true;
}

bool SavedPassword::writeProtected(const QString& password, QString* error) const
{
    CRegistryCipher cipher;
    if (cipher.SetKey(PasswordKey()) && cipher.WriteValue(password.toUtf8(), valuePath()))
        return true;
    if (error)
        *error = cipher.GetErrorText();
    return false;
}

// True when no protected value is left, also when there was none.
bool SavedPassword::deleteProtected() const
{
    QByteArray value;
    if (!CRegistry::ReadBinary(settingsKeyPath(), QLatin1String(m_valueName), &value))
        return true;
    CRegistryCipher cipher;
    return cipher.DeleteValue(valuePath());
}

bool SavedPassword::loadProtected(QString* password, QString* keptReason) const
{
    if (!readProtected(password))
        return false;
    QString error;
    // An empty value stands for a password forgotten while no keychain ran (see Delete).
    const bool forgotten = password->isEmpty();
    switch (forgotten ? keychain().Remove(&error) : keychain().Write(*password, &error)) {
    case Keychain::Status::Done:
    case Keychain::Status::NotFound:
        // Only now that the keychain holds it (or forgot it) may the registry file lose it.
        if (!deleteProtected()) {
            error = QStringLiteral("it could not be removed from the settings file %1")
                        .arg(CRegistry::FilePath());
            tellKeychainProblemOnce(
                QStringLiteral("The desktop keychain took the saved password, but %1.").arg(error));
        }
        break;
    case Keychain::Status::Failed:
        tellKeychainProblemOnce(forgotten
                ? QStringLiteral(
                    "The forgotten password could not be removed from the desktop keychain (%1).")
                      .arg(error)
                : QStringLiteral("The saved password could not be moved into the desktop keychain (%1).  It "
                                 "stays in the settings file.")
                      .arg(error));
        break;
    case Keychain::Status::Unavailable:
        break;
    }
    if (keptReason)
        *keptReason = error;
    return true;
}

QString SavedPassword::Load() const
{
    QString password;
    if (loadProtected(&password))
        return password;
    QString error;
    if (keychain().Read(&password, &error) == Keychain::Status::Failed)
        tellKeychainProblemOnce(
            QStringLiteral("The saved password could not be read from the desktop keychain (%1).")
                .arg(error));
    return password;
}

bool SavedPassword::Save(const QString& password, QString* error) const
{
    QString keychainError;
    const Keychain::Status status = keychain().Write(password, &keychainError);
    // An older protected copy would otherwise count as the newer one at the next start; one that
    // cannot be removed gets the new password, so that both agree.
    if (status == Keychain::Status::Done && deleteProtected())
        return true;
    if (!writeProtected(password, error))
        return false;
    if (status == Keychain::Status::Failed)
        tellKeychainProblem(QStringLiteral("The password could not be stored in the desktop keychain (%1).  "
                                           "It is kept as a protected value in the settings file instead.")
                                .arg(keychainError));
    return true;
}

void SavedPassword::Delete() const
{
    QString error;
    const Keychain::Status status = keychain().Remove(&error);
    if (status == Keychain::Status::Failed)
        tellKeychainProblem(
            QStringLiteral("The saved password could not be removed from the desktop keychain (%1).")
                .arg(error));
    if (status == Keychain::Status::Done || status == Keychain::Status::NotFound) {
        deleteProtected();
        return;
    }
    // The keychain may still hold the password: an empty protected value marks it forgotten, so
    // that it is neither used nor moved back, until a keychain can remove it.
    if (!writeProtected(QString(), &error))
        tellKeychainProblem(QStringLiteral("The saved password may still be in the desktop keychain, and the "
                                           "settings file could not record that it is forgotten (%1).")
                                .arg(error));
}

void SavedPassword::MoveIntoKeychain()
{
    if (!Keychain::IsReachable())
        return;
    QString unused;
    Ftp().loadProtected(&unused);
    Smtp().loadProtected(&unused);
}

QString SavedPassword::StoreInUse()
{
    QString reason;
    if (Keychain::IsReachable(&reason)) {
        QString password;
        // An FTP password still in the registry file after a move was tried: that is its store.
        const bool kept = Ftp().loadProtected(&password, &reason) && !reason.isEmpty();
        if (!kept) {
            const Keychain::Status status = Ftp().keychain().Read(&password, &reason);
            if (status == Keychain::Status::Done || status == Keychain::Status::NotFound)
                return QStringLiteral("Password store: the desktop keychain");
        }
    }
    return QStringLiteral("Password store: a protected value in the settings file (%1)").arg(reason);
}
