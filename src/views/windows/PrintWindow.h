#pragma once
#include "state/ProgramState.h"
#include "ui/Platform.h"

#include <QDialog>
#include <array>
#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace zp {

// "Planner Print": which columns and which records the standard and project
// styles print. The print button checks the range, writes the column
// switches back and hands over to the printing; Preview does the same but
// keeps the window open.
class PrintWindow : public QDialog {
    Q_OBJECT
public:
    enum class Action { Print, Preview };

    PrintWindow(ProgramState& state, const Platform& platform, std::function<void(Action)> run,
                QWidget* parent = nullptr);

    // Fills the boxes from the plan and the switches and shows the window
    // in the middle of the screen.
    void openForPrinting();

private:
    void createControls();
    void setAllRecords(bool all);
    // Steps shared by Print and Preview; false when the range is wrong.
    bool takeChoices();

    ProgramState& state_;
    Platform platform_;
    std::function<void(Action)> run_;
    std::array<QCheckBox*, 15> checks_{}; // SSCheck1 ... SSCheck14 at 1 ... 14
    QLineEdit* text1_ = nullptr;
    QLineEdit* text2_ = nullptr;
    QPushButton* print_ = nullptr;
    QPushButton* preview_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace zp
