#include "app/windows/MainWindow.h"
#include "app/windows/PlannerApp.h"
#include "support/ToolWindows.h"
#include "accessories/windows/NotepadWindow.h"
#include "support/Fakes.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>
#include <QSet>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextDocumentFragment>
#include <gtest/gtest.h>

namespace zp {
namespace {

// Bold words of the guide that are no menu item or button: headings of the
// Info page, keys and (starting with "--") terminal options.
const QSet<QString> kNotCommands = {
    "SYSTEM INFORMATION", "APPLICATION INFORMATION", "FILE INFORMATION", "F1",
};

// A caption as the user reads it: no accelerator marks, no trailing dots,
// no arrows ("< &Back", "&Forward >").
QString plainCaption(QString text)
{
    text.replace(QLatin1String("&&"), QLatin1String("\x01"));
    text.remove(u'&');
    text.replace(u'\x01', u'&');
    while (text.endsWith(u'.'))
        text.chop(1);
    text = text.trimmed();
    if (text.startsWith(QLatin1String("< ")))
        text.remove(0, 2);
    if (text.endsWith(QLatin1String(" >")))
        text.chop(2);
    return text;
}

// Every command the guide names in bold, as its path of captions, with
// the page it is on.
std::vector<std::pair<QString, QStringList>> guideCommands()
{
    static const QRegularExpression bold(QStringLiteral("<b>(.*?)</b>"));
    std::vector<std::pair<QString, QStringList>> commands;
    for (QDirIterator it(QStringLiteral(":/help"), {QStringLiteral("*.html")}); it.hasNext();) {
        QFile file(it.next());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        for (auto m = bold.globalMatch(html); m.hasNext();) {
            const QString text = QTextDocumentFragment::fromHtml(m.next().captured(1)).toPlainText().simplified();
            if (kNotCommands.contains(text) || text.startsWith(QLatin1String("--")))
                continue;
            QStringList path;
            for (const QString& part : text.split(u'>'))
                path << plainCaption(part);
            commands.emplace_back(QFileInfo(file).fileName(), path);
        }
    }
    return commands;
}

class GuideCommandsTest : public ::testing::Test {
public:
    GuideCommandsTest()
    {
        test.clock.set(2026, 12, 7, 10, 0);
        state.store.recordingsFolder = dir.filePath("recordings");
        app.start();
        app.mainWindow()->show();
        // Every window the guide describes, the notepad with a document.
        showToolWindows(app);
        app.showStartWindow();
        app.showAbout();
        app.showHelp(QStringLiteral("index.html"));
        app.showRecorder();
    }
    ~GuideCommandsTest() override
    {
        for (QWidget* window : QApplication::topLevelWidgets())
            window->hide();
    }

    QTemporaryDir dir;
    TestPlatform test;
    ProgramState state;
    PlannerApp app{state, test.platform()};
};

// A path is found when a menu of that title leads through the items named,
// or, for a single name, when any menu item, button or page tab has it.
// Notepad documents show their menus only while one is open, as here.
TEST_F(GuideCommandsTest, everyMenuItemAndButtonTheGuideNamesExists)
{
    QSet<QString> captions;
    QList<QMenu*> menus;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        for (QAction* a : window->findChildren<QAction*>())
            captions << plainCaption(a->text());
        // A picture button's caption is the label it carries or is named by.
        for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
            captions << plainCaption(b->text().isEmpty() ? b->accessibleName() : b->text());
        for (QTabBar* bar : window->findChildren<QTabBar*>())
            for (int i = 0; i < bar->count(); ++i)
                captions << plainCaption(bar->tabText(i));
        menus << window->findChildren<QMenu*>();
    }
    auto pathExists = [&](const QStringList& path) {
        if (path.size() == 1)
            return captions.contains(path.front());
        for (QMenu* menu : menus) {
            if (plainCaption(menu->title()) != path.front())
                continue;
            QMenu* at = menu;
            for (qsizetype i = 1; at && i < path.size(); ++i) {
                QAction* found = nullptr;
                for (QAction* a : at->actions())
                    if (plainCaption(a->text()) == path[i])
                        found = a;
                if (!found)
                    break;
                if (i == path.size() - 1)
                    return true;
                at = found->menu();
            }
        }
        return false;
    };
    const auto commands = guideCommands();
    EXPECT_GT(commands.size(), 50u);
    for (const auto& [page, path] : commands)
        EXPECT_TRUE(pathExists(path)) << page.toStdString() << ": " << path.join(" > ").toStdString();
}

} // namespace
} // namespace zp
