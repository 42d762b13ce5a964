#pragma once
#include <QLabel>
#include <QPixmap>

namespace zp {

// A toolbar button drawn as a picture: pressing shows its pressed picture,
// releasing brings the normal one back, a release over the button clicks.
class ImageButton : public QLabel {
    Q_OBJECT
public:
    ImageButton(const QString& name, const QPixmap& normal, const QPixmap& pressed, QWidget* parent = nullptr);

    const QPixmap& normalPicture() const { return normal_; }
    const QPixmap& pressedPicture() const { return pressed_; }
    bool isDown() const { return down_; }
    // A click without the mouse (a screen reader's press): pressed, then clicked.
    Q_INVOKABLE void click();

signals:
    void pressed();
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap normal_;
    QPixmap pressed_;
    bool down_ = false;
};

} // namespace zp
