#include "app/windows/RecordsListView.h"

#include "ui/TextFit.h"
#include "views/RecordsListModel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextLayout>

#include <algorithm>

namespace zp {

namespace {

// Where Find marks its text: a colour of its own, apart from the keyword's
// and the selection's, and underlined, so it tells without colour too.
const QColor kFindMark(255, 160, 60);

class HighlightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const auto* model = qobject_cast<const RecordsListModel*>(index.model());
        const std::vector<RecordSearch::Mark> marks = model ? model->findMarks(index.row()) : std::vector<RecordSearch::Mark>();
        if (marks.empty()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
        const QString text = opt.text;
        // The row as the style draws it (background, keyword, selection,
        // focus), without its text, which is drawn here with the marks.
        opt.text.clear();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        drawMarkedText(painter, opt, text, textRect, marks, style);
    }

private:
    static void drawMarkedText(QPainter* painter, const QStyleOptionViewItem& opt, const QString& text, QRect rect,
                               const std::vector<RecordSearch::Mark>& marks, QStyle* style)
    {
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, opt.widget) + 1;
        rect.adjust(margin, 0, -margin, 0);
        const QString shown = QFontMetrics(opt.font).elidedText(text, opt.textElideMode, rect.width());
        // Marks end where an ellipsis stands for the rest.
        const qsizetype visible = shown == text ? text.size() : std::max<qsizetype>(shown.size() - 1, 0);
        const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                           : (opt.state & QStyle::State_Active) ? QPalette::Normal
                                                                                : QPalette::Inactive;
        const QColor ink = opt.palette.color(group, (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText
                                                                                         : QPalette::Text);
        QTextCharFormat marked;
        marked.setBackground(kFindMark);
        marked.setForeground(readableOn(kFindMark, ink));
        marked.setFontUnderline(true);
        QList<QTextLayout::FormatRange> ranges;
        for (const RecordSearch::Mark& m : marks)
            if (m.start < visible)
                ranges.append({int(m.start), int(std::min(m.length, visible - m.start)), marked});

        QTextLayout layout(shown, opt.font);
        QTextOption noWrap;
        noWrap.setWrapMode(QTextOption::NoWrap);
        layout.setTextOption(noWrap);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLineWidth(rect.width());
        layout.endLayout();
        painter->save();
        painter->setPen(ink);
        layout.draw(painter, QPointF(rect.left(), rect.top() + (rect.height() - line.height()) / 2), ranges, rect);
        painter->restore();
    }

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
