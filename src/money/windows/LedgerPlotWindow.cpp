#include "money/windows/LedgerPlotWindow.h"

#include "money/Ledger.h"
#include "money/windows/LabelTextDialog.h"
#include "ui/MessageBox.h"
#include "ui/WindowGeometry.h"
#include "ui/KeyboardAccess.h"

#include <QAction>
#include <algorithm>
#include <QActionGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QMenuBar>
#include <QVBoxLayout>

namespace zp {

namespace {
// Narrower than this per point, the point numbers would run into each other.
constexpr int kPointLabelPixels = 28;
} // namespace

LedgerPlotWindow::LedgerPlotWindow(ProgramState& state, const Platform& platform, QWidget* parent)
    : QMainWindow(parent), state_(state), platform_(platform), twips_(platform.screen)
{
    setObjectName(QStringLiteral("Form11"));
    setWindowTitle(kLedgerCaption);
    closeOnEscape(*this);
    panel_ = new QFrame(this);
    panel_->setObjectName(QStringLiteral("Panel3D1"));
    panel_->setFrameShape(QFrame::StyledPanel);
    setCentralWidget(panel_);
    chart_ = platform.charts.createChart(panel_);
    auto* layout = new QVBoxLayout(panel_);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(chart_->widget());
    labelDialog_ = new LabelTextDialog(this);
    createMenus();
    setMinimumSize(twips_.toPixelsX(kLedgerMinWidthTwips), twips_.toPixelsY(kLedgerMinHeightTwips));
}

LedgerPlotWindow::~LedgerPlotWindow() = default;

void LedgerPlotWindow::createMenus()
{
    auto addMenu = [this](const char* title, const char* name) {
        QMenu* m = menuBar()->addMenu(QString::fromLatin1(title));
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };
    auto addItem = [](QMenu* menu, const char* title, const char* name) {
        QAction* a = menu->addAction(QString::fromLatin1(title));
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    QMenu* plot = addMenu("P&lot", "Plot");
    print_ = addItem(plot, "&Print", "Print");
    print_->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));
    connect(addItem(plot, "&Close", "Close"), &QAction::triggered, this, &QWidget::close);

    QMenu* graph = addMenu("&Graph", "Graph");
    connect(addItem(graph, "&Title", "Title"), &QAction::triggered, this, [this] { editLabel(1); });
    connect(addItem(graph, "X-label", "Xlabel"), &QAction::triggered, this, [this] { editLabel(2); });
    connect(addItem(graph, "Y-label", "Ylabel"), &QAction::triggered, this, [this] { editLabel(3); });

    QMenu* type = addMenu("&Type", "Type");
    line_ = addItem(type, "&Line", "LL");
    bar_ = addItem(type, "&Bar", "Bar");
    auto* types = new QActionGroup(this);
    for (QAction* a : {line_, bar_}) {
        a->setCheckable(true);
        types->addAction(a);
    }
    bar_->setChecked(true);
    connect(line_, &QAction::triggered, this, [this] { chooseLines(true); });
    connect(bar_, &QAction::triggered, this, [this] { chooseLines(false); });

    QMenu* show = addMenu("&Show", "Show");
    income_ = addItem(show, "&Income", "income");
    expense_ = addItem(show, "&Expense", "expense");
    both_ = addItem(show, "&Both", "both");
    auto* shows = new QActionGroup(this);
    for (QAction* a : {income_, expense_, both_}) {
        a->setCheckable(true);
        shows->addAction(a);
    }
    both_->setChecked(true);
    connect(income_, &QAction::triggered, this, [this] { choose(PlotShow::Income); });
    connect(expense_, &QAction::triggered, this, [this] { choose(PlotShow::Expense); });
    connect(both_, &QAction::triggered, this, [this] { choose(PlotShow::Both); });
}

void LedgerPlotWindow::open()
{
    if (!isVisible()) {
        place_.restore();
        // Every opening starts from bars of both sets, whatever was last shown.
        lines_ = false;
        line_->setChecked(false);
        bar_->setChecked(true);
        show_ = PlotShow::Both;
        income_->setChecked(false);
        expense_->setChecked(false);
        both_->setChecked(true);
    }
    show();
    raise();
    activateWindow();
    draw();
}

void LedgerPlotWindow::choose(PlotShow show)
{
    show_ = show;
    income_->setChecked(show == PlotShow::Income);
    expense_->setChecked(show == PlotShow::Expense);
    both_->setChecked(show == PlotShow::Both);
    draw();
}

void LedgerPlotWindow::chooseLines(bool lines)
{
    lines_ = lines;
    line_->setChecked(lines);
    bar_->setChecked(!lines);
    fillChart();
}

bool LedgerPlotWindow::draw()
{
    LedgerPlot plot = buildLedgerPlot(state_.store, show_);
    if (plot.status == LedgerPlot::Status::TooManyPoints) {
        platform_.messages.msgBox(kTooManyPoints, MsgStyle::Exclamation, kPlotMessageTitle);
        return false;
    }
    if (plot.status == LedgerPlot::Status::NoData) {
        // The chart is left as it was.
        platform_.messages.msgBox(kNoDataForGraph, MsgStyle::Exclamation, kPlotMessageTitle);
        return false;
    }
    plot_ = std::move(plot);
    state_.settings.plotXLabel = plot_.xLabel;
    fillChart();
    return true;
}

void LedgerPlotWindow::fillChart()
{
    const Qt::GlobalColor colours[] = {Qt::black, Qt::red};
    const std::vector<double>* values[] = {&plot_.set1, &plot_.set2};
    std::vector<ChartSet> sets;
    for (int s = 0; s < plot_.setCount; ++s)
        sets.push_back({*values[s], colours[s]});
    chart_->plot(sets, plot_.pointCount(), lines_, plot_.yMaximum);
    applyTitles();
    showPointNumbersThatFit();
}

void LedgerPlotWindow::showPointNumbersThatFit()
{
    chart_->setPointNumbersVisible(plot_.pointCount() * kPointLabelPixels <= chart_->widget()->width() * 3 / 4);
}

void LedgerPlotWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // Without a window manager to hold it, the smallest size is put back here.
    if (width() < minimumWidth() || height() < minimumHeight()) {
        resize(std::max(width(), minimumWidth()), std::max(height(), minimumHeight()));
        return;
    }
    showPointNumbersThatFit();
}

void LedgerPlotWindow::applyTitles()
{
    chart_->setTitles(state_.settings.plotTitle, state_.settings.plotXLabel, state_.settings.plotYLabel);
}

void LedgerPlotWindow::editLabel(int which)
{
    QString& label = which == 1   ? state_.settings.plotTitle
                     : which == 2 ? state_.settings.plotXLabel
                                  : state_.settings.plotYLabel;
    labelDialog_->edit(label, [this, &label](const QString& text) {
        label = text;
        applyTitles();
    });
}

bool LedgerPlotWindow::printChart(Printer& printer) const
{
    const PlotLabels labels{state_.settings.plotTitle, state_.settings.plotXLabel, state_.settings.plotYLabel};
    return printLedgerPlot(plot_, labels, lines_, printer);
}

void LedgerPlotWindow::closeEvent(QCloseEvent* event)
{
    labelDialog_->hide();
    place_.remember();
    QMainWindow::closeEvent(event);
}

} // namespace zp
