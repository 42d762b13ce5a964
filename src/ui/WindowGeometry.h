#pragma once
#include "ui/WindowPlacement.h"
#include "ui/ScreenMetrics.h"

class QWidget;

namespace zp {

// Windows are placed and remembered in twips, by their outer frame: top,
// left, width, height.
WindowPlacement placementOf(const QWidget& window, const Twips& twips);
// The place the window has when neither maximised nor minimised: what is
// remembered for a window that ends maximised, so that it comes back
// maximised over that place.
WindowPlacement normalPlacementOf(const QWidget& window, const Twips& twips);
// Moves and sizes a window to a remembered place, its outer frame as
// stored. A place off every screen, or a size below the window's minimum,
// is corrected for showing (the stored values stay as they are). What the
// frame adds is only known once the window is on the screen, so the size
// is set again then; otherwise a window would grow by its frame each run.
void placeWindow(QWidget& window, const Twips& twips, const WindowPlacement& placement);
// Only the position, for windows that keep their own size.
void moveWindow(QWidget& window, const Twips& twips, const WindowPlacement& placement);
// Centres a window on the screen, computed in twips as the program has
// always done: left = (screen width - window width) / 2.
void centreOnScreen(QWidget& window, const ScreenMetrics& screen);

// A tool window's remembered place: its slot among the settings, put back
// when the window opens and taken again when it closes, so that every tool
// window keeps its place by the same rule.
class SavedPlace {
public:
    enum class Kept {
        PlaceAndSize,
        // For windows whose size follows their contents: only the position
        // comes back; the size is the one the window has when it opens.
        PositionOnly,
    };
    SavedPlace(QWidget& window, const Twips& twips, WindowPlacement& slot, Kept kept = Kept::PlaceAndSize);
    // Puts the window where it was left (corrected for showing, see placeWindow).
    void restore() const;
    // Takes the window's place as it is now into the slot.
    void remember() const;

private:
    QWidget& window_;
    Twips twips_;
    WindowPlacement& slot_;
    Kept kept_;
};

} // namespace zp
