#pragma once
#include <QFrame>
#include <array>
#include <functional>

class QLabel;
class QTimer;

namespace zp {

class Clock;

// The main window's status bar: 1 time, 2 date (kept current by the bar
// itself), 3 weekday name, 4 plan name.
class MainStatusBar : public QFrame {
    Q_OBJECT
public:
    MainStatusBar(const Clock& clock, std::function<QString(const QDateTime&)> dateText, QWidget* parent = nullptr);

    QString panelText(int panel) const;     // 1 ... 4
    void setPanelText(int panel, const QString& text);
    QLabel* panel(int panel) const;
    void refreshClock();
    // While Find narrows the records list, a panel of its own after the
    // four says how many records it shows ("N of M records"); an empty
    // text takes the panel away.
    void setFindCount(const QString& text);
    QString findCount() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void keepRoomFor(int panel);
    const Clock& clock_;
    std::function<QString(const QDateTime&)> dateText_;
    std::array<QLabel*, 4> panels_{};
    QLabel* findCount_ = nullptr;
    QTimer* tick_ = nullptr;
};

} // namespace zp
