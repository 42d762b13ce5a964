#pragma once
#include <QWidget>
#include <functional>

class QPushButton;

namespace zp {

class ScreenMetrics;
struct Platform;

// The About window: name, version and a picture, centred on the screen each
// time it is created. Its placement is handed to the owner when it closes
// (the settings keep it) but never applied on opening. Modeless and reused:
// closing hides it.
class AboutWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidthTwips = 6000;
    static constexpr int kHeightTwips = 3600;

    // Placement in twips, in the order the settings keep it.
    using StoreGeometry = std::function<void(double top, double left, double width, double height)>;

    AboutWindow(const ScreenMetrics& screen, StoreGeometry storeGeometry, std::function<void()> showMainWindow,
          QWidget* parent = nullptr);
    AboutWindow(const Platform& platform, StoreGeometry storeGeometry, std::function<void()> showMainWindow,
          QWidget* parent = nullptr);

    QPushButton* command1() const { return command1_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void okClicked();
    void storeGeometry();

    const ScreenMetrics& screen_;
    StoreGeometry storeGeometry_;
    std::function<void()> showMainWindow_;
    QPushButton* command1_ = nullptr;
    bool closingByOk_ = false;
};

} // namespace zp
