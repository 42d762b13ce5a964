#pragma once
#include "ui/ScreenMetrics.h"

#include <QRect>
#include <QSize>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QTimeZone>
#include <array>
#include <functional>

namespace zp {

inline const QString kWorldTimesCaption = QStringLiteral("Capital City World Times");

constexpr int kWorldCityCount = 24;
// The home city when neither a choice nor the system zone names one.
constexpr int kFirstHomePicture = 1;
// Panel backgrounds, as 0x00BBGGRR values: light grey, the home city cyan.
constexpr int kWorldPanelColour = 0xC0C0C0;
constexpr int kHomeCityColour = 0xFFFF00;
// How often the times are refreshed.
constexpr int kWorldTimesRefreshMs = 500;

// One row of the clock: a capital, its picture and the panel showing its
// time. Pictures are numbered 1 ... 16 and 18 ... 25 (there is no 17);
// panels 0 ... 23. The clock follows the city's entry in the time-zone
// database, so summer time is right on both hemispheres. The zone value is
// the city's standard hour figure (12 is Greenwich): only what a computer
// without that database entry falls back to.
struct WorldCity {
    int picture;
    int panel;
    int zone;
    const char* name;   // "Washington D.C."
    const char* badge;  // file name of its picture, without ".png"
    const char* zoneId; // "America/New_York"
};

const std::array<WorldCity, kWorldCityCount>& worldCities();

// The panel a picture belongs to: picture N is panel N - 1 up to 16 and
// panel N - 2 from 18 on; -1 for 17 and numbers outside 1 ... 25.
int panelForPicture(int picture);
// The picture beside a panel, 0 for a panel outside 0 ... 23.
int pictureForPanel(int panel);
// The hour shift that makes the city of `picture` show the local time:
// minus its zone value (-7 for picture 1); 0 for an unknown picture.
int homeShiftFor(int picture);

// Where each city's clock comes from. A database without the city's entry
// leaves it on its fixed standard offset, and the badge says so.
struct CityZone {
    QTimeZone zone;
    bool fixed = false;
};
// The time-zone database entry for an IANA id; invalid when it is missing.
using ZoneLookup = std::function<QTimeZone(const QByteArray& ianaId)>;
QTimeZone databaseZone(const QByteArray& ianaId);
// Hours ahead of Greenwich a zone value stands for, -11 ... +12
// (Washington's 7 is -5, Wellington's 0 is +12).
int fixedOffsetHours(int zone);
// Every city's clock, by panel.
std::array<CityZone, kWorldCityCount> cityZones(const ZoneLookup& lookup = databaseZone);

// What a city's badge tells at one instant.
struct CityTime {
    QString time;      // "10:52 PM"
    int dayMarker = 0; // its date less the home city's: -1, 0, +1
    bool fixed = false;
};
std::array<CityTime, kWorldCityCount> cityTimesAt(const QDateTime& utc,
                                                   const std::array<CityZone, kWorldCityCount>& zones,
                                                   int homePicture);
// "+1", "-1", or "" for the same date.
QString dayMarkerText(int marker);
// The panel's text: the city's name over its time, the time marked "≈"
// when it comes from the fixed offset, and the day marker after it.
QString badgeText(const WorldCity& city, const CityTime& t);
// The city the computer stands in at `utc`: the one whose zone is the
// system zone, else the first with the same offset at that instant, else
// Washington.
int homePictureForZone(const QTimeZone& system, const QDateTime& utc,
                       const std::array<CityZone, kWorldCityCount>& zones);

// "hh:mm AM/PM": a 12-hour clock with two-digit hours, 19:05 -> "07:05 PM",
// 0:30 -> "12:30 AM".
QString twelveHourText(int hour, int minute);
// Whole-hour shifts of one local clock by the zone values, wrapped into one
// day, with the local minutes: how the planner told the times before it
// read the time-zone database.
QString worldTimeText(int homeShift, int zone, const QTime& local);
// Every panel's text, by panel.
std::array<QString, kWorldCityCount> worldTimeTexts(int homeShift, const QTime& local);

// Where the rows stand, in pixels. The rows keep the planner's twips
// positions (two columns of twelve, panels 1308 x 300 twips); when a
// picture or the time in the chosen font needs more room than that gives
// at this screen's resolution, the whole layout grows by one factor so
// nothing is cut off or overlaps.
struct WorldTimesLayout {
    std::array<QRect, kWorldCityCount> panels;   // by panel
    std::array<QRect, kWorldCityCount> pictures; // by panel
    QRect closeButton;
    QSize client;
    double scale = 1;
};
WorldTimesLayout layoutWorldTimes(const Twips& twips, QSize timeText, int pictureSize, QSize closeButton);

} // namespace zp
