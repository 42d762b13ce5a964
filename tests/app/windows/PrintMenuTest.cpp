#include "app/windows/MainWindow.h"
#include "app/windows/PlannerApp.h"
#include "support/Fakes.h"
#include "views/windows/PhoneBookWindow.h"
#include "views/windows/PrintCommands.h"
#include "views/windows/PrintWindow.h"
#include "money/windows/LedgerWindow.h"
#include "money/windows/LoanWindow.h"
#include "ui/QtPrinting.h"

#include <QAction>
#include <QFile>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

namespace zp {
namespace {

class PrintMenuTest : public ::testing::Test {
protected:
    PrintMenuTest()
    {
        test.clock.set(2026, 12, 7, 9, 0);
        window = std::make_unique<MainWindow>(state, test.platform());
        window->initialise();
        window->show();
    }
    void addRecords(int count)
    {
        std::vector<PlannerRecord> records;
        for (int i = 0; i < count; ++i) {
            PlannerRecord r;
            r[Field::StartDate] = QStringLiteral("05/11/1996");
            r[Field::Name] = QStringLiteral("Name%1").arg(i + 1);
            r[Field::JobStatus] = QStringLiteral("0");
            r[Field::ImagePath] = r[Field::AudioPath] = kNoAttachment;
            records.push_back(r);
        }
        state.store.replaceAll(records);
        window->rebuildRecordsList();
    }
    QTimer* timer1() { return window->findChild<QTimer*>("Timer1"); }
    QProgressBar* progressBar() { return window->findChild<QProgressBar*>("ProgressBar1"); }
    QString hint() { return window->findChild<QLabel*>("Panel3D3")->text(); }

    TestPlatform test;
    ProgramState state;
    std::unique_ptr<MainWindow> window;
};

TEST_F(PrintMenuTest, everyPrintCommand_saysSoOnAnEmptyPlan)
{
    for (const char* action : {"standard", "projectstyle", "timeline"}) {
        test.messages.clear();
        window->menuAction(action)->trigger();
        ASSERT_EQ(test.messages.count(), 1) << action;
        EXPECT_EQ(test.messages.last().text, "No records to print");
        EXPECT_EQ(test.messages.last().title, "Zorvik Planner Print");
        EXPECT_EQ(test.messages.last().style, MsgStyle::Exclamation);
    }
    EXPECT_EQ(window->printCommands().printWindow(), nullptr);
    EXPECT_EQ(window->menuAction("standard")->shortcut(), QKeySequence("Ctrl+T"));
    EXPECT_EQ(window->menuAction("projectstyle")->shortcut(), QKeySequence("Ctrl+P"));
    EXPECT_EQ(window->menuAction("timeline")->shortcut(), QKeySequence("Ctrl+I"));
}

TEST_F(PrintMenuTest, standardAndProjectStyle_openThePrintWindow_projectSwitchesTheEditStyle)
{
    addRecords(3);
    auto* image11 = window->findChild<QLabel*>("Image11");
    QTest::mousePress(image11, Qt::LeftButton);
    QTest::mouseRelease(image11, Qt::LeftButton);
    PrintWindow* form2 = window->printCommands().printWindow();
    ASSERT_NE(form2, nullptr);
    EXPECT_TRUE(form2->isVisible());
    EXPECT_EQ(state.printStyle, 1);
    form2->hide();

    ASSERT_EQ(state.store.editStyle, EditStyle::HomeAndOffice);
    window->menuAction("projectstyle")->trigger();
    EXPECT_EQ(state.store.editStyle, EditStyle::ProjectPlanning);
    EXPECT_TRUE(window->menuAction("projectplanning")->isChecked());
    EXPECT_EQ(state.printStyle, 2);
    EXPECT_TRUE(form2->isVisible());

    RecordingPrinter& printer = test.printing.scriptPrinter();
    QTest::mouseClick(form2->findChild<QWidget*>("SSCommand1"), Qt::LeftButton);
    EXPECT_NE(printer.find(QStringLiteral("Name3")), nullptr); // a project row
    EXPECT_EQ(hint(), "Printing ok");
}

TEST_F(PrintMenuTest, timeLine_restoresTheTimerAndProgressBarOnEveryWayOut)
{
    addRecords(2);
    ASSERT_TRUE(timer1()->isActive());
    // Cancelled dialog.
    test.printing.scriptCancel();
    window->menuAction("timeline")->trigger();
    EXPECT_TRUE(timer1()->isActive());
    EXPECT_FALSE(progressBar()->isVisible());
    // A printer that fails.
    test.printing.scriptPrinter().failAfterSteps = 10;
    window->menuAction("timeline")->trigger();
    EXPECT_EQ(test.messages.last().text, "Error printing file");
    EXPECT_TRUE(timer1()->isActive());
    EXPECT_FALSE(progressBar()->isVisible());
    // Printed.
    RecordingPrinter& printer = test.printing.scriptPrinter();
    window->menuAction("timeline")->trigger();
    EXPECT_NE(printer.find(QStringLiteral("Year= 1996")), nullptr);
    EXPECT_EQ(hint(), "Printing ok");
    EXPECT_TRUE(timer1()->isActive());
    EXPECT_EQ(test.printing.dialogs(), 3);

    window->menuAction("timelinepreview")->trigger();
    ASSERT_EQ(test.printing.previews.size(), 1u);
    EXPECT_NE(test.printing.previews[0]->find(QStringLiteral("Name2")), nullptr);
}

TEST_F(PrintMenuTest, aFullPlan_printsWhileTheWindowKeepsPaintingAndTheBarMoves)
{
    addRecords(RecordStore::kMaxRecords);
    state.printStyle = 1;
    RecordingPrinter& printer = test.printing.scriptPrinter();
    test.clock.tickMsecs = 10; // a slow machine: the bar repaints every few records
    std::vector<int> seen;
    QObject::connect(progressBar(), &QProgressBar::valueChanged, [&](int v) { seen.push_back(v); });
    bool served = false; // an event posted before printing is served during it
    QTimer::singleShot(0, window.get(), [&] { served = progressBar()->isVisible(); });
    window->printCommands().printChosenStyle();
    EXPECT_NE(printer.find(QStringLiteral("No.  32767")), nullptr);
    EXPECT_TRUE(served);
    EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [](int v) { return v > 0 && v < 100; }));
    EXPECT_FALSE(progressBar()->isVisible());
    EXPECT_TRUE(timer1()->isActive());
}

