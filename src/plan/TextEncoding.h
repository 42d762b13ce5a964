#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringView>

#include <optional>

namespace zp {

// Files written by the old Windows program are in Windows-1252; files written
// here are UTF-8. A file that is valid UTF-8 is taken as UTF-8, any other as
// Windows-1252, and it is written back in the encoding it was read in unless
// a character has no Windows-1252 byte, in which case it goes UTF-8.
//
// In Windows-1252 the five bytes the code page leaves undefined (81, 8D, 8F,
// 90, 9D) stand for the control characters of the same number, as Windows
// itself reads them: every byte sequence decodes, and encodes back to the
// same bytes.

// The encodings a plan or the settings are read and written in. Any other
// name is taken as UTF-8.
inline const QByteArray kUtf8Encoding = QByteArrayLiteral("UTF-8");
// UTF-8 behind a byte-order mark, as some editors write it: read without
// the mark and written back with it.
inline const QByteArray kUtf8BomEncoding = QByteArrayLiteral("UTF-8-BOM");
inline const QByteArray kWindows1252Encoding = QByteArrayLiteral("windows-1252");

// Whether the bytes are well-formed UTF-8 (an empty text is).
bool isValidUtf8(QByteArrayView bytes);

// The encoding a file's bytes are read in: kUtf8Encoding or kWindows1252Encoding.
QByteArray detectEncoding(QByteArrayView bytes);

// Windows-1252 to text; every byte gives one character.
QString fromWindows1252(QByteArrayView bytes);

// Text to Windows-1252; nothing when a character has no byte there.
std::optional<QByteArray> toWindows1252(QStringView text);

// Appends the Windows-1252 bytes of `text` to `out`. Returns false, with
// `out` as it was, when a character has no byte there.
bool appendWindows1252(QStringView text, QByteArray& out);

// Decodes a whole text in `encoding`. Bytes that are not UTF-8 become
// U+FFFD; a byte-order mark at the start is dropped.
QString decodeText(QByteArrayView bytes, const QByteArray& encoding);

// Decodes a text a piece at a time (the lines of a file, say) in one
// encoding, and remembers whether a piece turned out not to be UTF-8. Each
// piece stands alone: a sequence cut at its end counts as an error. A
// byte-order mark is kept as a character, so it is seen wherever it is.
class TextDecoder {
public:
    explicit TextDecoder(const QByteArray& encoding);

    QString decode(QByteArrayView bytes);
    // Decodes `bytes` onto the end of `out`.
    void appendTo(QByteArrayView bytes, QString& out);

    // Whether a piece read as UTF-8 was not well-formed (its bad bytes
    // became U+FFFD). Never true in Windows-1252.
    bool invalid() const { return invalid_; }

private:
    bool windows1252_;
    bool invalid_ = false;
    QStringDecoder utf8_;
};

} // namespace zp
