#include "accessories/TextFile.h"

#include "plan/TextEncoding.h"
#include "plan/WriteTarget.h"
#include "ui/ReadableFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <utility>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace zp {

namespace {

const QByteArray kUtf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// The length of the well-formed UTF-8 sequence at `p` (RFC 3629: no
// overlong forms, no surrogates, nothing past U+10FFFF), with its code
// point in `cp`; 0 when none starts there.
int utf8Sequence(const unsigned char* p, qsizetype left, char32_t* cp)
{
    const unsigned char b0 = p[0];
    if (b0 < 0x80) {
        *cp = b0;
        return 1;
    }
    int len = 0;
    char32_t c = 0;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        c = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        c = b0 & 0x0F;
        if (b0 == 0xE0)
            lo = 0xA0;
        else if (b0 == 0xED)
            hi = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        c = b0 & 0x07;
        if (b0 == 0xF0)
            lo = 0x90;
        else if (b0 == 0xF4)
            hi = 0x8F;
    } else {
        return 0;
    }
    if (left < len)
        return 0;
    for (int k = 1; k < len; ++k) {
        const unsigned char b = p[k];
        if (b < (k == 1 ? lo : 0x80) || b > (k == 1 ? hi : 0xBF))
            return 0;
        c = (c << 6) | (b & 0x3F);
    }
    *cp = c;
    return len;
}

// Mostly UTF-8: no stray byte, or at least as many characters of two or
// more bytes as stray bytes. Windows-1252 text has hardly any of the first
// (an accented capital followed by punctuation), binary data few.
bool readsAsUtf8(const unsigned char* p, qsizetype n)
{
    qsizetype multiByte = 0;
    qsizetype stray = 0;
    for (qsizetype i = 0; i < n;) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        char32_t cp;
        const int len = utf8Sequence(p + i, n - i, &cp);
        if (len) {
            ++multiByte;
            i += len;
        } else {
            ++stray;
            ++i;
        }
    }
    return stray == 0 || multiByte >= stray;
}

// Characters the editor does not keep as they are, and the escapes
// themselves: read as one escape a byte.
bool mustEscape(char32_t cp)
{
    return cp == 0xFDD0 || cp == 0xFDD1 || isByteEscape(cp);
}

void appendCodePoint(QString& text, char32_t cp)
{
    if (cp < 0x10000) {
        text.append(QChar(char16_t(cp)));
    } else {
        text.append(QChar(QChar::highSurrogate(cp)));
        text.append(QChar(QChar::lowSurrogate(cp)));
    }
}

void appendEscape(QString& text, unsigned char byte)
{
    appendCodePoint(text, kByteEscapeBase + byte);
}

// Text and breaks, as a file is read.
class LineCollector {
public:
    explicit LineCollector(qsizetype size) { content.text.reserve(size); }

    void lineBreak(LineBreak kind)
    {
        content.text.append(u'\n');
        content.breaks.push_back(kind);
        const auto k = static_cast<std::size_t>(kind);
        if (counts_[k]++ == 0)
            order_[k] = int(content.breaks.size());
    }

    // The break most lines end with (the earliest of equals); a line feed
    // when there is none.
    LineBreak commonest() const
    {
        LineBreak best = LineBreak::Lf;
        for (std::size_t k = 1; k < counts_.size(); ++k) {
            const auto b = static_cast<std::size_t>(best);
            if (counts_[k] > counts_[b] || (counts_[k] == counts_[b] && counts_[k] > 0 && order_[k] < order_[b]))
                best = static_cast<LineBreak>(k);
        }
        return best;
    }

    TextFileContent content;

private:
    std::array<qsizetype, 5> counts_{};
    std::array<int, 5> order_{};
};

// Where a run of ordinary bytes (no line break, below 80 hex when `ascii`)
// starting at `i` ends.
qsizetype runEnd(const unsigned char* p, qsizetype i, qsizetype n, bool ascii)
{
    while (i < n && p[i] != '\n' && p[i] != '\r' && (!ascii || p[i] < 0x80))
        ++i;
    return i;
}

