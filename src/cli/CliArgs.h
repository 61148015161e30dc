#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The command line as parsed: global and command options may stand anywhere.
struct CliArgs {
    QString command;
    QStringList positional;
    QString appDir;
    QString cookies;
    QString service;
    QString albums;
    QString saveDir;
    QString output;
    bool yes = false;
    bool no = false;
    bool json = false;
    bool help = false;
};

// No value (and a message on stderr) when the words are off.
std::optional<CliArgs> ParseCliArgs(const QStringList& words);
