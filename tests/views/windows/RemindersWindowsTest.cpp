#include "app/windows/MainWindow.h"
#include "app/windows/PlannerApp.h"
#include "support/Fakes.h"
#include "views/windows/KeywordWindow.h"
#include "views/windows/RemindersWindow.h"
#include "views/windows/RecordDetailsWindow.h"
#include "views/windows/PhoneBookWindow.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include "views/RecordsListModel.h"

#include <gtest/gtest.h>

namespace zp {
namespace {

PlannerRecord record(const char* date, const char* time, const char* name, const char* ah = "", const char* bh = "",
                     const char* status = "0")
{
    PlannerRecord r;
    r[Field::StartDate] = QString::fromLatin1(date);
    r[Field::Time] = QString::fromLatin1(time);
    r[Field::Name] = QString::fromLatin1(name);
    r[Field::PhoneAfterHours] = QString::fromLatin1(ah);
    r[Field::PhoneBusinessHours] = QString::fromLatin1(bh);
    r[Field::JobStatus] = QString::fromLatin1(status);
    r[Field::ImagePath] = r[Field::AudioPath] = kNoAttachment;
    return r;
}

class RemindersWindowsTest : public ::testing::Test {
protected:
    RemindersWindowsTest()
    {
        test.clock.set(1997, 3, 10, 9, 0);
        state.store.replaceAll({record("10/03/1997", "", "Today"), record("11/03/1997", "10:30", "Smith"),
                                record("17/03/1997", "", "", "", "", "1"), record("18/03/1997", "", "Late"),
                                record("12/03/1997", "", "Jones", "432", "555")});
    }
    void pressOn(QListWidget* list, int row)
    {
        const QPoint at = list->visualItemRect(list->item(row)).center();
        QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
    TestPlatform test;
    ProgramState state;
};

TEST_F(RemindersWindowsTest, remindersWindow_listsTheComingWeekAndShowsDetailsOnAPress)
{
    RemindersWindow w(state, test.platform());
    w.show();
    w.buildReminderList();
    EXPECT_EQ(w.windowTitle(), "Zorvik Planner - This weeks reminders");
    auto* list = w.findChild<QListWidget*>("List1");
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), "Smith, 11/03/1997, 10:30  (Pending)");
    EXPECT_EQ(list->item(1)->text(), "17/03/1997,  (Done)");
    EXPECT_EQ(list->item(2)->text(), "Jones, 12/03/1997,  (Pending)");

    pressOn(list, 2);
    ASSERT_NE(w.detailsWindow(), nullptr);
    EXPECT_TRUE(w.detailsWindow()->isVisible());
    EXPECT_EQ(w.detailsWindow()->windowTitle(), "Record Details");
    EXPECT_TRUE(w.detailsWindow()->text().startsWith("Planner Record Info:\nNo.  5\n")) << w.detailsWindow()->text().toStdString();
    EXPECT_TRUE(w.detailsWindow()->text().contains("Phone(ah)  432")) << w.detailsWindow()->text().toStdString();

    // Moving over the list to press another line leaves the details open.
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), list->viewport()->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &move);
    EXPECT_TRUE(w.detailsWindow()->isVisible());
}

TEST_F(RemindersWindowsTest, recordDetails_standBesideTheRemindersWindowUntilItIsLeft)
{
    RemindersWindow w(state, test.platform());
    w.setGeometry(30, 45, 300, 300);
    w.show();
    w.buildReminderList();
    auto* list = w.findChild<QListWidget*>("List1");
    pressOn(list, 0);
    ASSERT_NE(w.detailsWindow(), nullptr);
    QWidget* details = w.detailsWindow();
    EXPECT_FALSE(details->frameGeometry().intersects(w.frameGeometry()));
    EXPECT_GT(details->frameGeometry().left(), w.frameGeometry().right());

    // At the screen's right edge it goes to the left.
    const QRect screen = w.screen()->availableGeometry();
    w.move(screen.right() - w.frameGeometry().width() - 10, 45);
    pressOn(list, 1);
    EXPECT_TRUE(details->isVisible());
    EXPECT_FALSE(details->frameGeometry().intersects(w.frameGeometry()));
    EXPECT_LT(details->frameGeometry().right(), w.frameGeometry().left());

    int runs = 0;
    w.setRunPlanner([&] { ++runs; });
    QTest::mouseClick(w.findChild<QPushButton*>("Command2"), Qt::LeftButton);
    EXPECT_FALSE(details->isVisible());
}

TEST_F(RemindersWindowsTest, closingTheRemindersWindow_endsTheProgramLikeExit)
{
    RemindersWindow w(state, test.platform());
    int exits = 0;
    w.setExit([&] { ++exits; });
    w.show();
    w.move(30, 45);
    w.close();
    EXPECT_EQ(exits, 1);
    EXPECT_NEAR(state.settings.placement(PlacementRow::Reminders).left, 450, 15);
}

TEST_F(RemindersWindowsTest, nothingDue_showsTheNoRemindersLineWhichDoesNothing)
{
    test.clock.set(2001, 1, 1, 9, 0);
    RemindersWindow w(state, test.platform());
    w.show();
    w.buildReminderList();
    auto* list = w.findChild<QListWidget*>("List1");
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), "No reminders for the coming week !");
    pressOn(list, 0);
    EXPECT_EQ(w.detailsWindow(), nullptr);
}