// Appends a line's text in UTF-8: an escape gives its byte back, a lone
// surrogate (pasted in) becomes U+FFFD.
void appendUtf8(QStringView line, QByteArray& out)
{
    const bool plain = std::none_of(line.begin(), line.end(), [](QChar c) { return c.isSurrogate(); });
    if (plain) {
        out.append(line.toUtf8());
        return;
    }
    for (qsizetype i = 0; i < line.size(); ++i) {
        char32_t cp = line[i].unicode();
        if (QChar::isHighSurrogate(cp) && i + 1 < line.size() && line[i + 1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(line[i], line[i + 1]);
            ++i;
        } else if (QChar::isSurrogate(cp)) {
            cp = 0xFFFD;
        }
        if (isByteEscape(cp)) {
            out.append(char(cp & 0xFF));
            continue;
        }
        if (cp < 0x80) {
            out.append(char(cp));
        } else if (cp < 0x800) {
            out.append(char(0xC0 | (cp >> 6)));
            out.append(char(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.append(char(0xE0 | (cp >> 12)));
            out.append(char(0x80 | ((cp >> 6) & 0x3F)));
            out.append(char(0x80 | (cp & 0x3F)));
        } else {
            out.append(char(0xF0 | (cp >> 18)));
            out.append(char(0x80 | ((cp >> 12) & 0x3F)));
            out.append(char(0x80 | ((cp >> 6) & 0x3F)));
            out.append(char(0x80 | (cp & 0x3F)));
        }
    }
}

// Appends a line's text in Windows-1252; false, with `out` as it was,
// when a character has no byte there.
bool appendWindows1252Line(QStringView line, QByteArray& out)
{
    if (appendWindows1252(line, out))
        return true;
    const qsizetype start = out.size();
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i].isHighSurrogate() && i + 1 < line.size() && line[i + 1].isLowSurrogate()) {
            const char32_t cp = QChar::surrogateToUcs4(line[i], line[i + 1]);
            ++i;
            if (isByteEscape(cp)) {
                out.append(char(cp & 0xFF));
                continue;
            }
        } else if (appendWindows1252(line.sliced(i, 1), out)) {
            continue;
        }
        out.truncate(start);
        return false;
    }
    return true;
}

bool encodeLines(const QStringList& lines, const std::vector<LineBreak>& breaks, const TextFileFormat& format,
                 bool windows1252, QByteArray& out)
{
    if (!windows1252 && format.byteOrderMark)
        out.append(kUtf8Bom);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (windows1252) {
            if (!appendWindows1252Line(lines[i], out))
                return false;
        } else {
            appendUtf8(lines[i], out);
        }
        if (i + 1 < lines.size()) {
            const auto b = static_cast<std::size_t>(i);
            const LineBreak lb = b < breaks.size() && breaks[b] != LineBreak::None ? breaks[b] : format.newLineBreak;
            out.append(lineBreakBytes(lb));
        }
    }
    if (format.finalLineBreak && !lines.isEmpty() && !lines.last().isEmpty())
        out.append(lineBreakBytes(format.newLineBreak));
    return true;
}

// The lines two texts share, in order (the longest such run, by Myers'
// difference algorithm), as pairs of indexes; nothing when the texts
// differ in more than `maxDifferences` lines, where it would take long.
std::optional<std::vector<std::pair<qsizetype, qsizetype>>>
commonLines(const size_t* a, qsizetype n, const size_t* b, qsizetype m, qsizetype maxDifferences)
{
    const qsizetype limit = std::min(n + m, maxDifferences);
    const qsizetype off = limit + 1;
    std::vector<qsizetype> v(std::size_t(2 * limit + 3), 0);
    // After each round d, the furthest x reached on each diagonal -d..d.
    std::vector<std::vector<qsizetype>> trace;
    qsizetype found = -1;
    for (qsizetype d = 0; d <= limit && found < 0; ++d) {
        for (qsizetype k = -d; k <= d; k += 2) {
            qsizetype x = (k == -d || (k != d && v[off + k - 1] < v[off + k + 1])) ? v[off + k + 1] : v[off + k - 1] + 1;
            qsizetype y = x - k;
            while (x < n && y < m && a[x] == b[y]) {
                ++x;
                ++y;
            }
            v[off + k] = x;
            if (x >= n && y >= m) {
                found = d;
                break;
            }
        }
        trace.emplace_back(v.begin() + (off - d), v.begin() + (off + d + 1));
    }
    if (found < 0)
        return std::nullopt;

    std::vector<std::pair<qsizetype, qsizetype>> pairs;
    qsizetype x = n;
    qsizetype y = m;
    for (qsizetype d = found; d > 0; --d) {
        const std::vector<qsizetype>& prev = trace[std::size_t(d - 1)];
        auto at = [&](qsizetype k) { return prev[std::size_t(k + d - 1)]; };
        const qsizetype k = x - y;
        const bool down = k == -d || (k != d && at(k - 1) < at(k + 1));
        const qsizetype prevK = down ? k + 1 : k - 1;
        const qsizetype prevX = at(prevK);
        const qsizetype startX = down ? prevX : prevX + 1;
        const qsizetype startY = startX - k;
        while (x > startX && y > startY)
            pairs.emplace_back(--x, --y);
        x = prevX;
        y = prevX - prevK;
    }
    while (x > 0 && y > 0)
        pairs.emplace_back(--x, --y);
    std::reverse(pairs.begin(), pairs.end());
    return pairs;
}

