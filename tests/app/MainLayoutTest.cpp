#include "app/MainLayout.h"

#include <gtest/gtest.h>

using namespace zp;

namespace {

// The controls the layout reads, at sizes like those of a freshly built window.
ControlGeometry startingControls()
{
    ControlGeometry g;
    for (const char* n : {"SSTab1", "SSTab2", "Viewlist", "Text1", "Text12", "Image1", "SSPanel2", "Grid1", "Text4",
                          "Command4", "Command5", "Slider1", "VScroll1", "Text10", "Text5", "Text7", "Text9", "Text11",
                          "ProgressBar1", "StatusBar1", "picToolbar"})
        g[QString::fromLatin1(n)] = {100, 100, 1000, 1000};
    g[QStringLiteral("Panel3D3")] = {60, 440, 5300, 240};
    g[QStringLiteral("Picture1")] = {5400, 0, 864, 690};
    g[QStringLiteral("VScroll1")] = {50, 50, 255, 4000};
    g[QStringLiteral("Text6")] = {355, 1410, 1400, 300};
    g[QStringLiteral("Text8")] = {355, 1970, 1400, 300};
    g[QStringLiteral("Text2")] = {355, 290, 1100, 300};
    g[QStringLiteral("Text3")] = {1505, 290, 900, 300};
    g[QStringLiteral("Text10")] = {355, 3090, 2869, 545};
    g[QStringLiteral("SSPanel1")] = {1324, 2360, 1900, 420};
    for (const char* n : {"Command1", "Command2", "Command3", "Command6"})
        g[QString::fromLatin1(n)] = {355, 3945, 800, 350};
    return g;
}

MainLayoutInput sized(int windowWidth, int windowHeight, int clientWidth, int clientHeight)
{
    MainLayoutInput in;
    in.windowWidth = windowWidth;
    in.windowHeight = windowHeight;
    in.clientWidth = clientWidth;
    in.clientHeight = clientHeight;
    in.sliderValue = 50;
    in.sliderMaximum = 100;
    in.controls = startingControls();
    return in;
}

} // namespace

TEST(MainLayout, largeWindow_fitsListAndPagesToTheWindow)
{
    const MainLayoutResult out = layoutMainWindow(sized(9120, 7800, 9000, 7000));
    ASSERT_TRUE(out.completed);
    const auto& c = out.controls;
    EXPECT_EQ(c.at("SSTab1").top, 900);
    EXPECT_EQ(c.at("SSTab1").height, 5740);
    EXPECT_EQ(c.at("Viewlist").height, 5240);
    EXPECT_EQ(c.at("SSPanel2").height, 5240);
    EXPECT_EQ(c.at("Grid1").height, 4840);
    EXPECT_EQ(c.at("VScroll1").height, 5140);
    EXPECT_EQ(c.at("Command2").top, 5240 - 350 - 50);
    EXPECT_EQ(c.at("Text10").height, 5240 - 3800);

    // The slider at half splits at (25 + W) / 2.
    EXPECT_EQ(c.at("SSTab1").left, 4512);
    EXPECT_EQ(c.at("SSTab1").width, 9000 - 4512 - 80);
    EXPECT_EQ(c.at("SSTab2").width, 9000 - 4408 - 180);
    EXPECT_EQ(c.at("Viewlist").width, 4412 - 180);
    EXPECT_EQ(c.at("SSPanel2").width, 4408 - 180);
    EXPECT_EQ(c.at("Text4").width, 4408 - 2200);
    EXPECT_EQ(c.at("StatusBar1").width, 9000 - 760);
    EXPECT_EQ(c.at("picToolbar").width, 9000 - 880);
    EXPECT_EQ(c.at("Slider1").width, 9120);
    EXPECT_EQ(c.at("Picture1").left, 9000 - 864);
    EXPECT_EQ(c.at("ProgressBar1").width, 5300);

    // Entry fields share the panel's width after the scroll bar.
    const int P = 4228, V = 255;
    EXPECT_EQ(c.at("Text10").width, P - V - 220);
    EXPECT_EQ(c.at("Text5").width, P - V - 220);
    EXPECT_EQ(c.at("Text7").width, P - 1400 - V - 220);
    EXPECT_EQ(c.at("Text11").width, P - 900 - 1100 - V - 220);
    EXPECT_EQ(c.at("SSPanel1").left, 355 + (P - V - 220) - 1900);

    ASSERT_EQ(out.gridColumnWidths.size(), 13u);
    EXPECT_EQ(out.gridColumnWidths[0], 600);
    EXPECT_EQ(out.gridColumnWidths[12], 600); // 4228 / 12 is below 600
}

TEST(MainLayout, belowBothThresholds_leavesEverythingWhereItWas)
{
    const MainLayoutInput in = sized(6200, 4140, 6080, 3400);
    const MainLayoutResult out = layoutMainWindow(in);
    EXPECT_TRUE(out.completed);
    EXPECT_EQ(out.controls, in.controls);
    EXPECT_TRUE(out.gridColumnWidths.empty());
}

