#pragma once
#include "state/ProgramState.h"
#include "ui/FontDialog.h"
#include "ui/Platform.h"
#include "views/Printing.h"

#include <QPointer>
#include <functional>

class QTableView;

namespace zp {

class PrintWindow;

// The printing commands of the planner's windows: the print window for the
// standard and project styles, the time line, and the grid printer that
// the phone book, ledger and loan windows use. Each goes through the
// platform's print dialog (or preview) and reports on the main window
// through `feedback`.
class PrintCommands {
public:
    PrintCommands(ProgramState& state, const Platform& platform, PrintFeedback& feedback);
    ~PrintCommands();

    // "&Standard style": the print window for the standard style.
    void openStandardStyle();
    // "&Project style": `switchToProjectStyle` first when the plan is not
    // edited in the project style, then the print window.
    void openProjectStyle(const std::function<void()>& switchToProjectStyle);
    // "&Time line": straight to the print dialog.
    void printTimeLine();
    void previewTimeLine();
    // Prints what the print window chose, or shows it in a preview.
    void printChosenStyle();
    void previewChosenStyle();
    void printGrid(const GridPrintRequest& request);
    // Any other drawing (the ledger chart) through the print dialog.
    void printWith(const std::function<void(PrintJob&)>& print);

    PrintWindow* printWindow() const;

private:
    bool checkRecords();
    void showPrintWindow(int style);
    PrintJob job(const std::function<Printer*()>& choose);
    // Runs `print` with the print dialog's printer.
    void runWithDialog(const std::function<void(PrintJob&)>& print);
    void runInPreview(const std::function<void(PrintJob&)>& print);
    QString documentName() const;

    ProgramState& state_;
    Platform platform_;
    PrintFeedback& feedback_;
    QPointer<PrintWindow> printWindow_;
};

// A grid on the screen as the grid printer takes it: every cell's text and
// the column widths in pixels, with the display font the grid was given by
// name ("System" stays "System", the default family, which is no missing
// font).
GridPrintRequest gridPrintRequest(const QTableView& grid, const QString& title, const FontChoice& font);

} // namespace zp
