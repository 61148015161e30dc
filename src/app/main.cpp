#include "MyCode/CurlGlobal.h"
#include "app/AppSetup.h"
#include "app/LumarexDlg.h"
#include "core/AppPaths.h"

#include <QApplication>

int main(int argc, char** argv)
{
    PrepareBrowserEngine();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("talvoria"));
    QApplication::setDesktopFileName(QStringLiteral("talvoria"));
    UseSystemProxySettings();
    CCurlGlobal curl;
    CLumarexDlg window(ResolveAppDir());
    window.Start();
    return app.exec();
}
