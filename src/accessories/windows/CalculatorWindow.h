#pragma once
#include "accessories/Calculator.h"
#include "state/ProgramState.h"
#include "ui/Platform.h"
#include "ui/WindowGeometry.h"

#include <QWidget>
#include <map>

class QAbstractButton;
class QLabel;
class QPushButton;
class QRadioButton;

namespace zp {

// "Zorvik Calculator": two displays, a key pad with scientific functions, a
// one-value memory and a key that changes the displays' colour. Works from
// the keyboard as well: digits, the point, + - * / % and = or Enter,
// Escape for C, Delete for CE; Ctrl+C copies the active display.
class CalculatorWindow : public QWidget {
    Q_OBJECT
public:
    CalculatorWindow(ProgramState& state, const Platform& platform, QWidget* parent = nullptr);

    // Shows the window where it was last closed, fresh (memory empty);
    // a window already open only comes to the front.
    void open();
    // Both displays take the display font of the settings.
    void applyFont();

    const CalculatorEngine& engine() const { return engine_; }
    // The key pad button with this caption ("7", "X", "ILLUM", "OFF").
    QPushButton* key(const QString& caption) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createDisplays();
    void createKeys();
    void connectKeys();
    void press(CalcKey key);
    void showState();
    void fitDisplayText(QLabel* display);
    void copyDisplay();
    void flashKey(QAbstractButton* button);

    ProgramState& state_;
    Platform platform_;
    Twips twips_;
    SavedPlace place_{*this, twips_, state_.settings.placement(PlacementRow::Calculator),
                      SavedPlace::Kept::PositionOnly};
    CalculatorEngine engine_;
    QLabel* readout_ = nullptr;
    QLabel* readout2_ = nullptr;
    QRadioButton* option1_ = nullptr;
    QRadioButton* option2_ = nullptr;
    QLabel* memoryLabel_ = nullptr;
    std::map<QString, QPushButton*> keys_;
};

} // namespace zp