// For each new line, the old line it stands for: the same line where
// they match, and where lines were changed the one at the same place of
// the changed block; -1 for a line added.
std::vector<qsizetype> matchLines(const std::vector<size_t>& a, const std::vector<size_t>& b)
{
    const auto n = qsizetype(a.size());
    const auto m = qsizetype(b.size());
    std::vector<qsizetype> match(b.size(), -1);
    qsizetype p = 0;
    while (p < n && p < m && a[std::size_t(p)] == b[std::size_t(p)]) {
        match[std::size_t(p)] = p;
        ++p;
    }
    qsizetype s = 0;
    while (s < n - p && s < m - p && a[std::size_t(n - 1 - s)] == b[std::size_t(m - 1 - s)]) {
        match[std::size_t(m - 1 - s)] = n - 1 - s;
        ++s;
    }
    const qsizetype an = n - p - s;
    const qsizetype bn = m - p - s;
    constexpr qsizetype kMaxDifferences = 1000;
    auto pairs = commonLines(a.data() + p, an, b.data() + p, bn, kMaxDifferences);
    if (!pairs)
        pairs.emplace(); // too different: pair the lines by place
    qsizetype fromX = 0;
    qsizetype fromY = 0;
    pairs->emplace_back(an, bn);
    for (const auto& [x, y] : *pairs) {
        for (qsizetype t = 0; t < std::min(x - fromX, y - fromY); ++t)
            match[std::size_t(p + fromY + t)] = p + fromX + t;
        if (x < an)
            match[std::size_t(p + y)] = p + x;
        fromX = x + 1;
        fromY = y + 1;
    }
    return match;
}

std::vector<size_t> lineHashes(const QStringList& lines)
{
    std::vector<size_t> hashes;
    hashes.reserve(std::size_t(lines.size()));
    for (const QString& line : lines)
        hashes.push_back(qHash(QStringView(line)));
    return hashes;
}

} // namespace

QByteArray lineBreakBytes(LineBreak lineBreak)
{
    switch (lineBreak) {
    case LineBreak::None:
        return {};
    case LineBreak::Lf:
        return QByteArrayLiteral("\n");
    case LineBreak::CrLf:
        return QByteArrayLiteral("\r\n");
    case LineBreak::Cr:
        return QByteArrayLiteral("\r");
    case LineBreak::ParagraphSeparator:
        return QByteArrayLiteral("\xE2\x80\xA9");
    }
    return {};
}

bool isByteEscape(char32_t c)
{
    return c >= kByteEscapeBase + 0x80 && c <= kByteEscapeBase + 0xFF;
}

namespace {

TextFileContent decodeUtf8OrWindows1252(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    qsizetype n = bytes.size();
    const bool utf8 = readsAsUtf8(p, n);
    bool mark = false;
    if (utf8 && bytes.startsWith(kUtf8Bom)) {
        mark = true;
        p += kUtf8Bom.size();
        n -= kUtf8Bom.size();
    }
    LineCollector lines(n);
    QString& text = lines.content.text;
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c == '\n') {
            lines.lineBreak(LineBreak::Lf);
            ++i;
        } else if (c == '\r') {
            const bool pair = i + 1 < n && p[i + 1] == '\n';
            lines.lineBreak(pair ? LineBreak::CrLf : LineBreak::Cr);
            i += pair ? 2 : 1;
        } else if (!utf8) {
            const qsizetype end = runEnd(p, i, n, false);
            text.append(fromWindows1252(QByteArrayView(p + i, end - i)));
            i = end;
        } else if (c < 0x80) {
            const qsizetype end = runEnd(p, i, n, true);
            text.append(QLatin1StringView(reinterpret_cast<const char*>(p + i), end - i));
            i = end;
        } else {
            char32_t cp = 0;
            const int len = utf8Sequence(p + i, n - i, &cp);
            if (len == 0) {
                appendEscape(text, c);
            } else if (cp == 0x2029) {
                lines.lineBreak(LineBreak::ParagraphSeparator);
            } else if (mustEscape(cp)) {
                for (int k = 0; k < len; ++k)
                    appendEscape(text, p[i + k]);
            } else {
                appendCodePoint(text, cp);
            }
            i += len ? len : 1;
        }
    }
    TextFileContent content = std::move(lines.content);
    content.format.encoding = utf8 ? kUtf8Encoding : kWindows1252Encoding;
    content.format.byteOrderMark = mark;
    content.format.newLineBreak = lines.commonest();
    content.format.finalLineBreak = n == 0 || (!content.breaks.empty() && content.text.endsWith(u'\n'));
    return content;
}

