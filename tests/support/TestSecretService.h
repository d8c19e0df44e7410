#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A Secret Service of the test's own on a private session bus (dbus-run-session), its keyrings in a
// temporary folder, stopped by its process id. The test process never connects to that bus itself:
// GLib ends a program whose session bus goes away, so the bus is only for the child processes the
// test starts with ClientEnvironment().
class TestSecretService
{
public:
    enum class Kind {
        Unlocked, // gnome-keyring-daemon with an unlocked login keyring
        Locked, // gnome-keyring-daemon whose keyring nobody unlocked: writes are refused
        Silent, // a stand-in that owns the service's name and never answers
        Absent, // a session bus that provides no Secret Service, as on a desktop without one
    };

    explicit TestSecretService(Kind kind);
    ~TestSecretService();
    TestSecretService(const TestSecretService&) = delete;
    TestSecretService& operator=(const TestSecretService&) = delete;

    // False with a message naming the missing package or what went wrong.
    bool Start(QString* error);
    void Stop();

    // `base` with this bus as the session bus and no display, so no unlock prompt can appear.
    QProcessEnvironment ClientEnvironment(const QProcessEnvironment& base) const;
    // What secret-tool, a client of the service independent of ZEPH, finds for the attributes
    // ("name", "value", ...); false when it finds nothing.
    bool Lookup(const QStringList& attributes, QByteArray* secret) const;
    bool Store(const QStringList& attributes, const QByteArray& secret) const;

private:
    bool startService(const QStringList& service, const QByteArray& input, QString* error,
        const QStringList& busOptions = {});
    bool runSecretTool(const QStringList& args, const QByteArray& input, QByteArray* output) const;
    bool nameHasOwner() const;

    Kind m_kind;
    QTemporaryDir m_dir;
    QProcess m_process;
    qint64 m_servicePid = 0;
    QString m_address;
};
