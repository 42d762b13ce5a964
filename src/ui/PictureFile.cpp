#include "ui/PictureFile.h"

#include "ui/ReadableFile.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

namespace zp {

namespace {

std::optional<QPixmap> refuse(QString* problem, const QString& why)
{
    if (problem)
        *problem = why;
    return std::nullopt;
}

QString tooLarge()
{
    return QStringLiteral("It is larger than %1 pixels across or down.").arg(kLargestPictureSide);
}

} // namespace

std::optional<QPixmap> readPictureFile(const QString& path, QString* problem)
{
    if (path.isEmpty())
        return refuse(problem, QStringLiteral("No file name was given."));
    QString why;
    const int fd = openReadableFile(path, &why);
    if (fd < 0)
        return refuse(problem, why);
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refuse(problem, file.errorString());
    }
    QImageReader reader(&file);
    // Bitmaps and icons saved under another extension still show.
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead())
        return refuse(problem, QStringLiteral("It is not a picture the planner can show."));
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kLargestPictureSide || size.height() > kLargestPictureSide))
        return refuse(problem, tooLarge());
    const QImage image = reader.read();
    if (image.isNull())
        return refuse(problem, QStringLiteral("The picture is damaged."));
    // A format that cannot tell its size beforehand is still held to it
    // (Qt's allocation limit stops the worst cases while reading).
    if (image.width() > kLargestPictureSide || image.height() > kLargestPictureSide)
        return refuse(problem, tooLarge());
    return QPixmap::fromImage(image);
}

} // namespace zp
