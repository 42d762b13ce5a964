#pragma once
#include "state/Settings.h"

#include <QSize>
#include <QString>
#include <map>
#include <vector>

namespace zp {

// A control's position and size in twips, relative to its container.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

using ControlGeometry = std::map<QString, TwipsRect>;

// What the main window's layout rule reads. Sizes in twips.
struct MainLayoutInput {
    int windowWidth = 0;   // outer size of the window
    int windowHeight = 0;
    int clientWidth = 0;   // W: inside width of the window's work area
    int clientHeight = 0;  // H
    bool minimized = false;
    int sliderValue = 40;
    int sliderMaximum = 100;
    int gridStretch = 0;
    // Current geometry of every control the rule reads or moves.
    ControlGeometry controls;
};

struct MainLayoutResult {
    ControlGeometry controls;          // after the rule (partly, when it stopped early)
    std::vector<int> gridColumnWidths; // 13 widths when the width step ran, else empty
    bool completed = false;            // false: minimised or stopped by a bad size; the logo stays still
};

// Window height from which the vertical layout follows the window, and the
// width from which the horizontal layout does. Below them, the controls
// keep the place they had.
constexpr int kLayoutMinHeight = 6795;
constexpr int kLayoutMinWidth = 6384;

// Fits the main window's controls to its size. A size that would come out
// negative ends the rule where it is, like the toolkit refusing it would;
// what was placed before that stays placed.
MainLayoutResult layoutMainWindow(const MainLayoutInput& input);

// Entry grid column widths: column 0 is 600; columns 1 ... 12 share the grid
// width, but never fall below 600, each stretched by (1 + gridStretch).
std::vector<int> gridColumnWidths(int gridWidth, int gridStretch);

// The slider that splits the list and the record pages stays within 10 ... 85.
int clampSlider(int value);

// The moving logo: a small window travelling over the logo picture, left to
// right, then a row further down, starting a fifth of the way down again
// when it runs off the bottom.
class LogoScroller {
public:
    // Sizes in twips: the visible window and the whole picture.
    void setSizes(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight);
    // Advances one tick and returns the rectangle of the picture to show.
    TwipsRect step();
    bool started() const { return started_; }

private:
    bool started_ = false;
    int x_ = 0, y_ = 0, w_ = 0, h_ = 0;
    int windowW_ = 0, windowH_ = 0, pictureW_ = 0, pictureH_ = 0;
};

// Status bar hint by the mouse's x position over a bar of the given width.
QString statusBarHint(int x, int width);

// The plan name shown in the last status panel: the part after the last
// backslash (or slash: this platform's separator), the whole name when that
// part is empty, "New Plan" when no plan is named.
QString planPanelText(const QString& planFileName);

// Where the main window goes when no settings were read (the first start):
// two thirds of the screen each way, centred, so that the toolbar, the
// pages, the list and the status bar all show. Screen size in twips.
WindowPlacement firstStartPlacement(const QSize& screenTwips);

} // namespace zp
