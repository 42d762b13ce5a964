#pragma once
#include "money/LedgerPlot.h"
#include "state/ProgramState.h"
#include "ui/Platform.h"
#include "ui/WindowGeometry.h"

#include <memory>

#include <QMainWindow>

class QFrame;

namespace zp {

class LabelTextDialog;

// "Zorvik Planner Ledger" as a chart: income and/or expense per period
// against time, as bars or lines. Redrawn from the plan at every Show
// choice.
class LedgerPlotWindow : public QMainWindow {
    Q_OBJECT
public:
    LedgerPlotWindow(ProgramState& state, const Platform& platform, QWidget* parent = nullptr);
    ~LedgerPlotWindow() override;

    // Shows the window where it was and draws the chart.
    void open();
    // Rebuilds the chart from the records; false when it could not be drawn
    // (the user has been told why).
    bool draw();
    // "&Print" under "P&lot"; printing is wired by whoever owns the printer.
    QAction* printAction() const { return print_; }
    // Draws the chart as it stands on a printer.
    bool printChart(Printer& printer) const;

    const LedgerPlot& plot() const { return plot_; }
    LabelTextDialog* labelDialog() const { return labelDialog_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createMenus();
    void choose(PlotShow show);
    void chooseLines(bool lines);
    void editLabel(int which);
    void fillChart();
    void applyTitles();
    void showPointNumbersThatFit();

    ProgramState& state_;
    Platform platform_;
    Twips twips_;
    SavedPlace place_{*this, twips_, state_.settings.placement(PlacementRow::LedgerPlot)};
    QFrame* panel_ = nullptr;
    std::unique_ptr<ChartPanel> chart_;
    QAction* print_ = nullptr;
    QAction* income_ = nullptr;
    QAction* expense_ = nullptr;
    QAction* both_ = nullptr;
    QAction* line_ = nullptr;
    QAction* bar_ = nullptr;
    LabelTextDialog* labelDialog_ = nullptr;
    PlotShow show_ = PlotShow::Both;
    bool lines_ = false;
    LedgerPlot plot_;
};

} // namespace zp
