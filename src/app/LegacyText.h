#pragma once
#include "plan/PlanFile.h" // kUtf8Encoding, kWindows1252Encoding

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

namespace zp {

// Files written by the old Windows program are in Windows-1252; files written
// here are UTF-8. A file that is valid UTF-8 is taken as UTF-8, any other as
// Windows-1252, and it is written back in the encoding it was read in.

// Whether the bytes are well-formed UTF-8 (an empty text is).
bool isValidUtf8(QByteArrayView bytes);

// Windows-1252 to text. The five bytes the code page leaves undefined (81, 8D,
// 8F, 90, 9D) become the control characters of the same number, so every
// byte sequence decodes, and encodes back to the same bytes.
QString fromWindows1252(QByteArrayView bytes);

// Text to Windows-1252; nothing when a character has no byte there.
std::optional<QByteArray> toWindows1252(QStringView text);

// The encoding a file's bytes are read in: kUtf8Encoding or kWindows1252Encoding.
QByteArray detectEncoding(QByteArrayView bytes);

// Decodes bytes in `encoding` (kUtf8Encoding or kWindows1252Encoding).
QString decodeText(QByteArrayView bytes, const QByteArray& encoding);

} // namespace zp
