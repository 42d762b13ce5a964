#include "ui/PictureFile.h"

#include <QImage>
#include <QImageReader>

namespace zp {

std::optional<QPixmap> readPictureFile(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;
    QImageReader reader(path);
    // Bitmaps and icons saved under another extension still show.
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead())
        return std::nullopt;
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kLargestPictureSide || size.height() > kLargestPictureSide))
        return std::nullopt;
    const QImage image = reader.read();
    // A format that cannot tell its size beforehand is still held to it
    // (Qt's allocation limit stops the worst cases while reading).
    if (image.isNull() || image.width() > kLargestPictureSide || image.height() > kLargestPictureSide)
        return std::nullopt;
    return QPixmap::fromImage(image);
}

} // namespace zp
