#include "app/windows/MainMenus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <vector>

namespace zp {

namespace {

using R = MainMenuRow;

const MainMenuRow kRows[] = {
    {R::Menu, "&File", "", "Filemenu"},
    {R::Item, "&New", "", "Newplan"},
    {R::Item, "&Open", "Ctrl+O", "Loadplan"},
    {R::Item, "&Save", "Ctrl+S", "Saveplan"},
    {R::Item, "Save &as", "Ctrl+A", "Saveplanas"},
    {R::Item, "&Delete", "Ctrl+D", "delete"},
    {R::Menu, "&Print", "", "Print"},
    {R::Item, "&Standard style", "Ctrl+T", "standard"},
    {R::Item, "&Project style", "Ctrl+P", "projectstyle"},
    {R::Item, "&Time line", "Ctrl+I", "timeline"},
    {R::Item, "Time line pre&view", "", "timelinepreview"},
    {R::End},
    {R::Menu, "&Import", "", "Import"},
    {R::Item, "&Calendar (iCalendar)...", "", "Importcalendar"},
    {R::Item, "From calendar &server...", "", "Importcalendarserver"},
    {R::End},
    {R::Menu, "&Export", "", "Export"},
    {R::Item, "&Calendar (iCalendar)...", "", "Exportcalendar"},
    {R::End},
    {R::Item, "Calendar ser&ver...", "", "Calendarserver"},
    {R::Item, "P&ublish to calendar server", "", "Publishcalendar"},
    {R::Item, "&About...", "", "About"},
    {R::Item, "E&xit...", "Ctrl+X", "Exit"},
    {R::End},

    {R::Menu, "&Edit", "", "Editmenu"},
    {R::Item, "&Edit records", "Ctrl+E", "Editrecords"},
    {R::Item, "&Copy selected", "Ctrl+C", "copytoclipboard"},
    {R::Item, "Copy &all", "", "copyall"},
    {R::Separator},
    {R::Item, "&Undo", "Ctrl+Z", "Undo"},
    {R::Item, "&Redo", "Ctrl+Shift+Z", "Redo"},
    {R::Separator},
    {R::Item, "&Find...", "Ctrl+F", "Findrecords"},
    {R::Item, "Find &next", "F3", "Findnext"},
    {R::Item, "Find pre&vious", "Shift+F3", "Findprevious"},
    {R::Separator},
    {R::Item, "Re&peat record...", "Ctrl+R", "Repeatrecord"},
    {R::End},

    {R::Menu, "&Display", "", "sort", "", "", 30},
    {R::Tick, "By da&y", "", "Dayy", "", "", 34},
    {R::Tick, "By &date", "", "Datte", "", "", 31},
    {R::Tick, "By &name", "", "Namme", "", "", 32},
    {R::Tick, "By &task", "", "Taskk", "", "", 33},
    {R::End},

    {R::Menu, "&Tools", "", "Tools"},
    {R::Menu, "&Ledger", "", "Ledger"},
    {R::Item, "Show", "", "Showbydate", "", "", 148},
    {R::Item, "Plot.....", "", "PlotLedger", "", "", 49},
    {R::End},
    {R::Item, "L&oan simulator", "Ctrl+N", "Loansimulator"},
    {R::Item, "Phone &book", "Ctrl+B", "Phonebook"},
    {R::Item, "&Notes...", "", "Notes"},
    {R::Item, "&Calculator", "Ctrl+L", "Calculator"},
    {R::Item, "&World times", "", "Worldtimes"},
    {R::End},

    {R::Menu, "&Options", "", "Options", "", "", 50},
    {R::Menu, "&Edit style", "", "Editstyle"},
    {R::Tick, "&Home and office", "Ctrl+H", "homeandoffice", "", "", 88},
    {R::Tick, "Pro&ject planning", "Ctrl+J", "projectplanning", "", "", 89},
    {R::End},
    {R::Menu, "Edit &labels", "", "Editlabels"},
    {R::Item, "&Set to default", "Ctrl+Y", "Settodefault"},
    {R::End},
    {R::Menu, "&Startup show", "", "Startupshow", "", "", 55},
    {R::Tick, "&This weeks reminders ", "", "Currentyearmonth", "", "", 56},
    {R::Tick, "&Main Program", "", "Allrecords", "", "", 57},
    {R::End},
    {R::Menu, "&Date style", "", "Datestyle"},
    {R::Tick, "month/day/year", "", "American", "", "", 52},
    {R::Tick, "day/month/year", "", "EnglishEuro", "", "", 53},
    {R::End},
    {R::Item, "&Fonts", "", "Fonttype", "", "", 0},
    {R::Tick, "&Sound on", "", "soundon", "", "", 81},
    {R::Item, "&Alarms...", "", "Alarms"},
    {R::Tick, "&Keep backups", "", "Keepbackups", "", "", 59},
    {R::Tick, "&Save settings on exit", "", "Saveonexit", "", "", 51},
    {R::End},

    {R::Menu, "&Help", "", "Helpmenu"},
    {R::Item, "&Contents", "", "Contents"},
    {R::Item, "&Using help...", "", "usinghelp"},
    {R::End},
    // The empty top-level item the menu bar has always carried.
    {R::Inert, "", "", "time", "", "", 99},

    {R::Button, "", "", "imgFileNewButton", "Newplan", "Create new Planner file", -1, "Image17"},
    {R::Button, "", "", "imgFileOpenButton", "", "Open existing Planner file", -1, "Image18"},
    {R::Button, "", "", "Image12", "", "Save Planner file", -1, "Image19"},
    {R::Button, "", "", "Image11", "standard", "Print current Planner file", -1, "Image20", true},
    {R::Button, "", "", "Image7", "Showbydate", "Show ledger - summary of expenses and credits", -1, "Image21"},
    {R::Button, "", "", "Image8", "Loansimulator", "Start loan simulator", -1, "Image22"},
    {R::Button, "", "", "Image10", "Phonebook", "Show summary of phone numbers", -1, "Image23"},
    {R::Button, "", "", "Image9", "Notes", "Open note book", -1, "Image24"},
    {R::Button, "", "", "Image4", "Calculator", "Start calculator", -1, "Image25"},
    {R::Button, "", "", "Image13", "Worldtimes", "Show world times", -1, "Image26"},
    {R::Button, "", "", "Image2", "", "Highlight keyword entries in Planner list window", -1, "Image27"},
    {R::Button, "", "", "Image15", "", "Stretch/Shrink the project edit grid", -1, "Image28"},
    {R::Button, "", "", "Image3", "About", "About Zorvik Planner", -1, "Image29"},
    {R::Button, "", "", "Image6", "Contents", "Show on-line help file", -1, "Image30", true},
    {R::Button, "", "", "Image14", "", "Iconise Planner window", -1, "Image31"},
};

void keep(std::map<QString, QAction*>& actions, QAction* action, const MainMenuRow& row)
{
    action->setObjectName(QString::fromLatin1(row.name));
    if (row.index >= 0)
        action->setProperty("menuIndex", row.index);
    actions[action->objectName()] = action;
}

} // namespace

std::span<const MainMenuRow> mainMenuRows()
{
    return kRows;
}

std::map<QString, QAction*> buildMainMenus(QMenuBar& bar)
{
    std::map<QString, QAction*> actions;
    std::vector<QMenu*> open; // the menus being filled, innermost last
    for (const MainMenuRow& row : kRows) {
        const QString caption = QString::fromUtf8(row.caption);
        QMenu* into = open.empty() ? nullptr : open.back();
        switch (row.kind) {
        case R::Menu: {
            QMenu* menu = into ? into->addMenu(caption) : bar.addMenu(caption);
            menu->setObjectName(QString::fromLatin1(row.name));
            keep(actions, menu->menuAction(), row);
            open.push_back(menu);
            break;
        }
        case R::End:
            open.pop_back();
            break;
        case R::Item:
        case R::Tick: {
            QAction* action = into ? into->addAction(caption) : bar.addAction(caption);
            if (*row.shortcut)
                action->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
            action->setCheckable(row.kind == R::Tick);
            keep(actions, action, row);
            break;
        }
        case R::Separator:
            if (into)
                into->addSeparator();
            break;
        case R::Inert: {
            QAction* action = into ? into->addAction(caption) : bar.addAction(caption);
            action->setEnabled(false);
            keep(actions, action, row);
            break;
        }
        case R::Button:
            break; // the window builds the toolbar: its pictures and sizes are its own
        }
    }
    return actions;
}

} // namespace zp