TEST_F(RemindersWindowsTest, remindersWindow_keepsItsMinimumAndRemembersItsPlace)
{
    RemindersWindow w(state, test.platform());
    w.resize(50, 50);
    EXPECT_GE(w.width(), 1200 / 15);
    EXPECT_GE(w.height(), 4000 / 15);
    w.move(30, 45);
    int runs = 0;
    w.setRunPlanner([&] { ++runs; });
    w.show();
    QTest::mouseClick(w.findChild<QPushButton*>("Command2"), Qt::LeftButton);
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(w.isVisible());
    EXPECT_NEAR(state.settings.placement(PlacementRow::Reminders).left, 450, 15);
    EXPECT_NEAR(state.settings.placement(PlacementRow::Reminders).top, 675, 15);
}

TEST_F(RemindersWindowsTest, phoneBook_listsNamesInOrderWithNoneForGaps)
{
    state.store.replaceAll({record("", "", "Smith", "432"), record("", "", "adams", "", "555 1234"),
                            record("", "", "Tom*Cat", "1"), record("", "", ""), record("", "", "")});
    state.settings.placement(PlacementRow::PhoneBook) = {600, 900, 6000, 5000};
    PhoneBookWindow book(state, test.platform());
    book.open();
    EXPECT_EQ(book.windowTitle(), "Zorvik Phone Book");
    EXPECT_TRUE(state.phoneBookOpen);
    auto* grid = book.grid();
    QStringList names, phones;
    for (int r = 0; r < grid->rowCount(); ++r) {
        names << grid->item(r, 0)->text();
        phones << grid->item(r, 1)->text();
    }
    EXPECT_EQ(names.first(), "Name");
    EXPECT_EQ(phones.first(), "Phone");
    EXPECT_TRUE(names.contains("Smith      ")) << names.join('|').toStdString();
    EXPECT_EQ(phones.at(names.indexOf("Smith      ")), "(AH) 432 (BH) None");
    EXPECT_EQ(names.count("None      "), 2);
    EXPECT_EQ(names.filter("Tom").size(), 2); // a "*" in the name splits the entry
    EXPECT_LT(names.indexOf("adams      "), names.indexOf("Smith      "));

    book.close();
    EXPECT_FALSE(state.phoneBookOpen);
    EXPECT_NEAR(state.settings.placement(PlacementRow::PhoneBook).left, 900, 15);
}

TEST_F(RemindersWindowsTest, keyword_highlightsMatchingLinesAndOpeningAgainClearsIt)
{
    state.settings.startupShow = QStringLiteral("all");
    PlannerApp app(state, test.platform());
    app.start();
    QTest::mouseClick(app.mainWindow()->findChild<QLabel*>("Image2"), Qt::LeftButton);
    KeywordWindow* keyword = app.keywordWindow();
    ASSERT_NE(keyword, nullptr);
    EXPECT_EQ(keyword->windowTitle(), "Key Word Highlite");
    auto* text = keyword->findChild<QLineEdit*>("Text1");
    text->setText(QStringLiteral("smith"));
    QTest::mouseClick(keyword->findChild<QPushButton*>("Command1"), Qt::LeftButton);
    EXPECT_FALSE(keyword->isVisible());
    EXPECT_EQ(state.highlightKeyword, "smith");
    auto* list = app.mainWindow()->findChild<QListView*>("Viewlist");
    const auto highlighted = [list] {
        QList<int> rows;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            if (list->model()->index(row, 0).data(RecordsListModel::HighlightRole).toBool())
                rows << row;
        return rows;
    };
    EXPECT_EQ(highlighted(), QList<int>{1});
    // The highlight is not the selection: the current line stays the one.
    EXPECT_EQ(list->selectionModel()->selectedRows().size(), 1);

    // Enter confirms too, without remembering the window's place.
    state.settings.placement(PlacementRow::Keyword) = {1, 2, 3, 4};
    QTest::mouseClick(app.mainWindow()->findChild<QLabel*>("Image2"), Qt::LeftButton);
    EXPECT_EQ(state.highlightKeyword, "");
    EXPECT_EQ(text->text(), "");
    QTest::keyClicks(text, "Pending");
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_EQ(highlighted().size(), 4);
    EXPECT_EQ(state.settings.placement(PlacementRow::Keyword), (WindowPlacement{1, 2, 3, 4}));
}

TEST_F(RemindersWindowsTest, fontsCommand_reachesTheOpenToolWindows)
{
    PlannerApp app(state, test.platform());
    app.start();
    app.mainWindow()->menuAction("Phonebook")->trigger();
    FontChoice chosen;
    chosen.name = QStringLiteral("DejaVu Serif");
    chosen.size = 13;
    chosen.bold = false;
    test.fontDialog.result = chosen;
    app.mainWindow()->menuAction("Fonttype")->trigger();
    EXPECT_EQ(app.phoneBook()->grid()->font().pointSize(), 13);
    EXPECT_EQ(app.remindersWindow()->findChild<QListWidget*>("List1")->font().pointSize(), 13);
    EXPECT_FALSE(app.phoneBook()->grid()->font().bold());
}

TEST_F(RemindersWindowsTest, phoneBookMenuAndToolbar_openTheBook)
{
    PlannerApp app(state, test.platform());
    app.start();
    app.mainWindow()->menuAction("Phonebook")->trigger();
    ASSERT_NE(app.phoneBook(), nullptr);
    EXPECT_TRUE(app.phoneBook()->isVisible());
    app.phoneBook()->close();
    QTest::mouseClick(app.mainWindow()->findChild<QLabel*>("Image10"), Qt::LeftButton);
    EXPECT_TRUE(app.phoneBook()->isVisible());
}

} // namespace
} // namespace zp
