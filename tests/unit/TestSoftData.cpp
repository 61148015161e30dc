#include "core/SettingsRules.h"
#include "core/SoftData.h"
#include "support/TempFolder.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cstring>

using namespace Qt::StringLiterals;

namespace {
QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void PutU16(QByteArray& bytes, int offset, quint16 value)
{
    bytes[offset] = char(value & 0xFF);
    bytes[offset + 1] = char(value >> 8);
}

void PutText(QByteArray& bytes, int offset, const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        PutU16(bytes, offset + int(i) * 2, text[i].unicode());
}
} // namespace

TEST(SoftData, MissingFileGivesDefaultsAndIsCreated)
{
    TempFolder dir;
    ST_SOFTDATA soft;
    LoadSoftData(soft, dir.file(u"soft.dat"_s));
    const QByteArray bytes = ReadAll(dir.file(u"soft.dat"_s));
    ASSERT_EQ(bytes.size(), 19808);
    for (int k = 0; k < kServiceSlots; ++k) {
        EXPECT_EQ(soft.down[k].nThreads, 5);
        EXPECT_EQ(soft.down[k].nTimeout, 30);
        EXPECT_EQ(quint8(bytes[k * 8 + 4]), 5);
        EXPECT_EQ(quint8(bytes[k * 8 + 6]), 30);
        EXPECT_EQ(soft.names[k].nOptions, 0);
    }
}

TEST(SoftData, HandWrittenFileLoadsFieldByField)
{
    TempFolder dir;
    QByteArray bytes(19808, '\0');
    // Slot 3: 20 KB minimum, 900 KB maximum, 16 threads (out of range), 9 s (too short).
    PutU16(bytes, 3 * 8 + 0, 20);
    PutU16(bytes, 3 * 8 + 2, 900);
    PutU16(bytes, 3 * 8 + 4, 16);
    PutU16(bytes, 3 * 8 + 6, 9);
    PutU16(bytes, 4 * 8 + 4, 15);
    PutU16(bytes, 4 * 8 + 6, 10);
    const int block = 192 + 2 * 484; // naming block of family 2
    PutText(bytes, block + 0, u"前缀"_s);
    PutText(bytes, block + 80, u"suffix"_s);
    PutText(bytes, block + 160, u"a|b"_s);
    PutText(bytes, block + 240, u"x|y"_s);
    PutText(bytes, block + 320, u"?2_"_s);
    PutText(bytes, block + 400, u"-dir"_s);
    bytes[block + 480] = char(0x45);
    bytes[block + 481] = char(0x99);
    bytes[block + 482] = 2;
    bytes[block + 483] = 1;
    PutText(bytes, 11808, u"http://user.qzone.qq.com/12345"_s);
    PutText(bytes, 11808 + 800, u"12345"_s);
    PutText(bytes, 15808 + 4 * 800, u"/home/me/图片/"_s);
    WriteAll(dir.file(u"soft.dat"_s), bytes);

    ST_SOFTDATA soft;
    LoadSoftData(soft, dir.file(u"soft.dat"_s));
    EXPECT_EQ(soft.down[3].nMinKB, 20);
    EXPECT_EQ(soft.down[3].nMaxKB, 900);
    EXPECT_EQ(soft.down[3].nThreads, 5);
    EXPECT_EQ(soft.down[3].nTimeout, 30);
    EXPECT_EQ(soft.down[4].nThreads, 15);
    EXPECT_EQ(soft.down[4].nTimeout, 10);
    const ST_NAMESET& names = soft.names[2];
    EXPECT_EQ(FieldText(names.szPrefix), u"前缀"_s);
    EXPECT_EQ(FieldText(names.szSuffix), u"suffix"_s);
    EXPECT_EQ(FieldText(names.szReplaceFrom), u"a|b"_s);
    EXPECT_EQ(FieldText(names.szReplaceTo), u"x|y"_s);
    EXPECT_EQ(FieldText(names.szDirPrefix), u"?2_"_s);
    EXPECT_EQ(FieldText(names.szDirSuffix), u"-dir"_s);
    EXPECT_EQ(names.nOptions, 0x45);
    EXPECT_EQ(names.nReserved, 0x99);
    EXPECT_EQ(names.nNameSource, 2);
    EXPECT_EQ(names.nDirSource, 1);
    EXPECT_EQ(HistoryEntry(soft, History::Address, 0), u"http://user.qzone.qq.com/12345"_s);
    EXPECT_EQ(HistoryEntry(soft, History::Address, 1), u"12345"_s);
    EXPECT_EQ(HistoryEntry(soft, History::SavePath, 4), u"/home/me/图片/"_s);

    // Written back byte-identical apart from the normalised thread count and time-out.
    QByteArray expected = bytes;
    PutU16(expected, 3 * 8 + 4, 5);
    PutU16(expected, 3 * 8 + 6, 30);
    for (int k = 0; k < kServiceSlots; ++k) {
        if (k == 3 || k == 4) continue;
        PutU16(expected, k * 8 + 4, 5);
        PutU16(expected, k * 8 + 6, 30);
    }
    EXPECT_EQ(ReadAll(dir.file(u"soft.dat"_s)), expected);
}

