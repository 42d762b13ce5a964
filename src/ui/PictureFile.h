#pragma once
#include <QPixmap>
#include <QString>
#include <optional>

namespace zp {

// Pictures named by records are read only when they are sensible to show:
// no larger than this in either direction.
constexpr int kLargestPictureSide = 10000;

// Reads a picture file of any format Qt can read. Nothing, with the reason
// in `problem` when it is given, when the file is missing or is no regular
// file (a pipe or a device is never opened), is not a picture, is damaged or
// is larger than kLargestPictureSide in either direction; the size is
// checked from the file's header before any pixel is read.
std::optional<QPixmap> readPictureFile(const QString& path, QString* problem = nullptr);

} // namespace zp
