#include "support/ScopedProxy.h"

#include "support/FakeService.h"

#include <QProcess>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace {
// libcurl reads only the lower-case http_proxy; the others are cleared so nothing overrides it.
const char* const kClearedVariables[] = {"HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy",
                                         "ALL_PROXY",  "no_proxy",    "NO_PROXY"};
} // namespace

ScopedProxy::ScopedProxy(const FakeService& service)
{
    QList<QByteArray> names = {"http_proxy"};
    for (const char* name : kClearedVariables)
        names.append(name);
    for (const QByteArray& name : names) {
        const char* value = std::getenv(name.constData());
        m_saved.append({name, value ? std::optional<QByteArray>(value) : std::nullopt});
        unsetenv(name.constData());
    }
    setenv("http_proxy", service.ProxyUrl().toUtf8().constData(), 1);
}

ScopedProxy::~ScopedProxy()
{
    for (const auto& [name, value] : m_saved) {
        if (value)
            setenv(name.constData(), value->constData(), 1);
        else
            unsetenv(name.constData());
    }
}

ScopedVariable::ScopedVariable(const char* name, const QByteArray& value) : m_name(name)
{
    if (const char* previous = std::getenv(name)) m_saved = QByteArray(previous);
    if (value.isNull())
        unsetenv(name);
    else
        setenv(name, value.constData(), 1);
}

ScopedVariable::~ScopedVariable()
{
    if (m_saved)
        setenv(m_name.constData(), m_saved->constData(), 1);
    else
        unsetenv(m_name.constData());
}

RefusingPort::RefusingPort(Mode mode) : m_socket(::socket(AF_INET, SOCK_STREAM, 0))
{
    // The kernel completes this many handshakes for a listener that never accepts.
    constexpr int kSilentBacklog = 4096;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_socket < 0 || bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        (mode == Mode::Silent && listen(m_socket, kSilentBacklog) != 0)) {
        if (m_socket >= 0) ::close(m_socket);
        throw std::runtime_error("no port to refuse connections on");
    }
    m_port = ntohs(address.sin_port);
}

RefusingPort::~RefusingPort()
{
    ::close(m_socket);
}

QString RefusingPort::Url(const QString& target) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(target);
}

QProcessEnvironment ProxiedEnvironment(const FakeService& service)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : kClearedVariables)
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("http_proxy"), service.ProxyUrl());
    return environment;
}

ChildResult RunProxied(const FakeService& service, const QString& program, const QStringList& arguments,
                       const QProcessEnvironment& extra, int timeoutMs)
{
    QProcessEnvironment environment = ProxiedEnvironment(service);
    environment.insert(extra);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    ChildResult result;
    if (!process.waitForStarted()) return result;
    result.finished = process.waitForFinished(timeoutMs);
    if (!result.finished) {
        process.kill();
        process.waitForFinished();
    }
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

ChildResult RunCli(const FakeService& service, const QString& appDir, QStringList arguments,
                   const QProcessEnvironment& extra)
{
    arguments = QStringList{QStringLiteral("--app-dir"), appDir, QStringLiteral("--no")} + arguments;
    return RunProxied(service, QStringLiteral(TALVORIA_CLI), arguments, extra);
}
