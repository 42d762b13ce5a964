#include "app/Settings.h"

#include <algorithm>
#include <cmath>

namespace zp {

std::array<WindowPlacement, 16> Settings::defaultPlacements()
{
    return {{
        {},
        {2205, 1185, 6200, 4140},  // main window
        {555, 2190, 4572, 4788},   // print
        {2880, 3765, 4845, 2730},  // about
        {1635, 3270, 3045, 1710},  // text entry
        {405, 1290, 3930, 6105},   // calculator
        {570, 1755, 5970, 7335},   // world times
        {420, 990, 6735, 5489},    // ledger
        {1755, 2070, 4860, 5489},  // phone book
        {1725, 2970, 5000, 5000},  // start-up picture
        {3285, 4635, 3120, 1740},  // keyword
        {195, 1725, 6720, 5489},   // ledger plot
        {2550, 915, 9300, 2010},   // reminders
        {1125, 2205, 5220, 5489},  // loan simulator
        {2010, 3165, 5070, 1800},  // notepad find
        {1845, 1110, 6870, 4755},  // notepad
    }};
}

FontChoice Settings::takeFontChoice(FontChoice chosen)
{
    if (chosen.size > kMaxFontSize)
        chosen.size = kMaxFontSize;
    font = chosen;
    return chosen;
}

std::optional<FontRgb> fontRgb(std::int32_t colour)
{
    if (colour < 0)
        return std::nullopt;
    const auto c = static_cast<std::uint32_t>(colour);
    return FontRgb{static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF)};
}

} // namespace zp

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
