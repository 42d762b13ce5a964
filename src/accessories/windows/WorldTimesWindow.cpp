#include "accessories/windows/WorldTimesWindow.h"

#include "ui/Artwork.h"
#include "ui/QtPlatform.h"
#include "ui/TextFit.h"
#include "ui/WindowGeometry.h"
#include "ui/KeyboardAccess.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

namespace zp {

namespace {

constexpr int kPictureSize = 32;

QString cityName(const WorldCity& city)
{
    return QString::fromLatin1(city.name);
}

} // namespace

WorldTimesWindow::WorldTimesWindow(ProgramState& state, const Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), platform_(platform), twips_(platform.screen)
{
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(kWorldTimesCaption);
    closeOnEscape(*this);
    createRows();
    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(kWorldTimesRefreshMs);
    connect(timer1_, &QTimer::timeout, this, &WorldTimesWindow::refreshTimes);
    layoutRows();
}

void WorldTimesWindow::createRows()
{
    for (const WorldCity& city : worldCities()) {
        const auto at = static_cast<std::size_t>(city.panel);
        auto* picture = new QToolButton(this);
        picture->setObjectName(QStringLiteral("Image%1").arg(city.picture));
        picture->setIcon(QIcon(cityPicture(QString::fromLatin1(city.badge))));
        picture->setIconSize(QSize(kPictureSize, kPictureSize));
        picture->setAutoRaise(true);
        picture->setToolTip(cityName(city));
        picture->setAccessibleName(cityName(city));
        picture->setAccessibleDescription(QStringLiteral("Make %1 the home city").arg(cityName(city)));
        connect(picture, &QToolButton::clicked, this, [this, n = city.picture] { selectHomeCity(n); });
        pictures_[at] = picture;

        auto* panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("Panel3D18"));
        panel->setProperty("index", city.panel);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setAlignment(Qt::AlignCenter);
        panel->setAutoFillBackground(true);
        panel->setToolTip(cityName(city));
        panel->setAccessibleName(cityName(city));
        panels_[at] = panel;
    }
    // Tab walks the pictures in the order of their panels; Space on one
    // makes its city the home city.
    for (std::size_t i = 1; i < pictures_.size(); ++i)
        setTabOrder(pictures_[i - 1], pictures_[i]);
    command1_ = new QPushButton(QStringLiteral("CLOSE"), this);
    command1_->setObjectName(QStringLiteral("Command1"));
    command1_->setAutoDefault(false);
    connect(command1_, &QPushButton::clicked, this, &QWidget::close);
}

QToolButton* WorldTimesWindow::picture(int number) const
{
    const int panel = panelForPicture(number);
    return panel < 0 ? nullptr : pictures_[static_cast<std::size_t>(panel)];
}

void WorldTimesWindow::layoutRows()
{
    // Room for the longest name over the widest time the panels' font can
    // show, marked and a day off.
    const QFontMetrics fm(panels_[0]->font());
    int widest = 0;
    for (const char* sample : {"00:00 AM", "00:00 PM", "08:08 AM", "08:08 PM"})
        widest = std::max(widest, fm.horizontalAdvance(QStringLiteral("\u2248 %1 -1").arg(QLatin1String(sample))));
    for (const WorldCity& city : worldCities())
        widest = std::max(widest, fm.horizontalAdvance(cityName(city)));
    const QSize text(widest + 2 * panels_[0]->frameWidth(),
                     fm.lineSpacing() + fm.height() + 2 * panels_[0]->frameWidth());
    const WorldTimesLayout l = layoutWorldTimes(twips_, text, kPictureSize + 4, command1_->sizeHint());
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        panels_[i]->setGeometry(l.panels[i]);
        pictures_[i]->setGeometry(l.pictures[i]);
    }
    command1_->setGeometry(l.closeButton);
    setFixedSize(l.client);
}

void WorldTimesWindow::open()
{
    if (!state_.worldTimesOpen) {
        applyFont();
        place_.restore();
        // The database is read afresh: tzdata may have been installed or
        // updated since the last opening.
        zones_ = cityZones();
        bool chosen = false;
        const int remembered = state_.preferences.value(PreferenceKey::WorldTimesHomeCity).toInt(&chosen);
        showHomeCity(chosen && panelForPicture(remembered) >= 0
                         ? remembered
                         : homePictureForZone(platform_.clock.timeZone(), platform_.clock.now().toUTC(), zones_));
        state_.worldTimesOpen = true;
        picture(homeCity_)->setFocus(Qt::OtherFocusReason);
    }
    show();
    raise();
    activateWindow();
}

void WorldTimesWindow::applyFont()
{
    const QFont font = toQFont(state_.settings.font);
    const QColor colour = toQColor(state_.settings.font.colour, palette());
    for (QLabel* panel : panels_) {
        panel->setFont(font);
        QPalette p = panel->palette();
        // The cities' fixed colours keep the time readable in any theme.
        p.setColor(QPalette::WindowText, readableOn(p.color(QPalette::Window), colour));
        panel->setPalette(p);
    }
    layoutRows();
}

void WorldTimesWindow::selectHomeCity(int picture)
{
    if (panelForPicture(picture) < 0)
        return;
    showHomeCity(picture);
    state_.preferences.setValue(PreferenceKey::WorldTimesHomeCity, picture);
    state_.preferences.sync();
}

void WorldTimesWindow::showHomeCity(int picture)
{
    const int home = panelForPicture(picture);
    if (home < 0)
        return;
    homeCity_ = picture;
    for (int i = 0; i < kWorldCityCount; ++i) {
        QLabel* panel = panels_[static_cast<std::size_t>(i)];
        QPalette p = panel->palette();
        const QColor background = toQColor(i == home ? kHomeCityColour : kWorldPanelColour, p);
        p.setColor(QPalette::Window, background);
        p.setColor(QPalette::WindowText, readableOn(background, toQColor(state_.settings.font.colour, palette())));
        panel->setPalette(p);
    }
    // The new day markers at once, not half a second later.
    refreshTimes();
}

void WorldTimesWindow::refreshTimes()
{
    const auto times = cityTimesAt(platform_.clock.now().toUTC(), zones_, homeCity_);
    for (const WorldCity& city : worldCities()) {
        const auto i = static_cast<std::size_t>(city.panel);
        const QString text = badgeText(city, times[i]);
        panels_[i]->setText(text);
        // "London 10:52 PM": the city and its time, as a screen reader says it.
        panels_[i]->setAccessibleName(QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')));
        panels_[i]->setToolTip(times[i].fixed
                                   ? QStringLiteral("%1 (fixed offset: no time-zone data for %2 on this computer)")
                                         .arg(cityName(city), QLatin1String(city.zoneId))
                                   : cityName(city));
    }
}

void WorldTimesWindow::showEvent(QShowEvent* event)
{
    refreshTimes();
    timer1_->start();
    QWidget::showEvent(event);
}

void WorldTimesWindow::hideEvent(QHideEvent* event)
{
    timer1_->stop();
    QWidget::hideEvent(event);
}

void WorldTimesWindow::closeEvent(QCloseEvent* event)
{
    place_.remember();
    state_.worldTimesOpen = false;
    timer1_->stop();
    QWidget::closeEvent(event);
}

} // namespace zp
