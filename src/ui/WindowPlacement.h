#pragma once
#include <QList>
#include <QRect>
#include <QSize>

namespace zp {

// Placement of one window in twips: top, left, width, height.
struct WindowPlacement {
    double top = 0;
    double left = 0;
    double width = 0;
    double height = 0;
    friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

// Where to put a window whose remembered placement is `stored`, given the
// screens' rectangles and the window's minimum size, all in twips. The
// stored values stay as they are; this is only for showing the window.
// - A width or height below the minimum is raised to it.
// - A window is reachable when its top edge lies on a screen, at least
//   kPlacementGrip twips above that screen's bottom, with at least
//   kPlacementGrip twips (or its whole width, when narrower) of it across
//   that screen. Otherwise it is moved onto the screen it is nearest to,
//   as far as needed to lie inside it (its top-left corner inside when it
//   is larger than the screen).
// With no screens the size correction alone applies.
constexpr int kPlacementGrip = 600;
WindowPlacement fitOnScreen(const WindowPlacement& stored, const QList<QRect>& screensTwips, const QSize& minimumTwips);

} // namespace zp
