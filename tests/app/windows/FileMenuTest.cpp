#include "app/windows/MainWindow.h"
#include "support/Fakes.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace zp {
namespace {

class FileMenuTest : public ::testing::Test {
protected:
    FileMenuTest()
    {
        test.clock.set(2026, 12, 7, 9, 0);
        window = std::make_unique<MainWindow>(state, test.platform());
        window->initialise();
    }
    void addRecord(const char* date, const char* name)
    {
        PlannerRecord r;
        r[Field::StartDate] = QString::fromLatin1(date);
        r[Field::Name] = QString::fromLatin1(name);
        r[Field::JobStatus] = QStringLiteral("0");
        r[Field::ImagePath] = r[Field::AudioPath] = kNoAttachment;
        state.store.insertInDateOrder(r);
        state.store.modified = true;
    }
    int listRows() { return window->findChild<QListView*>("Viewlist")->model()->rowCount(); }
    QString path(const char* name) { return dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir;
    TestPlatform test;
    ProgramState state;
    std::unique_ptr<MainWindow> window;
};

TEST_F(FileMenuTest, saveAsThenOpen_roundTripsThePlanThroughTheMenus)
{
    addRecord("05/11/1996", "Smith");
    addRecord("01/02/1997", "Jones");
    test.fileDialogs.scriptSave(path("work.pln"));
    window->menuAction("Saveplanas")->trigger();
    EXPECT_EQ(test.fileDialogs.saveRequests.back().title, "Save Plan as");
    EXPECT_EQ(test.fileDialogs.saveRequests.back().filter, "All files (*.*) |*.*|Pln Files (*.pln) |*.pln|");
    EXPECT_EQ(test.fileDialogs.saveRequests.back().filterIndex, 2);
    EXPECT_FALSE(state.store.modified);
    EXPECT_EQ(window->windowTitle(), "Zorvik Planner 3.2  -  " + path("work.pln"));
    EXPECT_EQ(window->statusPanelText(4), "work.pln");

    QTest::mouseClick(window->findChild<QLabel*>("imgFileNewButton"), Qt::LeftButton);
    EXPECT_EQ(state.store.recordCount(), 0);
    EXPECT_EQ(window->windowTitle(), "Zorvik Planner 3.2 ");
    EXPECT_EQ(window->statusPanelText(4), "New Plan");
    EXPECT_EQ(listRows(), 0);

    test.messages.script({MsgAnswer::No}); // New marked the plan modified
    test.fileDialogs.scriptOpen(path("work.pln"));
    window->menuAction("Loadplan")->trigger();
    EXPECT_EQ(test.messages.calls.back().text, "Save changes to the Current file ?");
    EXPECT_EQ(state.store.recordCount(), 2);
    EXPECT_EQ(listRows(), 2);
    EXPECT_EQ(window->statusPanelText(4), "work.pln");
}

TEST_F(FileMenuTest, toolbarSave_asksForANameAndWrites)
{
    addRecord("05/11/1996", "Smith");
    test.fileDialogs.scriptSave(path("bar.pln"));
    QTest::mouseClick(window->findChild<QLabel*>("Image12"), Qt::LeftButton);
    EXPECT_TRUE(QFile::exists(path("bar.pln")));
    EXPECT_EQ(state.store.planFileName, path("bar.pln"));
}

TEST_F(FileMenuTest, fileExitWithChanges_savesWithSaveAndCloseUsesSaveAs)
{
    int exits = 0;
    window->setOnExit([&] { ++exits; });
    addRecord("05/11/1996", "Smith");
    state.store.planFileName = path("named.pln");
    test.messages.script({MsgAnswer::Yes});
    window->menuAction("Exit")->trigger();
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(QFile::exists(path("named.pln")));
    EXPECT_TRUE(test.fileDialogs.saveRequests.empty()); // plain Save: no dialog

    ProgramState other;
    MainWindow second(other, test.platform());
    second.initialise();
    second.setOnExit([&] { ++exits; });
    other.store.planFileName = path("named.pln");
    other.store.modified = true;
    test.messages.script({MsgAnswer::Yes});
    test.fileDialogs.scriptSave(path("closed.pln"));
    EXPECT_TRUE(second.close());
    EXPECT_EQ(test.fileDialogs.saveRequests.back().title, "Save Plan as");
    EXPECT_TRUE(QFile::exists(path("closed.pln")));
    EXPECT_EQ(exits, 2);
}

TEST_F(FileMenuTest, closingWhenTheWantedSaveDidNotHappen_keepsTheWindowOpen)
{
    int exits = 0;
    window->setOnExit([&] { ++exits; });
    addRecord("05/11/1996", "Smith");
    test.messages.script({MsgAnswer::Yes});
    test.fileDialogs.scriptSave(std::nullopt); // the Save As dialog is cancelled
    EXPECT_FALSE(window->close());
    EXPECT_EQ(exits, 0);
    EXPECT_TRUE(state.store.modified);
    EXPECT_EQ(state.store.recordCount(), 1);

    test.messages.script({MsgAnswer::No}); // the second time the user lets it go
    EXPECT_TRUE(window->close());
    EXPECT_EQ(exits, 1);
}

TEST_F(FileMenuTest, deleteAnsweredYes_removesTheFileAndShowsNewPlan)
{
    addRecord("05/11/1996", "Smith");
    test.fileDialogs.scriptSave(path("gone.pln"));
    window->menuAction("Saveplanas")->trigger();
    ASSERT_TRUE(QFile::exists(path("gone.pln")));
    test.messages.script({MsgAnswer::Yes});
    window->menuAction("delete")->trigger();
    EXPECT_EQ(test.messages.calls.back().text, "Really delete current file ?");
    EXPECT_FALSE(QFile::exists(path("gone.pln")));
    EXPECT_EQ(window->statusPanelText(4), "New Plan");
    EXPECT_EQ(window->windowTitle(), "Zorvik Planner 3.2 ");
    EXPECT_EQ(listRows(), 0);
}

} // namespace
} // namespace zp
