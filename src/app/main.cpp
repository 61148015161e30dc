#include "MyCode/CurlGlobal.h"
#include "app/AppSetup.h"
#include "app/LumarexDlg.h"
#include "app/SingleInstance.h"
#include "core/AppPaths.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    // Answered before any display or browser engine is touched, so it works anywhere.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--version") == 0) return std::puts("talvoria " TALVORIA_VERSION) < 0;
    PrepareBrowserEngine();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("talvoria"));
    QApplication::setDesktopFileName(QStringLiteral("talvoria"));
    const QString appDir = ResolveAppDir();
    const QStringList arguments = QApplication::arguments();
    const QString address = arguments.size() > 1 ? arguments[1] : QString();
    CSingleInstance instance(appDir);
    if (instance.HandOver(address)) return 0;
    instance.Listen();
    UseSystemProxySettings();
    UseChineseQtTexts();
    CCurlGlobal curl;
    CLumarexDlg window(appDir);
    QObject::connect(&instance, &CSingleInstance::LaterLaunch, &window, &CLumarexDlg::OnLaterLaunch);
    window.Start();
    window.UseAddress(address);
    return app.exec();
}
