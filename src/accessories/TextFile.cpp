#include "accessories/TextFile.h"

#include "plan/TextEncoding.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace zp {

namespace {

const QByteArray kUtf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// Carriage return + line feed pairs become line feeds, in one pass (a
// replace per pair would move the rest of a long text each time). Line
// feeds never occur inside a UTF-8 sequence, so bytes can be worked on.
QByteArray joinCrLf(QByteArrayView bytes)
{
    QByteArray out(bytes.size(), Qt::Uninitialized);
    char* dst = out.data();
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n')
            continue;
        *dst++ = c;
    }
    out.truncate(dst - out.data());
    return out;
}

// Every line feed becomes carriage return + line feed.
QByteArray expandLf(const QByteArray& bytes)
{
    QByteArray out;
    out.reserve(bytes.size() + bytes.count('\n'));
    qsizetype from = 0;
    for (qsizetype at; (at = bytes.indexOf('\n', from)) >= 0; from = at + 1) {
        out.append(bytes.constData() + from, at - from);
        out.append("\r\n", 2);
    }
    out.append(bytes.constData() + from, bytes.size() - from);
    return out;
}

} // namespace

TextFileContent decodeTextFile(const QByteArray& bytes)
{
    TextFileContent content;
    content.format.encoding = detectEncoding(bytes);
    QByteArrayView body(bytes);
    if (content.format.encoding == kUtf8Encoding && body.startsWith(kUtf8Bom)) {
        content.format.byteOrderMark = true;
        body = body.sliced(kUtf8Bom.size());
    }
    const qsizetype firstBreak = body.indexOf('\n');
    content.format.crlf = firstBreak > 0 && body.at(firstBreak - 1) == '\r';
    const QByteArray joined = joinCrLf(body);
    content.text = content.format.encoding == kUtf8Encoding ? QString::fromUtf8(joined) : fromWindows1252(joined);
    return content;
}

QByteArray encodeTextFile(const QString& text, const TextFileFormat& format, QByteArray* usedEncoding)
{
    QByteArray bytes;
    QByteArray encoding = kUtf8Encoding;
    if (format.encoding == kWindows1252Encoding) {
        if (std::optional<QByteArray> b = toWindows1252(text)) {
            bytes = *std::move(b);
            encoding = kWindows1252Encoding;
        }
    }
    if (encoding == kUtf8Encoding)
        bytes = text.toUtf8();
    bytes = joinCrLf(bytes);
    if (!bytes.endsWith('\n'))
        bytes += '\n';
    if (format.crlf)
        bytes = expandLf(bytes);
    if (encoding == kUtf8Encoding && format.byteOrderMark)
        bytes.prepend(kUtf8Bom);
    if (usedEncoding)
        *usedEncoding = encoding;
    return bytes;
}

std::optional<TextFileContent> readTextFile(const QString& path, QString* error)
{
    QFile file(path);
    if (QFileInfo(path).isDir()) {
        setError(error, QStringLiteral("Is a directory"));
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, file.errorString());
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setError(error, file.errorString());
        return std::nullopt;
    }
    return decodeTextFile(bytes);
}

std::optional<TextFileFormat> writeTextFile(const QString& path, const QString& text, const TextFileFormat& format,
                                            QString* error)
{
    TextFileFormat written = format;
    const QByteArray bytes = encodeTextFile(text, format, &written.encoding);
    if (written.encoding != kUtf8Encoding)
        written.byteOrderMark = false;

    // Through a link, the file it names is replaced and the link kept.
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : path;
    const QFileInfo targetInfo(target);
    const bool replacing = targetInfo.exists();

    // Unbuffered, so a short write (disk full) is seen here and not lost
    // inside commit().
    QSaveFile file(target);
    auto failed = [&](const QString& reason) -> std::optional<TextFileFormat> {
        file.cancelWriting();
        setError(error, reason);
        return std::nullopt;
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
        return std::nullopt;
    }
    return written;
}

} // namespace zp
