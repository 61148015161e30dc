#include "core/AdapterRun.h"

#include "core/LumarexCore.h"

#include "MyCode/RequestWatch.h"
#include "MyCode/URLSource2.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace {
// Why a listing request brought nothing, as the user reads it.
QString FailureLine(const CRequestWatch::Outcome& outcome)
{
    const QString host = QUrl(outcome.url).host();
    const QString reason = FetchFailureText(outcome.failure, outcome.status);
    if (outcome.failure != FetchFailure::Status)
        return (IsConnectionFailure(outcome.failure) ? u"无法连接：%1（%2）"_s : u"无法获取：%1（%2）"_s).arg(host, reason);
    const int status = outcome.status;
    const QString meaning = status == 404 || status == 410 ? u"地址不存在或用户不存在"_s
                            : status == 401 || status == 403 ? u"没有访问权限，可以先在登录菜单里登录后重试"_s
                            : status >= 500                ? u"服务器出错，请稍后重试"_s
                                                           : u"请求被拒绝"_s;
    return u"%1：%2"_s.arg(reason, meaning);
}
} // namespace

ST_PERLIST& CAdapterRun::Albums() const
{
    return *m_core.m_pAlbumList;
}

IFrontEnd& CAdapterRun::FrontEnd() const
{
    return m_core.FrontEnd();
}

const QString& CAdapterRun::AppDir() const
{
    return m_core.m_strAppDir;
}

ST_NAMESET CAdapterRun::NameSet(int kind) const
{
    return m_core.NameSet(kind);
}

bool CAdapterRun::HasOption(std::uint8_t bit) const
{
    return (m_core.NameSet(m_nKind).nOptions & bit) != 0;
}

CAlbumListing::CAlbumListing(CLumarexCore& core, CListing start)
    : CAdapterRun(core, start.m_nSourceKind), listing(std::move(start))
{
}

void CAlbumListing::AddAlbum(const ST_PERLISTRECORD& album)
{
    m_core.AddAlbum(album);
}

bool CAlbumListing::Stopped() const
{
    return m_core.States().ListingStopRequested();
}

const std::atomic<bool>& CAlbumListing::StopFlag() const
{
    return m_core.States().ListingStopFlag();
}

QString CAlbumListing::UntoldFailure() const
{
    const CRequestWatch* watch = CRequestWatch::Current();
    if (m_bFailureTold || !watch || !watch->Last().Failed() || Stopped()) return {};
    return FailureLine(watch->Last());
}

void CAlbumListing::ShowMessage(const QString& text)
{
    // After a stop the requests fail because they were cut: nothing the family would explain.
    if (Stopped()) return;
    const QString failure = UntoldFailure();
    m_bFailureTold = m_bFailureTold || !failure.isEmpty();
    FrontEnd().ShowMessage(failure.isEmpty() ? text : failure + u'\n' + text);
}

CPhotoListing::CPhotoListing(CLumarexCore& core, CListing listing)
    : CAdapterRun(core, listing.m_nSourceKind), listing(std::move(listing))
{
}

bool CPhotoListing::Stopped() const
{
    return m_core.States().AlbumListingEnded();
}

const std::atomic<bool>& CPhotoListing::StopFlag() const
{
    return m_core.States().DownloadStopFlag();
}
