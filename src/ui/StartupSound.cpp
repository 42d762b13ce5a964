#include "ui/StartupSound.h"

#include "ui/Artwork.h"
#include "ui/ReadableFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace zp {

QString installStartupSound(const QString& folder, const QString& source)
{
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return {};
    const QString path = QDir(folder).filePath(QStringLiteral("PLANNER.WAV"));
    if (QFileInfo::exists(path))
        return path;
    initArtwork();
    // A source that is no regular file (a pipe, a device) would hold up or
    // never end the start: the chime compiled in is taken instead.
    QFile own(source);
    if (source.isEmpty() || readableFileProblem(source) || !own.open(QIODevice::ReadOnly)) {
        own.setFileName(QStringLiteral(":/sounds/PLANNER.WAV"));
        if (!own.open(QIODevice::ReadOnly))
            return {};
    }
    QSaveFile copy(path);
    if (!copy.open(QIODevice::WriteOnly) || copy.write(own.readAll()) != own.size() || !copy.commit())
        return {};
    return path;
}

} // namespace zp
