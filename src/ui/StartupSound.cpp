#include "ui/StartupSound.h"

#include "ui/Artwork.h"

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
    QFile own(source);
    if (source.isEmpty() || !own.open(QIODevice::ReadOnly)) {
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
