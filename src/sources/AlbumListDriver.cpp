#include "sources/AlbumListDriver.h"

#include "core/LumarexCore.h"
#include "download/Naming.h"
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

bool GetAlbumList(CLumarexCore& core, const QString& addressText)
{
    core.FrontEnd().ResetAlbumView();
    core.ClearAlbums();
    core.m_strOwnerName.clear();
    core.m_strOwnerSubDir.clear();

    QString address = ReadAsHttp(addressText.trimmed());
    if (address.isEmpty()) {
        core.FrontEnd().ShowMessage(AddressPrompt());
        core.m_nGetListState = GETLIST_IDLE;
        return false;
    }
    core.SetGetListUi(true);
    const int kind = core.m_nSourceKind;
    const bool usable = address.contains(u"http://"_s) || kind == SK_TENCENT;
    if (!usable)
        core.FrontEnd().ShowMessage(AddressPrompt());
    else if (kind >= 0 && kind < kFamilyCount)
        ServiceFamilies()[size_t(kind)].listAlbums(core, address);

    core.m_strOwnerName = OwnerFolder(core.m_strOwnerName);
    core.m_strOwnerSubDir = OwnerFolder(core.m_strOwnerSubDir);
    const int count = core.m_pAlbumList->Count();
    core.FrontEnd().SetStatusText(STATUS_ALBUM_FRAME, u"相册列表(共%1个)"_s.arg(count));
    core.FrontEnd().SetStatusText(STATUS_PHASE, u"获取相册列表完成，共%1个"_s.arg(count));
    // The history is updated before the idle switch, so the front end finds it current there.
    if (count > 0) core.AddToHistory(History::Address, addressText.trimmed());
    core.SetGetListUi(false);
    return usable;
}
