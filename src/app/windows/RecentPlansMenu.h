#pragma once
#include <QMenu>
#include <functional>

namespace zp {

class Clock;
class MessageBoxService;
struct ProgramState;

// File > Recent plans: the plans last opened or saved, "&1 name" ... with
// the full path as tip. A plan that is gone shows greyed but can still be
// chosen: choosing it says so and takes it off the list, which is the only
// way a user can clear it.
class RecentPlansMenu : public QMenu {
    Q_OBJECT
public:
    // Goes into `fileMenu` before `before`; `open` opens a plan as File >
    // Open would.
    RecentPlansMenu(ProgramState& state, MessageBoxService& messages, Clock& clock,
                    std::function<void(const QString&)> open, QMenu& fileMenu, QAction* before);

    // A plan was opened or saved: first in this list and in the desktop's.
    void noteUsed(const QString& path);
    // The entries as the list and the disk are now.
    void rebuild();

    // Public, so that the greyed look of a missing plan can be checked.
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override;

private:
    void choose(const QString& path);

    ProgramState& state_;
    MessageBoxService& messages_;
    Clock& clock_;
    std::function<void(const QString&)> open_;
};

} // namespace zp
