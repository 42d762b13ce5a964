#pragma once
#include "state/ProgramState.h"
#include "ui/Platform.h"
#include "ui/WindowGeometry.h"

#include <QMainWindow>

class QTableWidget;

namespace zp {

// "Zorvik Phone Book": names and phone numbers of the plan, sorted by name.
class PhoneBookWindow : public QMainWindow {
    Q_OBJECT
public:
    // Takes the display font of the settings.
    void applyFont();
    PhoneBookWindow(ProgramState& state, const Platform& platform, QWidget* parent = nullptr);

    // Builds the book from the plan and shows the window where it was.
    void open();
    QTableWidget* grid() const { return grid1_; }
    // "&Print" under "&Options"; printing is wired by whoever owns the printer.
    QAction* printAction() const { return print_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildPhoneBook();

    ProgramState& state_;
    Platform platform_;
    Twips twips_;
    SavedPlace place_{*this, twips_, state_.settings.placement(PlacementRow::PhoneBook)};
    QTableWidget* grid1_ = nullptr;
    QAction* print_ = nullptr;
};

} // namespace zp
