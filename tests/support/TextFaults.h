#pragma once
// Walks a window's visible widgets and finds the texts a user cannot read
// whole: a caption larger than the room its widget gives it (with the
// style's margins), a text running into a neighbouring control or out of
// its parent, a text that hardly stands out from what it is drawn on.
#include "ui/TextFit.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QHash>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextDocument>
#include <QWidget>
#include <cmath>
#include <optional>
#include <vector>

namespace zp {

struct TextFault {
    QString objectName;
    QString text;
    QString problem;
};

namespace detail {

// The least contrast between the drawn text's strongest pixel and the
// background around it (three is the least for large text and controls).
constexpr double kLeastRenderedContrast = 3.0;

inline double renderedContrast(const QImage& image, const QRect& area)
{
    const QRect r = area & image.rect();
    QHash<QRgb, int> counts;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            ++counts[image.pixel(x, y)];
    QRgb background = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most)
            most = it.value(), background = it.key();
    double best = 1.0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = std::max(best, contrastRatio(QColor(it.key()), QColor(background)));
    return best;
}

struct Placed {
    const QWidget* widget;
    QString text;
    QRect textRect;   // window coordinates
    QRect widgetRect; // window coordinates
};

inline QRect inWindow(const QWidget& window, const QWidget* w, const QRect& r)
{
    return r.translated(w->mapTo(&window, QPoint(0, 0)));
}

// What the parents leave visible of a widget, in window coordinates.
inline QRect shownPart(const QWidget& window, const QWidget* w)
{
    QRect r = inWindow(window, w, w->rect());
    for (const QWidget* p = w->parentWidget(); p && p != &window; p = p->parentWidget())
        r &= inWindow(window, p, p->rect());
    return r & window.rect();
}

// Where a widget's text goes and how much room it needs there, in widget
// coordinates; nothing when the widget shows no text of its own.
inline std::optional<std::pair<QRect, QSize>> textPlace(const QWidget* w, QString* text)
{
    const QFontMetrics fm = w->fontMetrics();
    if (auto* label = qobject_cast<const QLabel*>(w)) {
        *text = label->text();
        if (text->isEmpty() || !label->pixmap().isNull())
            return std::nullopt;
        const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(), -label->margin());
        QSize need;
        if (Qt::mightBeRichText(*text) && label->textFormat() != Qt::PlainText) {
            QTextDocument doc;
            doc.setDefaultFont(label->font());
            doc.setDocumentMargin(0);
            doc.setHtml(*text);
            if (label->wordWrap())
                doc.setTextWidth(room.width());
            need = QSize(int(std::ceil(label->wordWrap() ? std::min<qreal>(doc.idealWidth(), room.width()) : doc.idealWidth())),
                         int(std::ceil(doc.size().height())));
        } else if (label->wordWrap()) {
            need = fm.boundingRect(QRect(0, 0, room.width(), 100000), int(label->alignment()) | Qt::TextWordWrap, *text).size();
        } else {
            need = fm.size(Qt::TextShowMnemonic, *text);
        }
        return std::pair{room, need};
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) {
        *text = button->text();
        if (text->isEmpty())
            return std::nullopt;
        QStyleOptionButton opt;
        opt.initFrom(button);
        opt.text = *text;
        opt.icon = button->icon();
        opt.iconSize = button->iconSize();
        QStyle::SubElement element = QStyle::SE_PushButtonContents;
        if (qobject_cast<const QCheckBox*>(w))
            element = QStyle::SE_CheckBoxContents;
        else if (qobject_cast<const QRadioButton*>(w))
            element = QStyle::SE_RadioButtonContents;
        const QRect room = button->style()->subElementRect(element, &opt, button);
        QSize need = fm.size(Qt::TextShowMnemonic, *text);
        if (!opt.icon.isNull())
            need.rwidth() += opt.iconSize.width() + 4;
        return std::pair{room, need};
    }
    if (auto* field = qobject_cast<const QLineEdit*>(w)) {
        // A combo box or spin box sizes its own field.
        if (qobject_cast<const QComboBox*>(w->parentWidget()) || qobject_cast<const QAbstractSpinBox*>(w->parentWidget()))
            return std::nullopt;
        *text = field->text();
        // One line of the field's font with the style's frame and margins.
        return std::pair{field->rect(), QSize(1, field->minimumSizeHint().height())};
    }
    return std::nullopt;
}

} // namespace detail

