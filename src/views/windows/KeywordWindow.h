#pragma once
#include "state/ProgramState.h"
#include "ui/Platform.h"
#include "ui/WindowGeometry.h"

#include <QWidget>
#include <functional>

class QLineEdit;
class QPushButton;

namespace zp {

// "Key Word Highlite": the records list marks every line holding the word.
class KeywordWindow : public QWidget {
    Q_OBJECT
public:
    // Takes the display font of the settings.
    void applyFont();
    // `rebuildList` refreshes the records list after the keyword changed.
    KeywordWindow(ProgramState& state, const Platform& platform, std::function<void()> rebuildList, QWidget* parent = nullptr);

    // Opening clears the keyword, so the next rebuild shows no highlight.
    void open();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void confirm(bool rememberPlace);

    ProgramState& state_;
    Platform platform_;
    Twips twips_;
    SavedPlace place_{*this, twips_, state_.settings.placement(PlacementRow::Keyword)};
    std::function<void()> rebuildList_;
    QLineEdit* text1_ = nullptr;
    QPushButton* command1_ = nullptr;
};

} // namespace zp
