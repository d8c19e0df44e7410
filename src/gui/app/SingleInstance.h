#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

// One running instance per identity and user: a lock file says who runs, a local socket lets a
// second start ask the first to show itself.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // "ZEPH USER " + identity + user name, upper case.
    static QString InstanceName(const QString& identity);

    // True when a running instance serves the name (without asking it to do anything).
    static bool IsServed(const QString& instanceName);

    explicit SingleInstance(const QString& instanceName, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process now serves the name. False when another process does; that one has
    // then been asked to bring its window to the front.
    bool Acquire();

signals:
    void ActivationRequested();

private:
    static QString ServerName(const QString& instanceName);

    QString m_name;
    QString m_serverName;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer m_server;
};
