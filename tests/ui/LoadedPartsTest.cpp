#include "support/Fakes.h"
#include "ui/LoadedParts.h"
#include "ui/modules/PartEntries.h"

#include <QBarSeries>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace zp {
namespace {

const QString kBuiltParts = QStringLiteral(ZORVIK_PART_DIRECTORY);

TEST(LoadedParts, eachPartFileMakesItsService)
{
    LoadedPart<ChartService> charts(kBuiltParts, kChartPart);
    LoadedPart<PrintService> printing(kBuiltParts, kPrintPart);
    LoadedPart<SoundService> sound(kBuiltParts, kSoundPart);
    EXPECT_EQ(charts.ifLoaded(), nullptr) << "nothing is loaded before it is asked for";
    EXPECT_NE(charts.get(), nullptr) << qPrintable(charts.error());
    EXPECT_NE(printing.get(), nullptr) << qPrintable(printing.error());
    EXPECT_NE(sound.get(), nullptr) << qPrintable(sound.error());
    EXPECT_FALSE(sound.get()->isRecording());
}

TEST(LoadedParts, theLoadedChartDrawsItsSets)
{
    LoadedChartService charts(kBuiltParts);
    QWidget parent;
    std::unique_ptr<ChartPanel> panel = charts.createChart(&parent);
    auto* view = qobject_cast<QChartView*>(panel->widget());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->objectName(), "Graph1");
    const std::vector<double> income{1, 2, 3}, expense{3, 2, 1};
    const ChartSet sets[] = {{income, Qt::black}, {expense, Qt::red}};
    panel->plot(sets, 3, false, std::nullopt);
    panel->setTitles(QStringLiteral("T"), QStringLiteral("X"), QStringLiteral("Y"));
    ASSERT_EQ(view->chart()->series().size(), 1);
    EXPECT_EQ(qobject_cast<QBarSeries*>(view->chart()->series().front())->count(), 2);
    EXPECT_EQ(view->chart()->title(), "T");

    panel->plot(sets, 3, true, std::nullopt);
    ASSERT_EQ(view->chart()->series().size(), 2);
    EXPECT_EQ(qobject_cast<QLineSeries*>(view->chart()->series()[0])->color(), QColor(Qt::black));
    EXPECT_EQ(qobject_cast<QLineSeries*>(view->chart()->series()[1])->color(), QColor(Qt::red));

    // Point numbers that do not fit are made invisible, not taken away:
    // taken away, they would take the axis title with them.
    QAbstractAxis* xAxis = view->chart()->axes(Qt::Horizontal).front();
    for (bool visible : {false, true, false}) {
        panel->setPointNumbersVisible(visible);
        EXPECT_TRUE(xAxis->labelsVisible());
        EXPECT_EQ(xAxis->labelsBrush().color().alpha(), visible ? 255 : 0);
    }
}

TEST(LoadedParts, withoutItsFilesTheProgramGoesOnAndSaysWhy)
{
    QTemporaryDir empty;
    FakeMessageBox messages;
    LoadedChartService charts(empty.path());
    LoadedPrintService printing(empty.path(), messages);
    LoadedSound sound(empty.path());

    QWidget parent;
    std::unique_ptr<ChartPanel> panel = charts.createChart(&parent);
    auto* label = qobject_cast<QLabel*>(panel->widget());
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->text().startsWith("The chart cannot be drawn: ")) << qPrintable(label->text());
    EXPECT_TRUE(label->text().contains("zorvik-planner-chart.so"));
    const std::vector<double> values{1};
    const ChartSet sets[] = {{values, Qt::black}};
    panel->plot(sets, 1, true, 5.0);

    EXPECT_EQ(printing.choosePrinter(QStringLiteral("Plan")), nullptr);
    bool rendered = false;
    printing.preview(QStringLiteral("Plan"), [&rendered](Printer&) { rendered = true; });
    EXPECT_FALSE(rendered);
    ASSERT_EQ(messages.count(), 2);
    EXPECT_TRUE(messages.calls[0].text.startsWith("Printing is not available: "));

    EXPECT_FALSE(sound.openDevice());
    EXPECT_FALSE(sound.canRecord());
    EXPECT_FALSE(sound.startRecording(empty.filePath("note.wav")));
    sound.play(empty.filePath("note.wav"));
    sound.stopPlaying();
    sound.closeDevice();
}

} // namespace
} // namespace zp
