#include "accessories/windows/WorldTimesWindow.h"
#include "support/Fakes.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace zp {
namespace {

const QColor kGrey(0xC0, 0xC0, 0xC0);
const QColor kCyan(0, 255, 255);

class WorldTimesWindowTest : public ::testing::Test {
protected:
    WorldTimesWindowTest()
    {
        // 11:15 PM on the 14th in Washington, already the 15th further east.
        test.clock.set(utc(2026, 1, 15, 4, 15));
        test.clock.zone = QTimeZone("America/New_York");
        state.settings.font.name = QStringLiteral("DejaVu Sans");
    }
    static QDateTime utc(int y, int m, int d, int h, int min) { return QDateTime(QDate(y, m, d), QTime(h, min), Qt::UTC); }
    static QColor background(const QLabel* panel) { return panel->palette().color(QPalette::Window); }
    TestPlatform test;
    ProgramState state;
};

TEST_F(WorldTimesWindowTest, opensAtTheComputersCityAndBadgesShowNameTimeAndDayAgainstHome)
{
    WorldTimesWindow w(state, test.platform());
    w.open();
    EXPECT_TRUE(state.worldTimesOpen);
    EXPECT_EQ(w.homeCity(), 1);
    EXPECT_EQ(w.findChildren<QLabel*>("Panel3D18").size(), 24);
    EXPECT_EQ(w.findChild<QToolButton*>("Image17"), nullptr);
    EXPECT_EQ(background(w.panel(0)), kCyan);
    EXPECT_EQ(background(w.panel(1)), kGrey);
    EXPECT_EQ(w.panel(0)->text(), "Washington D.C.\n11:15 PM");
    EXPECT_EQ(w.panel(2)->text(), "Canberra\n03:15 PM +1");
    EXPECT_EQ(w.panel(13)->text(), "Wellington\n05:15 PM +1");

    QTest::mouseClick(w.findChild<QToolButton*>("Image18"), Qt::LeftButton);
    EXPECT_EQ(w.homeCity(), 18);
    EXPECT_EQ(background(w.panel(16)), kCyan);
    EXPECT_EQ(background(w.panel(17)), kGrey);
    EXPECT_EQ(background(w.panel(0)), kGrey);
    EXPECT_EQ(w.panel(16)->text(), "Vienna\n05:15 AM");
    EXPECT_EQ(w.panel(0)->text(), "Washington D.C.\n11:15 PM -1");

    // Pictures are reachable from the keyboard too.
    QToolButton* london = w.findChild<QToolButton*>("Image2");
    london->setFocus();
    QTest::keyClick(london, Qt::Key_Space);
    EXPECT_EQ(w.homeCity(), 2);
    EXPECT_EQ(w.panel(1)->accessibleName(), "London 04:15 AM");

    for (int panel = 0; panel < 24; ++panel) {
        const QString name = w.panel(panel)->accessibleName();
        EXPECT_FALSE(name.isEmpty());
        // The panel's name carries its time for screen readers.
        EXPECT_EQ(name, QString(w.panel(panel)->text()).replace('\n', ' '));
        EXPECT_TRUE(name.startsWith(w.panel(panel)->toolTip() + " "));
        EXPECT_EQ(w.picture(pictureForPanel(panel))->toolTip(), w.panel(panel)->toolTip());
        EXPECT_EQ(w.picture(pictureForPanel(panel))->accessibleName(), w.panel(panel)->toolTip());
        EXPECT_EQ(w.panel(panel)->property("index").toInt(), panel);
    }
    EXPECT_EQ(w.picture(1)->toolTip(), "Washington D.C.");
}

TEST_F(WorldTimesWindowTest, clockTicksEveryHalfSecondOnlyWhileOpen)
{
    state.settings.placement(PlacementRow::WorldTimes) = {1500, 3000, 5970, 7335};
    WorldTimesWindow w(state, test.platform());
    w.open();
    EXPECT_EQ(w.pos(), QPoint(200, 100));
    ASSERT_TRUE(w.timer()->isActive());
    EXPECT_EQ(w.timer()->interval(), 500);
    test.clock.set(utc(2026, 1, 15, 12, 5));
    QTRY_COMPARE_WITH_TIMEOUT(w.panel(0)->text(), QStringLiteral("Washington D.C.\n07:05 AM"), 2000);

    QTest::mouseClick(w.findChild<QToolButton*>("Image14"), Qt::LeftButton);
    w.move(300, 150);
    QTest::mouseClick(w.findChild<QPushButton*>("Command1"), Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.timer()->isActive());
    EXPECT_FALSE(state.worldTimesOpen);
    EXPECT_EQ(state.settings.placement(PlacementRow::WorldTimes).left, 4500);

    // The chosen home city comes back at the next opening and in the next
    // run, whatever the computer's zone.
    test.clock.zone = QTimeZone("Europe/Lisbon");
    w.open();
    EXPECT_EQ(w.homeCity(), 14);
    EXPECT_EQ(background(w.panel(13)), kCyan);
    EXPECT_TRUE(w.timer()->isActive());
    EXPECT_EQ(state.preferences.value(PreferenceKey::WorldTimesHomeCity).toInt(), 14);
    w.close();
    WorldTimesWindow nextRun(state, test.platform());
    nextRun.open();
    EXPECT_EQ(nextRun.homeCity(), 14);

    // Never chosen: the city of the computer's zone.
    ProgramState fresh;
    WorldTimesWindow lisbon(fresh, test.platform());
    lisbon.open();
    EXPECT_EQ(lisbon.homeCity(), 23);
    EXPECT_EQ(background(lisbon.panel(21)), kCyan);
}

TEST_F(WorldTimesWindowTest, rowsHoldTheLargestFontAndPicturesWithoutOverlap)
{
    state.settings.font.size = Settings::kMaxFontSize;
    state.settings.font.bold = true;
    WorldTimesWindow w(state, test.platform());
    w.open();
    test.clock.set(utc(2026, 1, 15, 20, 48));
    w.refreshTimes();
    const QRect client = w.rect();
    for (int panel = 0; panel < 24; ++panel) {
        const QLabel* p = w.panel(panel);
        const QSize text = QFontMetrics(p->font()).boundingRect(QRect(), Qt::AlignCenter, p->text()).size();
        EXPECT_LE(text.width(), p->contentsRect().width()) << panel;
        EXPECT_LE(text.height(), p->contentsRect().height()) << panel;
        const QToolButton* pic = w.picture(pictureForPanel(panel));
        EXPECT_EQ(pic->iconSize(), QSize(32, 32));
        EXPECT_TRUE(client.contains(p->geometry()));
        EXPECT_TRUE(client.contains(pic->geometry()));
        EXPECT_FALSE(pic->geometry().intersects(p->geometry()));
    }
    EXPECT_TRUE(client.contains(w.findChild<QPushButton*>("Command1")->geometry()));
    EXPECT_EQ(w.findChild<QPushButton*>("Command1")->text(), "CLOSE");
}

} // namespace
} // namespace zp
