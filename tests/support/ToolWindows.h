#pragma once
// For the window tests that look at every window at once.
#include "accessories/windows/NotepadWindow.h"
#include "app/windows/PlannerApp.h"

namespace zp {

// Opens the tool windows the menus open (world times, ledger and plot,
// loan, phone book, keyword, calculator) and the notepad with its Find.
inline void showToolWindows(PlannerApp& app)
{
    app.showWorldTimes();
    app.showLedger();
    app.showLedgerPlot();
    app.showLoanWindow();
    app.showPhoneBook();
    app.showKeywordWindow();
    app.showCalculator();
    app.showNotepad();
    app.notepad()->showFindDialog();
}

} // namespace zp
