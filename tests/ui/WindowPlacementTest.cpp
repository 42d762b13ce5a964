#include "ui/WindowPlacement.h"

#include <gtest/gtest.h>

namespace zp {
namespace {

TEST(FitOnScreen, keepsReachableWindowsAndMovesLostOnes)
{
    const QRect left(0, 0, 15360, 11520);     // 1024 x 768 pixels at 15 twips
    const QRect right(15360, 0, 28800, 16200); // a larger screen to its right
    const QSize minimum(3000, 2000);
    const struct {
        const char* name;
        WindowPlacement stored; // top, left, width, height
        QList<QRect> screens;
        WindowPlacement shown;
    } cases[] = {
        {"default place", {2205, 1185, 6200, 4140}, {left}, {2205, 1185, 6200, 4140}},
        {"too small", {2205, 1185, 100, 0}, {left}, {2205, 1185, 3000, 2000}},
        {"negative size", {2205, 1185, -500, -1}, {left}, {2205, 1185, 3000, 2000}},
        {"partly off to the right", {100, 14000, 6000, 4000}, {left}, {100, 14000, 6000, 4000}},
        {"far to the right", {100, 40000, 6000, 4000}, {left}, {100, 9360, 6000, 4000}},
        {"far to the left", {100, -20000, 6000, 4000}, {left}, {100, 0, 6000, 4000}},
        {"title bar above the screen", {-300, 1000, 6000, 4000}, {left}, {0, 1000, 6000, 4000}},
        {"below the screen", {20000, 1000, 6000, 4000}, {left}, {7520, 1000, 6000, 4000}},
        {"on the second screen", {1000, 20000, 6000, 4000}, {left, right}, {1000, 20000, 6000, 4000}},
        {"second screen gone", {1000, 20000, 6000, 4000}, {left}, {1000, 9360, 6000, 4000}},
        {"beyond the second screen", {1000, 50000, 6000, 4000}, {left, right}, {1000, 38160, 6000, 4000}},
        {"larger than the screen", {5000, 5000, 30000, 20000}, {QRect(0, 0, 15360, 3000)}, {0, 0, 30000, 20000}},
        {"no screens", {-99999, -99999, 10, 10}, {}, {-99999, -99999, 3000, 2000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const WindowPlacement shown = fitOnScreen(c.stored, c.screens, minimum);
        EXPECT_EQ(shown.top, c.shown.top);
        EXPECT_EQ(shown.left, c.shown.left);
        EXPECT_EQ(shown.width, c.shown.width);
        EXPECT_EQ(shown.height, c.shown.height);
    }
}

} // namespace
} // namespace zp