const QByteArray kUtf16LeBom = QByteArrayLiteral("\xFF\xFE");
const QByteArray kUtf16BeBom = QByteArrayLiteral("\xFE\xFF");

// The UTF-8 form of a UTF-16 file's text after its mark; nothing when it
// is no well-formed UTF-16 (an odd length, a lone surrogate), which is then
// read as any other file.
std::optional<QByteArray> utf16AsUtf8(QByteArrayView bytes, bool bigEndian)
{
    if (bytes.size() % 2 != 0)
        return std::nullopt;
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto hi = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 0 : 1)]);
        const auto lo = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 1 : 0)]);
        text[i] = QChar(char16_t(hi << 8 | lo));
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return std::nullopt;
    }
    return text.toUtf8();
}

QByteArray utf8AsUtf16(const QByteArray& utf8, bool bigEndian)
{
    const QString text = QString::fromUtf8(utf8);
    QByteArray out = bigEndian ? kUtf16BeBom : kUtf16LeBom;
    out.reserve(out.size() + 2 * text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        const char hi = char(u >> 8), lo = char(u & 0xFF);
        out.append(bigEndian ? hi : lo);
        out.append(bigEndian ? lo : hi);
    }
    return out;
}

} // namespace

TextFileContent decodeTextFile(const QByteArray& bytes)
{
    for (const bool bigEndian : {false, true}) {
        if (!bytes.startsWith(bigEndian ? kUtf16BeBom : kUtf16LeBom))
            continue;
        if (const auto utf8 = utf16AsUtf8(QByteArrayView(bytes).sliced(2), bigEndian)) {
            TextFileContent content = decodeUtf8OrWindows1252(*utf8);
            content.format.encoding = bigEndian ? kUtf16BeEncoding : kUtf16LeEncoding;
            content.format.byteOrderMark = true;
            return content;
        }
    }
    return decodeUtf8OrWindows1252(bytes);
}

std::optional<QString> notTextProblem(const QByteArray& bytes)
{
    if (bytes.startsWith(kUtf16LeBom) || bytes.startsWith(kUtf16BeBom))
        return std::nullopt;
    if (QByteArrayView(bytes).first(std::min<qsizetype>(bytes.size(), kTextSniffBytes)).contains('\0'))
        return QStringLiteral("It is not a text file (it holds NUL bytes).");
    return std::nullopt;
}

QByteArray encodeTextFile(const QStringList& lines, const std::vector<LineBreak>& breaks, const TextFileFormat& format,
                          QByteArray* usedEncoding)
{
    QByteArray out;
    const bool utf16 = format.encoding == kUtf16LeEncoding || format.encoding == kUtf16BeEncoding;
    if (utf16) {
        // Every character has a place in UTF-16: the text goes through
        // UTF-8, which keeps the escapes' bytes, and back.
        TextFileFormat utf8 = format;
        utf8.encoding = kUtf8Encoding;
        utf8.byteOrderMark = false;
        encodeLines(lines, breaks, utf8, false, out);
        if (usedEncoding)
            *usedEncoding = format.encoding;
        return utf8AsUtf16(out, format.encoding == kUtf16BeEncoding);
    }
    bool windows1252 = format.encoding == kWindows1252Encoding;
    if (windows1252 && !encodeLines(lines, breaks, format, true, out)) {
        windows1252 = false;
        out.clear();
    }
    if (!windows1252)
        encodeLines(lines, breaks, format, false, out);
    if (usedEncoding)
        *usedEncoding = windows1252 ? kWindows1252Encoding : kUtf8Encoding;
    return out;
}

