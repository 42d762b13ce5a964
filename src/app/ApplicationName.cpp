#include "app/ApplicationName.h"

#include <QCoreApplication>

namespace zp {

void nameApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("zorvik-planner"));
    QCoreApplication::setApplicationVersion(QStringLiteral("3.2"));
}

} // namespace zp
