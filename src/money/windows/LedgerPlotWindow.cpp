#include "money/windows/LedgerPlotWindow.h"

#include "money/Ledger.h"
#include "money/windows/LabelTextDialog.h"
#include "ui/MessageBox.h"
#include "ui/WindowGeometry.h"

#include <QAction>
#include <algorithm>
#include <QActionGroup>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QFrame>
#include <QLineSeries>
#include <QMenuBar>
#include <QValueAxis>
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
    panel_ = new QFrame(this);
    panel_->setObjectName(QStringLiteral("Panel3D1"));
    panel_->setFrameShape(QFrame::StyledPanel);
    setCentralWidget(panel_);
    graph1_ = new QChartView(panel_);
    graph1_->setObjectName(QStringLiteral("Graph1"));
    graph1_->setRenderHint(QPainter::Antialiasing);
    graph1_->chart()->legend()->hide();
    auto* layout = new QVBoxLayout(panel_);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(graph1_);
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
    if (!isVisible())
        placeWindow(*this, twips_, state_.settings.placement(PlacementRow::LedgerPlot));
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
    QChart* chart = graph1_->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes())
        chart->removeAxis(axis);

    const int points = plot_.pointCount();
    auto* xAxis = new QBarCategoryAxis;
    QStringList categories;
    categories.reserve(points);
    for (int i = 1; i <= points; ++i)
        categories << QString::number(i);
    xAxis->append(categories);
    auto* yAxis = new QValueAxis;
    chart->addAxis(xAxis, Qt::AlignBottom);
    chart->addAxis(yAxis, Qt::AlignLeft);

    const std::vector<double>* sets[] = {&plot_.set1, &plot_.set2};
    const QColor colours[] = {Qt::black, Qt::red};
    double low = 0, high = plot_.yMaximum.value_or(0);
    if (lines_) {
        for (int s = 0; s < plot_.setCount; ++s) {
            auto* series = new QLineSeries;
            series->setColor(colours[s]);
            for (int i = 0; i < points; ++i)
                series->append(i, (*sets[s])[static_cast<std::size_t>(i)]);
            chart->addSeries(series);
            series->attachAxis(xAxis);
            series->attachAxis(yAxis);
        }
    } else {
        auto* series = new QBarSeries;
        series->setBarWidth(0.8);
        for (int s = 0; s < plot_.setCount; ++s) {
            auto* set = new QBarSet(QString());
            set->setColor(colours[s]);
            set->setBorderColor(colours[s]);
            QList<qreal> values;
            values.reserve(points);
            for (double v : *sets[s])
                values << v;
            set->append(values);
            series->append(set);
        }
        chart->addSeries(series);
        series->attachAxis(xAxis);
        series->attachAxis(yAxis);
    }
    for (int s = 0; s < plot_.setCount; ++s) {
        for (double v : *sets[s]) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    if (high <= low)
        high = low + 100;
    yAxis->setRange(low, high);
    yAxis->applyNiceNumbers();
    if (plot_.yMaximum)
        yAxis->setMax(std::max(*plot_.yMaximum, low + 1));
    applyTitles();
    showPointNumbersThatFit();
}

void LedgerPlotWindow::showPointNumbersThatFit()
{
    const auto bottom = graph1_->chart()->axes(Qt::Horizontal);
    if (!bottom.isEmpty())
        bottom.front()->setLabelsVisible(plot_.pointCount() * kPointLabelPixels <= graph1_->width() * 3 / 4);
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
    QChart* chart = graph1_->chart();
    chart->setTitle(state_.settings.plotTitle);
    const auto bottom = chart->axes(Qt::Horizontal);
    if (!bottom.isEmpty())
        bottom.front()->setTitleText(state_.settings.plotXLabel);
    const auto left = chart->axes(Qt::Vertical);
    if (!left.isEmpty())
        left.front()->setTitleText(state_.settings.plotYLabel);
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
    state_.settings.placement(PlacementRow::LedgerPlot) = placementOf(*this, twips_);
    QMainWindow::closeEvent(event);
}

} // namespace zp
