#pragma once

#include "core/LumarexCore.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <span>

struct CliCommand;

// The command line as parsed: global options, then the command and its own options.
struct CliArgs {
    const CliCommand* command = nullptr; // null with --help or --version
    QStringList positional;              // the command's arguments
    QString appDir;
    QString cookies;
    QString service;
    QString albums;
    QString saveDir;
    QString output;
    QString retryFailed;
    // The restraint options, as typed; read by RestraintOverride.
    QString sleepRequest;
    QString maxPerHost;
    QString limitRate;
    bool yes = false;
    bool no = false;
    bool json = false;
    bool mtime = false;
    bool writeMetadata = false;
    bool quiet = false;
    bool verbose = false;
    bool help = false;
    bool version = false;
};

// One option: "short,long" names, the value's name (empty for a switch), where it goes, and
// whether every command takes it.
struct CliOption {
    const char* names;
    const char* valueName;
    const char* description;
    QString CliArgs::*text;
    bool CliArgs::*flag;
    bool global;
};

std::span<const CliOption> CliOptions();

// What the restraint and keeping options set for this run, on top of the service's settings.
// No value when one of them is off; the reason is then on stderr.
std::optional<CLumarexCore::ExtrasOverride> ParseRestraint(const CliArgs& args);

// No value when the words are off; the one-line reason is then on stderr.
std::optional<CliArgs> ParseCliArgs(const QStringList& words);

// "talvoria-cli: WHAT. Try 'talvoria-cli --help' for more information." on stderr; the usage
// exit status.
int UsageError(const QString& what);
