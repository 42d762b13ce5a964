#include "plan/Recovery.h"

#include "plan/PlanFile.h"
#include "plan/RecordStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace zp {

QString recoveryFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/zorvik-planner/recovery");
}

QString recoveryFileName(const QString& planFileName)
{
    if (planFileName.isEmpty())
        return QStringLiteral("untitled.pln");
    // Plans of the same name in different folders get different copies.
    const QByteArray hash =
        QCryptographicHash::hash(QFileInfo(planFileName).absoluteFilePath().toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
    return QFileInfo(planFileName).completeBaseName() + QLatin1Char('-') + QString::fromLatin1(hash) + QStringLiteral(".pln");
}

QString writeRecoveryCopy(const RecordStore& store, const QString& folder)
{
    if (!QDir().mkpath(folder))
        return {};
    const QString path = QDir(folder).filePath(recoveryFileName(store.planFileName));
    return writePlanFile(path, store).status == PlanWriteStatus::Written ? path : QString();
}

void removeRecoveryCopy(const QString& planFileName, const QString& folder)
{
    if (!folder.isEmpty())
        QFile::remove(QDir(folder).filePath(recoveryFileName(planFileName)));
}

QString restoreQuestion(const QString& planFileName, const QDateTime& written, int records)
{
    const QString plan = planFileName.isEmpty() ? QStringLiteral("the untitled plan") : planFileName;
    return QStringLiteral("Restore the unsaved changes to %1 from %2?\nThe saved copy holds %3 record%4.")
        .arg(plan, written.toString(QStringLiteral("d MMMM yyyy hh:mm")))
        .arg(records)
        .arg(records == 1 ? QString() : QStringLiteral("s"));
}

} // namespace zp
