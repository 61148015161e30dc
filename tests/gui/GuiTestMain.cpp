// The GUI tests run the real window on the offscreen platform.
#include "app/AppSetup.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace {
void SetDefault(const char* name, const char* value)
{
    if (!qEnvironmentVariableIsSet(name)) qputenv(name, value);
}
} // namespace

int main(int argc, char** argv)
{
    SetDefault("QT_QPA_PLATFORM", "offscreen");
    SetDefault("QTWEBENGINE_DISABLE_SANDBOX", "1");
    SetDefault("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    PrepareBrowserEngine();
    QApplication app(argc, argv);
    UseSystemProxySettings(); // the login browser reaches the fake service too
    UseChineseQtTexts();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
