#include "app/windows/MainWindow.h"
#include "app/windows/PlannerApp.h"
#include "money/windows/LabelTextDialog.h"
#include "money/windows/LedgerPlotWindow.h"
#include "money/windows/LedgerWindow.h"
#include "money/windows/LoanWindow.h"
#include "support/Fakes.h"
#include "ui/MessageBox.h"

#include <QAction>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolTip>
#include <QValueAxis>

#include <gtest/gtest.h>

namespace zp {
namespace {

PlannerRecord money(const char* date, const char* name, const char* income, const char* expense)
{
    PlannerRecord r;
    r[Field::StartDate] = QString::fromLatin1(date);
    r[Field::Name] = QString::fromLatin1(name);
    r[Field::Income] = QString::fromLatin1(income);
    r[Field::Expense] = QString::fromLatin1(expense);
    r[Field::ImagePath] = r[Field::AudioPath] = kNoAttachment;
    return r;
}

QAction* action(QWidget& window, const char* name)
{
    return window.findChild<QAction*>(QString::fromLatin1(name));
}

class LedgerWindowsTest : public ::testing::Test {
protected:
    LedgerWindowsTest()
    {
        state.store.replaceAll({money("01/03/2021", "Smith", "1500", ""), money("02/03/2021", "Jones", "", "2000"),
                                money("20/03/2021", "Brown", "50", "25")});
    }
    TestPlatform test;
    ProgramState state;
};

TEST_F(LedgerWindowsTest, ledger_showsRowsTotalsAndRemembersItsPlace)
{
    state.settings.placement(PlacementRow::Ledger) = {600, 900, 7500, 5000};
    LedgerWindow w(state, test.platform());
    w.open();
    EXPECT_EQ(w.objectName(), "Form7");
    EXPECT_EQ(w.windowTitle(), "Zorvik Planner Ledger");
    auto* grid = w.findChild<QTableView*>("Grid1");
    ASSERT_EQ(grid->model()->rowCount(), 11);
    auto cell = [grid](int r, int c) { return grid->model()->index(r, c).data().toString(); };
    EXPECT_EQ(cell(0, 3), "Income");
    EXPECT_EQ(cell(4, 3), "1,500.00");
    EXPECT_EQ(cell(4, 4), " 0");
    EXPECT_EQ(cell(5, 1), "Jones");
    EXPECT_EQ(cell(8, 0), "TOTAL");
    EXPECT_EQ(cell(8, 4), "2,025.00");
    EXPECT_EQ(cell(10, 3), "-475.00");
    for (int c = 1; c < 5; ++c)
        EXPECT_EQ(grid->columnWidth(c), grid->columnWidth(0));
    EXPECT_GE(grid->columnWidth(0) * 5, grid->width() - 5);

    // Built once per opening: a later edit shows only after reopening.
    state.store.setField(Field::Name, 1, QStringLiteral("Adams"));
    EXPECT_EQ(cell(4, 1), "Smith");
    action(w, "ledgerclose")->trigger();
    EXPECT_FALSE(w.isVisible());
    EXPECT_NEAR(state.settings.placement(PlacementRow::Ledger).left, 900, 15);
    w.open();
    EXPECT_EQ(cell(4, 1), "Adams");

    w.resize(10, 10);
    EXPECT_GE(w.width(), w.minimumWidth());
    EXPECT_GT(w.minimumWidth(), 250);
}

// Every cell's whole text fits its column, and the headings are in the
// header, which stays in view.
void expectEveryFigureWhole(const QTableView& grid, const char* window)
{
    const QAbstractItemModel* model = grid.model();
    const QFontMetrics metrics(grid.font());
    for (int c = 0; c < model->columnCount(); ++c) {
        for (int r = 0; r < model->rowCount(); ++r) {
            const QString text = model->index(r, c).data().toString();
            if (!grid.isRowHidden(r))
                EXPECT_LE(metrics.horizontalAdvance(text), grid.columnWidth(c) - 4)
                    << window << " row " << r << ": " << text.toStdString();
        }
        EXPECT_LE(QFontMetrics(grid.horizontalHeader()->font()).horizontalAdvance(model->headerData(c, Qt::Horizontal).toString().section('\n', 0, 0)),
                  grid.columnWidth(c))
            << window << " heading " << c;
    }
    EXPECT_TRUE(grid.horizontalHeader()->isVisible()) << window;
    EXPECT_TRUE(grid.isRowHidden(0) && grid.isRowHidden(1)) << window;
    EXPECT_EQ(model->index(model->rowCount() - 2, 3).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight, Qt::AlignRight)
        << window;
}

TEST_F(LedgerWindowsTest, ledgerAndLoanShowEveryFigureWholeAtEveryFontSize)
{
    state.store.replaceAll({money("01/03/2021", "Smith and Sons Ltd", "32,745,123.45", "1e9"),
                            money("02/03/2021", "Jones", "", "-12,345,678.90")});
    state.loanAmount = 1000000000;
    state.loanYears = 200;
    for (int size : {8, 14}) {
        state.settings.font.size = size;
        LedgerWindow ledger(state, test.platform());
        ledger.open();
        ledger.resize(ledger.minimumSize());
        QApplication::processEvents();
        expectEveryFigureWhole(*ledger.grid(), "ledger");

        LoanWindow loan(state, test.platform());
        loan.open();
        QTest::mouseClick(loan.findChild<QWidget*>(QStringLiteral("Panel3D6")), Qt::LeftButton);
        loan.resize(loan.minimumSize());
        QApplication::processEvents();
        expectEveryFigureWhole(*loan.grid(), "loan");
        loan.close();
    }
}

TEST_F(LedgerWindowsTest, aCellTooNarrowForItsTextShowsItWholeAsItsTooltip)
{
    LedgerWindow w(state, test.platform());
    w.open();
    QTableView& grid = *w.grid();
    const auto tipAt = [&grid](int row, int column) {
        QToolTip::hideText();
        const QRect cell = grid.visualRect(grid.model()->index(row, column));
        QHelpEvent help(QEvent::ToolTip, cell.center(), grid.viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(grid.viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(tipAt(4, 3), "");
    grid.setColumnWidth(3, 12);
    EXPECT_EQ(tipAt(4, 3), "1,500.00");
}

TEST_F(LedgerWindowsTest, ledgerCopiesTheSelectedRowsOrEveryRowAsTabSeparatedText)
{
    LedgerWindow w(state, test.platform());
    w.open();
    QTest::keyClick(w.grid(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(test.clipboard.text().startsWith("Date\tName\tItem\tIncome\tExpense\n\t\t\t$\t$\n"));
    EXPECT_TRUE(test.clipboard.text().endsWith("BALANCE\t\t\t-475.00\t\n"));
    w.grid()->selectRow(4);
    w.grid()->selectionModel()->select(w.grid()->model()->index(5, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::keyClick(w.grid(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(test.clipboard.text(), "01/03/2021\tSmith\t\t1,500.00\t 0\n02/03/2021\tJones\t\t 0\t2,000.00\n");
}

TEST_F(LedgerWindowsTest, plot_showChoicesTypesAndLabels)
{
    LedgerPlotWindow w(state, test.platform());
    w.open();
    EXPECT_EQ(w.objectName(), "Form11");
    auto* view = w.findChild<QChartView*>("Graph1");
    ASSERT_NE(view, nullptr);
    QChart* chart = view->chart();
    EXPECT_TRUE(action(w, "both")->isChecked());
    EXPECT_TRUE(action(w, "Bar")->isChecked());
    ASSERT_EQ(chart->series().size(), 1);
    auto* bars = qobject_cast<QBarSeries*>(chart->series().front());
    ASSERT_NE(bars, nullptr);
    ASSERT_EQ(bars->count(), 2);
    EXPECT_EQ(bars->barSets()[0]->color(), QColor(Qt::black));
    EXPECT_EQ(bars->barSets()[1]->color(), QColor(Qt::red));
    EXPECT_EQ(bars->barSets()[1]->at(1), 2000);
    EXPECT_EQ(chart->axes(Qt::Horizontal).front()->titleText(), "Time ( 20Days)");
    EXPECT_EQ(chart->title(), "Income and Expense versus Time");

    action(w, "income")->trigger();
    EXPECT_TRUE(action(w, "income")->isChecked());
    EXPECT_FALSE(action(w, "both")->isChecked());
    EXPECT_EQ(w.plot().setCount, 1);

    // The X label typed by the user lasts until the next drawing.
    action(w, "Xlabel")->trigger();
    auto* dialog = w.findChild<LabelTextDialog*>("Form4");
    ASSERT_TRUE(dialog->isVisible());
    auto* text = dialog->findChild<QLineEdit*>("Text1");
    EXPECT_EQ(text->text(), "Time ( 20Days)");
    text->setText(QStringLiteral("When"));
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(chart->axes(Qt::Horizontal).front()->titleText(), "When");
    action(w, "Title")->trigger();
    text->setText(QStringLiteral("Costs"));
    QTest::mouseClick(dialog->findChild<QPushButton*>("OK"), Qt::LeftButton);
    EXPECT_EQ(state.settings.plotTitle, "Costs");
    EXPECT_EQ(chart->title(), "Costs");

    action(w, "LL")->trigger();
    action(w, "both")->trigger();
    EXPECT_FALSE(action(w, "Bar")->isChecked());
    ASSERT_EQ(chart->series().size(), 2);
    EXPECT_NE(qobject_cast<QLineSeries*>(chart->series()[1]), nullptr);
    EXPECT_EQ(static_cast<QLineSeries*>(chart->series()[1])->color(), QColor(Qt::red));
    EXPECT_EQ(state.settings.plotXLabel, "Time ( 20Days)");

    // A single record: the middle of three points, the larger amount on top.
    state.store.replaceAll({money("01/01/2000", "", "50", "80")});
    action(w, "expense")->trigger();
    auto* y = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).front());
    EXPECT_EQ(y->max(), 80);
    EXPECT_EQ(static_cast<QLineSeries*>(chart->series()[0])->at(1).y(), 80);

    // Opened again, it starts from bars of both sets.
    w.close();
    w.open();
    EXPECT_TRUE(action(w, "Bar")->isChecked());
    EXPECT_TRUE(action(w, "both")->isChecked());
    EXPECT_FALSE(action(w, "LL")->isChecked() || action(w, "expense")->isChecked());
    EXPECT_NE(qobject_cast<QBarSeries*>(chart->series().front()), nullptr);
    EXPECT_EQ(w.plot().setCount, 2);
}

TEST_F(LedgerWindowsTest, plot_tellsWhyNothingCanBeDrawnAndKeepsTheChart)
{
    LedgerPlotWindow w(state, test.platform());
    w.open();
    state.store.replaceAll({money("soon", "", "1", ""), money("later", "", "2", "")});
    EXPECT_FALSE(w.draw());
    state.store.replaceAll({money("01/01/0001", "", "1", ""), money("31/12/9999", "", "2", "")});
    EXPECT_FALSE(w.draw());
    ASSERT_EQ(test.messages.calls.size(), 2u);
    EXPECT_EQ(test.messages.calls[0].text, "No data for graph");
    EXPECT_EQ(test.messages.calls[1].text,
              "Too many points to plot.\nNote: Reduce the time span in your planner file.");
    EXPECT_EQ(test.messages.calls[1].style, MsgStyle::Exclamation);
    EXPECT_EQ(test.messages.calls[1].title, "Zorvik Planner Ledger Plot");
    EXPECT_EQ(w.plot().pointCount(), 20);
}

TEST_F(LedgerWindowsTest, mainWindow_opensLedgerAndPlotAndPrintsThem)
{
    state.settings.startupShow = QStringLiteral("all");
    PlannerApp app(state, test.platform());
    app.start();
    QTest::mouseClick(app.mainWindow()->findChild<QLabel*>("Image7"), Qt::LeftButton);
    ASSERT_NE(app.ledger(), nullptr);
    EXPECT_TRUE(app.ledger()->isVisible());
    RecordingPrinter* paper = &test.printing.scriptPrinter();
    action(*app.ledger(), "Ledgerprint")->trigger();
    EXPECT_NE(paper->find("TOTAL"), nullptr);

    // A project-style plan asks before it is re-sorted; No leaves it be.
    state.store.editStyle = EditStyle::ProjectPlanning;
    state.store.replaceAll({money("02/03/2021", "Late", "1", ""), money("01/03/2021", "Early", "2", "")});
    test.messages.script({MsgAnswer::No});
    app.mainWindow()->menuAction("PlotLedger")->trigger();
    EXPECT_EQ(app.ledgerPlot(), nullptr);
    EXPECT_EQ(test.messages.calls.back().text,
              "To display a graph of costs versus time will require a re-sorting of  your records list into\n\r"
              "chronological order. Do you wish to continue...");
    EXPECT_EQ(test.messages.calls.back().style, MsgStyle::YesNoQuestion);
    test.messages.script({MsgAnswer::Yes});
    app.mainWindow()->menuAction("PlotLedger")->trigger();
    EXPECT_EQ(state.store.field(Field::Name, 1), "Early");
    ASSERT_NE(app.ledgerPlot(), nullptr);
    EXPECT_TRUE(app.ledgerPlot()->isVisible());

    RecordingPrinter* chart = &test.printing.scriptPrinter();
    action(*app.ledgerPlot(), "Print")->trigger();
    EXPECT_NE(chart->find(state.settings.plotTitle), nullptr);
    EXPECT_EQ(chart->endDocs, 1);
    test.printing.scriptCancel();
    action(*app.ledgerPlot(), "Print")->trigger();
}

} // namespace
} // namespace zp
