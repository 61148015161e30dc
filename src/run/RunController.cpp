#include "run/RunController.h"

#include "MyCode/RequestPacer.h"
#include "core/LumarexCore.h"
#include "download/DownloadDriver.h"
#include "download/ExportList.h"
#include "download/ImportList.h"
#include "sources/AlbumListDriver.h"
#include "sources/Registry.h"

#include <system_error>

using namespace Qt::StringLiterals;

namespace {
// The same text for either button.
const QString kThreadFailed = u"Create thread:GetListFunc failed."_s;

// The photo lister of the listing's variant, resolved once per run; null, with the message,
// when the family is unknown.
PhotoLister ResolvePhotoLister(CLumarexCore& core, const CListing& listing)
{
    if (listing.m_nSourceKind < 0 || listing.m_nSourceKind >= kFamilyCount) {
        core.FrontEnd().ShowMessage(u"Error ListType Code."_s);
        return {};
    }
    return PhotoListerFor(listing.m_nSourceKind, listing.m_nSubKind);
}
// Every request of the run, listing pages and pictures alike, keeps the service's restraint.
void ApplyRestraint(const CLumarexCore& core, int kind)
{
    const ServiceExtras extras = core.Extras(kind);
    CRequestPacer::Instance().SetInterval(std::chrono::milliseconds(extras.sleepRequestMs));
    CRequestPacer::Instance().SetRateLimit(extras.limitRate);
}
} // namespace

CRunController::CRunController(CLumarexCore& core) : m_core(core) {}

CRunController::~CRunController()
{
    RequestStop();
    Wait();
}

bool CRunController::StartWorker(std::function<bool()> work)
{
    std::lock_guard guard(m_workersLock);
    // Threads that have ended are joined here, so a long session keeps no dead threads.
    std::erase_if(m_workers, [](Worker& worker) {
        if (!*worker.done) return false;
        worker.thread.join();
        return true;
    });
    // Room first: once the thread runs, storing it must not fail.
    m_workers.reserve(m_workers.size() + 1);
    auto done = std::make_shared<std::atomic<bool>>(false);
    try {
        m_workers.push_back({std::thread([this, work = std::move(work), done] {
                                 m_bLastCompleted = work();
                                 *done = true;
                             }),
                             done});
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CRunController::Wait()
{
    for (;;) {
        Worker worker;
        {
            std::lock_guard guard(m_workersLock);
            if (m_workers.empty()) return;
            worker = std::move(m_workers.back());
            m_workers.pop_back();
        }
        worker.thread.join();
    }
}

bool CRunController::IsBusy() const
{
    return m_core.States().IsBusy();
}

void CRunController::RequestStop()
{
    m_core.States().RequestListingStop();
    m_core.States().RequestDownloadStop();
}

void CRunController::OnGetAlbums(const QString& address)
{
    if (!m_core.m_bReady) return;
    CRunStates& states = m_core.States();
    if (states.IsListing()) {
        states.RequestListingStop();
        return;
    }
    // The window disables the button only once the download thread has switched its controls;
    // a press before that must not clear the album list the download reads.
    if (!states.BeginListing()) return;
    const int kind = m_core.m_nSourceKind;
    if (StartWorker([this, kind, address] {
            ApplyRestraint(m_core, kind);
            return GetAlbumList(m_core, kind, address);
        }))
        return;
    m_core.FrontEnd().ShowMessage(kThreadFailed);
    states.EndListing();
}

void CRunController::StartDownloadRun(std::function<bool()> run)
{
    CRunStates& states = m_core.States();
    if (states.IsDownloading()) {
        states.RequestDownloadStop();
        return;
    }
    // Likewise, a download must not read the album list that a listing is refilling.
    if (!states.BeginDownload()) return;
    if (StartWorker(std::move(run))) return;
    m_core.FrontEnd().ShowMessage(kThreadFailed);
    states.EndDownload();
}

void CRunController::OnDownload(const QString& savePath, const std::vector<int>& selection)
{
    StartDownloadRun([this, savePath, selection] {
        const CListing listing = m_core.Listing();
        ApplyRestraint(m_core, listing.m_nSourceKind);
        const PhotoLister lister = ResolvePhotoLister(m_core, listing);
        return DownloadDriver(m_core, listing, savePath, selection, FillWith(lister));
    });
}

void CRunController::OnImport(const QString& listPath, const QString& savePath)
{
    StartDownloadRun([this, listPath, savePath] {
        ApplyRestraint(m_core, m_core.m_nSourceKind);
        return ImportAndDownload(m_core, listPath, savePath);
    });
}

void CRunController::OnExport(const QString& savePath, const std::vector<int>& selection, const QString& listPath,
                              ExportFormat format)
{
    StartDownloadRun([this, savePath, selection, listPath, format] {
        const CListing listing = m_core.Listing();
        ApplyRestraint(m_core, listing.m_nSourceKind);
        const PhotoLister lister = ResolvePhotoLister(m_core, listing);
        return ExportDownList(m_core, listing, savePath, selection, lister, listPath, format);
    });
}
