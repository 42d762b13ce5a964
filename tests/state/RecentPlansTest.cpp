#include "state/Preferences.h"
#include "state/RecentPlans.h"

#include "plan/RecentlyUsedFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace zp {
namespace {

class RecentPlansTest : public ::testing::Test {
protected:
    RecentPlansTest()
    {
        // Nothing here may reach the user's own files.
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
        qputenv("XDG_DATA_HOME", dir.filePath("data").toUtf8());
        QDir().mkpath(dir.filePath("plans"));
    }
    ~RecentPlansTest() override
    {
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
    }
    QString plan(const QString& name)
    {
        const QString path = dir.filePath("plans/" + name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(RecentPlansTest, newestFirst_oneEntryPerFile_atMostEight)
{
    const QString a = plan("a.pln");
    const QString b = plan("b.pln");
    ASSERT_TRUE(QFile::link(a, dir.filePath("plans/link.pln")));
    QStringList nine;
    for (int i = 1; i <= 9; ++i)
        nine << plan(QStringLiteral("p%1.pln").arg(i));
    const struct {
        const char* name;
        QStringList before;
        QString added;
        QStringList after;
    } cases[] = {
        {"into an empty list", {}, a, {a}},
        {"a new one goes first", {a}, b, {b, a}},
        {"one listed moves up", {b, a}, a, {a, b}},
        {"another spelling of the same file", {a, b}, dir.filePath("plans/../plans/./b.pln"), {b, a}},
        {"a link to a listed file", {a, b}, dir.filePath("plans/link.pln"), {dir.filePath("plans/link.pln"), b}},
        {"the ninth pushes the oldest out", nine.mid(0, 8), nine[8],
         QStringList{nine[8]} + nine.mid(0, 7)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(withRecentPlan(c.before, c.added), c.after) << c.name;
    EXPECT_EQ(withoutRecentPlan({a, b, dir.filePath("plans/gone.pln")}, dir.filePath("plans/gone.pln")),
              (QStringList{a, b}));
}

TEST_F(RecentPlansTest, menuCaptions)
{
    EXPECT_EQ(recentPlanCaption(1, "/p/work.pln"), "&1 work.pln");
    EXPECT_EQ(recentPlanCaption(8, "/p/R&D.pln"), "&8 R&&D.pln");
}

TEST_F(RecentPlansTest, keptInTheConfFileBesidePlannerIni_andAddedToTheDesktopsList)
{
    EXPECT_EQ(preferencesFilePath(), dir.filePath("config/zorvik-planner/zorvik-planner.conf"));
    EXPECT_EQ(recentlyUsedFilePath(), dir.filePath("data/recently-used.xbel"));
    const QString a = plan("a.pln");
    const QString b = plan("b.pln");
    {
        Preferences prefs;
        prefs.open(preferencesFilePath());
        noteRecentPlan(prefs, recentlyUsedFilePath(), a, QDateTime::currentDateTimeUtc());
        noteRecentPlan(prefs, recentlyUsedFilePath(), b, QDateTime::currentDateTimeUtc());
        prefs.setMainWindowMaximised(true);
        prefs.sync();
    }
    Preferences again; // the next run
    again.open(preferencesFilePath());
    EXPECT_EQ(recentPlans(again), (QStringList{b, a}));
    EXPECT_TRUE(again.mainWindowMaximised());
    removeRecentPlan(again, a);
    EXPECT_EQ(recentPlans(again), QStringList{b});

    QFile xbel(recentlyUsedFilePath());
    ASSERT_TRUE(xbel.open(QIODevice::ReadOnly));
    const QByteArray text = xbel.readAll();
    EXPECT_TRUE(text.contains(QUrl::fromLocalFile(a).toEncoded()));
    EXPECT_TRUE(text.contains(QUrl::fromLocalFile(b).toEncoded()));

    Preferences memoryOnly; // what tests and terminal commands use
    noteRecentPlan(memoryOnly, QString(), a, QDateTime::currentDateTimeUtc());
    EXPECT_EQ(recentPlans(memoryOnly), QStringList{a});
}

} // namespace
} // namespace zp
