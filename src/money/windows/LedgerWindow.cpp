#include "money/windows/LedgerWindow.h"

#include "money/Ledger.h"
#include "ui/QtPlatform.h"
#include "ui/TextFit.h"
#include "ui/WindowGeometry.h"

#include <QAction>
#include <algorithm>
#include <QCloseEvent>
#include <QFrame>
#include <QHeaderView>
#include <QMenuBar>
#include <QAbstractTableModel>
#include <QStyle>
#include <QTableView>

namespace zp {

// The rows as the grid shows them; a full plan's ledger is 32 775 rows, too
// many to make an item for every cell at each opening.
class LedgerWindow::RowsModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    void setRows(std::vector<QStringList> rows)
    {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : kLedgerColumns; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return rows_[static_cast<std::size_t>(index.row())].value(index.column());
    }

private:
    std::vector<QStringList> rows_;
};

LedgerWindow::LedgerWindow(ProgramState& state, const Platform& platform, QWidget* parent)
    : QMainWindow(parent), state_(state), platform_(platform), twips_(platform.screen)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(kLedgerCaption);
    panel_ = new QFrame(this);
    panel_->setObjectName(QStringLiteral("Panel3D1"));
    panel_->setFrameShape(QFrame::StyledPanel);
    setCentralWidget(panel_);
    grid1_ = new QTableView(panel_);
    grid1_->setObjectName(QStringLiteral("Grid1"));
    rows_ = new RowsModel(this);
    grid1_->setModel(rows_);
    // Every row is one line of the same font: no row is measured.
    grid1_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid1_->horizontalHeader()->hide();
    grid1_->verticalHeader()->hide();
    grid1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid1_->setWordWrap(false);
    createMenus();
    setMinimumSize(twips_.toPixelsX(kLedgerMinWidthTwips), twips_.toPixelsY(kLedgerMinHeightTwips));
}

void LedgerWindow::createMenus()
{
    QMenu* ledger = menuBar()->addMenu(QStringLiteral("&Ledger"));
    ledger->setObjectName(QStringLiteral("ledger"));
    print_ = ledger->addAction(QStringLiteral("&Print"));
    print_->setObjectName(QStringLiteral("Ledgerprint"));
    print_->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));
    QAction* close = ledger->addAction(QStringLiteral("&Close"));
    close->setObjectName(QStringLiteral("ledgerclose"));
    connect(close, &QAction::triggered, this, &QWidget::close);
}

void LedgerWindow::open()
{
    if (!isVisible())
        placeWindow(*this, twips_, state_.settings.placement(PlacementRow::Ledger));
    applyFont();
    buildLedger();
    show();
    layOutGrid();
    raise();
    activateWindow();
    grid1_->setFocus();
}

void LedgerWindow::buildLedger()
{
    rows_->setRows(buildLedgerRows(state_.store));
}

void LedgerWindow::layOutGrid()
{
    // The panel and grid follow the window at fixed margins; the columns
    // share the grid's width once there is room for them.
    const int width = twips_.toTwipsX(panel_->width());
    const int height = twips_.toTwipsY(panel_->height());
    const int gridWidth = std::max(0, width - 100);
    grid1_->setGeometry(twips_.toPixelsX(50), twips_.toPixelsY(50), twips_.toPixelsX(gridWidth),
                        twips_.toPixelsY(std::max(0, height - 150)));
    // ...and never narrower than the caption in their first row, so a large
    // font does not cut it.
    int column = twips_.toPixelsX(ledgerColumnWidth(gridWidth));
    QFont bold = grid1_->font();
    bold.setBold(true);
    const int margin = grid1_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid1_) + 2;
    for (int c = 0; c < kLedgerColumns && grid1_->model()->rowCount() > 0; ++c)
        column = std::max(column, textRoom(QFontMetrics(bold), grid1_->model()->index(0, c).data().toString(),
                                           QMargins(margin, 0, margin, 0)).width());
    for (int c = 0; c < kLedgerColumns; ++c)
        grid1_->setColumnWidth(c, column);
}

void LedgerWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // Without a window manager to hold it, the smallest size is put back here.
    if (width() < minimumWidth() || height() < minimumHeight()) {
        resize(std::max(width(), minimumWidth()), std::max(height(), minimumHeight()));
        return;
    }
    layOutGrid();
}

void LedgerWindow::closeEvent(QCloseEvent* event)
{
    state_.settings.placement(PlacementRow::Ledger) = placementOf(*this, twips_);
    QMainWindow::closeEvent(event);
}

void LedgerWindow::applyFont()
{
    grid1_->setFont(toQFont(state_.settings.font));
    QPalette p = grid1_->palette();
    const QColor colour = toQColor(state_.settings.font.colour, palette());
    p.setColor(QPalette::Text, colour);
    p.setColor(QPalette::WindowText, colour);
    grid1_->setPalette(p);
    grid1_->verticalHeader()->setDefaultSectionSize(grid1_->fontMetrics().height() + 4);
}

} // namespace zp
