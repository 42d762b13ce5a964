#pragma once
#include "state/ProgramState.h"
#include "ui/Platform.h"
#include "ui/WindowGeometry.h"
#include "views/Reminders.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class QFrame;
class QListWidget;
class QPushButton;

namespace zp {

class RecordDetailsWindow;

// The coming-week reminders window; the first window the planner creates.
class RemindersWindow : public QWidget {
    Q_OBJECT
public:
    // Takes the display font of the settings.
    void applyFont();
    RemindersWindow(ProgramState& state, const Platform& platform, QWidget* parent = nullptr);
    ~RemindersWindow() override;

    // Fills the list with the records due in the next seven days.
    void buildReminderList();
    // Puts the window where it was left last time (it is shown at the start).
    void restorePlace() { place_.restore(); }
    // A press on line `line` of the list shows that record's details.
    void pressLine(int line);
    const ReminderList& reminders() const { return reminders_; }
    RecordDetailsWindow* detailsWindow() const;

    // "Run Planner" goes on to the main program, "Exit" ends it.
    void setRunPlanner(std::function<void()> run) { runPlanner_ = std::move(run); }
    void setExit(std::function<void()> exit) { exit_ = std::move(exit); }
    void setPlaySound(std::function<void(const QString&)> play) { playSound_ = std::move(play); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void closeDetails();

    ProgramState& state_;
    Platform platform_;
    Twips twips_;
    SavedPlace place_{*this, twips_, state_.settings.placement(PlacementRow::Reminders)};
    ReminderList reminders_;
    QFrame* panel3D1_ = nullptr;
    QListWidget* list1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPointer<RecordDetailsWindow> recordDetailsWindow_;
    std::function<void()> runPlanner_;
    std::function<void()> exit_;
    std::function<void(const QString&)> playSound_;
};

} // namespace zp
