#include "MyCode/StringCtrl.h"

#include "MyCode/CodePageConverter.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>

using namespace Qt::StringLiterals;

namespace {
int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
} // namespace

QString CStringCtrl::Between(QString& text, QStringView start, QStringView end, int flags)
{
    const qsizetype startPos = text.indexOf(start);
    if (startPos < 0) return {};
    const qsizetype restPos = startPos + start.size();
    const qsizetype endPos = text.indexOf(end, restPos);
    QString result;
    if (endPos >= 0)
        result = text.mid(restPos, endPos - restPos);
    else if (flags & kRestIfNoEnd)
        result = text.mid(restPos);
    // Removing from the front of an unshared QString only moves its begin pointer, so a walk
    // over a long page stays linear.
    if (flags & kAdvance) text.remove(0, restPos);
    return result;
}

qsizetype CStringCtrl::SkipTo(QString& text, QStringView mark, bool skipMark)
{
    const qsizetype pos = text.indexOf(mark);
    if (pos < 0) return -1;
    text.remove(0, skipMark ? pos + mark.size() : pos);
    return pos;
}

qsizetype CStringCtrl::CutAt(QString& text, QStringView mark)
{
    const qsizetype pos = text.indexOf(mark);
    if (pos < 0) return -1;
    text.truncate(pos);
    return pos;
}

QString CStringCtrl::LeftOf(const QString& text, QStringView mark)
{
    const qsizetype pos = text.indexOf(mark);
    if (pos <= 0) return {};
    return text.left(pos);
}

qsizetype CStringCtrl::Split(QStringList& out, const QString& text, QStringView separator)
{
    out.clear();
    const qsizetype n = Count(text, separator);
    if (n == 0) return 0;
    out.reserve(n + 1);
    qsizetype from = 0;
    for (qsizetype pos = text.indexOf(separator); pos >= 0; pos = text.indexOf(separator, from)) {
        out.append(text.mid(from, pos - from));
        from = pos + separator.size();
    }
    out.append(text.mid(from));
    return n;
}

qsizetype CStringCtrl::Count(QStringView text, QStringView sub)
{
    if (sub.isEmpty()) return 0;
    qsizetype n = 0;
    for (qsizetype pos = text.indexOf(sub); pos >= 0; pos = text.indexOf(sub, pos + sub.size()))
        ++n;
    return n;
}

QString CStringCtrl::StripTags(const QString& text)
{
    QString result = text;
    QString walk = text;
    for (;;) {
        const QString body = Between(walk, u"<", u">", kAdvance);
        if (body.isEmpty()) break;
        result.remove(u'<' + body + u'>');
    }
    return result;
}

void CStringCtrl::DecodeEntities(QString& text)
{
    // The order matters: "&amp;lt;" ends as "<".
    text.replace(u"&quot;"_s, u"\""_s);
    text.replace(u"&amp;"_s, u"&"_s);
    text.replace(u"&lt;"_s, u"<"_s);
    text.replace(u"&gt;"_s, u">"_s);
    text.replace(u"&nbsp;"_s, u" "_s);
    text.replace(u"&hellip;"_s, QString(QChar(0x2026)));
    text.replace(u"&#39;"_s, u"'"_s);
}

QString CStringCtrl::UnescapeUnicode(const QString& text)
{
    QStringList pieces;
    if (Split(pieces, text, u"\\u") == 0) return text;
    QString result = pieces.front();
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const QString& piece = pieces[i];
        if (piece.size() < 4) {
            result += piece;
            continue;
        }
        char16_t code = 0;
        for (qsizetype k = 0; k < 4; ++k) {
            const int digit = piece[k].unicode() < 128 ? HexValue(char(piece[k].unicode())) : -1;
            if (digit < 0) break;
            code = char16_t(code * 16 + digit);
        }
        // "\\u" followed by no digit at all would name the NUL character; it is dropped.
        if (code != 0) result += QChar(code);
        result += QStringView(piece).mid(4);
    }
    return result;
}

void CStringCtrl::ReplaceList(QString& text, const QString& fromList, const QString& toList)
{
    if (fromList.isEmpty()) return;
    QStringList from, to;
    const qsizetype nFrom = Split(from, fromList, u"|");
    const qsizetype nTo = Split(to, toList, u"|");
    if (nFrom != nTo || nFrom == 0) {
        text.replace(fromList, toList);
        return;
    }
    for (qsizetype i = 0; i < from.size(); ++i)
        if (!from[i].isEmpty()) text.replace(from[i], to[i]);
}

QString CStringCtrl::UrlDecodeUtf8(const QString& text)
{
    constexpr qsizetype kMaxDecoded = 1023;
    const QByteArray bytes = WideToGbk(text);
    QByteArray decoded;
    for (qsizetype i = 0; i < bytes.size() && decoded.size() < kMaxDecoded; ++i) {
        if (bytes[i] != '%') {
            decoded += bytes[i];
            continue;
        }
        const int hi = i + 1 < bytes.size() ? HexValue(bytes[i + 1]) : -1;
        const int lo = i + 2 < bytes.size() ? HexValue(bytes[i + 2]) : -1;
        if (hi < 0 || lo < 0) break;
        decoded += char(hi * 16 + lo);
        i += 2;
    }
    return MultiToWide(decoded, CP_UTF8);
}

QString CStringCtrl::RandomFraction()
{
    // Seeded by the current second, so two calls within one second agree; the generator is
    // process-wide, hence the lock.
    static std::mutex lock;
    std::lock_guard guard(lock);
    std::srand(unsigned(std::time(nullptr)));
    const int r = std::rand() % 32768;
    return QString::asprintf("%0.16f", double(r) / 32767.0);
}

