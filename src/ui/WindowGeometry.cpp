#include "ui/WindowGeometry.h"

#include <QEvent>
#include <QRectF>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QVariant>
#include <QWidget>
#include <algorithm>

namespace zp {

WindowPlacement placementOf(const QWidget& window, const Twips& twips)
{
    const QRect frame = window.frameGeometry();
    return {double(twips.toTwipsY(frame.y())), double(twips.toTwipsX(frame.x())), double(twips.toTwipsX(frame.width())),
            double(twips.toTwipsY(frame.height()))};
}

namespace {
// The client geometry placeWindow gave a window, and the place in twips.
constexpr const char* kPlacedGeometry = "zorvikPlacedGeometry";
constexpr const char* kPlacedTwips = "zorvikPlacedTwips";
} // namespace

WindowPlacement normalPlacementOf(const QWidget& window, const Twips& twips)
{
    if (!(window.windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)))
        return placementOf(window, twips);
    // The frame as it is now, put round the normal geometry.
    const QRect inner = window.geometry();
    const QRect frame = window.frameGeometry();
    const QRect normal = window.normalGeometry().adjusted(frame.left() - inner.left(), frame.top() - inner.top(),
                                                          frame.right() - inner.right(),
                                                          frame.bottom() - inner.bottom());
    WindowPlacement p{double(twips.toTwipsY(normal.y())), double(twips.toTwipsX(normal.x())),
                      double(twips.toTwipsX(normal.width())), double(twips.toTwipsY(normal.height()))};
    // Still the size placeWindow gave it: a window that started maximised
    // never had its frame taken off that size, so the size it was given
    // is the one to keep, not one a frame larger each run.
    const QVariant placed = window.property(kPlacedGeometry);
    if (placed.isValid() && placed.toRect().size() == window.normalGeometry().size()) {
        const QRectF given = window.property(kPlacedTwips).toRectF();
        p.width = given.width();
        p.height = given.height();
    }
    return p;
}

void moveWindow(QWidget& window, const Twips& twips, const WindowPlacement& p)
{
    window.move(twips.toPixelsX(p.left), twips.toPixelsY(p.top));
}

namespace {

constexpr const char* kGeneration = "zorvikPlacement";

void applyOuterSize(QWidget& window, const Twips& twips, const WindowPlacement& p)
{
    const QSize extra = window.frameGeometry().size() - window.geometry().size();
    window.resize(std::max(1, twips.toPixelsX(p.width) - extra.width()),
                  std::max(1, twips.toPixelsY(p.height) - extra.height()));
}

// Sets the size again once the window manager has put its frame round the
// window (shown, and not maximised), then goes away.
class FrameSizeFix : public QObject {
public:
    FrameSizeFix(QWidget& window, const Twips& twips, const WindowPlacement& p)
        : QObject(&window), window_(window), twips_(twips), placement_(p)
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const bool shown = event->type() == QEvent::Show
            || (event->type() == QEvent::WindowStateChange && window_.isVisible());
        // A window shown maximised has its frame measured when it first
        // comes back to its normal size.
        const bool normal =
            !(window_.windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
        if (watched == &window_ && shown && normal) {
            window_.removeEventFilter(this);
            // The frame's size arrives from the window manager a little
            // after the window shows.
            // A placement made since then wins.
            const QVariant generation = window_.property(kGeneration);
            for (int delay : {0, 250})
                QTimer::singleShot(delay, &window_, [w = &window_, t = twips_, p = placement_, generation] {
                    if (w->property(kGeneration) == generation && !w->isMaximized() && !w->isMinimized() &&
                        w->frameGeometry().size() != w->geometry().size())
                        applyOuterSize(*w, t, p);
                });
            deleteLater();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget& window_;
    Twips twips_;
    WindowPlacement placement_;
};

} // namespace

void placeWindow(QWidget& window, const Twips& twips, const WindowPlacement& stored)
{
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect g = screen->availableGeometry();
        screens.append(QRect(twips.toTwipsX(g.x()), twips.toTwipsY(g.y()), twips.toTwipsX(g.width()),
                             twips.toTwipsY(g.height())));
    }
    const QSize minimum(twips.toTwipsX(window.minimumWidth()), twips.toTwipsY(window.minimumHeight()));
    const WindowPlacement p = fitOnScreen(stored, screens, minimum);
    window.setProperty(kGeneration, window.property(kGeneration).toInt() + 1);
    moveWindow(window, twips, p);
    applyOuterSize(window, twips, p);
    window.setProperty(kPlacedGeometry, window.geometry());
    window.setProperty(kPlacedTwips, QRectF(p.left, p.top, p.width, p.height));
    if (!window.isVisible())
        new FrameSizeFix(window, twips, p);
}

void centreOnScreen(QWidget& window, const ScreenMetrics& screen)
{
    const Twips tw(screen);
    const QSize screenTwips = screen.screenSizeTwips();
    const double left = (screenTwips.width() - tw.toTwipsX(window.width())) / 2.0;
    const double top = (screenTwips.height() - tw.toTwipsY(window.height())) / 2.0;
    window.move(tw.toPixelsX(left), tw.toPixelsY(top));
}

SavedPlace::SavedPlace(QWidget& window, const Twips& twips, WindowPlacement& slot, Kept kept)
    : window_(window), twips_(twips), slot_(slot), kept_(kept)
{
}

void SavedPlace::restore() const
{
    WindowPlacement p = slot_;
    if (kept_ == Kept::PositionOnly) {
        const WindowPlacement now = placementOf(window_, twips_);
        p.width = now.width;
        p.height = now.height;
    }
    placeWindow(window_, twips_, p);
}

void SavedPlace::remember() const
{
    slot_ = placementOf(window_, twips_);
}

} // namespace zp
