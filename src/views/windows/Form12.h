#pragma once
#include <QWidget>
#include <functional>

class QListWidget;
class QPushButton;

namespace zp {

// The coming-week reminders window; the first window the planner creates.
class Form12 : public QWidget {
    Q_OBJECT
public:
    explicit Form12(QWidget* parent = nullptr);

    QListWidget* list() const { return list1_; }
    // "Run Planner" goes on to the main program, "Exit" ends it.
    void setRunPlanner(std::function<void()> run) { runPlanner_ = std::move(run); }
    void setExit(std::function<void()> exit) { exit_ = std::move(exit); }

private:
    QListWidget* list1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QPushButton* command1_ = nullptr;
    std::function<void()> runPlanner_;
    std::function<void()> exit_;
};

} // namespace zp
