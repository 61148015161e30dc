#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <optional>

class FakeService;

// Points this process's http_proxy at the fake service, as a user's proxy setting would, and
// clears the variables that could steer requests elsewhere (no_proxy, HTTP_PROXY, ...). libcurl
// then sends every http:// request, real host name and all, to the service. Restores the
// previous values when destroyed.
class ScopedProxy {
public:
    explicit ScopedProxy(const FakeService& service);
    ~ScopedProxy();
    ScopedProxy(const ScopedProxy&) = delete;
    ScopedProxy& operator=(const ScopedProxy&) = delete;

private:
    QList<QPair<QByteArray, std::optional<QByteArray>>> m_saved;
};

// One environment variable set (or, with a null value, removed) for as long as this lives;
// libcurl reads the proxy variables at every transfer.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const QByteArray& value);
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    QByteArray m_name;
    std::optional<QByteArray> m_saved;
};

// A port on 127.0.0.1 that refuses every connection while this lives: bound, never listening.
// Silent: listening, so connections are made, but never accepted or answered.
// Requests reach it only when no_proxy covers 127.0.0.1 (NoProxyForLoopback).
class RefusingPort {
public:
    enum class Mode { Refusing, Silent };
    explicit RefusingPort(Mode mode = Mode::Refusing);
    ~RefusingPort();
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;

    quint16 Port() const { return m_port; }
    // "http://127.0.0.1:port" followed by target.
    QString Url(const QString& target) const;

private:
    int m_socket = -1;
    quint16 m_port = 0;
};

// The no_proxy value that sends requests for 127.0.0.1 straight there, past the fake service.
inline constexpr char kNoProxyForLoopback[] = "127.0.0.1";

// The same settings for a child process (the command-line program under test).
QProcessEnvironment ProxiedEnvironment(const FakeService& service);

struct ChildResult {
    bool finished = false; // false: it did not start or was killed after the time-out
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs program with arguments under ProxiedEnvironment plus extra variables.
ChildResult RunProxied(const FakeService& service, const QString& program, const QStringList& arguments,
                       const QProcessEnvironment& extra = {}, int timeoutMs = 60000);

// Runs the built talvoria-cli with its application folder in appDir, answering No to every
// question, with requests going to the fake service.
ChildResult RunCli(const FakeService& service, const QString& appDir, QStringList arguments,
                   const QProcessEnvironment& extra = {});
