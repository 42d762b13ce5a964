#include "app/ApplicationName.h"
#include "app/windows/MainWindow.h"
#include "support/Fakes.h"

#include <QApplication>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace zp {
namespace {

TEST(ApplicationNameTest, windowTitlesAreLeftAsTheWindowsSetThem)
{
    const QString name = QCoreApplication::applicationName();
    const QString version = QCoreApplication::applicationVersion();
    nameApplication();
    EXPECT_EQ(QCoreApplication::applicationName(), "zorvik-planner");
    EXPECT_TRUE(QCoreApplication::applicationVersion().startsWith("3.2."));
    // Once a display name is set, the platform appends " — " and that name
    // to every window title and message box title.
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    QCoreApplication::setApplicationName(name);
    QCoreApplication::setApplicationVersion(version);
}

// Hints reach the hint panel through the platform's own mouse delivery,
// which gives a move to the child under the pointer first.
TEST(MainWindowHintsTest, entryPanelAndTabHeaders_showTheirHints)
{
    TestPlatform test;
    ProgramState state;
    MainWindow w(state, test.platform());
    w.initialise();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    auto* tabs = w.findChild<QTabWidget*>("SSTab1");
    tabs->setCurrentIndex(3);
    auto* hint = w.findChild<QLabel*>("Panel3D3");
    auto hintOver = [&](QWidget* over, QPoint at) {
        hint->clear();
        QTest::mouseMove(w.windowHandle(), over->mapTo(&w, at));
        QApplication::processEvents();
        return hint->text();
    };

    QTabBar* bar = tabs->tabBar();
    for (int tab = 0; tab < bar->count(); ++tab)
        EXPECT_EQ(hintOver(bar, bar->tabRect(tab).center()), "Planner info, record details, image view and edit records")
            << tab;

    auto* panel = w.findChild<QWidget*>("SSPanel2");
    // A spot of the panel itself, between its fields.
    QPoint bare(-1, -1);
    for (int y = 0; y < panel->height() && bare.x() < 0; y += 2)
        for (int x = 0; x < panel->width() && bare.x() < 0; x += 2)
            if (w.childAt(panel->mapTo(&w, QPoint(x, y))) == panel)
                bare = QPoint(x, y);
    ASSERT_GE(bare.x(), 0);
    EXPECT_EQ(hintOver(panel, bare), "Planner records entry window");
    auto* label = w.findChild<QLabel*>("Label7");
    EXPECT_EQ(hintOver(label, label->rect().center()), "Planner records entry window");
    // The entry fields keep their own.
    auto* text2 = w.findChild<QWidget*>("Text2");
    EXPECT_EQ(hintOver(text2, text2->rect().center()), "The reminder/start date entry box");
}

} // namespace
} // namespace zp
