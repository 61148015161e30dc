#pragma once

#include "core/ExtraSettings.h"
#include "core/FrontEnd.h"
#include "core/Guarded.h"
#include "core/Listing.h"
#include "core/Records.h"
#include "core/RunStates.h"
#include "core/SoftData.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

// The state both front ends share: the settings record, the album list with the texts of the
// listing that filled it, the family chosen, and the run states. It reaches the user only
// through IFrontEnd; runs are started by the run controller, never here.
class CLumarexCore {
public:
    CLumarexCore(IFrontEnd& frontEnd, const QString& appDir);
    CLumarexCore(const CLumarexCore&) = delete;
    CLumarexCore& operator=(const CLumarexCore&) = delete;

    IFrontEnd& FrontEnd() const { return m_frontEnd; }
    CRunStates& States() { return m_states; }
    const CRunStates& States() const { return m_states; }

    // Settings: readers get copies, writers edit under the lock and the file follows at once.
    // A file that cannot be written is told through the front end; the edit stays in memory
    // for this session and EditSoft answers false.
    void LoadSoftData();
    ST_SOFTDATA Soft() const;
    ST_DOWNPARAM DownParam(int kind) const;
    ST_NAMESET NameSet(int kind) const;
    bool EditSoft(const std::function<void(ST_SOFTDATA&)>& edit);
    bool AddToHistory(History which, const QString& text);

    // A service's restraint: what talvoria.ini holds, with what this session overrides (the
    // command line's options) on top; the overrides are never stored.
    ServiceExtras Extras(int kind) const;
    bool SetExtras(int kind, const ServiceExtras& extras) { return m_extra.SetExtras(kind, extras); }
    struct ExtrasOverride {
        std::optional<int> sleepRequestMs;
        std::optional<int> maxPerHost;
        std::optional<std::int64_t> limitRate;
        std::optional<bool> keepServerTimes;
        std::optional<bool> writeMetadata;
    };
    void OverrideExtras(const ExtrasOverride& overrides) { m_extrasOverride.Set(overrides); }

    // The texts the last listing left for the downloads of its albums (a copy).
    CListing Listing() const { return m_listing.Get(); }
    void SetListing(const CListing& listing) { m_listing.Set(listing); }

    // The folder the running pool saves into, for the window's open-folder button; empty while
    // no pool runs.
    QString PoolFolder() const { return m_strPoolFolder.Get(); }
    void SetPoolFolder(const QString& folder) { m_strPoolFolder.Set(folder); }

    // The run-state switches of the front end, with the status texts that go with them. The
    // state is idle before the front end hears of it, so a press that follows starts a new run.
    void SetGetListUi(bool running);
    void SetDownloadUi(bool running);

    // AddAlbum: the record cleaned and made unique, stored and drawn.
    void AddAlbum(const ST_PERLISTRECORD& album);
    // The same without drawing; returns the new count.
    int AddAlbumRecord(const ST_PERLISTRECORD& album);
    bool HasAlbumName(const QString& name) const;
    void ClearAlbums();

    const QString m_strAppDir; // ends with "/"
    const std::unique_ptr<ST_PERLIST> m_pAlbumList = std::make_unique<ST_PERLIST>();
    // The family chosen in the service list (or by --service).
    std::atomic<int> m_nSourceKind{0};
    std::atomic<bool> m_bReady{false};

private:
    QString SoftDataPath() const { return m_strAppDir + QStringLiteral("soft.dat"); }
    void TellUnsaved();

    IFrontEnd& m_frontEnd;
    CRunStates m_states;
    CGuarded<CListing> m_listing;
    CGuarded<QString> m_strPoolFolder;
    CExtraSettings m_extra;
    CGuarded<ExtrasOverride> m_extrasOverride;
    mutable std::mutex m_softLock;
    // The record is packed to the file's layout; its UTF-16 fields are read in place, so it
    // keeps their alignment wherever it sits.
    alignas(char16_t) ST_SOFTDATA m_soft{};
    std::atomic<bool> m_bHistoryUnsavedTold{false};
};
