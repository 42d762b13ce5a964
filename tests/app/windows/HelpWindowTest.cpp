#include "app/HelpTopics.h"
#include "app/windows/HelpWindow.h"
#include "app/windows/MainWindow.h"
#include "app/windows/PlannerApp.h"
#include "accessories/windows/CalculatorWindow.h"
#include "views/windows/PhoneBookWindow.h"
#include "views/windows/RemindersWindow.h"
#include "support/Fakes.h"

#include <QAction>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QSet>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <gtest/gtest.h>

namespace zp {
namespace {

QString guidePage(const QString& file)
{
    QFile f(QStringLiteral(":/help/") + file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

TEST(HelpGuideTest, everyLinkAndPictureOfTheGuideReachesATopicOrAnchorThatExists)
{
    QSet<QString> pages;
    for (QDirIterator it(QStringLiteral(":/help"), {QStringLiteral("*.html")}); it.hasNext();)
        pages.insert(QFileInfo(it.next()).fileName());
    QSet<QString> listed;
    for (const HelpTopic& topic : helpTopics())
        listed.insert(topic.file);
    EXPECT_EQ(pages, listed) << "every page is in the contents list and every listed topic is a page";

    int links = 0;
    for (const QString& page : pages) {
        const QString html = guidePage(page);
        for (const QString& target : helpLinkTargets(html)) {
            ++links;
            if (target.startsWith(QLatin1String("http")) || target.startsWith(QLatin1String("mailto:")))
                continue;
            const qsizetype hash = target.indexOf(u'#');
            const QString file = hash < 0 ? target : target.left(hash);
            const QString targetFile = file.isEmpty() ? page : file;
            EXPECT_TRUE(QFile::exists(QStringLiteral(":/help/") + targetFile)) << page.toStdString() << " -> " << target.toStdString();
            if (hash >= 0) {
                EXPECT_TRUE(helpAnchorNames(guidePage(targetFile)).contains(target.mid(hash + 1)))
                    << page.toStdString() << " -> " << target.toStdString();
            }
        }
    }
    EXPECT_GT(links, 100);

    // F1's topics, those of windows still to come included.
    for (const char* window : {"Form1", "Form2", "Form3", "Form4", "form5", "Form6", "Form7", "Form8", "Form9", "Form10",
                               "Form11", "Form12", "Form13", "Form14", "Loan1", "frmMDI", "frmNotePad", "frmFind",
                               "HelpWindow", "someDialog"}) {
        const QString topic = helpTopicForWindow(QString::fromLatin1(window));
        const QString file = topic.section(u'#', 0, 0);
        ASSERT_TRUE(pages.contains(file)) << window;
        if (topic.contains(u'#')) {
            EXPECT_TRUE(helpAnchorNames(guidePage(file)).contains(topic.section(u'#', 1))) << window;
        }
    }
}

class HelpWindowTest : public ::testing::Test {
protected:
    HelpWindowTest() { app.start(); }
    QString topic() const { return app.helpWindow() ? app.helpWindow()->currentTopic() : QString(); }

    TestPlatform test;
    ProgramState state;
    PlannerApp app{state, test.platform()};
};

TEST_F(HelpWindowTest, contentsUsingHelpAndTheToolbarOpenTheirTopics)
{
    MainWindow& main = *app.mainWindow();
    main.menuAction("Contents")->trigger();
    ASSERT_NE(app.helpWindow(), nullptr);
    EXPECT_TRUE(app.helpWindow()->isVisible());
    EXPECT_EQ(app.helpWindow()->objectName(), "HelpWindow");
    EXPECT_EQ(topic(), "index.html");
    EXPECT_TRUE(app.helpWindow()->findChild<QTextBrowser*>("helpBrowser")->toPlainText().contains("Topics"));

    main.menuAction("usinghelp")->trigger();
    EXPECT_EQ(topic(), "using-help.html");

    // The help picture acts as the mouse button goes down.
    QTest::mousePress(main.findChild<QLabel*>("Image6"), Qt::LeftButton);
    EXPECT_EQ(topic(), "index.html");
    QTest::mouseRelease(main.findChild<QLabel*>("Image6"), Qt::LeftButton);

    // Back and forward walk the pages seen; the contents list follows.
    auto* back = app.helpWindow()->findChild<QToolButton*>("helpBack");
    ASSERT_TRUE(back->isEnabled());
    back->click();
    EXPECT_EQ(topic(), "using-help.html");
    EXPECT_EQ(app.helpWindow()->findChild<QListWidget*>("helpContents")->currentItem()->text(), "Using help");
    app.helpWindow()->findChild<QToolButton*>("helpForward")->click();
    EXPECT_EQ(topic(), "index.html");
}

TEST_F(HelpWindowTest, f1OpensTheGuideAtTheTopicOfTheWindowItIsPressedIn)
{
    app.showCalculator();
    app.showPhoneBook();
    const std::pair<QWidget*, const char*> cases[] = {
        {app.mainWindow()->findChild<QListView*>("Viewlist"), "main-window.html"},
        {app.remindersWindow(), "reminders.html"},
        {app.calculator(), "calculator.html"},
        {app.phoneBook(), "details.html#phone-book"},
    };
    for (const auto& [widget, expected] : cases) {
        QTest::keyClick(widget, Qt::Key_F1);
        EXPECT_EQ(topic(), expected);
    }
    QTest::keyClick(app.helpWindow(), Qt::Key_F1);
    EXPECT_EQ(topic(), "using-help.html");
}

TEST_F(HelpWindowTest, aMissingTopicShowsAClearPageAndTheViewerGoesOn)
{
    app.showHelp(kHelpContentsTopic);
    HelpWindow& help = *app.helpWindow();
    help.showTopic(QStringLiteral("no-such-topic.html"));
    const QString text = help.findChild<QTextBrowser*>("helpBrowser")->toPlainText();
    EXPECT_TRUE(text.contains("Topic not found")) << text.toStdString();
    EXPECT_TRUE(text.contains("no-such-topic.html"));
    help.findChild<QToolButton*>("helpBack")->click();
    EXPECT_EQ(help.currentTopic(), "index.html");
}

TEST_F(HelpWindowTest, findInPageMarksTheTextOrSaysItIsNotThere)
{
    app.showHelp(kUsingHelpTopic);
    HelpWindow& help = *app.helpWindow();
    auto* find = help.findChild<QLineEdit*>("helpFind");
    auto* browser = help.findChild<QTextBrowser*>("helpBrowser");
    QTest::keyClicks(find, "page");
    EXPECT_EQ(browser->textCursor().selectedText().toLower(), "page");
    const int first = browser->textCursor().position();
    help.findChild<QToolButton*>("helpFindNext")->click();
    EXPECT_NE(browser->textCursor().position(), first);
    EXPECT_EQ(help.findChild<QLabel*>("helpFindStatus")->text(), "");

    find->setText(QStringLiteral("zebra crossing"));
    EXPECT_FALSE(help.findNext());
    EXPECT_EQ(help.findChild<QLabel*>("helpFindStatus")->text(), "Not found");
}

} // namespace
} // namespace zp
