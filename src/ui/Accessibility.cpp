#include "ui/Accessibility.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QMetaObject>

namespace zp {

namespace {

const char* const kButtonProperty = "zpAccessibleButton";

class AccessibleClickable : public QAccessibleWidget {
public:
    explicit AccessibleClickable(QWidget* w) : QAccessibleWidget(w, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override
    {
        QString s = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && s.isEmpty()) {
            if (auto* label = qobject_cast<QLabel*>(widget()))
                s = label->text();
            if (s.isEmpty())
                s = widget()->toolTip();
        }
        return s;
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString& name) override
    {
        if (name == pressAction() && widget()->isEnabled())
            QMetaObject::invokeMethod(widget(), "click");
    }
};

QAccessibleInterface* clickableFactory(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget && widget->property(kButtonProperty).toBool())
        return new AccessibleClickable(widget);
    return nullptr;
}

} // namespace

void presentAsButton(QWidget& widget)
{
    static const bool installed = [] {
        QAccessible::installFactory(clickableFactory);
        return true;
    }();
    (void)installed;
    widget.setProperty(kButtonProperty, true);
}

} // namespace zp
