#pragma once
#include <QByteArray>
#include <QString>
#include <optional>

namespace zp {

// How a text file was stored, so it is written back the same way.
struct TextFileFormat {
    // kUtf8Encoding or kWindows1252Encoding (plan/TextEncoding.h).
    QByteArray encoding = QByteArrayLiteral("UTF-8");
    // Lines end with carriage return + line feed rather than a line feed.
    bool crlf = false;
    // A UTF-8 byte-order mark opened the file.
    bool byteOrderMark = false;
    friend bool operator==(const TextFileFormat&, const TextFileFormat&) = default;
};

// A file's text with "\n" for every line break, and how it was stored.
struct TextFileContent {
    QString text;
    TextFileFormat format;
};

// The text of a file's bytes: valid UTF-8 is read as UTF-8, anything else
// (a binary file too) as Windows-1252, so every byte gives a character.
// The line-break style is that of the first line break; carriage return +
// line feed pairs become "\n".
TextFileContent decodeTextFile(const QByteArray& bytes);

// The bytes of a text in a format: "\n" (and a carriage return + line
// feed pair) becomes the format's line break, and the text ends with one
// line break even when it did not. A character Windows-1252 has no byte for
// makes the whole text UTF-8; `usedEncoding` says which one was written.
QByteArray encodeTextFile(const QString& text, const TextFileFormat& format, QByteArray* usedEncoding = nullptr);

// Reads a whole file; nothing, with the reason in `error`, when it cannot.
std::optional<TextFileContent> readTextFile(const QString& path, QString* error = nullptr);

// Writes a text to a file through a temporary file renamed over it, so a
// failed save leaves the old file whole. On success returns the format
// written (the encoding may have become UTF-8); otherwise nothing, with
// the reason in `error`. A link is followed and the file's permissions kept.
std::optional<TextFileFormat> writeTextFile(const QString& path, const QString& text, const TextFileFormat& format,
                                            QString* error = nullptr);

} // namespace zp
