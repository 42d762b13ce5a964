#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace zp {

// The notepad edits any file, text or not, and writes back, byte for byte,
// every line the user did not change. A file is read as lines of text and
// the break after each line; the text holds no character the editor would
// change on its way through (it turns a carriage return, U+2029 and the
// frame marks U+FDD0 and U+FDD1 into line breaks), and every byte that is
// no character is shown as an escape character standing for that byte.

// The end of a line as the file had it.
enum class LineBreak : unsigned char {
    None, // the last line
    Lf,
    CrLf,
    Cr, // a carriage return alone
    ParagraphSeparator, // U+2029, in a UTF-8 file
};

// The bytes of a line break in a file.
QByteArray lineBreakBytes(LineBreak lineBreak);

// The escape characters: U+F0080 to U+F00FF stand for the bytes 80 to FF
// that are no character of the file (and for the bytes of a character the
// editor would not keep, or of one of these code points itself).
constexpr char32_t kByteEscapeBase = 0xF0000;
bool isByteEscape(char32_t c);

// How a text file was stored, so that lines typed in are written the same way.
// The two UTF-16 forms a file is read in when it opens with their
// byte-order mark.
inline const QByteArray kUtf16LeEncoding = QByteArrayLiteral("UTF-16LE");
inline const QByteArray kUtf16BeEncoding = QByteArrayLiteral("UTF-16BE");

struct TextFileFormat {
    // kUtf8Encoding or kWindows1252Encoding (plan/TextEncoding.h),
    // kUtf16LeEncoding or kUtf16BeEncoding.
    QByteArray encoding = QByteArrayLiteral("UTF-8");
    // A byte-order mark opened the file (always, for UTF-16).
    bool byteOrderMark = false;
    // The break of a line typed in: the one most lines of the file end with.
    LineBreak newLineBreak = LineBreak::Lf;
    // The file ended with a line break (a new document does too): a last
    // line typed after the final break gets one as well.
    bool finalLineBreak = true;
    friend bool operator==(const TextFileFormat&, const TextFileFormat&) = default;
};

// A file's text, as the editor shows it: its lines joined by "\n". The
// line breaks of the file, one after each line but the last, are in
// `breaks`.
struct TextFileContent {
    QString text;
    std::vector<LineBreak> breaks;
    TextFileFormat format;
};

// The lines of a file's bytes. A file that opens with a UTF-16 byte-order
// mark and is well-formed UTF-16 is read as UTF-16 (and written back so).
// A file that is UTF-8, or mostly UTF-8 (at least as many characters of
// two or more bytes as bytes that are not UTF-8), is read as UTF-8, its
// stray bytes as escapes; any other as
// Windows-1252, where every byte is a character. Line breaks are a line
// feed, a carriage return and line feed, a carriage return alone and, in
// UTF-8, U+2029.
TextFileContent decodeTextFile(const QByteArray& bytes);

// How much of a file is looked at to tell text from other data.
constexpr qsizetype kTextSniffBytes = 8192;

// Why a file's bytes are no text the notepad should show ("it is not a
// text file ..."): a NUL byte in its first kTextSniffBytes, unless it is
// UTF-16 with its mark. Nothing for text.
std::optional<QString> notTextProblem(const QByteArray& bytes);

// The bytes of `lines` with `breaks` between them (one fewer than lines)
// in a format: exactly the bytes read for lines decoded from a file. A
// final line break is added when the file had one and the last line is
// not empty. A character Windows-1252 has no byte for makes the whole file
// UTF-8; `usedEncoding` says which one was written.
QByteArray encodeTextFile(const QStringList& lines, const std::vector<LineBreak>& breaks, const TextFileFormat& format,
                          QByteArray* usedEncoding = nullptr);

// The lines of a file as read (or last written), so that the lines of an
// edited text get their breaks back: a line left alone keeps its own, a
// line edited in place that of the line it replaced, a new line the file's
// usual one.
class TextFileLayout {
public:
    // A new document: every line break is the format's.
    TextFileLayout() = default;
    TextFileLayout(const QStringList& lines, const std::vector<LineBreak>& breaks);
    // A file as read.
    explicit TextFileLayout(const TextFileContent& content);

    // The break after each of `lines` but the last.
    std::vector<LineBreak> breaksFor(const QStringList& lines, LineBreak newLineBreak) const;

private:
    // Hashes of the lines, kept only when the file mixes break styles.
    std::vector<size_t> hashes_;
    std::vector<LineBreak> breaks_;
    bool mixed_ = false;
};

// What a file held when it was read or written, to see whether another
// program changed it since.
struct FileFingerprint {
    qint64 size = -1;
    QByteArray sha1;
    static FileFingerprint of(const QByteArray& bytes);
};

// Whether the file at `path` is no longer what `read` describes: its size
// first, its SHA-1 when the size is the same. A file gone or unreadable
// counts as unchanged (the write then says what is wrong).
bool changedOnDisk(const QString& path, const FileFingerprint& read);

// The largest file the notepad reads: a larger one would take long and
// much of the memory, and a text box of it could hardly be used.
constexpr qint64 kMaxTextFileBytes = qint64(64) << 20;
// Why a file of `size` bytes is too large, with its size in whole
// megabytes, rounded up ("It is too large for the notepad (200 MB).").
std::optional<QString> tooLargeProblem(qint64 size, qint64 maxBytes = kMaxTextFileBytes);

// Reads a whole file: only a regular file is opened, and without waiting,
// so a pipe or device never blocks; one over `maxBytes` (when not
// negative) is not read. Nothing, with the reason in `error`, when it
// cannot be read.
std::optional<QByteArray> readFileBytes(const QString& path, QString* error = nullptr, qint64 maxBytes = -1);

// Why an existing file may not be replaced, or nothing: it is marked
// read-only (no one may write it), or the system refuses to write it or
// its folder; the system's reason is given where it has one. A file not
// there yet is not asked about.
std::optional<QString> readOnlyProblem(const QString& path);

// Writes bytes to a file through a temporary file renamed over it, so a
// failed save leaves the old file whole. A link is followed and the file's
// permissions kept. False, with the reason in `error`, when it failed.
bool writeFileBytes(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace zp
