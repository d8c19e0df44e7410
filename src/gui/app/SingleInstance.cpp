#include "gui/app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

QString SingleInstance::InstanceName(const QString& identity)
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = QString::number(getuid());
    user.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return (QStringLiteral("ZEPH USER ") + identity + user).toUpper();
}

QString SingleInstance::ServerName(const QString& instanceName)
{
    // The name may hold any character; a hash makes a safe file and socket name. The user id
    // keeps users apart even where the socket folder is shared.
    const QByteArray hash
        = QCryptographicHash::hash(instanceName.toUtf8(), QCryptographicHash::Sha1).toHex().left(24);
    return QStringLiteral("zeph-%1-%2").arg(getuid()).arg(QString::fromLatin1(hash));
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
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    m_lock = std::make_unique<QLockFile>(folder + QLatin1Char('/') + m_serverName + QStringLiteral(".lock"));
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
