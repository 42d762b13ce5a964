#include "app/ApplicationName.h"

#include "app/ProgramVersion.h"

#include <QCoreApplication>

namespace zp {

void nameApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("zorvik-planner"));
    QCoreApplication::setApplicationVersion(programReleaseText());
}

} // namespace zp
