#include "core/LumarexCore.h"

CLumarexCore::CLumarexCore(IFrontEnd& frontEnd, const QString& appDir)
    : m_strAppDir(appDir.endsWith(u'/') ? appDir : appDir + u'/'), m_frontEnd(frontEnd), m_extra(m_strAppDir)
{
}

ServiceExtras CLumarexCore::Extras(int kind) const
{
    ServiceExtras extras = m_extra.Extras(kind);
    const ExtrasOverride overrides = m_extrasOverride.Get();
    extras.sleepRequestMs = overrides.sleepRequestMs.value_or(extras.sleepRequestMs);
    extras.maxPerHost = overrides.maxPerHost.value_or(extras.maxPerHost);
    extras.limitRate = overrides.limitRate.value_or(extras.limitRate);
    extras.keepServerTimes = overrides.keepServerTimes.value_or(extras.keepServerTimes);
    extras.writeMetadata = overrides.writeMetadata.value_or(extras.writeMetadata);
    return extras;
}

void CLumarexCore::LoadSoftData()
{
    std::lock_guard guard(m_softLock);
    ::LoadSoftData(m_soft, SoftDataPath());
}

ST_SOFTDATA CLumarexCore::Soft() const
{
    std::lock_guard guard(m_softLock);
    return m_soft;
}

ST_DOWNPARAM CLumarexCore::DownParam(int kind) const
{
    std::lock_guard guard(m_softLock);
    return m_soft.down[kind];
}

ST_NAMESET CLumarexCore::NameSet(int kind) const
{
    std::lock_guard guard(m_softLock);
    return m_soft.names[kind];
}

bool CLumarexCore::EditSoft(const std::function<void(ST_SOFTDATA&)>& edit)
{
    bool saved = false;
    {
        std::lock_guard guard(m_softLock);
        edit(m_soft);
        saved = SaveSoftData(m_soft, SoftDataPath());
    }
    // Told outside the lock: the window's message box may hold the caller a long time.
    if (!saved) TellUnsaved();
    return saved;
}

bool CLumarexCore::AddToHistory(History which, const QString& text)
{
    bool saved = false;
    {
        std::lock_guard guard(m_softLock);
        if (!MruAdd(which, m_soft, text)) return false;
        saved = SaveSoftData(m_soft, SoftDataPath());
    }
    // A history entry is a small loss: said once, not at every listing.
    if (!saved && !m_bHistoryUnsavedTold.exchange(true)) TellUnsaved();
    return true;
}

void CLumarexCore::TellUnsaved()
{
    m_frontEnd.ShowMessage(QStringLiteral("无法保存设置文件：%1").arg(SoftDataPath()));
}

void CLumarexCore::SetGetListUi(bool running)
{
    if (running) {
        m_frontEnd.SetStatusText(StatusLine::AlbumFrame, QStringLiteral("相册列表"));
        m_frontEnd.SetStatusText(StatusLine::Phase, QStringLiteral("正在获取相册列表，请稍等..."));
        m_frontEnd.SetStatusText(StatusLine::Counts, QString());
    } else {
        m_states.EndListing();
    }
    m_frontEnd.SetGetListUi(running);
}

void CLumarexCore::SetDownloadUi(bool running)
{
    if (!running) {
        m_states.EndDownload();
        m_frontEnd.SetStatusText(StatusLine::Phase, QStringLiteral("下载完毕"));
        m_frontEnd.SetStatusText(StatusLine::Counts, QString());
    }
    m_frontEnd.SetDownloadUi(running);
}
