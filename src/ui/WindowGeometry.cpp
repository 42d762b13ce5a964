#include "ui/WindowGeometry.h"

#include <QWidget>
#include <algorithm>

namespace zp {

WindowPlacement placementOf(const QWidget& window, const Twips& twips)
{
    const QRect frame = window.frameGeometry();
    return {double(twips.toTwipsY(frame.y())), double(twips.toTwipsX(frame.x())), double(twips.toTwipsX(frame.width())),
            double(twips.toTwipsY(frame.height()))};
}

void moveWindow(QWidget& window, const Twips& twips, const WindowPlacement& p)
{
    window.move(twips.toPixelsX(p.left), twips.toPixelsY(p.top));
}

void placeWindow(QWidget& window, const Twips& twips, const WindowPlacement& p)
{
    const QSize extra = window.frameGeometry().size() - window.geometry().size();
    moveWindow(window, twips, p);
    window.resize(std::max(1, twips.toPixelsX(p.width) - extra.width()),
                  std::max(1, twips.toPixelsY(p.height) - extra.height()));
}

void centreOnScreen(QWidget& window, const ScreenMetrics& screen)
{
    const Twips tw(screen);
    const QSize screenTwips = screen.screenSizeTwips();
    const double left = (screenTwips.width() - tw.toTwipsX(window.width())) / 2.0;
    const double top = (screenTwips.height() - tw.toTwipsY(window.height())) / 2.0;
    window.move(tw.toPixelsX(left), tw.toPixelsY(top));
}

} // namespace zp
