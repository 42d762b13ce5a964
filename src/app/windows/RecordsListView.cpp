#include "app/windows/RecordsListView.h"

#include "ui/TextFit.h"
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
            const QColor marker(255, 236, 140);
            option->backgroundBrush = marker;
            // The marker is light in every theme: so is not the theme's text.
            option->palette.setColor(QPalette::Text, readableOn(marker, option->palette.color(QPalette::Text)));
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