TEST(PrintFromPhoneBookTest, optionsPrint_printsTheBookWithTheGridPrinter)
{
    TestPlatform test;
    ProgramState state;
    PlannerApp app(state, test.platform());
    app.start();
    PlannerRecord r;
    r[Field::Name] = QStringLiteral("Smith");
    r[Field::PhoneAfterHours] = QStringLiteral("432");
    state.store.replaceAll({r});
    state.store.planFileName = QStringLiteral("/plans/work.pln");
    app.showPhoneBook();
    RecordingPrinter& printer = test.printing.scriptPrinter();
    app.phoneBook()->printAction()->trigger();
    EXPECT_NE(printer.find(QStringLiteral("File: /plans/work.pln")), nullptr);
    EXPECT_TRUE(std::any_of(printer.texts.begin(), printer.texts.end(),
                            [](const auto& t) { return t.text.startsWith("Smith"); }));
    EXPECT_TRUE(std::any_of(printer.texts.begin(), printer.texts.end(),
                            [](const auto& t) { return t.text.startsWith("(AH) 432"); }));
    EXPECT_EQ(printer.endDocs, 1);
}

// The PDF file a print dialog would have made, finished at the end of the
// document as a printer's spool file is.
class PdfAtEnd : public PdfFilePrinter {
public:
    using PdfFilePrinter::PdfFilePrinter;
    bool endDoc() override
    {
        if (ended_)
            return PdfFilePrinter::endDoc();
        ended_ = true;
        return commit();
    }

private:
    bool ended_ = false;
};

TEST(PrintFromLoanTest, theScheduleFromTheWindowAtItsLeastSizePrintsEveryColumnWithoutAFontError)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("loan.pdf"));
    TestPlatform test;
    test.clock.set(2026, 12, 7);
    test.printing.realPrinter = [&] { return std::make_unique<PdfAtEnd>(QFile::encodeName(pdf), QStringLiteral("loan")); };
    ProgramState state;
    PlannerApp app(state, test.platform());
    app.start();
    state.store.planFileName = QStringLiteral("/plans/work.pln");
    app.showLoanWindow();
    LoanWindow* loan = app.loanWindow();
    ASSERT_NE(loan, nullptr);
    QTest::mouseClick(loan->findChild<QWidget*>(QStringLiteral("Panel3D6")), Qt::LeftButton);
    loan->resize(loan->minimumSize());
    QApplication::processEvents();
    const QAbstractItemModel* model = loan->grid()->model();
    // The last repayment: its date, and the interest accrued over the loan.
    const QString lastDate = model->index(model->rowCount() - 1, 0).data().toString().trimmed();
    const QString accrued = model->index(model->rowCount() - 1, 4).data().toString().trimmed();
    test.messages.clear();
    loan->printAction()->trigger();
    EXPECT_TRUE(test.messages.empty()) << test.messages.last().text.toStdString();

    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!text.waitForFinished(30000) || text.exitCode() != 0)
        GTEST_SKIP() << "pdftotext cannot run here";
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(printed.contains(QStringLiteral("File: /plans/work.pln")));
    for (const char* heading : {"Date", "Principle", "Monthly", "Accrued", "Balance", "Paid $", "Interest $"})
        EXPECT_TRUE(printed.contains(QString::fromLatin1(heading))) << heading;
    EXPECT_EQ(printed.count(QStringLiteral("Accrued")), 2);
    EXPECT_TRUE(printed.contains(lastDate)) << lastDate.toStdString();
    EXPECT_TRUE(printed.contains(accrued)) << accrued.toStdString();
}

TEST(PrintFromLedgerTest, onlyAFamilyThatIsReallyMissingGetsTheFontMessage)
{
    QTemporaryDir dir;
    for (const auto& [family, reported] : {std::pair{"System", false}, {"DejaVu Sans", false}, {"No Such Family Zq", true}}) {
        TestPlatform test;
        test.printing.realPrinter = [&] {
            return std::make_unique<PdfAtEnd>(QFile::encodeName(dir.filePath(QStringLiteral("ledger.pdf"))), QString());
        };
        ProgramState state;
        PlannerApp app(state, test.platform());
        app.start();
        state.settings.font.name = QString::fromLatin1(family);
        app.showLedger();
        test.messages.clear();
        app.ledgerWindow()->printAction()->trigger();
        EXPECT_EQ(test.messages.count(), reported ? 1 : 0) << family;
        if (reported)
            EXPECT_EQ(test.messages.last().text, "Could not print using the current font type, using default");
    }
}

} // namespace
} // namespace zp
