#include "views/windows/PhoneBookWindow.h"

#include "ui/QtPlatform.h"
#include "ui/WindowGeometry.h"
#include "views/RecordDetails.h"
#include "ui/KeyboardAccess.h"

#include <QAction>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLayout>
#include <QMenuBar>
#include <QTableWidget>

namespace zp {

PhoneBookWindow::PhoneBookWindow(ProgramState& state, const Platform& platform, QWidget* parent)
    : QMainWindow(parent), state_(state), platform_(platform), twips_(platform.screen)
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(kPhoneBookCaption);
    closeOnEscape(*this);
    grid1_ = new QTableWidget(this);
    grid1_->setObjectName(QStringLiteral("Grid1"));
    grid1_->setAccessibleName(QStringLiteral("Phone numbers"));
    grid1_->setColumnCount(2);
    grid1_->horizontalHeader()->hide();
    grid1_->verticalHeader()->hide();
    grid1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid1_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid1_->setWordWrap(false);
    // The phone numbers take what width the window has beyond the names.
    grid1_->horizontalHeader()->setStretchLastSection(true);
    setCentralWidget(grid1_);

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("Options"));
    print_ = options->addAction(QStringLiteral("&Print"));
    print_->setObjectName(QStringLiteral("Print"));
    print_->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));
    QAction* close = options->addAction(QStringLiteral("&Close"));
    close->setObjectName(QStringLiteral("Close"));
    close->setShortcut(QKeySequence(QStringLiteral("Ctrl+X")));
    connect(close, &QAction::triggered, this, &QWidget::close);

    setMinimumSize(twips_.toPixelsX(kPhoneBookMinSizeTwips), twips_.toPixelsY(kPhoneBookMinSizeTwips));
}

void PhoneBookWindow::open()
{
    if (!state_.phoneBookOpen)
        place_.restore();
    state_.phoneBookOpen = true;
    // Shown first: the column widths follow the grid's laid-out width.
    show();
    if (QLayout* layout = this->layout())
        layout->activate();
    buildPhoneBook();
    raise();
    activateWindow();
}

void PhoneBookWindow::buildPhoneBook()
{
    applyFont();
    const PhoneBook book = zp::buildPhoneBook(state_.store);
    grid1_->setRowCount(static_cast<int>(book.rows.size()) + 1);
    const int columnWidth = twips_.toPixelsX(phoneBookColumnWidth(twips_.toTwipsX(grid1_->width())));
    grid1_->setColumnWidth(0, columnWidth);
    grid1_->setColumnWidth(1, columnWidth);
    auto setRow = [this](int row, const PhoneBookRow& r) {
        grid1_->setItem(row, 0, new QTableWidgetItem(r.name));
        grid1_->setItem(row, 1, new QTableWidgetItem(r.phone));
    };
    setRow(0, book.heading);
    QFont bold = grid1_->font();
    bold.setBold(true);
    grid1_->item(0, 0)->setFont(bold);
    grid1_->item(0, 1)->setFont(bold);
    for (std::size_t i = 0; i < book.rows.size(); ++i)
        setRow(static_cast<int>(i) + 1, book.rows[i]);
}

void PhoneBookWindow::closeEvent(QCloseEvent* event)
{
    place_.remember();
    state_.phoneBookOpen = false;
    QMainWindow::closeEvent(event);
}

void PhoneBookWindow::applyFont()
{
    showInDisplayFont(*grid1_, state_.settings.font, palette());
}

} // namespace zp
