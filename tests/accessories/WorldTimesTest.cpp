#include "accessories/WorldTimes.h"

#include <gtest/gtest.h>
#include <set>

namespace zp {
namespace {

TEST(WorldTimes, picturesMapToPanelsSkippingSeventeen)
{
    EXPECT_EQ(panelForPicture(1), 0);
    EXPECT_EQ(panelForPicture(16), 15);
    EXPECT_EQ(panelForPicture(17), -1);
    EXPECT_EQ(panelForPicture(18), 16);
    EXPECT_EQ(panelForPicture(25), 23);
    EXPECT_EQ(panelForPicture(0), -1);
    EXPECT_EQ(panelForPicture(26), -1);
    std::set<QString> names;
    for (const WorldCity& c : worldCities()) {
        EXPECT_EQ(panelForPicture(c.picture), c.panel);
        EXPECT_EQ(pictureForPanel(c.panel), c.picture);
        names.insert(QString::fromLatin1(c.name));
    }
    EXPECT_EQ(names.size(), 24u);
    EXPECT_EQ(homeShiftFor(1), -7);
    EXPECT_EQ(homeShiftFor(14), 0);
    EXPECT_EQ(homeShiftFor(24), 0);
    EXPECT_EQ(homeShiftFor(3), -22);
}

TEST(WorldTimes, twelveHourPattern)
{
    EXPECT_EQ(twelveHourText(19, 5), "07:05 PM");
    EXPECT_EQ(twelveHourText(0, 30), "12:30 AM");
    EXPECT_EQ(twelveHourText(12, 0), "12:00 PM");
    EXPECT_EQ(twelveHourText(11, 59), "11:59 AM");
}

struct TimeCase {
    int homePicture;
    int hour;
    int minute;
    int panel;
    const char* shown;
};

class WorldTimeExamples : public ::testing::TestWithParam<TimeCase> {};

TEST_P(WorldTimeExamples, panelShowsShiftedTime)
{
    const TimeCase& c = GetParam();
    const auto texts = worldTimeTexts(homeShiftFor(c.homePicture), QTime(c.hour, c.minute));
    EXPECT_EQ(texts[static_cast<std::size_t>(c.panel)].toStdString(), c.shown);
}

INSTANTIATE_TEST_SUITE_P(Examples, WorldTimeExamples, ::testing::Values(
    TimeCase{1, 23, 15, 2, "02:15 PM"},
    TimeCase{1, 23, 15, 13, "04:15 PM"},
    TimeCase{1, 23, 15, 0, "11:15 PM"},
    TimeCase{14, 1, 40, 0, "08:40 AM"},
    TimeCase{14, 1, 40, 2, "11:40 PM"},
    TimeCase{3, 0, 10, 13, "02:10 AM"},
    TimeCase{18, 0, 0, 16, "12:00 AM"}));

TEST(WorldTimes, theHomeCityAlwaysShowsTheLocalTime)
{
    for (const WorldCity& c : worldCities())
        for (int hour = 0; hour < 24; ++hour)
            EXPECT_EQ(worldTimeTexts(homeShiftFor(c.picture), QTime(hour, 7))[static_cast<std::size_t>(c.panel)],
                      twelveHourText(hour, 7));
}

TEST(WorldTimes, layoutKeepsTheTwipsPositionsAndGrowsForBigPicturesOrText)
{
    // Sharp screen, small text: the rows stand at their twips places.
    const WorldTimesLayout sharp = layoutWorldTimes(Twips(7.5, 7.5), QSize(60, 14), 32, QSize(80, 25));
    EXPECT_DOUBLE_EQ(sharp.scale, 1.0);
    EXPECT_EQ(sharp.panels[0], QRect(61, 13, 174, 40));
    EXPECT_EQ(sharp.panels[23].topLeft(), QPoint(296, 496));

    // At 96 dpi a 32-pixel picture does not fit a row: everything grows.
    for (QSize text : {QSize(60, 14), QSize(150, 30)}) {
        const WorldTimesLayout l = layoutWorldTimes(Twips(15, 15), text, 32, QSize(80, 25));
        EXPECT_GT(l.scale, 1.0);
        for (int i = 0; i < kWorldCityCount; ++i) {
            const QRect p = l.panels[static_cast<std::size_t>(i)];
            const QRect pic = l.pictures[static_cast<std::size_t>(i)];
            EXPECT_GE(p.width(), text.width() + 8);
            EXPECT_GE(p.height(), text.height());
            EXPECT_GE(pic.left(), 0);
            EXPECT_GE(pic.top(), 0);
            EXPECT_LT(pic.right(), p.left());
            EXPECT_TRUE(QRect(QPoint(0, 0), l.client).contains(p));
            for (int j = i + 1; j < kWorldCityCount; ++j) {
                EXPECT_FALSE(pic.intersects(l.pictures[static_cast<std::size_t>(j)])) << i << " " << j;
                EXPECT_FALSE(pic.intersects(l.panels[static_cast<std::size_t>(j)])) << i << " " << j;
            }
        }
        EXPECT_GT(l.closeButton.top(), l.panels[23].bottom());
        EXPECT_TRUE(QRect(QPoint(0, 0), l.client).contains(l.closeButton));
    }
}

} // namespace
} // namespace zp
