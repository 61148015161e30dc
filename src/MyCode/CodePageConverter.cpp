#include "MyCode/CodePageConverter.h"

#include "MyCode/StringCtrl.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace {

const char* IconvName(int codePage)
{
    switch (codePage) {
    case CP_BIG5:
        return "BIG5";
    case CP_EUC_KR:
        return "EUC-KR";
    case CP_UTF8:
        return "UTF-8";
    default:
        return "GBK";
    }
}

// One conversion descriptor per call: iconv_t keeps shift state and must not be shared
// between threads.
class Iconv {
public:
    Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (valid()) iconv_close(m_cd);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can; returns false at an unconvertible or incomplete sequence,
    // leaving in/inLeft at it.
    bool Convert(char*& in, size_t& inLeft, QByteArray& out)
    {
        char buffer[4096];
        while (inLeft > 0) {
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            const size_t rc = iconv(m_cd, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer, qsizetype(sizeof buffer - outLeft));
            if (rc == size_t(-1) && errno != E2BIG) return false;
        }
        return true;
    }

private:
    iconv_t m_cd;
};

} // namespace

namespace CodePageConverter {

QByteArray Encode(QStringView text, int codePage)
{
    if (codePage == CP_UTF8) return text.toUtf8();
    Iconv cd(IconvName(codePage), "UTF-16LE");
    if (!cd.valid()) return {};
    QByteArray out;
    out.reserve(text.size() * 2);
    // Encode one UTF-16 unit (or surrogate pair) at a time only after a failure, so the common
    // case is one call.
    QByteArray utf16(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    char* in = utf16.data();
    size_t inLeft = size_t(utf16.size());
    while (!cd.Convert(in, inLeft, out)) {
        out += '?';
        // A lone high surrogate is one unit: the character after it is not part of it.
        const auto* units = reinterpret_cast<const char16_t*>(in);
        const bool pair = inLeft >= 4 && QChar::isHighSurrogate(units[0]) && QChar::isLowSurrogate(units[1]);
        const size_t skip = pair ? 4 : 2;
        in += skip;
        inLeft -= std::min(skip, inLeft);
    }
    return out;
}

QString Decode(QByteArrayView bytes, int codePage)
{
    if (codePage == CP_UTF8) return QString::fromUtf8(bytes);
    // Every code page here keeps the bytes below 0x80 as ASCII: such text needs no converter.
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return QString::fromLatin1(bytes);
    Iconv cd("UTF-16LE", IconvName(codePage));
    if (!cd.valid()) return {};
    QByteArray out;
    out.reserve(bytes.size() * 2);
    QByteArray copy(bytes.data(), bytes.size());
    char* in = copy.data();
    size_t inLeft = size_t(copy.size());
    while (!cd.Convert(in, inLeft, out)) {
        const char16_t replacement = 0xFFFD;
        out.append(reinterpret_cast<const char*>(&replacement), 2);
        ++in;
        --inLeft;
    }
    return QString(reinterpret_cast<const QChar*>(out.constData()), out.size() / 2);
}

} // namespace CodePageConverter
