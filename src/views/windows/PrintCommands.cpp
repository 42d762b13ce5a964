#include "views/windows/PrintCommands.h"

#include "views/windows/PrintWindow.h"

#include <QAbstractItemModel>
#include <QFileInfo>
#include <QTableView>

namespace zp {

PrintCommands::PrintCommands(ProgramState& state, const Platform& platform, PrintFeedback& feedback)
    : state_(state), platform_(platform), feedback_(feedback)
{
}

PrintCommands::~PrintCommands()
{
    delete printWindow_.data();
}

PrintWindow* PrintCommands::printWindow() const
{
    return printWindow_.data();
}

bool PrintCommands::checkRecords()
{
    if (state_.store.recordCount() > 0)
        return true;
    platform_.messages.msgBox(kNoRecordsToPrint, MsgStyle::Exclamation, kPrintMenuTitle);
    return false;
}

void PrintCommands::openStandardStyle()
{
    if (checkRecords())
        showPrintWindow(1);
}

void PrintCommands::openProjectStyle(const std::function<void()>& switchToProjectStyle)
{
    if (!checkRecords())
        return;
    if (state_.store.editStyle != EditStyle::ProjectPlanning && switchToProjectStyle)
        switchToProjectStyle();
    showPrintWindow(2);
}

void PrintCommands::showPrintWindow(int style)
{
    state_.printStyle = style;
    if (!printWindow_) {
        printWindow_ = new PrintWindow(state_, platform_, [this](PrintWindow::Action action) {
            if (action == PrintWindow::Action::Print)
                printChosenStyle();
            else
                previewChosenStyle();
        });
    }
    printWindow_->openForPrinting();
}

QString PrintCommands::documentName() const
{
    const QString name = QFileInfo(state_.store.planFileName).fileName();
    return QStringLiteral("Zorvik Planner - ") + (name.isEmpty() ? QStringLiteral("New Plan") : name);
}

PrintJob PrintCommands::job(const std::function<Printer*()>& choose)
{
    return PrintJob{platform_.messages, feedback_, choose, state_.settings.font.name, state_.settings.font.size};
}

void PrintCommands::runWithDialog(const std::function<void(PrintJob&)>& print)
{
    std::unique_ptr<Printer> printer;
    PrintJob j = job([&]() -> Printer* {
        printer = platform_.printing.choosePrinter(documentName());
        return printer.get();
    });
    print(j);
}

void PrintCommands::runInPreview(const std::function<void(PrintJob&)>& print)
{
    platform_.printing.preview(documentName(), [&](Printer& target) {
        PrintJob j = job([&target] { return &target; });
        print(j);
    });
}

namespace {
PrintRange rangeOf(const ProgramState& state)
{
    return PrintRange{state.printAllRecords, state.printFrom, state.printTo};
}
} // namespace

void PrintCommands::printChosenStyle()
{
    runWithDialog([this](PrintJob& j) {
        if (state_.printStyle == 2)
            printProject(state_.store, rangeOf(state_), j);
        else
            printStandard(state_.store, rangeOf(state_), j);
    });
}

void PrintCommands::previewChosenStyle()
{
    runInPreview([this](PrintJob& j) {
        if (state_.printStyle == 2)
            printProject(state_.store, rangeOf(state_), j);
        else
            printStandard(state_.store, rangeOf(state_), j);
    });
}

void PrintCommands::printTimeLine()
{
    if (checkRecords())
        runWithDialog([this](PrintJob& j) { zp::printTimeLine(state_.store, j); });
}

void PrintCommands::previewTimeLine()
{
    if (checkRecords())
        runInPreview([this](PrintJob& j) { zp::printTimeLine(state_.store, j); });
}

void PrintCommands::printGrid(const GridPrintRequest& request)
{
    runWithDialog([&request](PrintJob& j) { zp::printGrid(request, j); });
}

void PrintCommands::printWith(const std::function<void(PrintJob&)>& print)
{
    runWithDialog(print);
}

GridPrintRequest gridPrintRequest(const QTableView& grid, const QString& title, const FontChoice& font)
{
    GridPrintRequest request;
    request.title = title;
    const QAbstractItemModel* model = grid.model();
    const int rows = model ? model->rowCount() : 0;
    const int columns = model ? model->columnCount() : 0;
    for (int c = 0; c < columns; ++c)
        request.columnWidths.push_back(grid.isColumnHidden(c) ? 0.0 : grid.columnWidth(c));
    request.rows.reserve(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        QStringList cells;
        for (int c = 0; c < columns; ++c)
            cells << model->index(r, c).data(Qt::DisplayRole).toString();
        request.rows.push_back(cells);
    }
    request.fontName = font.name;
    request.fontSize = font.size > 0 ? font.size : 10;
    return request;
}

} // namespace zp
