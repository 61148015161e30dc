#include "support/AdapterTest.h"

#include "download/DownloadDriver.h"
#include "sources/AlbumListDriver.h"

#include <QFile>

AdapterTest::AdapterTest()
{
    core.LoadSoftData();
    core.m_bReady = true;
}

bool AdapterTest::GetAlbums(int kind, const QString& address)
{
    core.m_nSourceKind = kind;
    core.m_nSubKind = -1;
    core.m_nGetListState = GETLIST_RUNNING;
    frontEnd.SetAddressText(address);
    return GetAlbumList(core, address);
}

bool AdapterTest::Download(std::vector<int> albums)
{
    if (albums.empty())
        for (int i = 0; i < core.m_pAlbumList->Count(); ++i)
            albums.push_back(i);
    core.m_nDownState = DOWN_RUNNING;
    return DownloadDriver(core, saveRoot.path(), albums);
}

void AdapterTest::SetOptions(std::uint8_t options)
{
    core.EditSoft([&](ST_SOFTDATA& soft) { soft.names[core.m_nSourceKind].nOptions = options; });
}

void AdapterTest::Serve(const QByteArray& host, const QByteArray& target, const QString& fixture)
{
    service.Route(host, target, FakeReply::File(FixturePath(fixture)));
}

QByteArray AdapterTest::SavedBytes(const QString& relative) const
{
    QFile file(SavedFile(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList AdapterTest::AlbumNames() const
{
    QStringList names;
    for (int i = 0; i < core.m_pAlbumList->Count(); ++i)
        names << core.m_pAlbumList->At(i).strName;
    return names;
}

QByteArray FakePicture(int seed, int size)
{
    QByteArray bytes(size, char(seed));
    bytes[0] = char(0xFF);
    bytes[1] = char(0xD8);
    for (int i = 2; i < size; ++i)
        bytes[i] = char((i * 31 + seed * 7) & 0xFF);
    return bytes;
}
