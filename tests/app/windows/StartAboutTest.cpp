#include "app/windows/AboutWindow.h"
#include "app/windows/PlannerApp.h"
#include "app/windows/StartWindow.h"
#include "support/Fakes.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <array>
#include <gtest/gtest.h>
#include <vector>

namespace zp {
namespace {

// --- Start window ------------------------------------------------------------------

TEST(StartWindow, showsTheMainWindowOnTheSecondTickNeverTheFirst)
{
    FakeScreen screen;
    int shown = 0;
    StartWindow w(screen, [&] { ++shown; });
    w.show();
    EXPECT_EQ(w.tickFlag(), 0);

    w.tick();
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(w.tickFlag(), 1);
    EXPECT_TRUE(w.isVisible());

    w.tick();
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.timer1()->isActive());

    w.tick(); // a stray tick after closing shows nothing more
    EXPECT_EQ(shown, 1);
}

// A second request while the start window shows keeps that one, so none
// is left behind to call back into an application that has gone.
TEST(StartWindow, isShownOnceAndGoesWithTheApplication)
{
    auto startWindows = [] {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += w->objectName() == QLatin1String("Form9") ? 1 : 0;
        return n;
    };
    TestPlatform test;
    ProgramState state;
    {
        PlannerApp app(state, test.platform());
        app.start();
        app.showStartWindow();
        EXPECT_EQ(startWindows(), 1);
        app.startWindow()->hide();
        app.showStartWindow();
        EXPECT_EQ(startWindows(), 1);
    }
    EXPECT_EQ(startWindows(), 0);
}

TEST(StartWindow, isCentredOnTheScreenAndCarriesItsControls)
{
    FakeScreen screen;
    screen.setPixels(1280, 1024);
    StartWindow w(screen, {});
    EXPECT_NEAR(w.x(), (1280 - w.width()) / 2.0, 1.0);
    EXPECT_NEAR(w.y(), (1024 - w.height()) / 2.0, 1.0);
    EXPECT_EQ(w.width(), Twips().toPixelsX(StartWindow::kWidthTwips));

    EXPECT_TRUE(w.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(w.timer1()->objectName(), QStringLiteral("Timer1"));
    EXPECT_EQ(w.timer1()->interval(), 1000);
    EXPECT_TRUE(w.timer1()->isActive());
    auto* label = w.findChild<QLabel*>(QStringLiteral("Label3"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("Zorvik Planner"));
    EXPECT_EQ(label->parent()->objectName(), QStringLiteral("Panel3D1"));
    auto* picture = w.findChild<QLabel*>(QStringLiteral("Image4"));
    ASSERT_NE(picture, nullptr);
    EXPECT_FALSE(picture->pixmap().isNull());
}

TEST(StartWindow, centresInTwipsOnAHighDpiScreen)
{
    FakeScreen screen;
    screen.setPixels(1920, 1080, 10.0); // 144 dpi
    StartWindow w(screen, {});
    EXPECT_EQ(w.width(), 500);
    EXPECT_EQ(w.height(), 360);
    EXPECT_EQ(w.x(), 710);
    EXPECT_EQ(w.y(), 360);
}

// --- About window --------------------------------------------------------------------

struct AboutFixture : ::testing::Test {
    FakeScreen screen;
    std::vector<std::array<double, 4>> stored;
    int shown = 0;
    AboutWindow w{screen, [this](double t, double l, double wd, double h) { stored.push_back({t, l, wd, h}); },
            [this] { ++shown; }};
};

TEST_F(AboutFixture, carriesItsCaptionTextsAndNames)
{
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Zorvik Planner 3.2 - About"));
    auto* panel = w.findChild<QWidget*>(QStringLiteral("Panel3D1"));
    ASSERT_NE(panel, nullptr);
    auto* label = panel->findChild<QLabel*>(QStringLiteral("Label3"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("Zorvik Planner Version 3.2"));
    auto* picture = panel->findChild<QLabel*>(QStringLiteral("Image4"));
    ASSERT_NE(picture, nullptr);
    EXPECT_FALSE(picture->pixmap().isNull());
    auto* ok = panel->findChild<QPushButton*>(QStringLiteral("Command1"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("&OK"));
    EXPECT_FALSE(w.isModal());
}

TEST_F(AboutFixture, opensCentred)
{
    EXPECT_NEAR(w.x(), (1024 - w.width()) / 2.0, 1.0);
    EXPECT_NEAR(w.y(), (768 - w.height()) / 2.0, 1.0);
}

TEST_F(AboutFixture, okStoresThePlacementInTwipsClosesAndShowsTheMainWindow)
{
    w.show();
    w.move(100, 50);
    w.command1()->click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(shown, 1);
    ASSERT_EQ(stored.size(), 1u); // closing by OK stores once, not twice
    const QRect f = w.frameGeometry();
    EXPECT_DOUBLE_EQ(stored[0][0], f.y() * 15.0);
    EXPECT_DOUBLE_EQ(stored[0][1], f.x() * 15.0);
    EXPECT_DOUBLE_EQ(stored[0][2], f.width() * 15.0);
    EXPECT_DOUBLE_EQ(stored[0][3], f.height() * 15.0);
}

TEST_F(AboutFixture, closingByTheTitleBarStoresThePlacementButShowsNothing)
{
    w.show();
    w.close();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_DOUBLE_EQ(stored[0][1], w.frameGeometry().x() * 15.0);
    EXPECT_EQ(shown, 0);

    // Reused: shown again and closed by OK.
    w.show();
    w.command1()->click();
    EXPECT_EQ(stored.size(), 2u);
    EXPECT_EQ(shown, 1);
}

} // namespace
} // namespace zp
