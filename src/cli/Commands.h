#pragma once

#include "cli/CliArgs.h"

#include <optional>
#include <span>
#include <vector>

class CCliSession;

// One command of talvoria-cli. Adding a command is one row in CliCommands.cpp and its Run
// function in a file of its own.
struct CliCommand {
    const char* name;
    const char* synopsis;    // shown in the help and in a usage error
    const char* description; // the help's paragraph, already wrapped
    const char* options;     // the long names of the non-global options it takes, space-separated
    int minArguments;
    int maxArguments; // -1: any number
    int (*run)(const CliArgs& args);
};

std::span<const CliCommand> CliCommands();

int RunServicesCommand(const CliArgs& args);
int RunAlbumsCommand(const CliArgs& args);
int RunDownloadCommand(const CliArgs& args);
int RunFetchCommand(const CliArgs& args);
int RunExportCommand(const CliArgs& args);
int RunSettingsCommand(const CliArgs& args);
int RunFilesCommand(const CliArgs& args);

// Get-albums exactly as the window runs it, for the family of --service or the address; the
// exit status it implies (EXIT_DONE when albums were found).
int RunGetAlbums(CCliSession& session, const CliArgs& args, const QString& address);

// "all" or 1-based numbers and ranges such as "1,3-5" of --albums, as 0-based indexes in list
// order, each once, as the window takes its ticked rows; no value when they do not fit.
std::optional<std::vector<int>> ParseSelection(const QString& text, int albumCount);

// Lists the albums of the command's address and reads --albums against them. The exit status
// when the command ends there (nothing listed, Ctrl-C, a selection that does not fit); no value
// when it goes on with selection.
std::optional<int> ListAndSelect(CCliSession& session, const CliArgs& args, std::vector<int>& selection);

// The save folder of --save-dir, else the newest save-path history entry, else the default.
QString ChooseSaveDir(CCliSession& session, const CliArgs& args);
