#pragma once
#include "app/Settings.h"
#include "ui/ScreenMetrics.h"

class QWidget;

namespace zp {

// Windows are placed and remembered in twips, by their outer frame: top,
// left, width, height.
WindowPlacement placementOf(const QWidget& window, const Twips& twips);
// Moves and sizes a window to a remembered place. What the frame adds is
// known once the window has been shown, and is nothing before that.
void placeWindow(QWidget& window, const Twips& twips, const WindowPlacement& placement);
// Only the position, for windows that keep their own size.
void moveWindow(QWidget& window, const Twips& twips, const WindowPlacement& placement);
// Centres a window on the screen, computed in twips as the program has
// always done: left = (screen width - window width) / 2.
void centreOnScreen(QWidget& window, const ScreenMetrics& screen);

} // namespace zp
