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
    content.text = content.format.encoding == kUtf8Encoding ? QString::fromUtf8(body) : fromWindows1252(body);
    content.text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return content;
}

QByteArray encodeTextFile(const QString& text, const TextFileFormat& format, QByteArray* usedEncoding)
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (!lines.endsWith(u'\n'))
        lines += u'\n';
    if (format.crlf)
        lines.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));

    if (format.encoding == kWindows1252Encoding) {
        if (std::optional<QByteArray> bytes = toWindows1252(lines)) {
            if (usedEncoding)
                *usedEncoding = kWindows1252Encoding;
            return *std::move(bytes);
        }
    }
    if (usedEncoding)
        *usedEncoding = kUtf8Encoding;
    QByteArray bytes = lines.toUtf8();
    if (format.byteOrderMark)
        bytes.prepend(kUtf8Bom);
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
