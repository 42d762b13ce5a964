// Edit > Find in the main window, with real keys: the list narrowed as the
// user types, moving between the records found, the whole list back on
// Escape, and the commands acting on the record of the line, not the row.

#include "app/windows/MainWindow.h"
#include "support/Fakes.h"
#include "views/RecordsList.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace zp {
namespace {

PlannerRecord record(const char* date, const char* name, const char* message = "")
{
    PlannerRecord r;
    r[Field::StartDate] = QString::fromLatin1(date);
    r[Field::Name] = QString::fromUtf8(name);
    r[Field::Message] = QString::fromLatin1(message);
    r[Field::JobStatus] = QStringLiteral("0");
    r[Field::ImagePath] = r[Field::AudioPath] = kNoAttachment;
    return r;
}

class FindTest : public ::testing::Test {
protected:
    FindTest()
    {
        test.clock.set(2026, 12, 8, 9, 30);
        test.dateOrder.order = DateOrder::DayFirst;
        platform = std::make_unique<Platform>(test.platform());
        window = std::make_unique<MainWindow>(state, *platform);
        window->initialise();
        window->show();
        QApplication::setActiveWindow(window.get());
        // Five records; the plumbers are the second and fourth.
        state.store.replaceAll({record("01/01/2026", "Alpha"), record("02/01/2026", "Müller", "plumber"),
                                record("03/01/2026", "Bravo"), record("04/01/2026", "Charlie", "Plumber, urgent"),
                                record("05/01/2026", "Delta")});
        window->rebuildRecordsList();
    }

    template <typename T = QWidget>
    T* find(const char* name)
    {
        T* w = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QListView* list() { return find<QListView>("Viewlist"); }
    QLineEdit* findText() { return find<QLineEdit>("FindText"); }
    QStringList lines()
    {
        QStringList shown;
        for (int row = 0; row < list()->model()->rowCount(); ++row)
            shown << list()->model()->index(row, 0).data().toString();
        return shown;
    }
    int currentRow() { return list()->currentIndex().row(); }
    // Ctrl+F and typing, as the user does it.
    void typeFind(const char* text)
    {
        QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(findText(), QString::fromUtf8(text));
    }
    void clickLine(int row)
    {
        const QModelIndex at = list()->model()->index(row, 0);
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualRect(at).center());
    }
    QString foundCount() { return find<QWidget>("StatusBar1Find")->property("text").toString(); }

