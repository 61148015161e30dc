#include "support/ScopedProxy.h"

#include "support/FakeService.h"

#include <QProcess>

#include <cstdlib>

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
