#pragma once

// What the window's program sets up around the application object, shared by the program and
// the programs that test it.

// Before the QApplication exists: the login browser's engine wants shared GL contexts, and as
// root it can run only without Chromium's sandbox.
void PrepareBrowserEngine();

// After it exists: the login browser goes through the same proxy settings (http_proxy and the
// like) as the fetcher.
void UseSystemProxySettings();

// After it exists: Qt's own texts (the buttons of message boxes, the file and folder choosers)
// in Chinese like the rest of the window, whatever the system's language. Where the
// translations are not installed the texts stay Qt's English; false then.
bool UseChineseQtTexts();
