#include "accessories/WorldTimes.h"

#include <algorithm>

namespace zp {

namespace {

// The rows as the planner has always placed them, in twips.
constexpr int kPanelWidthTwips = 1308;
constexpr int kPanelHeightTwips = 300;
constexpr int kColumnLeftTwips[2] = {456, 2220};
constexpr int kRowTopTwips[12] = {96, 420, 756, 1080, 1416, 1740, 2076, 2400, 2736, 3060, 3396, 3720};
// Closest two rows stand apart, and the room left of a column's panels.
constexpr int kRowPitchTwips = 324;
constexpr int kPictureRoomTwips = 456;
// Space round the pictures and inside the panels, in pixels.
constexpr int kPictureGap = 4;
constexpr int kTextPaddingX = 12;
constexpr int kTextPaddingY = 4;
constexpr int kMargin = 10;

} // namespace

const std::array<WorldCity, kWorldCityCount>& worldCities()
{
    // Zone value 12 is Greenwich; each row is its capital's standard time.
    // Canberra keeps Sydney's clock and Bern Zurich's: the database names
    // each zone after its largest city.
    static const std::array<WorldCity, kWorldCityCount> cities{{
        {1, 0, 7, "Washington D.C.", "washington", "America/New_York"},
        {2, 1, 12, "London", "london", "Europe/London"},
        {3, 2, 22, "Canberra", "canberra", "Australia/Sydney"},
        {4, 3, 21, "Tokyo", "tokyo", "Asia/Tokyo"},
        {5, 4, 13, "Paris", "paris", "Europe/Paris"},
        {6, 5, 7, "Ottawa", "ottawa", "America/Toronto"},
        {7, 6, 13, "Rome", "rome", "Europe/Rome"},
        {8, 7, 13, "Berlin", "berlin", "Europe/Berlin"},
        {9, 8, 13, "Madrid", "madrid", "Europe/Madrid"},
        {10, 9, 13, "Amsterdam", "amsterdam", "Europe/Amsterdam"},
        {11, 10, 8, "Caracas", "caracas", "America/Caracas"},
        {12, 11, 13, "Stockholm", "stockholm", "Europe/Stockholm"},
        {13, 12, 14, "Athens", "athens", "Europe/Athens"},
        {14, 13, 0, "Wellington", "wellington", "Pacific/Auckland"},
        {15, 14, 15, "Moscow", "moscow", "Europe/Moscow"},
        {16, 15, 9, "Brasilia", "brasilia", "America/Sao_Paulo"},
        {18, 16, 13, "Vienna", "vienna", "Europe/Vienna"},
        {19, 17, 13, "Bern", "bern", "Europe/Zurich"},
        {20, 18, 14, "Cairo", "cairo", "Africa/Cairo"},
        {21, 19, 12, "Dublin", "dublin", "Europe/Dublin"},
        {22, 20, 13, "Oslo", "oslo", "Europe/Oslo"},
        {23, 21, 12, "Lisbon", "lisbon", "Europe/Lisbon"},
        {24, 22, 0, "Suva", "suva", "Pacific/Fiji"},
        {25, 23, 14, "Helsinki", "helsinki", "Europe/Helsinki"},
    }};
    return cities;
}

int panelForPicture(int picture)
{
    if (picture >= 1 && picture <= 16)
        return picture - 1;
    if (picture >= 18 && picture <= 25)
        return picture - 2;
    return -1;
}

int pictureForPanel(int panel)
{
    if (panel < 0 || panel >= kWorldCityCount)
        return 0;
    return panel <= 15 ? panel + 1 : panel + 2;
}

int homeShiftFor(int picture)
{
    const int panel = panelForPicture(picture);
    return panel < 0 ? 0 : -worldCities()[static_cast<std::size_t>(panel)].zone;
}

QTimeZone databaseZone(const QByteArray& ianaId)
{
    // Asking only for ids the database lists keeps Qt from warning about
    // each missing one on every opening.
    return QTimeZone::isTimeZoneIdAvailable(ianaId) ? QTimeZone(ianaId) : QTimeZone();
}

int fixedOffsetHours(int zone)
{
    return ((zone - 12 + 11) % 24 + 24) % 24 - 11;
}

std::array<CityZone, kWorldCityCount> cityZones(const ZoneLookup& lookup)
{
    std::array<CityZone, kWorldCityCount> zones;
    for (const WorldCity& c : worldCities()) {
        CityZone& z = zones[static_cast<std::size_t>(c.panel)];
        z.zone = lookup(QByteArray(c.zoneId));
        if (!z.zone.isValid()) {
            z.zone = QTimeZone(fixedOffsetHours(c.zone) * 3600);
            z.fixed = true;
        }
    }
    return zones;
}

std::array<CityTime, kWorldCityCount> cityTimesAt(const QDateTime& utc,
                                                   const std::array<CityZone, kWorldCityCount>& zones,
                                                   int homePicture)
{
    const int home = std::max(0, panelForPicture(homePicture));
    const QDate homeDate = utc.toTimeZone(zones[static_cast<std::size_t>(home)].zone).date();
    std::array<CityTime, kWorldCityCount> out;
    for (std::size_t i = 0; i < zones.size(); ++i) {
        const QDateTime there = utc.toTimeZone(zones[i].zone);
        // Cities are at most a day apart, so the difference is -1, 0 or +1.
        out[i].time = twelveHourText(there.time().hour(), there.time().minute());
        out[i].dayMarker = static_cast<int>(homeDate.daysTo(there.date()));
        out[i].fixed = zones[i].fixed;
    }
    return out;
}

QString dayMarkerText(int marker)
{
    if (marker == 0)
        return QString();
    return marker > 0 ? QStringLiteral("+%1").arg(marker) : QString::number(marker);
}

QString badgeText(const WorldCity& city, const CityTime& t)
{
    QString time = t.fixed ? QStringLiteral("\u2248 ") + t.time : t.time;
    if (t.dayMarker != 0)
        time += QLatin1Char(' ') + dayMarkerText(t.dayMarker);
    return QString::fromLatin1(city.name) + QLatin1Char('\n') + time;
}

int homePictureForZone(const QTimeZone& system, const QDateTime& utc,
                       const std::array<CityZone, kWorldCityCount>& zones)
{
    for (const WorldCity& c : worldCities())
        if (system.id() == QByteArray(c.zoneId))
            return c.picture;
    // Another place in one of the cities' zones (Brussels, Chicago in
    // summer): the first row whose clock reads the same.
    if (!system.isValid())
        return kFirstHomePicture;
    const int offset = system.offsetFromUtc(utc);
    for (const WorldCity& c : worldCities())
        if (zones[static_cast<std::size_t>(c.panel)].zone.offsetFromUtc(utc) == offset)
            return c.picture;
    return kFirstHomePicture;
}

QString twelveHourText(int hour, int minute)
{
    const int h12 = hour % 12 == 0 ? 12 : hour % 12;
    return QStringLiteral("%1:%2 %3")
        .arg(h12, 2, 10, QChar(u'0'))
        .arg(minute, 2, 10, QChar(u'0'))
        .arg(hour < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

QString worldTimeText(int homeShift, int zone, const QTime& local)
{
    // Shifts and zones are within a day of each other; wrapping by whole
    // days keeps any combination inside 0 ... 23.
    const int h = ((homeShift + zone + local.hour()) % 24 + 24) % 24;
    return twelveHourText(h, local.minute());
}

std::array<QString, kWorldCityCount> worldTimeTexts(int homeShift, const QTime& local)
{
    std::array<QString, kWorldCityCount> texts;
    for (const WorldCity& c : worldCities())
        texts[static_cast<std::size_t>(c.panel)] = worldTimeText(homeShift, c.zone, local);
    return texts;
}

WorldTimesLayout layoutWorldTimes(const Twips& twips, QSize timeText, int pictureSize, QSize closeButton)
{
    const double tx = twips.perPixelX();
    const double ty = twips.perPixelY();
    WorldTimesLayout out;
    out.scale = std::max({1.0, (pictureSize + 2) * ty / kRowPitchTwips,
                          (pictureSize + 2 * kPictureGap) * tx / kPictureRoomTwips,
                          (timeText.height() + kTextPaddingY) * ty / kPanelHeightTwips,
                          (timeText.width() + kTextPaddingX) * tx / kPanelWidthTwips});
    const double s = out.scale;
    int right = 0;
    int bottom = 0;
    for (int panel = 0; panel < kWorldCityCount; ++panel) {
        const int left = twips.toPixelsX(kColumnLeftTwips[panel / 12] * s);
        const int top = twips.toPixelsY(kRowTopTwips[panel % 12] * s);
        const QRect p(left, top, twips.toPixelsX(kPanelWidthTwips * s), twips.toPixelsY(kPanelHeightTwips * s));
        out.panels[static_cast<std::size_t>(panel)] = p;
        out.pictures[static_cast<std::size_t>(panel)] =
            QRect(p.left() - kPictureGap - pictureSize, p.center().y() - pictureSize / 2 + 1, pictureSize, pictureSize);
        right = std::max(right, p.right() + 1);
        bottom = std::max(bottom, p.bottom() + 1);
    }
    // The close button under the rows, in the middle; as much room on the
    // right of the rows as the pictures leave on the left.
    const int margin = std::max(kMargin, out.pictures[0].left());
    const int width = std::max(right + margin, closeButton.width() + 2 * kMargin);
    out.closeButton = QRect((width - closeButton.width()) / 2, bottom + kMargin, closeButton.width(), closeButton.height());
    out.client = QSize(width, out.closeButton.bottom() + 1 + kMargin);
    return out;
}

} // namespace zp
