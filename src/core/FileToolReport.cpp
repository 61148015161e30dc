#include "core/FileToolReport.h"

using namespace Qt::StringLiterals;

namespace {
constexpr FileToolActionName kActions[] = {
    {FileToolAction::Check, "check", u"检查损坏的图片"},
    {FileToolAction::FixExtension, "fix-ext", u"修正图片格式（扩展名）"},
    {FileToolAction::Order, "order", u"按下载列表修正图片顺序"},
    {FileToolAction::Duplicates, "dupes", u"查找重复的图片"},
};

QString FindingsText(FileToolAction action, const FileToolTally& tally)
{
    switch (action) {
    case FileToolAction::Check:
        return u"检查了%1个文件，%2个有问题"_s.arg(tally.files).arg(tally.findings);
    case FileToolAction::FixExtension:
        return u"检查了%1个文件，改名%2个"_s.arg(tally.files).arg(tally.findings);
    case FileToolAction::Order:
        return u"找到%1个下载列表，修正了%2个"_s.arg(tally.files).arg(tally.findings);
    case FileToolAction::Duplicates:
        return u"检查了%1个文件，%2组重复，共%3个文件"_s.arg(tally.files).arg(tally.groups).arg(tally.findings);
    }
    return {};
}
} // namespace

std::span<const FileToolActionName> FileToolActions()
{
    return kActions;
}

std::optional<FileToolAction> FileToolActionNamed(const QString& word)
{
    for (const FileToolActionName& name : kActions)
        if (word == QLatin1String(name.word)) return name.action;
    return std::nullopt;
}

QString FileToolSummaryText(FileToolAction action, const FileToolTally& tally)
{
    if (tally.folderMissing) return u"文件夹不存在"_s;
    const QString text = FindingsText(action, tally);
    return tally.stopped ? text + u"（已停止）"_s : text;
}
