#include "ui/WindowPlacement.h"

#include <algorithm>
#include <cmath>

namespace zp {

namespace {

double clampBetween(double value, double low, double high)
{
    return value < low ? low : (value > high ? high : value);
}

bool reachableOn(const WindowPlacement& w, const QRect& screen)
{
    const double screenLeft = screen.left();
    const double screenTop = screen.top();
    const double screenRight = screenLeft + screen.width();
    const double screenBottom = screenTop + screen.height();
    if (w.top < screenTop || w.top > screenBottom - kPlacementGrip)
        return false;
    const double across = std::min(w.left + w.width, screenRight) - std::max(w.left, screenLeft);
    return across >= std::min<double>(kPlacementGrip, w.width);
}

// Distance from the window's rectangle to the screen's, 0 when they overlap.
double distanceTo(const WindowPlacement& w, const QRect& screen)
{
    const double dx = std::max({0.0, screen.left() - (w.left + w.width), w.left - (screen.left() + screen.width())});
    const double dy = std::max({0.0, screen.top() - (w.top + w.height), w.top - (screen.top() + screen.height())});
    return std::hypot(dx, dy);
}

} // namespace

WindowPlacement fitOnScreen(const WindowPlacement& stored, const QList<QRect>& screensTwips, const QSize& minimumTwips)
{
    WindowPlacement w = stored;
    // NaN compares false everywhere; treat it like nothing stored.
    for (double* v : {&w.top, &w.left, &w.width, &w.height})
        if (!std::isfinite(*v))
            *v = 0;
    w.width = std::max<double>(w.width, minimumTwips.width());
    w.height = std::max<double>(w.height, minimumTwips.height());

    const QRect* nearest = nullptr;
    double nearestDistance = 0;
    for (const QRect& screen : screensTwips) {
        if (screen.isEmpty())
            continue;
        if (reachableOn(w, screen))
            return w;
        const double d = distanceTo(w, screen);
        if (!nearest || d < nearestDistance) {
            nearest = &screen;
            nearestDistance = d;
        }
    }
    if (!nearest)
        return w;
    const double right = nearest->left() + nearest->width();
    const double bottom = nearest->top() + nearest->height();
    w.left = clampBetween(w.left, nearest->left(), std::max<double>(nearest->left(), right - w.width));
    w.top = clampBetween(w.top, nearest->top(), std::max<double>(nearest->top(), bottom - w.height));
    return w;
}

} // namespace zp
