#include "plan/WriteTarget.h"

#include "ui/ReadableFile.h"

#include <QDir>
#include <QFileInfo>

namespace zp {

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
    const FileKind kind = fileKindAt(target);
    if (kind == FileKind::Folder)
        return QStringLiteral("It is a folder.");
    if (kind == FileKind::Other)
        return QStringLiteral("It is not a regular file (a pipe or a device), which this would replace.");
    return std::nullopt;
}

std::optional<QString> readSourceProblem(const QString& path)
{
    // The rule's home is with the readers of the platform layer, which
    // open the files themselves.
    return readableFileProblem(path);
}

} // namespace zp
