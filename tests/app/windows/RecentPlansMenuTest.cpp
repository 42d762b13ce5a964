#include "app/windows/MainWindow.h"
#include "app/windows/RecentPlansMenu.h"
#include "support/Fakes.h"

#include <QAction>
#include <QFile>
#include <QStyleOptionMenuItem>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zp {
namespace {

class RecentPlansMenuTest : public ::testing::Test {
protected:
    RecentPlansMenuTest()
    {
        // Nothing here may reach the user's own files.
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
        qputenv("XDG_DATA_HOME", dir.filePath("data").toUtf8());
        state.preferences.open(preferencesFilePath());
        state.recentlyUsedPath = dir.filePath("data/recently-used.xbel");
        window = std::make_unique<MainWindow>(state, test.platform());
        window->initialise();
        menu = window->findChild<RecentPlansMenu*>("recentPlans");
    }
    ~RecentPlansMenuTest() override
    {
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
    }
    QString path(const char* name) { return dir.filePath(QString::fromLatin1(name)); }
    void saveAs(const char* name)
    {
        PlannerRecord r;
        r[Field::Name] = QString::fromLatin1(name);
        r[Field::ImagePath] = r[Field::AudioPath] = kNoAttachment;
        state.store.insertInDateOrder(r);
        test.fileDialogs.scriptSave(path(name));
        window->menuAction("Saveplanas")->trigger();
    }
    QStringList captions()
    {
        menu->rebuild();
        QStringList out;
        for (QAction* a : menu->actions())
            out << a->text() + " | " + a->statusTip();
        return out;
    }
    bool greyed(QAction* a)
    {
        QStyleOptionMenuItem option;
        menu->initStyleOption(&option, a);
        return option.palette.color(QPalette::Active, QPalette::Text) == menu->palette().color(QPalette::Disabled, QPalette::Text);
    }

    QTemporaryDir dir;
    TestPlatform test;
    ProgramState state;
    std::unique_ptr<MainWindow> window;
    RecentPlansMenu* menu = nullptr;
};

TEST_F(RecentPlansMenuTest, listsPlansSavedAndOpened_newestFirst_inFileMenuAfterOpen)
{
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> file = window->menuAction("Filemenu")->menu()->actions();
    EXPECT_EQ(file.indexOf(menu->menuAction()), file.indexOf(window->menuAction("Loadplan")) + 1);
    EXPECT_EQ(menu->menuAction()->text(), "&Recent plans");
    EXPECT_FALSE(menu->menuAction()->isEnabled()); // nothing yet

    saveAs("one.pln");
    saveAs("two.pln");
    test.fileDialogs.scriptOpen(path("one.pln"));
    window->menuAction("Loadplan")->trigger();
    EXPECT_TRUE(menu->menuAction()->isEnabled());
    EXPECT_EQ(captions(), (QStringList{"&1 one.pln | " + path("one.pln"), "&2 two.pln | " + path("two.pln")}));
    // The desktop's list has both.
    QFile xbel(state.recentlyUsedPath);
    ASSERT_TRUE(xbel.open(QIODevice::ReadOnly));
    EXPECT_TRUE(xbel.readAll().contains("two.pln"));
}

TEST_F(RecentPlansMenuTest, choosingAnEntry_opensItAsOpenWould)
{
    saveAs("one.pln");
    state.store.clearStore();
    state.store.modified = true;
    test.messages.script({MsgAnswer::No});
    menu->actions().at(0)->trigger();
    EXPECT_EQ(test.messages.last().text, "Save changes to the Current file ?");
    EXPECT_EQ(state.store.recordCount(), 1);
    EXPECT_EQ(state.store.planFileName, path("one.pln"));
    EXPECT_EQ(window->windowTitle(), "Zorvik Planner 3.2  -  " + path("one.pln"));
}

TEST_F(RecentPlansMenuTest, aVanishedPlan_showsGreyed_andChoosingItSaysSoAndRemovesIt)
{
    saveAs("one.pln");
    saveAs("gone.pln");
    ASSERT_TRUE(QFile::remove(path("gone.pln")));
    EXPECT_EQ(captions().value(0), "&1 gone.pln | " + path("gone.pln") + " (not found)");
    QAction* gone = menu->actions().at(0);
    EXPECT_TRUE(gone->isEnabled());
    EXPECT_TRUE(greyed(gone));
    EXPECT_FALSE(greyed(menu->actions().at(1)));

    const int messages = test.messages.count();
    gone->trigger();
    ASSERT_EQ(test.messages.count(), messages + 1);
    EXPECT_TRUE(test.messages.last().text.contains(path("gone.pln")));
    EXPECT_EQ(test.messages.last().title, "Zorvik Planner Open");
    EXPECT_EQ(captions(), QStringList{"&1 one.pln | " + path("one.pln")});
    EXPECT_EQ(state.store.planFileName, path("gone.pln")); // the open plan stays as it was
}

} // namespace
} // namespace zp
