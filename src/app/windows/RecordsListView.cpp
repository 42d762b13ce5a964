#include "app/windows/RecordsListView.h"

#include "views/RecordsListModel.h"

#include <QKeyEvent>
#include <QStyledItemDelegate>

namespace zp {

namespace {

class HighlightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(RecordsListModel::HighlightRole).toBool()) {
            option->backgroundBrush = QColor(255, 236, 140);
            option->font.setBold(true);
        }
    }
};

} // namespace

RecordsListView::RecordsListView(QWidget* parent) : QListView(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setItemDelegate(new HighlightDelegate(this));
}

void RecordsListView::showCurrentLine(int line)
{
    QItemSelectionModel* selection = selectionModel();
    if (!selection || !model())
        return;
    const QModelIndex index = model()->index(line, 0);
    if (!index.isValid()) {
        selection->clear();
        return;
    }
    selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

void RecordsListView::keyPressEvent(QKeyEvent* event)
{
    const int before = currentIndex().row();
    QListView::keyPressEvent(event);
    const int after = currentIndex().row();
    if (after != before && after >= 0 && chosenByKey_)
        chosenByKey_(after);
}

} // namespace zp
