#include "plan/Trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace zp {

namespace {

QString homeTrashFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Trash");
}

// The folder a path is in, or the path itself for a folder: what the mount
// is looked up by, as a file being deleted may already be gone.
QString existingFolderOf(const QString& path)
{
    QFileInfo info(QFileInfo(path).absoluteFilePath());
    while (!info.exists() && info.absolutePath() != info.absoluteFilePath())
        info = QFileInfo(info.absolutePath());
    return info.isDir() ? info.absoluteFilePath() : info.absolutePath();
}

bool isStickyFolder(const QString& path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX);
}

} // namespace

QString trashFolderOn(const QString& topDir, bool onHomeFileSystem, const QString& homeTrash, uint userId)
{
    if (onHomeFileSystem)
        return homeTrash;
    const QDir top(topDir);
    const QString uid = QString::number(userId);
    // An administrator's shared trash counts only when it is a real sticky
    // folder, never a link: others could otherwise read what is trashed.
    const QString shared = top.filePath(QStringLiteral(".Trash"));
    if (isStickyFolder(shared)) {
        const QString own = QDir(shared).filePath(uid);
        const QFileInfo ownInfo(own);
        if (ownInfo.isDir() ? ownInfo.isWritable() : QFileInfo(shared).isWritable())
            return own;
    }
    const QString own = top.filePath(QStringLiteral(".Trash-") + uid);
    const QFileInfo ownInfo(own);
    if (ownInfo.exists())
        return ownInfo.isDir() && !ownInfo.isSymLink() ? own : QString();
    // Made on first use, if the file system lets us.
    const QFileInfo topInfo(topDir);
    return topInfo.isDir() && topInfo.isWritable() ? own : QString();
}

QString DesktopTrash::folderFor(const QString& path) const
{
    const QString folder = existingFolderOf(path);
    const QStorageInfo fileSystem(folder);
    const QStorageInfo home(QDir::homePath());
    const bool onHome = !fileSystem.isValid() || !home.isValid() || fileSystem == home;
    return trashFolderOn(fileSystem.rootPath(), onHome, homeTrashFolder(), ::getuid());
}

std::optional<QString> DesktopTrash::moveToTrash(const QString& path) const
{
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return QStringLiteral("The file does not exist.");
    const QString folder = folderFor(path);
    if (folder.isEmpty())
        return QStringLiteral("Its disk has no trash.");
    // The home trash is made when it is missing, data folder and all; a
    // trash that exists but is no folder is not replaced. It is made even
    // for a file on another disk: Qt falls back to it when that disk's
    // trash cannot be made, and then fails cleanly rather than looking
    // for a trash in the current folder.
    const QString home = homeTrashFolder();
    if (!QFileInfo::exists(home)) {
        QDir().mkpath(QFileInfo(home).absolutePath());
        // Only its owner may look into a trash.
        if (QDir().mkdir(home))
            QFile::setPermissions(home, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    if (folder == home && !QFileInfo(folder).isDir())
        return QStringLiteral("The trash folder %1 could not be made.").arg(folder);
    QFile file(path);
    if (file.moveToTrash())
        return std::nullopt;
    const QString reason = file.errorString();
    return reason.isEmpty() || reason == QLatin1String("Unknown error")
               ? QStringLiteral("The trash folder %1 cannot be written.").arg(folder)
               : QStringLiteral("The trash folder %1 cannot be written: %2").arg(folder, reason);
}

const DesktopTrash& DesktopTrash::system()
{
    static const DesktopTrash trash;
    return trash;
}

} // namespace zp
