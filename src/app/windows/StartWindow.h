#pragma once
#include <QFrame>
#include <functional>

class QLabel;
class QTimer;

namespace zp {

class ScreenMetrics;
struct Platform;

// The start window: the program's name and a picture in a borderless box,
// centred on the screen, shown for two one-second ticks before the main
// window comes up. It is made afresh each time it is shown; the owner
// decides its lifetime (it does not delete itself on closing).
class StartWindow : public QFrame {
    Q_OBJECT
public:
    static constexpr int kWidthTwips = 5000;
    static constexpr int kHeightTwips = 3600;

    // `showMainWindow` runs once, after the window has closed on its second tick.
    StartWindow(const ScreenMetrics& screen, std::function<void()> showMainWindow, QWidget* parent = nullptr);
    StartWindow(const Platform& platform, std::function<void()> showMainWindow, QWidget* parent = nullptr);

    // One tick of Timer1; public so tests need not wait for the clock.
    void tick();

    int tickFlag() const { return tickFlag_; }
    QTimer* timer1() const { return timer1_; }

private:
    std::function<void()> showMainWindow_;
    QTimer* timer1_ = nullptr;
    int tickFlag_ = 0;
};

} // namespace zp
