#include "download/FileCheck.h"

#include "MyCode/PictureEnd.h"
#include "MyCode/URLSource2.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {
constexpr qint64 kReadPiece = 256 * 1024;

// What a body that is no picture most likely is: services answer a missing picture with a page
// or a JSON error.
QString LooksLike(QByteArrayView head)
{
    const QByteArrayView text = head.trimmed();
    if (text.startsWith('<')) return u"网页"_s;
    if (text.startsWith('{') || text.startsWith('[')) return u"JSON"_s;
    return {};
}

QString NotPictureText(QByteArrayView head, qint64 size)
{
    const QString kind = LooksLike(head);
    const QString bytes = u"%1字节"_s.arg(size);
    return FetchFailureText(FetchFailure::NotPicture, 0) + u"（%1）"_s.arg(kind.isEmpty() ? bytes : kind + u"，"_s + bytes);
}
} // namespace

std::optional<FileFinding> CheckPictureFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return FileFinding{path, u"无法读取"_s};
    if (file.size() == 0) return FileFinding{path, u"空文件"_s};
    PictureEndScanner scanner;
    const QByteArray head = file.peek(kPictureHeadBytes);
    while (!file.atEnd()) {
        const QByteArray piece = file.read(kReadPiece);
        if (piece.isEmpty()) return FileFinding{path, u"无法读取"_s};
        scanner.Feed(piece);
    }
    scanner.Finish();
    if (scanner.Format() == PictureFormat::None) return FileFinding{path, NotPictureText(head, file.size())};
    if (!scanner.HoldsEnd()) return FileFinding{path, FetchFailureText(FetchFailure::Incomplete, 0) + u"（缺少结尾）"_s};
    return std::nullopt;
}
