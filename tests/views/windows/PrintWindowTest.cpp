#include "views/windows/PrintCommands.h"
#include "views/windows/PrintWindow.h"

#include "support/Fakes.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace zp {
namespace {

class NoFeedback : public PrintFeedback {
public:
    void suspend() override {}
    void progress(int) override {}
    void restore() override {}
    void showHint(const QString&) override {}
};

class PrintWindowTest : public ::testing::Test {
protected:
    PrintWindowTest()
    {
        std::vector<PlannerRecord> records;
        for (const char* name : {"Alpha", "Beta", "Gamma"}) {
            PlannerRecord r;
            r[Field::StartDate] = QStringLiteral("05/11/1996");
            r[Field::Name] = QString::fromLatin1(name);
            records.push_back(r);
        }
        state.store.replaceAll(records);
        state.store.fieldLabels[22] = QStringLiteral("off"); // message
        commands.openStandardStyle();
        window = commands.printWindow();
    }
    template <typename T>
    T* find(const char* name)
    {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
    QCheckBox* check(int i) { return window->findChild<QCheckBox*>(QStringLiteral("SSCheck%1").arg(i)); }
    void click(const char* button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }

    TestPlatform test;
    ProgramState state;
    NoFeedback feedback;
    PrintCommands commands{state, test.platform(), feedback};
    PrintWindow* window = nullptr;
};

TEST_F(PrintWindowTest, opening_showsTheColumnsFromTheSwitchesAndEveryRecordChosen)
{
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->objectName(), "Form2");
    EXPECT_EQ(window->windowTitle(), "Planner Print");
    EXPECT_EQ(check(1)->text(), "No.");
    EXPECT_TRUE(check(1)->isChecked());
    for (int k = 1; k <= 12; ++k) {
        EXPECT_EQ(check(k + 1)->text(), state.store.fieldLabels[static_cast<std::size_t>(k)]);
        EXPECT_EQ(check(k + 1)->isChecked(), k != 10) << k;
    }
    EXPECT_EQ(check(14)->text(), "Print all records in file");
    EXPECT_TRUE(check(14)->isChecked());
    EXPECT_EQ(find<QLineEdit>("Text1")->text(), "1");
    EXPECT_EQ(find<QLineEdit>("Text2")->text(), " 3");
    EXPECT_FALSE(find<QLineEdit>("Text1")->isEnabled());
    EXPECT_EQ(find<QPushButton>("SSCommand2")->text(), "CANCEL");
    EXPECT_TRUE(find<QPushButton>("SSCommand1")->isDefault());

    // The number column cannot be switched off; the range boxes follow "all".
    QTest::mouseClick(check(1), Qt::LeftButton);
    EXPECT_TRUE(check(1)->isChecked());
    QTest::mouseClick(check(14), Qt::LeftButton);
    EXPECT_FALSE(state.printAllRecords);
    EXPECT_TRUE(find<QLineEdit>("Text1")->isEnabled());
    EXPECT_TRUE(find<QLineEdit>("Text2")->isEnabled());
}

TEST_F(PrintWindowTest, aBadRange_isRefusedAndTheWindowStaysOpen)
{
    check(14)->click();
    const std::pair<const char*, const char*> ranges[] = {{"3", "2"}, {"0", "2"}, {"1", "4"}, {"x", "2"}};
    for (const auto& [from, to] : ranges) {
        find<QLineEdit>("Text1")->setText(QString::fromLatin1(from));
        find<QLineEdit>("Text2")->setText(QString::fromLatin1(to));
        test.messages.clear();
        click("SSCommand1");
        ASSERT_EQ(test.messages.count(), 1) << from << "-" << to;
        EXPECT_EQ(test.messages.last().text, "Invalid record range selected");
        EXPECT_EQ(test.messages.last().title, "Planner range error");
        EXPECT_EQ(test.messages.last().style, MsgStyle::Exclamation);
        EXPECT_TRUE(window->isVisible());
    }
    EXPECT_EQ(test.printing.dialogs(), 0);
}

TEST_F(PrintWindowTest, print_writesTheSwitchesBackAndPrintsTheRange)
{
    check(14)->click();
    check(2)->click(); // name off
    check(11)->click(); // message on
    find<QLineEdit>("Text1")->setText(QStringLiteral("2"));
    find<QLineEdit>("Text2")->setText(QStringLiteral("3"));
    RecordingPrinter& printer = test.printing.scriptPrinter();
    click("SSCommand1");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(state.store.fieldLabels[13], "off");
    EXPECT_EQ(state.store.fieldLabels[22], "on");
    EXPECT_EQ(state.printFrom, 2);
    EXPECT_EQ(state.printTo, 3);
    EXPECT_EQ(test.printing.dialogs(), 1);
    EXPECT_EQ(printer.find(QStringLiteral("No.  1")), nullptr);
    EXPECT_NE(printer.find(QStringLiteral("No.  3")), nullptr);
    EXPECT_EQ(printer.find(QStringLiteral("Name Beta")), nullptr);
    EXPECT_EQ(printer.endDocs, 1);
}

TEST_F(PrintWindowTest, preview_showsThePagesAndKeepsTheWindow_cancelCloses)
{
    click("PreviewButton");
    ASSERT_EQ(test.printing.previews.size(), 1u);
    EXPECT_NE(test.printing.previews[0]->find(QStringLiteral("Name Gamma")), nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(test.printing.dialogs(), 0);

    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    commands.openStandardStyle();
    click("SSCommand2");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(test.printing.dialogs(), 0);
}

} // namespace
} // namespace zp
