#pragma once
#include "money/Loan.h"
#include "state/ProgramState.h"
#include "ui/Platform.h"
#include "ui/WindowGeometry.h"

#include <QLabel>
#include <QMainWindow>
#include <vector>

class QComboBox;
class QFrame;
class QLineEdit;
class QListWidget;
class QTableView;

namespace zp {

class LoanScheduleModel;

// A panel that works as a button: a click, or Space or Enter while it has
// the keyboard focus, clicks it. Its bevel shows raised or inset.
class ClickPanel : public QLabel {
    Q_OBJECT
public:
    explicit ClickPanel(QWidget* parent = nullptr);
    // 1 inset, 2 raised.
    void setBevel(int style);
    int bevel() const { return bevel_; }
    // A screen reader's press: the same as a click.
    Q_INVOKABLE void click() { emit clicked(); }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int bevel_ = 2;
};

// "Zorvik Planner Loan Simulator": the level repayment of a loan, a short
// summary and the repayment schedule. The inputs outlive the window in the
// program state until the program ends.
class LoanWindow : public QMainWindow {
    Q_OBJECT
public:
    LoanWindow(ProgramState& state, const Platform& platform, QWidget* parent = nullptr);

    // Shows the window where it was, in the input view.
    void open();
    // Takes the display font of the settings.
    void applyFont();
    QTableView* grid() const { return grid1_; }
    // "&Print" under "&Options"; printing is wired by whoever owns the printer.
    QAction* printAction() const { return print_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildInputs();
    void buildResults();
    void buildMenu();
    void fillInputs();
    void layOutPanels();

    // The checks of one box; the date's message carries the control-panel
    // note when asked. Return false only for a date that is no date.
    void checkField(QObject* field, bool withNote);
    void checkAmount();
    void checkYears();
    void checkRate();
    void checkFrequency();
    bool checkStartDate(bool withNote);
    void togglePanels();
    void computeLoan();
    void copySchedule();
    DateOrder dateOrder() const;

    ProgramState& state_;
    Platform platform_;
    Twips twips_;
    SavedPlace place_{*this, twips_, state_.settings.placement(PlacementRow::Loan)};
    QWidget* client_ = nullptr;
    std::vector<QLabel*> captions_;  // Panel3D1-5
    std::vector<QFrame*> frames_;    // Panel3D8-12
    QLineEdit* amount_ = nullptr;    // Text1
    QLineEdit* years_ = nullptr;     // Text2
    QLineEdit* rate_ = nullptr;      // Text3
    QLineEdit* start_ = nullptr;     // Text4
    QComboBox* frequency_ = nullptr; // Combo1
    ClickPanel* command_ = nullptr;  // Panel3D6
    QFrame* results_ = nullptr;      // Panel3D7
    QListWidget* summary_ = nullptr; // RepaymentsList
    QTableView* grid1_ = nullptr;
    LoanScheduleModel* schedule_ = nullptr;
    QAction* print_ = nullptr;
    bool checking_ = false; // a message box is up: its focus change checks nothing
    std::vector<int> widest_; // pixels each schedule column's widest cell needs
};

} // namespace zp
