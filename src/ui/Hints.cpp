#include "ui/Hints.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>

namespace zp {

HintRouter::HintRouter(QLabel* panel, QObject* parent) : QObject(parent), panel_(panel) {}

void HintRouter::attach(QWidget* widget, const QString& hint)
{
    attach(widget, [hint](int, int) { return hint; });
}

void HintRouter::attach(QWidget* widget, std::function<QString(int, int)> hintAt)
{
    if (!widget)
        return;
    widget->setMouseTracking(true);
    widget->setAttribute(Qt::WA_NoMousePropagation);
    widget->installEventFilter(this);
    hints_[widget] = std::move(hintAt);
    connect(widget, &QObject::destroyed, this, [this](QObject* o) { hints_.erase(o); });
}

void HintRouter::show(const QString& text)
{
    if (panel_)
        panel_->setText(text);
}

QString HintRouter::text() const
{
    return panel_ ? panel_->text() : QString();
}

bool HintRouter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        auto it = hints_.find(watched);
        if (it != hints_.end()) {
            auto* widget = static_cast<QWidget*>(watched);
            const int x = static_cast<QMouseEvent*>(event)->position().toPoint().x();
            show(it->second(x, widget->width()));
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zp
