// The Edit page's entry grid: its look, its edit box and row buttons, the
// Enter key on a cell, taking attachments away and the column widths.

#include "app/windows/EditPage.h"

#include "ui/ScreenMetrics.h"
#include "ui/TextFit.h"
#include "views/EntryGridModel.h"

#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <algorithm>

namespace zp {

namespace {

// The grid columns of the picture and sound paths.
constexpr int kGridPictureColumn = 11;
constexpr int kGridSoundColumn = 12;

// The fixed cells of the entry grid (the switch row, the caption row and the
// record numbers) look like headings.
class EntryGridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!index.data(EntryGridModel::FixedCellRole).toBool())
            return;
        option->backgroundBrush = option->palette.button();
        option->palette.setColor(QPalette::Text, option->palette.color(QPalette::ButtonText));
        if (index.row() == 1)
            option->font.setBold(true);
    }
};

} // namespace

void EditPage::createEntryGrid(QTabWidget* tabs)
{
    gridModel_ = new EntryGridModel(kGridColumns, this);
    grid1_ = new QTableView(tabs);
    grid1_->setObjectName(QStringLiteral("Grid1"));
    grid1_->setModel(gridModel_);
    grid1_->setItemDelegate(new EntryGridDelegate(grid1_));
    grid1_->horizontalHeader()->hide();
    grid1_->verticalHeader()->hide();
    // Every row is one line high: a full plan must not be measured row by row.
    grid1_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid1_->verticalHeader()->setDefaultSectionSize(grid1_->fontMetrics().height() + 6);
    grid1_->setWordWrap(false);
    grid1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid1_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid1_->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid1_->installEventFilter(this);
    gridModel_->setRows(entryGridRows(state_.store).mid(0, EntryGridModel::kFixedRows));
}

void EditPage::connectGrid()
{
    auto button = [this](const char* name) { return static_cast<QPushButton*>(control(QString::fromLatin1(name))); };
    connect(button("Command4"), &QPushButton::clicked, this,
            [this] { applyEditOutcome(editor_->insertRow(gridCurrentRow(), platform_.clock.today())); });
    connect(button("Command5"), &QPushButton::clicked, this,
            [this] { applyEditOutcome(editor_->deleteRow(gridCurrentRow())); });
    connect(text4_, &QLineEdit::returnPressed, this, &EditPage::commitGridCell);
    connect(grid1_, &QTableView::doubleClicked, this, &EditPage::doubleClickGrid);
    // The edit box always shows the cell it would commit to.
    connect(grid1_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { showCurrentCellInText4(); });
}

// Cancelling a picture or sound dialog keeps what the record has; these
// are how an attachment is taken away: "No picture" on the picture of the
// entry panel (its context menu, or the menu key on the "Image" button), and
// "No picture" / "No sound" on a cell of the grid's picture or sound column.
void EditPage::createRemoveAttachmentActions()
{
    auto* noPicture = new QAction(QStringLiteral("No picture"), this);
    noPicture->setObjectName(QStringLiteral("NoPicture"));
    connect(noPicture, &QAction::triggered, this, [this] {
        attachedPicture_.reset();
        pictureJustAttached_ = false;
        applyEditOutcome(editor_->removePicture());
    });
    for (QWidget* w : {static_cast<QWidget*>(image1_), control(QStringLiteral("SSCommand2"))}) {
        w->setContextMenuPolicy(Qt::ActionsContextMenu);
        w->addAction(noPicture);
    }

    auto* gridNoPicture = new QAction(QStringLiteral("No picture"), this);
    gridNoPicture->setObjectName(QStringLiteral("GridNoPicture"));
    auto* gridNoSound = new QAction(QStringLiteral("No sound"), this);
    gridNoSound->setObjectName(QStringLiteral("GridNoSound"));
    for (QAction* action : {gridNoPicture, gridNoSound}) {
        connect(action, &QAction::triggered, this, [this] {
            const QModelIndex current = grid1_->currentIndex();
            if (current.isValid())
                applyEditOutcome(editor_->removeGridAttachment(current.row(), current.column()), current.row(),
                                 current.column());
        });
    }
    grid1_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid1_, &QWidget::customContextMenuRequested, this, [this, gridNoPicture, gridNoSound](const QPoint& at) {
        const QModelIndex index = grid1_->indexAt(at);
        if (index.isValid())
            grid1_->setCurrentIndex(index);
        const QModelIndex current = grid1_->currentIndex();
        const bool picture = current.isValid() && current.column() == kGridPictureColumn;
        const bool sound = current.isValid() && current.column() == kGridSoundColumn;
        if (!picture && !sound)
            return;
        QMenu menu(grid1_);
        menu.addAction(picture ? gridNoPicture : gridNoSound);
        menu.exec(grid1_->viewport()->mapToGlobal(at));
    });
}

int EditPage::gridCurrentRow() const
{
    const QModelIndex current = grid1_->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void EditPage::fillEntryGrid()
{
    RecordStore& store = state_.store;
    gridModel_->setRows(entryGridRows(store));
    const int row = entryGridCurrentRow(store);
    if (row >= 0) {
        const QModelIndex current = grid1_->currentIndex();
        const int column = current.isValid() && current.column() >= 1 ? current.column() : 1;
        const QModelIndex at = gridModel_->index(row, column);
        grid1_->setCurrentIndex(at);
        grid1_->scrollTo(at);
    }
    showCurrentCellInText4();
}

void EditPage::showCurrentCellInText4()
{
    const QModelIndex current = grid1_->currentIndex();
    text4_->setText(current.isValid() ? gridModel_->text(current.row(), current.column()) : QString());
}

void EditPage::commitGridCell()
{
    const QModelIndex current = grid1_->currentIndex();
    if (!current.isValid())
        return;
    applyEditOutcome(editor_->commitGridCell(current.row(), current.column(), text4_->text()), current.row(),
                     current.column());
}

void EditPage::doubleClickGrid(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    applyEditOutcome(editor_->doubleClickGrid(index.row(), index.column(), platform_.fileDialogs), index.row(),
                     index.column());
}

void EditPage::setGridColumnWidths(const std::vector<int>& twipsWidths, const Twips& layoutTwips)
{
    // A column is never narrower than its caption in the grid's top rows
    // (bold in the second), so a larger font does not cut them.
    QFont bold = grid1_->font();
    bold.setBold(true);
    const QFontMetrics captionFont(bold);
    const int margin = grid1_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid1_) + 2;
    for (std::size_t col = 0; col < twipsWidths.size(); ++col) {
        int width = layoutTwips.toPixelsX(twipsWidths[col]);
        for (int row = 0; row < EntryGridModel::kFixedRows && row < gridModel_->rowCount(); ++row)
            width = std::max(width, textRoom(captionFont, gridModel_->index(row, static_cast<int>(col)).data().toString(),
                                             QMargins(margin, 0, margin, 0)).width());
        grid1_->setColumnWidth(static_cast<int>(col), width);
    }
}

bool EditPage::eventFilter(QObject* watched, QEvent* event)
{
    // Enter on a cell of the entry grid does what a double-click does.
    if (watched == grid1_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier) {
            doubleClickGrid(grid1_->currentIndex());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zp
