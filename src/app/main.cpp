#include "MyCode/CurlGlobal.h"
#include "app/AppSetup.h"
#include "app/LumarexDlg.h"
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
    UseSystemProxySettings();
    UseChineseQtTexts();
    CCurlGlobal curl;
    CLumarexDlg window(ResolveAppDir());
    window.Start();
    return app.exec();
}
