#include "ui/ImageButton.h"

#include "ui/Accessibility.h"
#include "ui/Artwork.h"

#include <QMouseEvent>

namespace zp {

ImageButton::ImageButton(const QString& name, const QPixmap& normal, const QPixmap& pressed, QWidget* parent)
    : QLabel(parent), normal_(normal), pressed_(pressed.isNull() ? pressedLook(normal) : pressed)
{
    setObjectName(name);
    setPixmap(normal_);
    setAlignment(Qt::AlignCenter);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    presentAsButton(*this);
}

void ImageButton::click()
{
    emit pressed();
    emit clicked();
}

void ImageButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QLabel::mousePressEvent(event);
    down_ = true;
    setPixmap(pressed_);
    emit pressed();
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !down_)
        return QLabel::mouseReleaseEvent(event);
    down_ = false;
    setPixmap(normal_);
    if (rect().contains(event->position().toPoint()))
        emit clicked();
}

} // namespace zp
