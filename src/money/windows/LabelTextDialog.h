#pragma once
#include <QDialog>
#include <functional>

class QLineEdit;
class QPushButton;

namespace zp {

// "Enter Text": one line for a chart label. Enter in the text box or OK
// hands the text to `store` and closes the dialog; Escape leaves the label
// as it was.
class LabelTextDialog : public QDialog {
    Q_OBJECT
public:
    explicit LabelTextDialog(QWidget* parent = nullptr);

    // Shows the dialog holding `current`; `store` receives the new text.
    void edit(const QString& current, std::function<void(const QString&)> store);
    QLineEdit* textBox() const { return text1_; }

private:
    void confirm();

    QLineEdit* text1_ = nullptr;
    QPushButton* ok_ = nullptr;
    std::function<void(const QString&)> store_;
};

} // namespace zp
