#pragma once

#include <QString>

#include <bit>
#include <cstddef>
#include <cstdint>

// soft.dat is the memory image of ST_SOFTDATA: 19808 bytes, little-endian, strings UTF-16LE,
// no header. A file copied from another installation loads unchanged, so the layout is fixed.

constexpr int kServiceSlots = 24;   // families 0 to 14 are used; 15 to 23 are reserved
constexpr int kNameFieldUnits = 40; // UTF-16 units of each naming text, NUL included
constexpr int kNameFieldMaxChars = 38;
constexpr int kHistoryEntries = 5;
constexpr int kHistoryEntryUnits = 400;

constexpr std::uint16_t kDefaultThreads = 5;
constexpr std::uint16_t kMaxThreads = 15;
constexpr std::uint16_t kDefaultTimeout = 30;
constexpr std::uint16_t kMinTimeout = 10;

// Option bits of ST_NAMESET::nOptions.
enum NameOption : std::uint8_t {
    OPT_FIX_FORMAT = 0x01,
    OPT_FIX_ORDER = 0x02,
    OPT_NAME_FILE = 0x04,
    OPT_LIST_ONLY = 0x08,
    OPT_OPEN_FOLDER = 0x10,
    OPT_TAOBAO_MAIN = 0x20,
    OPT_SKIP_OLD = 0x40,
};

#pragma pack(push, 1)
struct ST_DOWNPARAM {
    std::uint16_t nMinKB;
    std::uint16_t nMaxKB;
    std::uint16_t nThreads;
    std::uint16_t nTimeout;
};

struct ST_NAMESET {
    char16_t szPrefix[kNameFieldUnits];
    char16_t szSuffix[kNameFieldUnits];
    char16_t szReplaceFrom[kNameFieldUnits];
    char16_t szReplaceTo[kNameFieldUnits];
    char16_t szDirPrefix[kNameFieldUnits];
    char16_t szDirSuffix[kNameFieldUnits];
    std::uint8_t nOptions;
    std::uint8_t nReserved;
    std::uint8_t nNameSource; // 0 description, 1 sequence number, 2 address
    std::uint8_t nDirSource;  // 0 album name, 1 none
};

struct ST_SOFTDATA {
    ST_DOWNPARAM down[kServiceSlots];
    ST_NAMESET names[kServiceSlots];
    char16_t szAddressHistory[kHistoryEntries][kHistoryEntryUnits];
    char16_t szSavePathHistory[kHistoryEntries][kHistoryEntryUnits];
};
#pragma pack(pop)

static_assert(sizeof(ST_DOWNPARAM) == 8);
static_assert(sizeof(ST_NAMESET) == 484);
static_assert(offsetof(ST_NAMESET, szSuffix) == 80);
static_assert(offsetof(ST_NAMESET, szReplaceFrom) == 160);
static_assert(offsetof(ST_NAMESET, szReplaceTo) == 240);
static_assert(offsetof(ST_NAMESET, szDirPrefix) == 320);
static_assert(offsetof(ST_NAMESET, szDirSuffix) == 400);
static_assert(offsetof(ST_NAMESET, nOptions) == 480);
static_assert(offsetof(ST_NAMESET, nNameSource) == 482);
static_assert(offsetof(ST_NAMESET, nDirSource) == 483);
static_assert(offsetof(ST_SOFTDATA, names) == 192);
static_assert(offsetof(ST_SOFTDATA, szAddressHistory) == 11808);
static_assert(offsetof(ST_SOFTDATA, szSavePathHistory) == 15808);
static_assert(sizeof(ST_SOFTDATA) == 19808);
static_assert(std::endian::native == std::endian::little, "soft.dat is the little-endian memory image");

enum class History { Address = 0, SavePath = 1 };

// Reads the file into a zeroed record (a short file leaves the rest zero), normalises thread
// counts and time-outs, and writes the result back.
void LoadSoftData(ST_SOFTDATA& soft, const QString& path);
// Writes the whole record atomically; a failure is not reported.
bool SaveSoftData(const ST_SOFTDATA& soft, const QString& path);
// Puts text at the top of a history unless it is too long or already there (any letter case).
bool MruAdd(History which, ST_SOFTDATA& soft, const QString& text);

QString HistoryEntry(const ST_SOFTDATA& soft, History which, int index);

// Fixed-width UTF-16 fields: reading stops at the first NUL, writing cuts to fit and pads.
QString FieldText(const char16_t* field, int units);
void SetFieldText(char16_t* field, int units, const QString& text);

template <int N> QString FieldText(const char16_t (&field)[N])
{
    return FieldText(field, N);
}
template <int N> void SetFieldText(char16_t (&field)[N], const QString& text)
{
    SetFieldText(field, N, text);
}

template <int N> void StoreNameText(char16_t (&field)[N], const QString& text)
{
    SetFieldText(field, N, text.left(kNameFieldMaxChars));
}
