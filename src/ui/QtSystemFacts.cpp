#include "ui/QtSystemFacts.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

namespace zp {

SystemFacts QtSystemFacts::systemFacts() const
{
    SystemFacts facts = hostSystemFacts();
    // A terminal command runs without a window system, and so without a screen.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            facts.screenPixels = screen->geometry().size();
    }
    return facts;
}

} // namespace zp
