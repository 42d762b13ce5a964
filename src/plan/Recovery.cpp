#include "plan/Recovery.h"

#include "plan/PlanFile.h"
#include "plan/RecordStore.h"

#include <QCryptographicHash>
#include <QDir>
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

} // namespace zp
