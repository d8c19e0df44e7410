#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A login user made for one test and removed after it; the tests that need one run as root.
// Adding and removing users takes the password-file lock, which tests running side by side
// contend for, so every such step is tried again for a while before it counts as failed.
class ThrowawayUser
{
public:
    ThrowawayUser() = default;
    ~ThrowawayUser() { Remove(); }
    ThrowawayUser(const ThrowawayUser&) = delete;
    ThrowawayUser& operator=(const ThrowawayUser&) = delete;

    // A new user named prefix + a random number, with the given home (not created) and shell;
    // with ownGroup a group of the same name is made and removed with it.
    bool Create(
        const QString& prefix, const QString& home, const QString& shell, bool ownGroup, QString* error);
    bool SetPassword(const QString& password, QString* error);
    void Remove();

    QString Name() const { return m_name; }
    bool Exists() const { return m_created; }

    // Runs an administration tool once; false with its output as the error.
    static bool RunTool(
        const QString& program, const QStringList& args, const QByteArray& input, QString* error);

private:
    QString m_name;
    bool m_created = false;
    bool m_ownGroup = false;
};