    TestPlatform test;
    ProgramState state;
    std::unique_ptr<Platform> platform;
    std::unique_ptr<MainWindow> window;
};

TEST_F(FindTest, typingNarrowsTheListInEveryDisplayMode_andTheStatusBarCounts)
{
    for (const DisplayModeItem& mode : displayModeItems()) {
        window->setDisplayMode(mode.word);
        typeFind("MULLER");
        ASSERT_EQ(lines().size(), 1) << mode.shortName;
        EXPECT_TRUE(lines()[0].contains(QString::fromUtf8("Müller"))) << mode.shortName;
        EXPECT_EQ(foundCount(), "1 of 5 records");
        QTest::keyClick(findText(), Qt::Key_Escape);
    }
    typeFind("plumb");
    EXPECT_EQ(lines().size(), 2);
    EXPECT_EQ(foundCount(), "2 of 5 records");
    QTest::keyClick(findText(), Qt::Key_Backspace);
    QTest::keyClicks(findText(), "zzz");
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_EQ(foundCount(), "0 of 5 records");
}

TEST_F(FindTest, aPastedTextOf10000CharactersOrOfPatternCharactersIsLookedForAsItStands)
{
    typeFind("");
    findText()->setText(QString(10000, u'p'));
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_EQ(foundCount(), "0 of 5 records");
    findText()->setText(QStringLiteral(".*"));
    EXPECT_TRUE(lines().isEmpty());
    findText()->setText(QStringLiteral("r, u"));
    EXPECT_EQ(lines().size(), 1); // "Plumber, urgent"
    findText()->clear();
    EXPECT_EQ(lines().size(), 5);
    EXPECT_EQ(foundCount(), "5 of 5 records");
}

TEST_F(FindTest, enterAndF3GoToTheNextRecordFound_shiftF3ToThePrevious_roundTheEnds)
{
    state.settings.soundOn = 1;
    state.store.setField(Field::AudioPath, 2, QStringLiteral("/snd/two.wav"));
    state.store.setField(Field::AudioPath, 4, QStringLiteral("/snd/four.wav"));
    typeFind("plumber");
    // The first record found became current as the list narrowed, quietly.
    EXPECT_EQ(state.store.currentRecord, 2);
    EXPECT_EQ(currentRow(), 0);
    EXPECT_TRUE(test.sound.played.empty());
    QTest::keyClick(findText(), Qt::Key_Return);
    EXPECT_EQ(state.store.currentRecord, 4);
    EXPECT_EQ(test.sound.played, std::vector<QString>({"/snd/four.wav"}));
    EXPECT_EQ(currentRow(), 1);
    EXPECT_TRUE(find<QWidget>("Text1")->property("plainText").toString().contains("Charlie"));
    QTest::keyClick(findText(), Qt::Key_F3);
    EXPECT_EQ(state.store.currentRecord, 2);
    QTest::keyClick(findText(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(state.store.currentRecord, 4);
    QTest::keyClick(findText(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(state.store.currentRecord, 2);
}

TEST_F(FindTest, escapeBringsTheWholeListBackWithTheFoundRecordCurrent)
{
    typeFind("plumber");
    QTest::keyClick(findText(), Qt::Key_F3);
    QTest::keyClick(findText(), Qt::Key_Escape);
    EXPECT_FALSE(window->findOpen());
    EXPECT_EQ(lines().size(), 5);
    EXPECT_EQ(state.store.currentRecord, 4);
    EXPECT_EQ(currentRow(), 3);
    EXPECT_TRUE(list()->hasFocus());
    EXPECT_FALSE(find<QWidget>("StatusBar1Find")->isVisible());

    // Tab goes on to the narrowed list, where Escape does the same.
    typeFind("alpha");
    QTest::keyClick(findText(), Qt::Key_Tab);
    ASSERT_TRUE(list()->hasFocus());
    QTest::keyClick(list(), Qt::Key_Escape);
    EXPECT_EQ(lines().size(), 5);
    EXPECT_EQ(currentRow(), 0);
}

TEST_F(FindTest, theBarTakesTheTopOfTheListsPlace_andGivesItBack)
{
    const QRect whole = list()->geometry();
    typeFind("a");
    const QRect bar = find("FindBar")->geometry();
    EXPECT_EQ(bar.top(), whole.top());
    EXPECT_EQ(list()->geometry().top(), bar.bottom() + 1);
    EXPECT_EQ(list()->geometry().bottom(), whole.bottom());
    // The layout still sees the list's whole place: a resize keeps both.
    window->resize(window->width() + 40, window->height() + 40);
    EXPECT_EQ(find("FindBar")->geometry().top(), list()->geometry().top() - find("FindBar")->height());
    QTest::keyClick(findText(), Qt::Key_Escape);
    EXPECT_EQ(list()->geometry().top(), whole.top());
}

// Row 0 of the narrowed list is record 4: every command must take record 4.
TEST_F(FindTest, commandsOnANarrowedListActOnTheRecordOfTheLine)
{
    typeFind("urgent");
    ASSERT_EQ(lines().size(), 1);
    clickLine(0);
    window->menuAction(QStringLiteral("copytoclipboard"))->trigger();
    EXPECT_TRUE(test.clipboard.content.startsWith("Planner Record No. 4\r\n"));

    window->menuAction(QStringLiteral("Editrecords"))->trigger();
    EXPECT_EQ(find<QTabWidget>("SSTab1")->currentIndex(), 3);
    EXPECT_EQ(find<QLineEdit>("Text5")->text(), "Charlie");
    find<QLineEdit>("Text5")->setText(QStringLiteral("Charlotte"));
    QTest::mouseClick(find<QPushButton>("Command6"), Qt::LeftButton); // Change
    EXPECT_EQ(state.store.field(Field::Name, 4), "Charlotte");
    EXPECT_EQ(state.store.field(Field::Name, 1), "Alpha");
    // Still narrowed to the changed record after the list was rebuilt.
    ASSERT_EQ(lines().size(), 1);
    EXPECT_TRUE(lines()[0].contains("Charlotte"));

    clickLine(0);
    QTest::mouseClick(find<QPushButton>("Command3"), Qt::LeftButton); // Remove
    ASSERT_EQ(state.store.recordCount(), 4);
    EXPECT_EQ(state.store.field(Field::Name, 3), "Bravo");
    EXPECT_EQ(state.store.field(Field::Name, 4), "Delta");
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_EQ(foundCount(), "0 of 4 records");
}

TEST_F(FindTest, aClickOnANarrowedLineShowsItsRecord_andTheEntryPanelFollows)
{
    find<QTabWidget>("SSTab1")->setCurrentIndex(3);
    typeFind("plumber");
    clickLine(1);
    EXPECT_EQ(state.store.currentRecord, 4);
    EXPECT_EQ(find<QLineEdit>("Text5")->text(), "Charlie");
    EXPECT_EQ(find<QScrollBar>("VScroll1")->value(), 4);
}

} // namespace
} // namespace zp
