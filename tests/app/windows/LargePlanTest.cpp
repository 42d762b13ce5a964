#include "app/windows/MainWindow.h"
#include "support/Fakes.h"

#include <QAction>
#include <QElapsedTimer>
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

// The largest plan must stay usable: every command here answers well within
// a second or two even on a slow, busy machine. A command that went
// quadratic would take minutes.
class LargePlanTest : public ::testing::Test {
protected:
    static constexpr qint64 kInteractiveMs = 3000;

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
    template <typename F>
    qint64 timed(F&& f)
    {
        QElapsedTimer t;
        t.start();
        f();
        return t.elapsed();
    }
    QTemporaryDir dir;
    TestPlatform test;
    ProgramState state;
    std::unique_ptr<MainWindow> window;
};

TEST_F(LargePlanTest, everyCommandStaysInteractiveAtTheLargestPlan)
{
    const qint64 load = timed([&] {
        window->initialise();
        window->readStartupPlan();
        window->rebuildRecordsList();
        window->show();
    });
    ASSERT_EQ(state.store.recordCount(), RecordStore::kMaxRecords - 1);
    EXPECT_LT(load, kInteractiveMs) << "load";
    EXPECT_EQ(find<QListView>("Viewlist")->model()->rowCount(), RecordStore::kMaxRecords - 1);

    test.messages.defaultAnswer = MsgAnswer::Ok; // the large-plan warning
    find<QTabWidget>("SSTab1")->setCurrentIndex(3);
    find<QLineEdit>("Text2")->setText(QStringLiteral("15/06/1995"));
    find<QLineEdit>("Text5")->setText(QStringLiteral("Added"));
    const qint64 add = timed([&] { QTest::mouseClick(find<QPushButton>("Command2"), Qt::LeftButton); });
    EXPECT_EQ(state.store.recordCount(), RecordStore::kMaxRecords);
    EXPECT_LT(add, kInteractiveMs) << "add";

    // Full now: a further Add is refused and nothing changes.
    const qint64 refused = timed([&] { QTest::mouseClick(find<QPushButton>("Command2"), Qt::LeftButton); });
    EXPECT_EQ(state.store.recordCount(), RecordStore::kMaxRecords);
    EXPECT_LT(refused, kInteractiveMs) << "refused add";

    const qint64 keyword = timed([&] {
        state.highlightKeyword = QStringLiteral("customer 1");
        window->rebuildRecordsList();
    });
    EXPECT_LT(keyword, kInteractiveMs) << "keyword";

    const qint64 grid = timed([&] { window->menuAction("projectplanning")->trigger(); });
    EXPECT_LT(grid, kInteractiveMs) << "grid";

    test.messages.script({MsgAnswer::Yes});
    const qint64 resort = timed([&] { window->menuAction("homeandoffice")->trigger(); });
    EXPECT_EQ(state.store.editStyle, 0);
    EXPECT_LT(resort, kInteractiveMs) << "re-sort";

    test.fileDialogs.scriptSave(dir.filePath("saved.pln"));
    const qint64 save = timed([&] { window->menuAction("Saveplanas")->trigger(); });
    EXPECT_TRUE(QFile::exists(dir.filePath("saved.pln")));
    EXPECT_LT(save, kInteractiveMs) << "save";

    std::printf("load %lld ms, add %lld, refused %lld, keyword %lld, grid %lld, re-sort %lld, save %lld\n", load, add,
                refused, keyword, grid, resort, save);
}

} // namespace
} // namespace zp
