#include "plan/WriteTarget.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

namespace zp {

namespace {

// What is at the path, links followed: -1 nothing, else the st_mode bits.
int fileTypeAt(const QString& path)
{
    struct stat st = {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return int(st.st_mode & S_IFMT);
}

} // namespace

QString canonicalTarget(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (folder.isEmpty())
        return QDir::cleanPath(info.absoluteFilePath());
    return folder + QLatin1Char('/') + info.fileName();
}

bool sameFile(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    return a == b || canonicalTarget(a) == canonicalTarget(b);
}

std::optional<QString> writeTargetProblem(const QString& target, const QString& openPlan)
{
    if (target.isEmpty())
        return QStringLiteral("No file name was given.");
    if (sameFile(target, openPlan))
        return QStringLiteral("It is the open plan's file, which this would overwrite.");
    const int type = fileTypeAt(target);
    if (type == S_IFDIR)
        return QStringLiteral("It is a folder.");
    if (type != -1 && type != S_IFREG)
        return QStringLiteral("It is not a regular file (a pipe or a device), which this would replace.");
    return std::nullopt;
}

std::optional<QString> readSourceProblem(const QString& path)
{
    const int type = fileTypeAt(path);
    if (type == -1)
        return QStringLiteral("The file does not exist.");
    if (type == S_IFDIR)
        return QStringLiteral("It is a folder.");
    if (type != S_IFREG)
        return QStringLiteral("It is not a regular file (a pipe or a device).");
    return std::nullopt;
}

} // namespace zp
