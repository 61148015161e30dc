#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
// A running launch answers at once; one that does not is as good as none.
constexpr int kHandOverMs = 2000;
} // namespace

CSingleInstance::CSingleInstance(const QString& appDir, QObject* parent) : QObject(parent)
{
    const QByteArray folder = QDir(appDir).absolutePath().toUtf8();
    const QByteArray hash = QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(16);
    m_name = u"talvoria-%1-%2"_s.arg(getuid()).arg(QString::fromLatin1(hash));
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server.nextPendingConnection())
            Receive(socket);
    });
}

bool CSingleInstance::HandOver(const QString& address)
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kHandOverMs)) return false;
    socket.write(address.toUtf8() + '\n');
    const bool sent = socket.waitForBytesWritten(kHandOverMs);
    socket.disconnectFromServer();
    return sent;
}

bool CSingleInstance::Listen()
{
    if (m_server.listen(m_name)) return true;
    QLocalServer::removeServer(m_name);
    return m_server.listen(m_name);
}

void CSingleInstance::Receive(QLocalSocket* socket)
{
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    // The line may be there already: a later launch writes and goes.
    const auto take = [this, socket] {
        if (!socket->canReadLine()) return;
        Q_EMIT LaterLaunch(QString::fromUtf8(socket->readLine()).trimmed());
        socket->disconnectFromServer();
    };
    connect(socket, &QLocalSocket::readyRead, this, take);
    take();
}
