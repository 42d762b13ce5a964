#pragma once
#include "accessories/TextSearch.h"
#include "state/ProgramState.h"
#include "ui/Platform.h"
#include "ui/WindowGeometry.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zp {

// "Find": the notepad's search dialog. Not modal; Find searches the
// active document and the dialog stays open, Cancel puts it away.
class FindDialog : public QDialog {
    Q_OBJECT
public:
    FindDialog(ProgramState& state, const Platform& platform, FindSettings& settings, QWidget* parent = nullptr);

    // Shows the dialog in the middle of the screen with `text` to find,
    // searching down.
    void start(const QString& text);
    QLineEdit* textBox() const { return text1_; }

signals:
    void findRequested();

public slots:
    void reject() override;

private:
    Platform platform_;
    FindSettings& settings_;
    SavedPlace place_;
    QLineEdit* text1_ = nullptr;
    QCheckBox* check1_ = nullptr;
    QRadioButton* up_ = nullptr;
    QRadioButton* down_ = nullptr;
    QPushButton* find_ = nullptr;
};

} // namespace zp
