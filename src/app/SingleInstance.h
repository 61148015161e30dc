#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

class QLocalSocket;

// One window per user and application folder: two windows would both write soft.dat. A later
// launch hands its address to the running one and ends; the running one listens for them.
class CSingleInstance : public QObject {
    Q_OBJECT
public:
    explicit CSingleInstance(const QString& appDir, QObject* parent = nullptr);

    // True when a running launch took the address (which may be empty).
    bool HandOver(const QString& address);
    // Becomes the launch that later ones find. Called when HandOver found none, so a socket still
    // there was left by a launch that crashed and is removed.
    bool Listen();
    const QString& ServerName() const { return m_name; }

Q_SIGNALS:
    void LaterLaunch(const QString& address);

private:
    void Receive(QLocalSocket* socket);

    QString m_name;
    QLocalServer m_server;
};
