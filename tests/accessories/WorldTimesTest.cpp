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

QDateTime utcAt(const char* iso)
{
    return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate).toUTC();
}

struct ZoneCase {
    const char* utc;
    int homePicture;
    int picture;
    const char* shown;
    int dayMarker;
};

class SummerTimeChanges : public ::testing::TestWithParam<ZoneCase> {};

// Half an hour either side of each change, where a fixed offset is an hour off.
TEST_P(SummerTimeChanges, eachCityFollowsItsOwnZone)
{
    const ZoneCase& c = GetParam();
    const auto times = cityTimesAt(utcAt(c.utc), cityZones(), c.homePicture);
    const CityTime& t = times[static_cast<std::size_t>(panelForPicture(c.picture))];
    EXPECT_EQ(t.time.toStdString(), c.shown);
    EXPECT_EQ(t.dayMarker, c.dayMarker);
    EXPECT_FALSE(t.fixed);
}

INSTANTIATE_TEST_SUITE_P(Europe, SummerTimeChanges, ::testing::Values(
    ZoneCase{"2026-03-29T00:30:00Z", 1, 2, "12:30 AM", 1},
    ZoneCase{"2026-03-29T01:30:00Z", 1, 2, "02:30 AM", 1},
    ZoneCase{"2026-03-29T00:30:00Z", 1, 5, "01:30 AM", 1},
    ZoneCase{"2026-03-29T01:30:00Z", 1, 5, "03:30 AM", 1},
    ZoneCase{"2026-03-29T00:30:00Z", 2, 1, "08:30 PM", -1},
    ZoneCase{"2026-10-25T00:30:00Z", 2, 2, "01:30 AM", 0},
    ZoneCase{"2026-10-25T01:30:00Z", 2, 2, "01:30 AM", 0},
    ZoneCase{"2026-12-08T22:31:00Z", 1, 2, "10:31 PM", 0}));

INSTANTIATE_TEST_SUITE_P(SouthernHemisphere, SummerTimeChanges, ::testing::Values(
    ZoneCase{"2026-04-04T15:30:00Z", 2, 3, "02:30 AM", 1},
    ZoneCase{"2026-04-04T16:30:00Z", 2, 3, "02:30 AM", 1},
    ZoneCase{"2026-10-03T15:30:00Z", 2, 3, "01:30 AM", 1},
    ZoneCase{"2026-10-03T16:30:00Z", 2, 3, "03:30 AM", 1},
    ZoneCase{"2026-04-04T13:30:00Z", 2, 14, "02:30 AM", 1},
    ZoneCase{"2026-04-04T14:30:00Z", 2, 14, "02:30 AM", 1},
    ZoneCase{"2026-01-15T02:00:00Z", 4, 1, "09:00 PM", -1},
    ZoneCase{"2026-07-01T12:00:00Z", 4, 16, "09:00 AM", 0},
    ZoneCase{"2026-07-01T16:00:00Z", 4, 11, "12:00 PM", -1}));

TEST(WorldTimes, aCityMissingFromTheDatabaseKeepsItsFixedOffsetMarked)
{
    const auto zones = cityZones([](const QByteArray& id) {
        return id == "Europe/London" || id == "Pacific/Fiji" ? QTimeZone() : databaseZone(id);
    });
    // In July London's own clock is an hour ahead of Greenwich.
    const auto times = cityTimesAt(utcAt("2026-07-01T12:00:00Z"), zones, 1);
    const CityTime& london = times[1];
    EXPECT_TRUE(london.fixed);
    EXPECT_EQ(london.time, "12:00 PM");
    EXPECT_EQ(badgeText(worldCities()[1], london), QString::fromUtf8("London\n\u2248 12:00 PM"));
    EXPECT_TRUE(times[22].fixed);
    EXPECT_EQ(badgeText(worldCities()[22], times[22]), QString::fromUtf8("Suva\n\u2248 12:00 AM +1"));
    EXPECT_FALSE(times[4].fixed);
    EXPECT_EQ(badgeText(worldCities()[4], times[4]), "Paris\n02:00 PM");

    const std::pair<int, int> offsets[] = {{7, -5}, {12, 0}, {22, 10}, {0, 12}, {8, -4}, {15, 3}};
    for (const auto& [zone, hours] : offsets)
        EXPECT_EQ(fixedOffsetHours(zone), hours) << zone;
}

struct HomeCase {
    const char* systemZone;
    const char* utc;
    int picture;
};

class HomeFromSystemZone : public ::testing::TestWithParam<HomeCase> {};

TEST_P(HomeFromSystemZone, sameZoneElseSameOffsetElseWashington)
{
    const HomeCase& c = GetParam();
    EXPECT_EQ(homePictureForZone(QTimeZone(c.systemZone), utcAt(c.utc), cityZones()), c.picture);
}

INSTANTIATE_TEST_SUITE_P(Examples, HomeFromSystemZone, ::testing::Values(
    HomeCase{"Europe/Dublin", "2026-01-15T12:00:00Z", 21},
    HomeCase{"Pacific/Fiji", "2026-07-01T12:00:00Z", 24},
    HomeCase{"Australia/Sydney", "2026-01-15T12:00:00Z", 3},
    HomeCase{"Europe/Brussels", "2026-01-15T12:00:00Z", 5},
    HomeCase{"Asia/Seoul", "2026-01-15T12:00:00Z", 4},
    HomeCase{"UTC", "2026-01-15T12:00:00Z", 2},
    HomeCase{"America/Chicago", "2026-07-01T12:00:00Z", 1},
    HomeCase{"Asia/Kolkata", "2026-01-15T12:00:00Z", 1},
    HomeCase{"Nowhere/Atlantis", "2026-01-15T12:00:00Z", 1}));

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
