#include "app/ApplicationName.h"

#include "app/ProgramVersion.h"

#include <QCoreApplication>

namespace zp {

void nameApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("zorvik-planner"));
    const ProgramVersion v = programVersion();
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3").arg(v.major).arg(v.minor).arg(v.patch));
}

} // namespace zp