QByteArray CStringCtrl::WideToGbk(QStringView text)
{
    return CodePageConverter::Encode(text, CP_GBK);
}

QByteArray CStringCtrl::WideToMulti(QStringView text, int codePage)
{
    return CodePageConverter::Encode(text, codePage);
}

QString CStringCtrl::MultiToWide(const char* bytes, int codePage, qsizetype count)
{
    if (!bytes || count <= 0) return {};
    // A NUL byte in a page is a character like any other: cutting there lost the rest of the page.
    return CodePageConverter::Decode(QByteArrayView(bytes, count), codePage);
}

QString CStringCtrl::MultiToWide(const QByteArray& bytes, int codePage)
{
    return MultiToWide(bytes.constData(), codePage, bytes.size());
}

QString CStringCtrl::AnsiToWide(const char* bytes)
{
    return bytes ? MultiToWide(bytes, CP_GBK, qsizetype(std::strlen(bytes))) : QString();
}

bool CStringCtrl::IsControlOrInvisible(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x061C || (u >= 0x200B && u <= 0x200F) ||
           (u >= 0x2028 && u <= 0x202E) || (u >= 0x2060 && u <= 0x2064) || (u >= 0x2066 && u <= 0x2069) || u == 0xFEFF;
}

namespace {
// Positions of the units that are half of no surrogate pair.
template <typename Visit> void ForEachLoneSurrogate(QStringView text, Visit visit)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!c.isSurrogate()) continue;
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else
            visit(i);
    }
}
} // namespace

void CStringCtrl::MakeValidUtf16(QString& text)
{
    ForEachLoneSurrogate(text, [&](qsizetype i) { text[i] = QChar::ReplacementCharacter; });
}

QString CStringCtrl::VisibleControls(QStringView text, bool keepLineFeeds)
{
    QList<bool> lone(text.size(), false);
    ForEachLoneSurrogate(text, [&](qsizetype i) { lone[i] = true; });
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\n' && keepLineFeeds)
            shown += c;
        else if (c.unicode() < 0x100 && IsControlOrInvisible(c))
            shown += QString::asprintf("\\x%02x", unsigned(c.unicode()));
        else if (lone[i] || IsControlOrInvisible(c))
            shown += QString::asprintf("\\u%04x", unsigned(c.unicode()));
        else
            shown += c;
    }
    return shown;
}

bool CStringCtrl::IsUtf8(const char* bytes, qint64 count)
{
    int pending = 0;
    bool sawHigh = false;
    for (qint64 i = 0; i < count; ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0x80) sawHigh = true;
        if (pending > 0) {
            if (b < 0x80 || b > 0xBF) return false;
            --pending;
        } else if (b < 0x80) {
            continue;
        } else if (b <= 0xBF) {
            return false;
        } else if (b <= 0xDF) {
            pending = 1;
        } else if (b <= 0xEF) {
            pending = 2;
        } else if (b <= 0xF7) {
            pending = 3;
        } else {
            pending = (b == 0xFC || b == 0xFD) ? 5 : 4;
        }
    }
    return pending == 0 && sawHigh;
}

namespace {
// Each emitted byte is written as the two hex digits of its complement.
QByteArray ToComplementHex(const QByteArray& bytes)
{
    QByteArray hex;
    hex.reserve(bytes.size() * 2);
    for (const char c : bytes)
        hex += QByteArray::number(255 - static_cast<unsigned char>(c), 16).rightJustified(2, '0').toUpper();
    return hex;
}

QByteArray FromComplementHex(const QByteArray& hex)
{
    QByteArray bytes;
    bytes.reserve(hex.size() / 2);
    for (qsizetype i = 0; i + 1 < hex.size(); i += 2) {
        const int hi = HexValue(hex[i]), lo = HexValue(hex[i + 1]);
        if (hi < 0 || lo < 0) break;
        bytes += char(255 - (hi * 16 + lo));
    }
    return bytes;
}
} // namespace

QString CStringCtrl::Cipher(const QString& text, bool encode, const QString& key)
{
    const QByteArray keyBytes = WideToGbk(key);
    if (keyBytes.isEmpty()) return {};
    const QByteArray input = WideToGbk(text);
    QByteArray out;
    qsizetype keyPos = 0;
    auto nextKey = [&] {
        const auto k = static_cast<unsigned char>(keyBytes[keyPos]);
        keyPos = (keyPos + 1) % keyBytes.size();
        return k;
    };
    if (encode) {
        // A plain byte equal to its key byte would encipher to NUL, and CR or LF would break the
        // stored line; those three are written as the key byte and a marker.
        for (const char c : input) {
            const unsigned char k = nextKey();
            const unsigned char x = static_cast<unsigned char>(c) ^ k;
            if (x == 0 || x == 13 || x == 10) {
                out += char(k);
                out += x == 0 ? '1' : x == 13 ? '2' : '3';
            } else {
                out += char(x);
            }
        }
        return MultiToWide(ToComplementHex(out), CP_GBK);
    }
    const QByteArray bytes = FromComplementHex(input);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const unsigned char k = nextKey();
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == k && i + 1 < bytes.size()) {
            const char marker = bytes[++i];
            out += char(marker == '1' ? k : marker == '2' ? (k ^ 13) : (k ^ 10));
        } else {
            out += char(b ^ k);
        }
    }
    return MultiToWide(out, CP_GBK);
}