inline std::vector<TextFault> findTextFaults(const QWidget& window)
{
    using namespace detail;
    std::vector<TextFault> faults;
    const QImage picture = const_cast<QWidget&>(window).grab().toImage();
    const qreal ratio = picture.devicePixelRatio();
    auto at = [&](QRect r) { return QRect((r.topLeft() * ratio), (r.size() * ratio)); };
    std::vector<Placed> placed;
    QList<const QWidget*> widgets{&window};
    for (const QWidget* w : window.findChildren<const QWidget*>())
        widgets << w;
    for (const QWidget* w : widgets) {
        if (!w->isVisibleTo(&window) && w != &window)
            continue;
        auto fault = [&](const QString& text, const QString& problem) { faults.push_back({w->objectName(), text, problem}); };
        QString text;
        if (const auto place = textPlace(w, &text)) {
            const auto [room, need] = *place;
            if (need.width() > room.width() + 1 || need.height() > room.height() + 1)
                fault(text, QStringLiteral("needs %1x%2 but has %3x%4")
                                .arg(need.width()).arg(need.height()).arg(room.width()).arg(room.height()));
            QRect textRect = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, need.boundedTo(room.size()), room);
            if (qobject_cast<const QLineEdit*>(w))
                textRect = room;
            if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w))
                textRect = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignLeft | Qt::AlignVCenter, need.boundedTo(room.size()), room);
            if (auto* label = qobject_cast<const QLabel*>(w))
                textRect = QStyle::alignedRect(Qt::LeftToRight, label->alignment(), need.boundedTo(room.size()), room);
            const QRect shown = shownPart(window, w);
            const QRect wanted = inWindow(window, w, textRect);
            if (!shown.contains(wanted) && !qobject_cast<const QLineEdit*>(w))
                fault(text, QStringLiteral("is cut by its parent"));
            if (!text.isEmpty() && w->isEnabled() && shown.intersects(wanted)) {
                const double c = renderedContrast(picture, at(wanted & shown));
                if (c < kLeastRenderedContrast)
                    fault(text, QStringLiteral("stands out from its background by %1 only").arg(c, 0, 'f', 2));
            }
            placed.push_back({w, text, wanted, inWindow(window, w, w->rect())});
        }
        if (auto* header = qobject_cast<const QHeaderView*>(w); header && header->model()) {
            const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
            for (int s = 0; s < header->count(); ++s) {
                const QString caption = header->model()->headerData(s, header->orientation()).toString();
                if (header->isSectionHidden(s) || caption.isEmpty())
                    continue;
                const QSize need = header->fontMetrics().size(0, caption) + QSize(2 * margin, 0);
                const int room = header->sectionSize(s);
                if ((header->orientation() == Qt::Horizontal ? need.width() : need.height()) > room)
                    fault(caption, QStringLiteral("header section %1 is cut").arg(s));
            }
        }
        if (auto* view = qobject_cast<const QAbstractItemView*>(w); view && view->model() && view->model()->rowCount() > 0) {
            const QModelIndex first = view->model()->index(0, 0);
            const QRect cell = view->visualRect(first);
            if (cell.isValid() && cell.height() < view->fontMetrics().height())
                fault(first.data().toString(), QStringLiteral("rows are lower than a line of their font"));
            for (int row = 0; row < std::min(view->model()->rowCount(), 12); ++row) {
                const QModelIndex index = view->model()->index(row, 0);
                const QRect r = view->visualRect(index);
                if (index.data().toString().trimmed().isEmpty() || !r.isValid())
                    continue;
                const QRect shown = inWindow(window, view->viewport(), r) & shownPart(window, view->viewport());
                if (!shown.isEmpty() && renderedContrast(picture, at(shown)) < kLeastRenderedContrast)
                    fault(index.data().toString(), QStringLiteral("row %1 hardly stands out").arg(row));
            }
        }
    }
    // A text running into a control beside it.
    for (const Placed& a : placed)
        for (const Placed& b : placed)
            if (a.widget != b.widget && a.widget->parentWidget() == b.widget->parentWidget() &&
                a.textRect.intersects(b.widgetRect) && !qobject_cast<const QLineEdit*>(a.widget))
                faults.push_back({a.widget->objectName(), a.text,
                                  QStringLiteral("runs into %1").arg(b.widget->objectName())});
    return faults;
}

} // namespace zp
