#include "gui/app/SingleInstance.h"

#include "core/workspace/InstanceLock.h"

#include <QLocalSocket>

QString SingleInstance::InstanceName(const QString& identity)
{
    return InstanceLock::InstanceName(identity);
}

QString SingleInstance::ServerName(const QString& instanceName)
{
    return InstanceLock::ServerName(instanceName);
}

bool SingleInstance::IsServed(const QString& instanceName)
{
    QLocalSocket socket;
    socket.connectToServer(ServerName(instanceName));
    const bool served = socket.waitForConnected(1000);
    socket.abort();
    return served;
}

SingleInstance::SingleInstance(const QString& instanceName, QObject* parent)
    : QObject(parent)
    , m_name(instanceName)
    , m_serverName(ServerName(instanceName))
{
    m_lock = std::make_unique<QLockFile>(InstanceLock::LockFilePath(instanceName));
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains("raise"))
                    emit ActivationRequested();
            });
        }
    });
}

SingleInstance::~SingleInstance()
{
    m_server.close();
}

bool SingleInstance::Acquire()
{
    // A lock left by a process that no longer runs is taken over by tryLock itself.
    if (m_lock->tryLock(0)) {
        QLocalServer::removeServer(m_serverName);
        m_server.setSocketOptions(QLocalServer::UserAccessOption);
        m_server.listen(m_serverName);
        return true;
    }
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (socket.waitForConnected(2000)) {
        socket.write("raise\n");
        socket.waitForBytesWritten(2000);
        socket.disconnectFromServer();
    }
    return false;
}
