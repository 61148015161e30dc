#include "app/AppSetup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QNetworkProxyFactory>
#include <QTranslator>

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

bool UseChineseQtTexts()
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    bool loaded = false;
    // "qt" gathers the base catalogues; the browser engine's own dialogs have theirs.
    for (const char* catalogue : {"qt", "qtwebengine"}) {
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(chinese, QString::fromLatin1(catalogue), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator);
            loaded = true;
        } else {
            delete translator;
        }
    }
    return loaded;
}
