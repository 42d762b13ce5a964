#include "app/windows/MainWindow.h"
#include "support/Fakes.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace zp {
namespace {

// The largest plan must stay usable: every command here works on it. How
// long each takes is measured in bench/ (MainWindowBench: open and the
// entry grid; RecordEditingBench: add; RecordsListBench: keyword;
// StoreBench: re-sort; PlanFileBench: read and write); a command that went
// quadratic would still take minutes here and meet ctest's timeout.
class LargePlanTest : public ::testing::Test {
protected:
    LargePlanTest()
    {
        test.clock.set(2026, 12, 7, 9, 0);
        QByteArray bytes = "Zorvik Planner 3.2 0\r\nenglisheuro\r\n";
        for (int i = 0; i < RecordStore::kMaxRecords - 1; ++i) {
            const int year = 1990 + i / 1000;
            bytes += QStringLiteral("%1/%2/%3\r\n%4:30\r\nCustomer %5\r\n9432 1000\r\n\r\nQuote for the kitchen\r\n120\r\n"
                                    "\r\n0\r\nplandefault\r\nplandefault\r\n\r\n")
                         .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                         .arg(1 + (i / 28) % 12, 2, 10, QLatin1Char('0'))
                         .arg(year)
                         .arg(8 + i % 9)
                         .arg(i)
                         .toLatin1();
        }
        bytes += "plannerend\r\n";
        const QString path = dir.filePath("big.pln");
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        f.close();
        state.commandLinePlan = path;
        window = std::make_unique<MainWindow>(state, test.platform());
    }
    template <typename T = QWidget>
    T* find(const char* name)
    {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    QTemporaryDir dir;
    TestPlatform test;
    ProgramState state;
    std::unique_ptr<MainWindow> window;
};

TEST_F(LargePlanTest, everyCommandWorksAtTheLargestPlan)
{
    window->initialise();
    window->readStartupPlan();
    window->rebuildRecordsList();
    window->show();
    ASSERT_EQ(state.store.recordCount(), RecordStore::kMaxRecords - 1);
    EXPECT_EQ(find<QListView>("Viewlist")->model()->rowCount(), RecordStore::kMaxRecords - 1);

    test.messages.defaultAnswer = MsgAnswer::Ok; // the large-plan warning
    find<QTabWidget>("SSTab1")->setCurrentIndex(3);
    find<QLineEdit>("Text2")->setText(QStringLiteral("15/06/1995"));
    find<QLineEdit>("Text5")->setText(QStringLiteral("Added"));
    QTest::mouseClick(find<QPushButton>("Command2"), Qt::LeftButton);
    EXPECT_EQ(state.store.recordCount(), RecordStore::kMaxRecords);

    // Full now: a further Add is refused and nothing changes.
    QTest::mouseClick(find<QPushButton>("Command2"), Qt::LeftButton);
    EXPECT_EQ(state.store.recordCount(), RecordStore::kMaxRecords);

    state.highlightKeyword = QStringLiteral("customer 1");
    window->rebuildRecordsList();
    EXPECT_EQ(find<QListView>("Viewlist")->model()->rowCount(), RecordStore::kMaxRecords);

    window->menuAction("projectplanning")->trigger();
    EXPECT_TRUE(find("Grid1")->isVisible());

    test.messages.script({MsgAnswer::Yes});
    window->menuAction("homeandoffice")->trigger();
    EXPECT_EQ(state.store.editStyle, EditStyle::HomeAndOffice);

    test.fileDialogs.scriptSave(dir.filePath("saved.pln"));
    window->menuAction("Saveplanas")->trigger();
    EXPECT_TRUE(QFile::exists(dir.filePath("saved.pln")));
}

} // namespace
} // namespace zp
