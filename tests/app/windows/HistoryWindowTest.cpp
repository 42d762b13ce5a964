// Edit > Undo, Redo and Repeat record in the main window, driven through its
// menus and the repeat dialog.

#include "app/windows/MainWindow.h"
#include "support/Fakes.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace zp {
namespace {

PlannerRecord record(const char* date, const char* name)
{
    return PlannerRecord::fromList({date, "", name, "", "", "", "", "", "0", kNoAttachment, kNoAttachment, ""});
}

class HistoryWindowTest : public ::testing::Test {
protected:
    HistoryWindowTest()
    {
        test.clock.set(2026, 12, 10, 9, 30);
        test.dateOrder.order = DateOrder::DayFirst;
        platform = std::make_unique<Platform>(Platform{messages, test.clock, test.dateOrder, test.screen,
                                                       test.fileDialogs, test.fontDialog, test.clipboard,
                                                       test.printing, test.systemFacts, test.sound,
                                                       test.numberDialog, test.charts, test.progress});
        window = std::make_unique<MainWindow>(state, *platform);
        window->initialise();
        window->show();
        QApplication::setActiveWindow(window.get());
        state.store.replaceAll({record("31/01/2024", "Alpha"), record("15/03/2024", "Bravo"),
                                record("01/06/2024", "Charlie")});
        state.store.currentRecord = 2;
        window->rebuildRecordsList();
        window->findChild<QTabWidget*>("SSTab1")->setCurrentIndex(3);
    }
    QStringList listLines()
    {
        QStringList lines;
        auto* model = window->findChild<QListView*>("Viewlist")->model();
        for (int row = 0; row < model->rowCount(); ++row)
            lines << model->index(row, 0).data().toString().section(u',', 0, 0);
        return lines;
    }
    QAction* action(const char* name) { return window->menuAction(QString::fromLatin1(name)); }
    QString menuText(const char* name)
    {
        QMenu* edit = action("Editmenu")->menu();
        QMetaObject::invokeMethod(edit, "aboutToShow");
        return action(name)->text();
    }

    TestPlatform test;
    FakeMessageBox messages;
    ProgramState state;
    std::unique_ptr<Platform> platform;
    std::unique_ptr<MainWindow> window;
};

TEST_F(HistoryWindowTest, undoAndRedo_takeBackARemoveAndShowTheRecordAgain)
{
    EXPECT_EQ(menuText("Undo"), "&Undo");
    EXPECT_FALSE(action("Undo")->isEnabled());
    QTest::mouseClick(window->findChild<QPushButton*>("Command3"), Qt::LeftButton);
    EXPECT_EQ(listLines(), QStringList({"31/01/2024", "01/06/2024"}));
    EXPECT_EQ(menuText("Undo"), "&Undo Remove 'Bravo'");

    action("Undo")->trigger();
    EXPECT_EQ(listLines(), QStringList({"31/01/2024", "15/03/2024", "01/06/2024"}));
    EXPECT_EQ(window->findChild<QLineEdit*>("Text5")->text(), "Bravo");
    EXPECT_EQ(state.store.currentRecord, 2);
    EXPECT_EQ(menuText("Redo"), "&Redo Remove 'Bravo'");

    action("Redo")->trigger();
    EXPECT_EQ(listLines(), QStringList({"31/01/2024", "01/06/2024"}));
}

TEST_F(HistoryWindowTest, repeatDialog_saysHowManyThenAddsThemAsOneStep)
{
    state.store.currentRecord = 1;
    action("Repeatrecord")->trigger();
    auto* dialog = window->findChild<QDialog*>("RepeatDialog");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->isVisible());
    dialog->findChild<QComboBox*>("repeatEvery")->setCurrentIndex(3); // month
    dialog->findChild<QSpinBox*>("repeatCount")->setValue(3);
    EXPECT_EQ(dialog->findChild<QLabel*>("repeatSummary")->text(), "3 records will be added.");
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();

    EXPECT_EQ(listLines(), QStringList({"31/01/2024", "29/02/2024", "15/03/2024", "31/03/2024", "30/04/2024",
                                        "01/06/2024"}));
    EXPECT_EQ(menuText("Undo"), "&Undo Repeat 'Alpha'");
    action("Undo")->trigger();
    EXPECT_EQ(listLines(), QStringList({"31/01/2024", "15/03/2024", "01/06/2024"}));
}

TEST_F(HistoryWindowTest, undoOfADateStyleChange_turnsTheDatesBack)
{
    test.dateOrder.order = DateOrder::MonthFirst;
    window->tickTimer1();
    EXPECT_EQ(listLines(), QStringList({"01/31/2024", "03/15/2024", "06/01/2024"}));
    EXPECT_EQ(menuText("Undo"), "&Undo Date style");
    action("Undo")->trigger();
    EXPECT_EQ(state.store.field(Field::StartDate, 1), "31/01/2024");
    EXPECT_EQ(state.store.fileDateStyle, kEnglishEuro);
}

} // namespace
} // namespace zp
