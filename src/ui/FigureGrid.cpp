#include "ui/FigureGrid.h"

#include <QAction>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QStyle>
#include <QTableView>
#include <QToolTip>

#include <algorithm>
#include <array>
#include <set>

namespace zp {

namespace {

// Rows reset with the model come back visible; the headings are hidden again.
void hideHeadingRows(QTableView& grid, int headingRows)
{
    const int rows = grid.model() ? grid.model()->rowCount() : 0;
    for (int r = 0; r < std::min(headingRows, rows); ++r)
        grid.setRowHidden(r, true);
}

// Catches Ctrl+C as the grid gets it.
class CopyKeyFilter : public QObject {
public:
    CopyKeyFilter(QObject* parent, std::function<void()> copy) : QObject(parent), copy_(std::move(copy)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if ((event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) &&
            static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
            if (event->type() == QEvent::KeyPress)
                copy_();
            event->accept();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> copy_;
};

} // namespace

void showHeadingRowsInHeader(QTableView& grid, int headingRows)
{
    QHeaderView* header = grid.horizontalHeader();
    header->show();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setHighlightSections(false);
    hideHeadingRows(grid, headingRows);
    QObject::connect(grid.model(), &QAbstractItemModel::modelReset, &grid,
                     [&grid, headingRows] { hideHeadingRows(grid, headingRows); });
}

std::vector<int> widestCellWidths(const QTableView& grid, const CellText& cell)
{
    const QAbstractItemModel* model = grid.model();
    if (!model)
        return {};
    const QFontMetrics metrics(grid.font());
    const QFontMetrics headerMetrics(grid.horizontalHeader()->font());
    // The view's own cell margins: the focus frame on both sides and a pixel.
    const int margin = 2 * (grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1) + 4;
    // Measuring every cell of a full ledger would take longer than building
    // it: each text is summed from its characters' advances instead, and
    // the widest of each column measured whole as well.
    std::array<int, 256> advance;
    advance.fill(-1);
    const auto estimate = [&](QStringView text) {
        int width = 0;
        for (QChar ch : text) {
            const char16_t u = ch.unicode();
            if (u < advance.size()) {
                if (advance[u] < 0)
                    advance[u] = metrics.horizontalAdvance(ch);
                width += advance[u];
            } else {
                width += metrics.horizontalAdvance(ch);
            }
        }
        return width;
    };
    const int rows = model->rowCount();
    const int columns = model->columnCount();
    std::vector<int> widths(static_cast<std::size_t>(columns), 0);
    for (int c = 0; c < columns; ++c) {
        const auto k = static_cast<std::size_t>(c);
        int widestRow = -1;
        for (int r = 0; r < rows; ++r) {
            const int w = estimate(cell(r, c));
            if (w > widths[k]) {
                widths[k] = w;
                widestRow = r;
            }
        }
        if (widestRow >= 0)
            widths[k] = std::max(widths[k], metrics.horizontalAdvance(cell(widestRow, c).toString()));
        const QStringList headings = model->headerData(c, Qt::Horizontal).toString().split(QLatin1Char('\n'));
        for (const QString& heading : headings)
            widths[k] = std::max(widths[k], headerMetrics.horizontalAdvance(heading));
        widths[k] += margin;
    }
    return widths;
}

bool FullTextTipDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                    const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString text = index.data().toString();
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QStyle* style = view ? view->style() : nullptr;
    const int margin = style ? 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1) : 4;
    if (text.trimmed().isEmpty() || item.fontMetrics.horizontalAdvance(text) + margin <= option.rect.width()) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    QToolTip::showText(event->globalPos(), text, view, option.rect);
    return true;
}

QAction* addCopyRowsAction(QTableView& grid, const QString& objectName, std::function<void()> copy)
{
    auto* action = new QAction(QStringLiteral("&Copy"), &grid);
    action->setObjectName(objectName);
    action->setShortcut(QKeySequence::Copy);
    // Shown on the context menu; the key itself is caught by the filter.
    action->setShortcutContext(Qt::WidgetShortcut);
    action->setShortcutVisibleInContextMenu(true);
    grid.setContextMenuPolicy(Qt::ActionsContextMenu);
    grid.addAction(action);
    grid.installEventFilter(new CopyKeyFilter(&grid, copy));
    QObject::connect(action, &QAction::triggered, &grid, std::move(copy));
    return action;
}

std::vector<int> selectedRows(const QTableView& grid)
{
    std::set<int> rows;
    if (grid.selectionModel()) {
        for (const QModelIndex& index : grid.selectionModel()->selectedIndexes())
            rows.insert(index.row());
    }
    if (rows.size() < 2)
        return {};
    return {rows.begin(), rows.end()};
}

} // namespace zp
