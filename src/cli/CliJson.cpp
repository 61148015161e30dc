#include "cli/CliJson.h"

#include "MyCode/StringCtrl.h"

#include <cstdio>

// Qt's JSON writer escapes C0 controls and lone surrogates but writes DEL, C1 controls (0x9B
// starts an escape sequence on some terminals), bidirectional overrides and invisible marks
// raw. Those can stand only inside strings, where a \u escape means the same character to any
// reader.
QByteArray JsonForTerminal(const QByteArray& json)
{
    const QString text = QString::fromUtf8(json);
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() >= 0x7F && CStringCtrl::IsControlOrInvisible(c))
            shown += QString::asprintf("\\u%04x", unsigned(c.unicode()));
        else
            shown += c;
    }
    return shown.toUtf8();
}

void PrintJson(const QJsonDocument& document)
{
    std::fputs(JsonForTerminal(document.toJson(QJsonDocument::Indented)).constData(), stdout);
    std::fflush(stdout);
}
