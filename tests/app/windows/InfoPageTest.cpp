#include "app/ProgramVersion.h"
#include "app/SystemInfo.h"
#include "app/windows/MainWindow.h"
#include "support/Fakes.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zp {
namespace {

class InfoPageTest : public ::testing::Test {
protected:
    InfoPageTest()
    {
        window = std::make_unique<MainWindow>(state, test.platform());
        window->initialise();
        window->show();
    }
    QString shown() const { return window->findChild<QPlainTextEdit*>("Text12")->toPlainText(); }
    QString expected() const
    {
        return systemInfoText(test.systemFacts.facts, programVersion(), state.store, QStringLiteral("\n"));
    }
    void showPage(int page) { window->findChild<QTabWidget*>("SSTab1")->setCurrentIndex(page); }
    void addRecord(const char* income, const char* status)
    {
        PlannerRecord r = PlannerRecord::fromList({"05/11/1996", "10:30", "Smith", "", "", "", QString::fromLatin1(income),
                                                   "", QString::fromLatin1(status), kNoAttachment, kNoAttachment, ""});
        state.store.insertInDateOrder(r);
    }

    QTemporaryDir dir;
    TestPlatform test;
    ProgramState state;
    std::unique_ptr<MainWindow> window;
};

TEST_F(InfoPageTest, firstPageShowsTheInfoAndIsRebuiltEachTimeItIsShown)
{
    auto* text12 = window->findChild<QPlainTextEdit*>("Text12");
    EXPECT_TRUE(text12->isVisible());
    EXPECT_TRUE(text12->isReadOnly());
    EXPECT_EQ(shown(), expected());
    EXPECT_TRUE(shown().contains("Current file: New Plan \n"));

    addRecord("1.005", "1");
    addRecord("1.005", "0");
    test.systemFacts.facts.screenPixels = QSize(1920, 1080);
    showPage(1);
    EXPECT_FALSE(text12->isVisible());
    showPage(0);
    EXPECT_TRUE(text12->isVisible());
    EXPECT_EQ(shown(), expected());
    EXPECT_TRUE(shown().contains("Screen Mode:  1920x 1080\n"));
    EXPECT_TRUE(shown().contains("Total income: $2.01\n"));
}

TEST_F(InfoPageTest, newOpenAndDeleteRebuildItEvenBehindAnotherPage)
{
    addRecord("120", "1");
    const QString plan = dir.filePath("work.pln");
    test.fileDialogs.scriptSave(plan);
    window->menuAction("Saveplanas")->trigger();
    EXPECT_TRUE(shown().contains("Current file: " + plan + "\n")); // renamed under the user's eyes

    showPage(3);
    window->menuAction("Newplan")->trigger();
    EXPECT_EQ(shown(), expected());
    EXPECT_TRUE(shown().contains("Total records: 0\n"));

    test.messages.defaultAnswer = MsgAnswer::No;
    test.fileDialogs.scriptOpen(plan);
    window->menuAction("Loadplan")->trigger();
    ASSERT_EQ(state.store.recordCount(), 1);
    EXPECT_TRUE(shown().contains("Total records:  1\nTotal characters:  35\nTotal income: $120.00\n"));

    test.messages.defaultAnswer = MsgAnswer::Yes;
    window->menuAction("delete")->trigger();
    EXPECT_EQ(state.store.recordCount(), 0);
    EXPECT_TRUE(shown().contains("Current file: New Plan \nTotal records: 0\n"));
}

} // namespace
} // namespace zp
