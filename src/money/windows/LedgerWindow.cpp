#include "money/windows/LedgerWindow.h"

#include "money/Ledger.h"
#include "ui/FigureGrid.h"
#include "ui/QtPlatform.h"
#include "ui/KeyboardAccess.h"
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
        if (!index.isValid())
            return {};
        if (role == Qt::TextAlignmentRole && isLedgerAmountColumn(index.column()))
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        if (role != Qt::DisplayRole)
            return {};
        return rows_[static_cast<std::size_t>(index.row())].value(index.column());
    }
    // The heading rows, one line each, for the grid's header.
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal)
            return {};
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue((isLedgerAmountColumn(section) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        if (role != Qt::DisplayRole)
            return {};
        QStringList lines;
        for (std::size_t r = 0; r < std::min<std::size_t>(kLedgerHeadingRows, rows_.size()); ++r)
            lines << rows_[r].value(section);
        return lines.join(QLatin1Char('\n'));
    }
    const std::vector<QStringList>& rows() const { return rows_; }

private:
    std::vector<QStringList> rows_;
};

LedgerWindow::LedgerWindow(ProgramState& state, const Platform& platform, QWidget* parent)
    : QMainWindow(parent), state_(state), platform_(platform), twips_(platform.screen)
{
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(kLedgerCaption);
    closeOnEscape(*this);
    panel_ = new QFrame(this);
    panel_->setObjectName(QStringLiteral("Panel3D1"));
    panel_->setFrameShape(QFrame::StyledPanel);
    setCentralWidget(panel_);
    grid1_ = new QTableView(panel_);
    grid1_->setObjectName(QStringLiteral("Grid1"));
    grid1_->setAccessibleName(QStringLiteral("Ledger"));
    rows_ = new RowsModel(this);
    grid1_->setModel(rows_);
    // Every row is one line of the same font: no row is measured.
    grid1_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid1_->verticalHeader()->hide();
    grid1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid1_->setWordWrap(false);
    grid1_->setItemDelegate(new FullTextTipDelegate(grid1_));
    showHeadingRowsInHeader(*grid1_, kLedgerHeadingRows);
    addCopyRowsAction(*grid1_, QStringLiteral("copyLedger"), [this] { copyRows(); });
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
        place_.restore();
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
    const std::vector<QStringList>& rows = rows_->rows();
    widest_ = widestCellWidths(*grid1_, [&rows](int r, int c) {
        const QStringList& row = rows[static_cast<std::size_t>(r)];
        return c < row.size() ? QStringView(row.at(c)) : QStringView();
    });
}

void LedgerWindow::copyRows()
{
    const std::vector<QStringList>& rows = rows_->rows();
    const std::vector<int> chosen = selectedRows(*grid1_);
    if (chosen.empty()) {
        platform_.clipboard.setText(ledgerRowsText(rows));
        return;
    }
    std::vector<QStringList> some;
    for (int r : chosen)
        some.push_back(rows[static_cast<std::size_t>(r)]);
    platform_.clipboard.setText(ledgerRowsText(some));
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
    // The sharing rule gives the least width; a column whose widest figure
    // needs more gets it, and the grid scrolls sideways.
    const int column = twips_.toPixelsX(ledgerColumnWidth(gridWidth));
    for (int c = 0; c < kLedgerColumns; ++c)
        grid1_->setColumnWidth(c, std::max(column, c < static_cast<int>(widest_.size()) ? widest_[static_cast<std::size_t>(c)] : 0));
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
    place_.remember();
    QMainWindow::closeEvent(event);
}

void LedgerWindow::applyFont()
{
    showInDisplayFont(*grid1_, state_.settings.font, palette());
    grid1_->verticalHeader()->setDefaultSectionSize(grid1_->fontMetrics().height() + 4);
}

} // namespace zp
