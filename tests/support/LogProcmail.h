#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Real procmail for the log tests: a throwaway system user whose home is a temporary folder;
// messages are delivered by procmail running as that user with the home's .procmailrc. Needs
// root (to add and remove the user); Ready() is false with the reason in Error() otherwise.
class LogProcmail
{
public:
    LogProcmail();
    ~LogProcmail();
    LogProcmail(const LogProcmail&) = delete;
    LogProcmail& operator=(const LogProcmail&) = delete;

    bool Ready() const { return m_ready; }
    QString Error() const { return m_error; }
    QString Home() const { return m_home.path(); }

    // Writes a file below the home, owned by the sandbox user.
    bool WriteFile(const QString& relativePath, const QByteArray& content);
    QByteArray ReadFile(const QString& relativePath) const;
    // Runs procmail with envelope sender `sender` on `message`; false with Error() on failure.
    bool Deliver(const QByteArray& sender, const QByteArray& message);

private:
    bool Fail(const QString& error);

    QTemporaryDir m_home;
    QString m_user;
    uint m_uid = 0;
    uint m_gid = 0;
    bool m_userAdded = false;
    bool m_ready = false;
    QString m_error;
};
