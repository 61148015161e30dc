#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <span>

// What the file tool does over a folder and everything under it.
enum class FileToolAction { Check, FixExtension, Order, Duplicates };

struct FileToolActionName {
    FileToolAction action;
    const char* word;      // the command line's name
    const char16_t* label; // the window's
};

// Every action, in the order the window offers them.
std::span<const FileToolActionName> FileToolActions();
std::optional<FileToolAction> FileToolActionNamed(const QString& word);

// One file the tool names: a bad file and why, a renamed one and its new name, a list whose
// order was restored, or a member of a group of duplicates (group counts from 1; 0 elsewhere).
struct FileFinding {
    QString path;
    QString reason;
    int group = 0;
};

struct FileToolTally {
    int files = 0;    // files looked at (list files for the order)
    int findings = 0; // files named
    int groups = 0;   // groups of duplicates
    bool stopped = false;
    bool folderMissing = false;
};

// The tool calls these from its worker thread; a front end carries them to its own thread.
struct FileToolReport {
    std::function<void(int done, int total)> progress;
    std::function<void(const FileFinding& finding)> found;
    std::function<void(const FileToolTally& tally)> finished;
};

// The line both front ends end a run with.
QString FileToolSummaryText(FileToolAction action, const FileToolTally& tally);
