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
    static const std::array<WorldCity, kWorldCityCount> cities{{
        {1, 0, 7, "Washington D.C.", "washington"},
        {2, 1, 12, "London", "london"},
        {3, 2, 22, "Canberra", "canberra"},
        {4, 3, 21, "Tokyo", "tokyo"},
        {5, 4, 13, "Paris", "paris"},
        {6, 5, 7, "Ottawa", "ottawa"},
        {7, 6, 13, "Rome", "rome"},
        {8, 7, 13, "Berlin", "berlin"},
        {9, 8, 13, "Madrid", "madrid"},
        {10, 9, 13, "Amsterdam", "amsterdam"},
        {11, 10, 8, "Caracas", "caracas"},
        {12, 11, 13, "Stockholm", "stockholm"},
        {13, 12, 14, "Athens", "athens"},
        {14, 13, 0, "Wellington", "wellington"},
        {15, 14, 15, "Moscow", "moscow"},
        {16, 15, 9, "Brasilia", "brasilia"},
        {18, 16, 13, "Vienna", "vienna"},
        {19, 17, 13, "Bern", "bern"},
        {20, 18, 14, "Cairo", "cairo"},
        {21, 19, 12, "Dublin", "dublin"},
        {22, 20, 13, "Oslo", "oslo"},
        {23, 21, 12, "Lisbon", "lisbon"},
        {24, 22, 0, "Suva", "suva"},
        {25, 23, 14, "Helsinki", "helsinki"},
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
