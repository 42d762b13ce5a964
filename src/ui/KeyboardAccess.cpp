#include "ui/KeyboardAccess.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QContextMenuEvent>
#include <QShortcut>
#include <QWidget>

namespace zp {

void closeOnEscape(QWidget& window, std::function<void()> close)
{
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    shortcut->setObjectName(QStringLiteral("closeOnEscape"));
    shortcut->setContext(Qt::WindowShortcut);
    QWidget* target = &window;
    QObject::connect(shortcut, &QShortcut::activated, &window, [target, close = std::move(close)] {
        if (close)
            close();
        else
            target->close();
    });
}

void addContextMenuKey(QWidget& window)
{
    auto* shortcut = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), &window);
    shortcut->setObjectName(QStringLiteral("contextMenuKey"));
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, &window, [&window] {
        QWidget* focus = window.focusWidget();
        if (!focus || !focus->isEnabled())
            return;
        // Where the menu key puts it: an item view reports its current item's
        // rectangle, a text box its cursor.
        QRect at = focus->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        if (auto* view = qobject_cast<QAbstractItemView*>(focus); view && view->currentIndex().isValid())
            at = view->visualRect(view->currentIndex());
        const QPoint pos = at.isValid() ? at.center() : focus->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, pos, focus->mapToGlobal(pos));
        QApplication::sendEvent(focus, &event);
    });
}

} // namespace zp
