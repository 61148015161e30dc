#pragma once

#include "cli/CliArgs.h"

#include <span>

class CCliSession;

struct CliCommand {
    const char* name;
    const char* synopsis;
    int (*run)(const CliArgs& args);
};

// The commands of talvoria-cli, one file each.
std::span<const CliCommand> CliCommands();

int RunServicesCommand(const CliArgs& args);
int RunAlbumsCommand(const CliArgs& args);
int RunDownloadCommand(const CliArgs& args);
int RunFetchCommand(const CliArgs& args);
int RunExportCommand(const CliArgs& args);
int RunSettingsCommand(const CliArgs& args);

// Get-albums exactly as the window runs it, for the family of --service or the address; the
// exit status it implies (EXIT_DONE when albums were found).
int RunGetAlbums(CCliSession& session, const CliArgs& args, const QString& address);

// The save folder of --save-dir, else the newest save-path history entry, else the default.
QString ChooseSaveDir(CCliSession& session, const CliArgs& args);
