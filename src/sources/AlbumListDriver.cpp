#include "sources/AlbumListDriver.h"

#include "MyCode/RequestWatch.h"
#include "core/LumarexCore.h"
#include "core/FileNames.h"
#include "sources/Registry.h"

using namespace Qt::StringLiterals;

QString AddressPrompt()
{
    return u"请在地址栏输入要下载的相册主页地址或QQ号（网址以http://开头）"_s;
}

namespace {
// The owner texts name folders under the save path: one clean name each, ending with "/".
QString OwnerFolder(QString text)
{
    SanitizeName(text, 0, false);
    if (!text.isEmpty()) text = FitFileName(text) + u'/';
    return text;
}
} // namespace

bool GetAlbumList(CLumarexCore& core, int kind, const QString& addressText)
{
    core.FrontEnd().ResetAlbumView();
    core.ClearAlbums();
    CListing start;
    start.m_nSourceKind = kind;
    if (kind >= 0 && kind < kFamilyCount) start.m_strService = QString::fromLatin1(ServiceFamilies()[size_t(kind)]->shortName);
    start.m_strAddress = addressText.trimmed();
    core.SetListing(start);

    QString address = ReadAsHttp(start.m_strAddress);
    if (address.isEmpty()) {
        core.FrontEnd().ShowMessage(AddressPrompt());
        core.States().EndListing();
        return false;
    }
    core.SetGetListUi(true);
    CAlbumListing run(core, start);
    const bool usable = address.contains(u"http://"_s) || kind == SK_TENCENT;
    if (!usable) {
        core.FrontEnd().ShowMessage(AddressPrompt());
    } else if (kind >= 0 && kind < kFamilyCount) {
        // Every request of the listing ends at its stop, and what the last one came to tells
        // an unreachable or wrong address from an empty account.
        CRequestWatch watch(&core.States().ListingStopFlag());
        ServiceFamilies()[size_t(kind)]->listAlbums(run, address);
        if (const QString failure = run.UntoldFailure(); !failure.isEmpty() && core.m_pAlbumList->IsEmpty())
            core.FrontEnd().ShowMessage(failure);
    }

    run.listing.m_strOwnerName = OwnerFolder(run.listing.m_strOwnerName);
    run.listing.m_strOwnerSubDir = OwnerFolder(run.listing.m_strOwnerSubDir);
    core.SetListing(run.listing);
    const int count = core.m_pAlbumList->Count();
    core.FrontEnd().SetStatusText(StatusLine::AlbumFrame, u"相册列表(共%1个)"_s.arg(count));
    core.FrontEnd().SetStatusText(StatusLine::Phase, u"获取相册列表完成，共%1个"_s.arg(count));
    // The history is updated before the idle switch, so the front end finds it current there.
    if (count > 0) core.AddToHistory(History::Address, start.m_strAddress);
    core.SetGetListUi(false);
    return usable;
}
