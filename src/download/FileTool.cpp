#include "download/FileTool.h"

#include "download/FileCheck.h"
#include "download/FileDupes.h"
#include "download/FileFixExt.h"
#include "download/FileOrder.h"
#include "download/FileToolKit.h"

#include <QFileInfo>

FileToolTally RunFileTool(FileToolAction action, const QString& folder, const FileToolReport& report,
                          const std::atomic<bool>& stop)
{
    if (!QFileInfo(folder).isDir()) {
        FileToolTally missing;
        missing.folderMissing = true;
        return missing;
    }
    const QStringList files = ToolFiles(folder, stop);
    FileToolTally tally;
    switch (action) {
    case FileToolAction::Check:
        tally = ForEachFile(files, CheckPictureFile, report, stop);
        break;
    case FileToolAction::FixExtension:
        tally = ForEachFile(files, FixExtensionFile, report, stop);
        break;
    case FileToolAction::Order:
        tally = RestoreListOrder(folder, files, report, stop);
        break;
    case FileToolAction::Duplicates:
        tally = FindDuplicates(files, report, stop);
        break;
    }
    tally.stopped = tally.stopped || stop;
    return tally;
}