TEST(SoftData, ShortFileUsesItsBytesAndZeroesTheRest)
{
    TempFolder dir;
    QByteArray bytes(100, '\0');
    PutU16(bytes, 0, 7);
    PutU16(bytes, 4, 3);
    PutU16(bytes, 6, 60);
    WriteAll(dir.file(u"soft.dat"_s), bytes);
    ST_SOFTDATA soft;
    LoadSoftData(soft, dir.file(u"soft.dat"_s));
    EXPECT_EQ(soft.down[0].nMinKB, 7);
    EXPECT_EQ(soft.down[0].nThreads, 3);
    EXPECT_EQ(soft.down[0].nTimeout, 60);
    EXPECT_EQ(soft.down[20].nThreads, 5);
    EXPECT_EQ(ReadAll(dir.file(u"soft.dat"_s)).size(), 19808);
}

TEST(SoftData, SaveReplacesTheFileWhole)
{
    TempFolder dir;
    WriteAll(dir.file(u"soft.dat"_s), QByteArray(30000, 'x'));
    ST_SOFTDATA soft{};
    soft.down[1].nThreads = 9;
    ASSERT_TRUE(SaveSoftData(soft, dir.file(u"soft.dat"_s)));
    const QByteArray bytes = ReadAll(dir.file(u"soft.dat"_s));
    EXPECT_EQ(bytes.size(), 19808);
    EXPECT_EQ(bytes[12], 9);
}

TEST(SoftData, MruAddKeepsFiveDistinctEntries)
{
    ST_SOFTDATA soft{};
    for (int i = 1; i <= 6; ++i)
        EXPECT_TRUE(MruAdd(History::SavePath, soft, u"/pics/%1/"_s.arg(i)));
    EXPECT_EQ(HistoryEntry(soft, History::SavePath, 0), u"/pics/6/"_s);
    EXPECT_EQ(HistoryEntry(soft, History::SavePath, 4), u"/pics/2/"_s);
    EXPECT_FALSE(MruAdd(History::SavePath, soft, u"/PICS/4/"_s));
    EXPECT_EQ(HistoryEntry(soft, History::SavePath, 0), u"/pics/6/"_s);
    EXPECT_FALSE(MruAdd(History::Address, soft, QString(400, u'a')));
    EXPECT_TRUE(MruAdd(History::Address, soft, QString(399, u'a')));
    EXPECT_EQ(HistoryEntry(soft, History::Address, 0).size(), 399);
    EXPECT_EQ(HistoryEntry(soft, History::SavePath, 0), u"/pics/6/"_s);
}

TEST(SoftData, StoreDownParamTakesOnlyValuesItCanKeep)
{
    ST_DOWNPARAM slot{1, 2, 5, 30};
    EXPECT_TRUE(StoreDownParam(slot, 15, 10, 20, 900));
    EXPECT_EQ(slot.nThreads, 15);
    EXPECT_EQ(slot.nTimeout, 10);
    EXPECT_EQ(slot.nMinKB, 20);
    EXPECT_EQ(slot.nMaxKB, 900);
    EXPECT_TRUE(StoreDownParam(slot, 1, 65535, 0, 65535));
    EXPECT_EQ(slot.nTimeout, 65535);

    // Each refusal leaves the slot as it was: out of range, or not representable in 16 bits
    // (65536 s would be kept as 0 s, -1 KB as a 64 MB minimum, 70000 KB as 4464 KB).
    const ST_DOWNPARAM kept = slot;
    // A maximum below the minimum would fail every picture.
    const struct {
        int values[4];
        DownField field;
    } refused[] = {{{0, 30, 0, 0}, DownField::Threads},     {{16, 30, 0, 0}, DownField::Threads},
                   {{5, 9, 0, 0}, DownField::Timeout},      {{5, 65536, 0, 0}, DownField::Timeout},
                   {{5, 30, -1, 0}, DownField::MinKB},      {{5, 30, 0, 70000}, DownField::MaxKB},
                   {{5, 30, 65536, 0}, DownField::MinKB},   {{5, 30, 100, 10}, DownField::MaxKB}};
    for (const auto& [values, field] : refused) {
        EXPECT_FALSE(StoreDownParam(slot, values[0], values[1], values[2], values[3]))
            << values[0] << " " << values[1] << " " << values[2] << " " << values[3];
        const auto fault = CheckDownParam(values[0], values[1], values[2], values[3]);
        ASSERT_TRUE(fault.has_value());
        EXPECT_EQ(fault->field, field) << values[0] << " " << values[1] << " " << values[2] << " " << values[3];
        EXPECT_EQ(std::memcmp(&slot, &kept, sizeof slot), 0);
    }
    EXPECT_TRUE(StoreDownParam(slot, 5, 30, 100, 0)); // no maximum
    EXPECT_TRUE(StoreDownParam(slot, 5, 30, 100, 100));
}
