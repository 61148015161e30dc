#pragma once

#include <QByteArray>
#include <QJsonDocument>

// Qt's JSON text made safe to print on a terminal (see CliJson.cpp).
QByteArray JsonForTerminal(const QByteArray& json);

// The document, indented, on stdout.
void PrintJson(const QJsonDocument& document);
