#pragma once
#include "state/ProgramState.h"
#include "ui/Platform.h"
#include "ui/WindowGeometry.h"

#include <QMainWindow>
#include <vector>

class QFrame;
class QTableView;

namespace zp {

// "Zorvik Planner Ledger": the plan's income and expense per record with
// their totals and balance. Built when opened; later edits show at the
// next opening.
class LedgerWindow : public QMainWindow {
    Q_OBJECT
public:
    LedgerWindow(ProgramState& state, const Platform& platform, QWidget* parent = nullptr);

    // Builds the ledger from the plan and shows the window where it was.
    void open();
    // Takes the display font of the settings.
    void applyFont();
    QTableView* grid() const { return grid1_; }
    // "&Print"; printing is wired by whoever owns the printer.
    QAction* printAction() const { return print_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createMenus();
    void buildLedger();
    // Ctrl+C: the selected rows, or every row, as tab-separated text.
    void copyRows();
    void layOutGrid();

    ProgramState& state_;
    Platform platform_;
    Twips twips_;
    SavedPlace place_{*this, twips_, state_.settings.placement(PlacementRow::Ledger)};
    QFrame* panel_ = nullptr;
    QTableView* grid1_ = nullptr;
    std::vector<int> widest_; // pixels each column's widest cell needs
    class RowsModel;
    RowsModel* rows_ = nullptr;
    QAction* print_ = nullptr;
};

} // namespace zp
