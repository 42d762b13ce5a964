#include "app/InstalledFiles.h"

#include <QDir>
#include <QFileInfo>

namespace zp {

namespace {

QString existingFile(const QString& programDirectory, const QString& relative)
{
    const QFileInfo file(QDir(programDirectory).filePath(relative));
    return file.isFile() && file.isReadable() ? QDir::cleanPath(file.absoluteFilePath()) : QString();
}

} // namespace

InstalledFiles findInstalledFiles(const QString& programDirectory)
{
    InstalledFiles files;
    if (programDirectory.isEmpty())
        return files;
    files.userGuide = existingFile(programDirectory, QStringLiteral("../share/doc/zorvik-planner/html/index.html"));
    files.startupSound = existingFile(programDirectory, QStringLiteral("../share/zorvik-planner/PLANNER.WAV"));
    return files;
}

QString installedFilesText(const InstalledFiles& files)
{
    const QString builtIn = QStringLiteral("built in");
    return QStringLiteral("User guide: ") + (files.userGuide.isEmpty() ? builtIn : files.userGuide) +
           QStringLiteral("\nStart-up sound: ") + (files.startupSound.isEmpty() ? builtIn : files.startupSound) +
           QLatin1Char('\n');
}

} // namespace zp
