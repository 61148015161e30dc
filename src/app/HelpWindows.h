#pragma once

#include <QString>

class CLumarexDlg;

// The user guide, installed with the program (share/talvoria/guide.html beside bin/), else the
// copy of the source tree a developer runs from; empty when neither is there.
QString GuideFile();
// Opens the guide at its section anchor (empty: the top) in the desktop's browser, or in a
// window of its own when no browser opens; false when there is no guide.
bool ShowGuide(CLumarexDlg& window, const QString& anchor);
// The version and system details a report needs, as plain text to copy.
QString FeedbackDetails(const QString& appDir);
// A window with those details, a copy button and the application folder's diagnostic files.
void ShowFeedback(CLumarexDlg& window, const QString& appDir);
