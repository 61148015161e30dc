#include "app/AppSetup.h"

#include <QCoreApplication>
#include <QNetworkProxyFactory>

#include <unistd.h>

void PrepareBrowserEngine()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

void UseSystemProxySettings()
{
    QNetworkProxyFactory::setUseSystemConfiguration(true);
}
