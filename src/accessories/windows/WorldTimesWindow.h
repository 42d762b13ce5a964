#pragma once
#include "accessories/WorldTimes.h"
#include "state/ProgramState.h"
#include "ui/Platform.h"
#include "ui/WindowGeometry.h"

#include <QWidget>
#include <array>

class QLabel;
class QPushButton;
class QTimer;
class QToolButton;

namespace zp {

// "Capital City World Times": the time in 24 capitals, one row each (the
// city's picture and a panel with its name and time, each from the
// time-zone database). Clicking a picture makes that city the home city:
// its panel turns cyan, the other panels mark a date a day after or before
// its date with "+1" or "-1", and the choice is remembered.
class WorldTimesWindow : public QWidget {
    Q_OBJECT
public:
    WorldTimesWindow(ProgramState& state, const Platform& platform, QWidget* parent = nullptr);

    // Shows the window where it was last closed, with the home city last
    // chosen (else the city of the computer's zone), and starts the clock;
    // a window already open only comes to the front.
    void open();
    // Every panel takes the display font of the settings.
    void applyFont();

    // Makes the city of picture N the home city (N = 1 ... 16, 18 ... 25)
    // and remembers it for the next opening.
    void selectHomeCity(int picture);
    // Refreshes every panel from the clock (the timer does it every 500 ms).
    void refreshTimes();

    int homeCity() const { return homeCity_; }
    QLabel* panel(int index) const { return panels_[static_cast<std::size_t>(index)]; }
    QToolButton* picture(int number) const;
    QTimer* timer() const { return timer1_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    // The clock runs only while the window is on the screen.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void createRows();
    void layoutRows();
    void showHomeCity(int picture);

    ProgramState& state_;
    Platform platform_;
    Twips twips_;
    SavedPlace place_{*this, twips_, state_.settings.placement(PlacementRow::WorldTimes),
                      SavedPlace::Kept::PositionOnly};
    int homeCity_ = kFirstHomePicture;
    std::array<CityZone, kWorldCityCount> zones_ = cityZones();
    std::array<QLabel*, kWorldCityCount> panels_{};
    std::array<QToolButton*, kWorldCityCount> pictures_{}; // by panel
    QPushButton* command1_ = nullptr;
    QTimer* timer1_ = nullptr;
};

} // namespace zp
