#pragma once
#include <QString>
#include <map>
#include <span>

class QAction;
class QMenuBar;

namespace zp {

// One row of the main window's command table: a menu, an item on it, or a
// toolbar button. A Menu row opens a submenu (of the menu bar at the top
// level) that runs to its End row.
struct MainMenuRow {
    enum Kind { Menu, End, Item, Tick, Separator, Inert, Button };
    Kind kind;
    const char* caption = "";
    const char* shortcut = "";
    const char* name = "";
    // What a toolbar button runs: the menu item of this name; empty when
    // the window wires the button itself.
    const char* command = "";
    const char* hint = "";
    // The number the menus have always carried; -1 for none.
    int index = -1;
    // A button's pressed-look picture, kept hidden by this name.
    const char* pressedName = "";
    // The button acts when pressed, not when released.
    bool onPress = false;
};

// The whole table, menus first, then the toolbar buttons in the order they
// sit on it.
std::span<const MainMenuRow> mainMenuRows();

// Builds the menu bar's menus and items from the table; every menu and item
// by its objectName.
std::map<QString, QAction*> buildMainMenus(QMenuBar& bar);

} // namespace zp