TextFileLayout::TextFileLayout(const QStringList& lines, const std::vector<LineBreak>& breaks) : breaks_(breaks)
{
    mixed_ = std::any_of(breaks_.begin(), breaks_.end(), [&](LineBreak b) { return b != breaks_.front(); });
    // A file of one break style gives every line that style: the lines
    // need not be told apart.
    if (mixed_)
        hashes_ = lineHashes(lines);
}

TextFileLayout::TextFileLayout(const TextFileContent& content) : breaks_(content.breaks)
{
    mixed_ = std::any_of(breaks_.begin(), breaks_.end(), [&](LineBreak b) { return b != breaks_.front(); });
    if (mixed_) {
        hashes_.reserve(breaks_.size() + 1);
        for (QStringView line : QStringView(content.text).tokenize(u'\n'))
            hashes_.push_back(qHash(line));
    }
}

std::vector<LineBreak> TextFileLayout::breaksFor(const QStringList& lines, LineBreak newLineBreak) const
{
    const std::size_t count = lines.isEmpty() ? 0 : std::size_t(lines.size() - 1);
    if (!mixed_)
        return std::vector<LineBreak>(count, breaks_.empty() ? newLineBreak : breaks_.front());
    const std::vector<qsizetype> match = matchLines(hashes_, lineHashes(lines));
    std::vector<LineBreak> result(count, newLineBreak);
    for (std::size_t j = 0; j < count; ++j) {
        const qsizetype old = match[j];
        if (old >= 0 && std::size_t(old) < breaks_.size())
            result[j] = breaks_[std::size_t(old)];
    }
    return result;
}

FileFingerprint FileFingerprint::of(const QByteArray& bytes)
{
    return {bytes.size(), QCryptographicHash::hash(bytes, QCryptographicHash::Sha1)};
}

bool changedOnDisk(const QString& path, const FileFingerprint& read)
{
    // Never open a pipe or device that took the file's place: it could block.
    if (readSourceProblem(path))
        return false;
    QFile file(path);
    if (file.size() != read.size)
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(&file);
    return hash.result() != read.sha1;
}

std::optional<QString> tooLargeProblem(qint64 size, qint64 maxBytes)
{
    if (size <= maxBytes)
        return std::nullopt;
    const qint64 megabytes = (size + (qint64(1) << 20) - 1) >> 20;
    return QStringLiteral("It is too large for the notepad (%1 MB).").arg(megabytes);
}

std::optional<QString> readOnlyProblem(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    auto systemReason = [] { return QString::fromLocal8Bit(std::strerror(errno)); };
    if (::access(name.constData(), W_OK) != 0)
        return QStringLiteral("It is read-only (%1).").arg(systemReason());
    // Marked read-only: kept so also for a user the system lets write anything.
    if ((info.st_mode & 0222) == 0)
        return QStringLiteral("It is read-only.");
    // The file is replaced through a new one in its folder.
    if (::access(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), W_OK) != 0)
        return QStringLiteral("Its folder cannot be written to (%1).").arg(systemReason());
    return std::nullopt;
}

std::optional<QByteArray> readFileBytes(const QString& path, QString* error, qint64 maxBytes)
{
    // A pipe or a device (also one put in the file's place meanwhile) is
    // refused, never waited on.
    QString problem;
    const int fd = openReadableFile(path, &problem);
    if (fd < 0) {
        setError(error, problem);
        return std::nullopt;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        setError(error, file.errorString());
        return std::nullopt;
    }
    if (maxBytes >= 0) {
        if (const std::optional<QString> problem = tooLargeProblem(file.size(), maxBytes)) {
            setError(error, *problem);
            return std::nullopt;
        }
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setError(error, file.errorString());
        return std::nullopt;
    }
    return bytes;
}

bool writeFileBytes(const QString& path, const QByteArray& bytes, QString* error)
{
    // Through a link, the file it names is replaced and the link kept.
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : path;
    const QFileInfo targetInfo(target);
    const bool replacing = targetInfo.exists();

    // Unbuffered, so a short write (disk full) is seen here and not lost
    // inside commit().
    QSaveFile file(target);
    auto failed = [&](const QString& reason) {
        file.cancelWriting();
        setError(error, reason);
        return false;
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed(file.errorString());
    if (replacing && !file.setPermissions(targetInfo.permissions()))
        return failed(file.errorString());
    constexpr qsizetype kChunk = 1 << 16;
    for (qsizetype at = 0; at < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + at, std::min(kChunk, bytes.size() - at));
        if (n <= 0)
            return failed(file.errorString());
        at += static_cast<qsizetype>(n);
    }
    if (!file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}

} // namespace zp
