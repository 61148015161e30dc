#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

// Code pages the services serve their pages in; "ANSI" is GBK everywhere.
enum CodePage : int {
    CP_GBK = 936,
    CP_BIG5 = 950,
    CP_EUC_KR = 51949,
    CP_UTF8 = 65001,
};

// Mark-based text operations with which service pages are cut. All searches are exact,
// case-sensitive and find the first occurrence; positions count UTF-16 code units from 0.
// An absent mark is never an error: the result is empty or -1 and the input stays as it was.
class CStringCtrl {
public:
    // Flags of Between: advance the text past the start mark; take the whole rest when the
    // end mark is absent.
    static constexpr int kAdvance = 1;
    static constexpr int kRestIfNoEnd = 2;

    static QString Between(QString& text, QStringView start, QStringView end, int flags);
    static qsizetype SkipTo(QString& text, QStringView mark, bool skipMark);
    static qsizetype CutAt(QString& text, QStringView mark);
    static QString LeftOf(const QString& text, QStringView mark);
    // Returns the number of separators; the array gets n + 1 pieces, or stays empty when n is 0.
    static qsizetype Split(QStringList& out, const QString& text, QStringView separator);
    static qsizetype Count(QStringView text, QStringView sub);
    static QString StripTags(const QString& text);

    static void DecodeEntities(QString& text);
    static QString UnescapeUnicode(const QString& text);
    static void ReplaceList(QString& text, const QString& fromList, const QString& toList);
    static QString UrlDecodeUtf8(const QString& text);
    static QString RandomFraction();

    static QByteArray WideToGbk(QStringView text);
    static QByteArray WideToMulti(QStringView text, int codePage);
    // Converts count bytes; a NUL byte is converted like any other character.
    static QString MultiToWide(const char* bytes, int codePage, qsizetype count);
    static QString MultiToWide(const QByteArray& bytes, int codePage);
    static QString AnsiToWide(const char* bytes);
    static bool IsUtf8(const char* bytes, qint64 count);

    // C0 and C1 controls, DEL, and what shows nothing yet changes how text reads: the
    // bidirectional marks, embeddings, overrides and isolates, the zero-width characters and
    // joiners, the line and paragraph separators and the byte-order mark. None of them may name
    // a file or reach a terminal raw.
    static bool IsControlOrInvisible(QChar c);
    // Every lone surrogate becomes U+FFFD, so that the text has one UTF-8 form.
    static void MakeValidUtf16(QString& text);
    // Shows controls, bidirectional controls and lone surrogates as "\x1b" or "\u202e", so
    // that a page's text cannot steer the terminal; line feeds stay when keepLineFeeds is set.
    static QString VisibleControls(QStringView text, bool keepLineFeeds);

    static QString Cipher(const QString& text, bool encode, const QString& key);
};