TEST(MainLayout, thresholdsApplySeparately)
{
    // Tall but narrow: heights follow, widths stay.
    MainLayoutResult out = layoutMainWindow(sized(6383, 8000, 6263, 7200));
    EXPECT_EQ(out.controls.at("SSTab1").height, 7200 - 1260);
    EXPECT_EQ(out.controls.at("SSTab1").width, 1000);
    // Wide but short: widths follow, heights stay.
    out = layoutMainWindow(sized(9000, 6794, 8880, 6000));
    EXPECT_EQ(out.controls.at("SSTab1").height, 1000);
    EXPECT_EQ(out.controls.at("StatusBar1").width, 8880 - 760);
    // Exactly at the thresholds both apply.
    out = layoutMainWindow(sized(6384, 6795, 6264, 6105));
    EXPECT_EQ(out.controls.at("SSTab1").height, 6105 - 1260);
    EXPECT_EQ(out.controls.at("StatusBar1").width, 6264 - 760);
}

TEST(MainLayout, minimised_changesNothingAndKeepsTheLogoStill)
{
    MainLayoutInput in = sized(9120, 7800, 9000, 7000);
    in.minimized = true;
    const MainLayoutResult out = layoutMainWindow(in);
    EXPECT_FALSE(out.completed);
    EXPECT_EQ(out.controls, in.controls);
}

TEST(MainLayout, negativeSize_stopsTheRuleWhereItIs)
{
    // Tall enough for the rule, but the entry panel is too short for the
    // message field: the heights before it are placed, nothing after.
    MainLayoutInput in = sized(9120, 6795, 9000, 5000);
    const MainLayoutResult out = layoutMainWindow(in);
    EXPECT_FALSE(out.completed);
    EXPECT_EQ(out.controls.at("SSTab1").height, 5000 - 1260);
    EXPECT_EQ(out.controls.at("Command1").top, 5000 - 1260 - 500 - 350 - 50);
    EXPECT_EQ(out.controls.at("Text10").height, 545);
    EXPECT_EQ(out.controls.at("StatusBar1").width, 1000); // width step never ran
    EXPECT_TRUE(out.gridColumnWidths.empty());
}

TEST(MainLayout, gridColumns_shareTheWidthButNeverBelow600)
{
    struct Case {
        int gridWidth, stretch, expected;
    };
    for (const Case& c : {Case{12000, 0, 1000}, Case{12000, 1, 2000}, Case{7205, 0, 600}, Case{7211, 0, 600},
                          Case{7224, 0, 602}, Case{7000, 0, 600}, Case{7000, 1, 1200}, Case{0, 0, 600}}) {
        const std::vector<int> w = gridColumnWidths(c.gridWidth, c.stretch);
        ASSERT_EQ(w.size(), 13u);
        EXPECT_EQ(w[0], 600) << c.gridWidth;
        for (int col = 1; col <= 12; ++col)
            EXPECT_EQ(w[static_cast<std::size_t>(col)], c.expected) << c.gridWidth << " stretch " << c.stretch;
    }
}

TEST(MainLayout, slider_staysBetween10And85)
{
    EXPECT_EQ(clampSlider(5), 10);
    EXPECT_EQ(clampSlider(10), 10);
    EXPECT_EQ(clampSlider(50), 50);
    EXPECT_EQ(clampSlider(85), 85);
    EXPECT_EQ(clampSlider(90), 85);
}

TEST(LogoScroller, travelsRightThenDownThenBackToAFifth)
{
    LogoScroller logo;
    logo.setSizes(100, 40, 200, 200);
    EXPECT_EQ(logo.step(), (TwipsRect{0, 40, 100, 40}));
    EXPECT_EQ(logo.step(), (TwipsRect{20, 40, 100, 40}));
    for (int i = 0; i < 4; ++i)
        logo.step(); // x = 100: still fits exactly
    EXPECT_EQ(logo.step(), (TwipsRect{0, 80, 100, 40})); // 120 + 100 > 200: next row
    for (int i = 0; i < 5; ++i)
        logo.step();
    EXPECT_EQ(logo.step(), (TwipsRect{0, 120, 100, 40}));
    for (int i = 0; i < 5; ++i)
        logo.step();
    EXPECT_EQ(logo.step(), (TwipsRect{0, 160, 100, 40}));
    for (int i = 0; i < 5; ++i)
        logo.step();
    EXPECT_EQ(logo.step(), (TwipsRect{0, 40, 100, 40})); // 200 + 40 > 200: back to a fifth
}

TEST(StatusTexts, hintFollowsTheThirdOfTheBar)
{
    EXPECT_EQ(statusBarHint(10, 300), "Current time");
    EXPECT_EQ(statusBarHint(150, 300), "Current date");
    EXPECT_EQ(statusBarHint(250, 300), "Current planner file name");
    EXPECT_EQ(statusBarHint(100, 300), "Current planner file name"); // on the boundary itself
}

TEST(StatusTexts, planPanelShowsTheFileNamePart)
{
    EXPECT_EQ(planPanelText(""), "New Plan");
    EXPECT_EQ(planPanelText("C:\\PLANS\\WORK.PLN"), "WORK.PLN");
    EXPECT_EQ(planPanelText("/home/ann/plans/work.pln"), "work.pln");
    EXPECT_EQ(planPanelText("work.pln"), "work.pln");
    EXPECT_EQ(planPanelText("\\work.pln"), "\\work.pln"); // a leading separator does not count
    EXPECT_EQ(planPanelText("C:\\PLANS\\"), "C:\\PLANS\\");
}
