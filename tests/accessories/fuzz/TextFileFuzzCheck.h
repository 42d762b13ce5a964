#pragma once
// What must hold for any bytes the notepad reads, shared by the fuzzer and
// the corpus test. Header only, so the fuzzer needs no test framework.

#include "accessories/TextFile.h"
#include "plan/TextEncoding.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QString>

#include <utility>
#include <vector>

namespace zp::fuzzcheck {

inline QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Where the line breaks of a file are ([start, end) of each), found apart
// from the reader: a line feed, a carriage return with or without one, and
// in UTF-8 the bytes of U+2029 (E2 never continues another character).
inline std::vector<std::pair<qsizetype, qsizetype>> breakSpans(const QByteArray& bytes, qsizetype from, bool utf8)
{
    std::vector<std::pair<qsizetype, qsizetype>> spans;
    for (qsizetype i = from; i < bytes.size();) {
        qsizetype len = 0;
        if (bytes[i] == '\n')
            len = 1;
        else if (bytes[i] == '\r')
            len = i + 1 < bytes.size() && bytes[i + 1] == '\n' ? 2 : 1;
        else if (utf8 && bytes.mid(i, 3) == "\xE2\x80\xA9")
            len = 3;
        if (len)
            spans.emplace_back(i, i + len);
        i += len ? len : 1;
    }
    return spans;
}

inline QByteArray encoded(const QString& text, bool utf8)
{
    return utf8 ? text.toUtf8() : toWindows1252(text).value_or(QByteArray());
}

// Reads `bytes` as the notepad does. Returns an empty text when all is
// well, else what went wrong:
// - no line holds a character the editor would change, or a lone surrogate;
// - the lines written back unchanged give the same bytes;
// - one line edited, the bytes change only there; one line removed and
//   one further down edited, only those two change.
inline QString checkTextBytes(const QByteArray& bytes)
{
    const TextFileContent c = decodeTextFile(bytes);
    const QStringList lines = c.text.split(u'\n');
    if (qsizetype(c.breaks.size()) + 1 != lines.size())
        return QStringLiteral("lines and line breaks do not pair up");
    for (const QString& line : lines) {
        for (qsizetype i = 0; i < line.size(); ++i) {
            const char16_t u = line[i].unicode();
            if (u == u'\r' || u == 0x2029 || u == 0xFDD0 || u == 0xFDD1)
                return QStringLiteral("a line holds a character the editor changes");
            if (QChar::isHighSurrogate(u) && i + 1 < line.size() && line[i + 1].isLowSurrogate())
                ++i;
            else if (QChar::isSurrogate(u))
                return QStringLiteral("a line holds a lone surrogate");
        }
    }
    if (c.format.encoding == kUtf16LeEncoding || c.format.encoding == kUtf16BeEncoding) {
        // Two bytes a character: checked through the text rather than the bytes.
        QByteArray used;
        if (encodeTextFile(lines, c.breaks, c.format, &used) != bytes)
            return QStringLiteral("written back unchanged, the file is not the same");
        if (used != c.format.encoding)
            return QStringLiteral("written back unchanged, the encoding changed");
        QStringList edited = lines;
        edited[0] += QStringLiteral("\u00e9x");
        const TextFileContent again =
            decodeTextFile(encodeTextFile(edited, TextFileLayout(c).breaksFor(edited, c.format.newLineBreak), c.format));
        if (again.text != edited.join(u'\n') || again.breaks != c.breaks || again.format != c.format)
            return QStringLiteral("editing one line of a UTF-16 file changed others");
        return {};
    }
    const bool utf8 = c.format.encoding == kUtf8Encoding;
    const auto spans = breakSpans(bytes, c.format.byteOrderMark ? 3 : 0, utf8);
    if (spans.size() != c.breaks.size())
        return QStringLiteral("the reader found other line breaks");
    for (std::size_t i = 0; i < spans.size(); ++i)
        if (bytes.mid(spans[i].first, spans[i].second - spans[i].first) != lineBreakBytes(c.breaks[i]))
            return QStringLiteral("a line break was read as another");

    const TextFileLayout layout(c);
    const LineBreak nl = c.format.newLineBreak;
    if (layout.breaksFor(lines, nl) != c.breaks || TextFileLayout(lines, c.breaks).breaksFor(lines, nl) != c.breaks)
        return QStringLiteral("unchanged lines get other line breaks");
    QByteArray used;
    if (encodeTextFile(lines, c.breaks, c.format, &used) != bytes)
        return QStringLiteral("written back unchanged, the file is not the same");
    if (used != c.format.encoding)
        return QStringLiteral("written back unchanged, the encoding changed");

    // One line edited, chosen by the bytes.
    const QString added = QStringLiteral("\u00e9x");
    const qsizetype last = lines.size() - 1;
    const qsizetype k1 = qsizetype(qHash(bytes) % size_t(lines.size()));
    QStringList edited = lines;
    edited[k1] += added;
    auto lineEnd = [&](qsizetype k) { return k < last ? spans[std::size_t(k)].first : bytes.size(); };
    QByteArray expected = bytes;
    expected.insert(lineEnd(k1), encoded(added, utf8));
    if (k1 == last && lines[k1].isEmpty() && c.format.finalLineBreak)
        expected += lineBreakBytes(nl);
    if (encodeTextFile(edited, layout.breaksFor(edited, nl), c.format) != expected)
        return QStringLiteral("editing one line changed others");

    // A line removed and one further down edited (so the lines between
    // move up one), where no line between could be taken for another.
    const qsizetype k2 = k1 + 2 + qsizetype(qHash(bytes, 1) % size_t(lines.size()));
    if (k2 >= last)
        return {};
    edited = lines;
    edited[k2] += added;
    QSet<QString> seen{edited[k2]};
    for (qsizetype k = k1; k <= k2; ++k) {
        if (seen.contains(lines[k]))
            return {};
        seen.insert(lines[k]);
    }
    edited.removeAt(k1);
    auto lineStart = [&](qsizetype k) { return k == 0 ? (c.format.byteOrderMark ? 3 : 0) : spans[std::size_t(k - 1)].second; };
    expected = bytes;
    expected.insert(lineEnd(k2), encoded(added, utf8));
    expected.remove(lineStart(k1), lineStart(k1 + 1) - lineStart(k1));
    if (encodeTextFile(edited, layout.breaksFor(edited, nl), c.format) != expected)
        return QStringLiteral("removing one line and editing another changed others");
    return {};
}

} // namespace zp::fuzzcheck
