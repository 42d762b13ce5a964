#pragma once
#include "ui/ScreenMetrics.h"

#include <QRect>
#include <QSize>
#include <QString>
#include <QTime>
#include <array>

namespace zp {

inline const QString kWorldTimesCaption = QStringLiteral("Capital City World Times");

constexpr int kWorldCityCount = 24;
// The picture that is the home city when the window opens.
constexpr int kFirstHomePicture = 1;
// Panel backgrounds, as 0x00BBGGRR values: light grey, the home city cyan.
constexpr int kWorldPanelColour = 0xC0C0C0;
constexpr int kHomeCityColour = 0xFFFF00;
// How often the times are refreshed.
constexpr int kWorldTimesRefreshMs = 500;

// One row of the clock: a capital, its picture and the panel showing its
// time. Pictures are numbered 1 ... 16 and 18 ... 25 (there is no 17);
// panels 0 ... 23. The zone value is an hour figure of which only the
// differences count: two rows' zone values differ by their clocks'
// difference in hours.
struct WorldCity {
    int picture;
    int panel;
    int zone;
    const char* name;  // "Washington D.C."
    const char* badge; // file name of its picture, without ".png"
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

// "hh:mm AM/PM": a 12-hour clock with two-digit hours, 19:05 -> "07:05 PM",
// 0:30 -> "12:30 AM".
QString twelveHourText(int hour, int minute);
// The time a city shows: the local hour shifted by homeShift + zone,
// wrapped into one day, with the local minutes.
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
