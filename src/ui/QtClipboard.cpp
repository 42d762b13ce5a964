#include "ui/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace zp {

namespace {

QClipboard* systemClipboard()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}

} // namespace

void QtClipboard::setText(const QString& text)
{
    QClipboard* clipboard = systemClipboard();
    if (!clipboard)
        return;
    // Whatever else was on the clipboard (a picture, rich text) goes too.
    clipboard->clear();
    clipboard->setText(text);
}

QString QtClipboard::text() const
{
    const QClipboard* clipboard = systemClipboard();
    return clipboard ? clipboard->text() : QString();
}

} // namespace zp
