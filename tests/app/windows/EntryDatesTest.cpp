#include "app/windows/MainWindow.h"
#include "support/Fakes.h"

#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace zp {
namespace {

// The entry panel's date fields as the user leaves them.
TEST(EntryDatesTest, yearlessDatesTakeThisYearAndAnEmptyFinishDatePassesSilently)
{
    TestPlatform test;
    test.clock.set(2026, 12, 10, 9, 30);
    ProgramState state;
    MainWindow w(state, test.platform());
    w.initialise();
    w.show();
    QApplication::setActiveWindow(&w);
    w.findChild<QTabWidget*>("SSTab1")->setCurrentIndex(3);
    auto* text2 = w.findChild<QLineEdit*>("Text2");
    auto* text11 = w.findChild<QLineEdit*>("Text11");
    auto* text3 = w.findChild<QLineEdit*>("Text3");

    text2->setText("25/12");
    QTest::keyClick(text2, Qt::Key_Return);
    EXPECT_EQ(text2->text(), "25/12/2026");

    text11->setFocus(Qt::MouseFocusReason);
    text11->clear();
    text3->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(text11->text(), "");
    EXPECT_TRUE(test.messages.empty());

    text11->setFocus(Qt::MouseFocusReason);
    text11->setText("soon");
    text3->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    ASSERT_EQ(test.messages.count(), 1);
    EXPECT_EQ(test.messages.last().title, "Planner Record");
}

} // namespace
} // namespace zp
