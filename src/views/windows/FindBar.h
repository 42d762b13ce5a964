#pragma once
#include <QFrame>

class QLabel;
class QLineEdit;
class QToolButton;

namespace zp {

// The find bar above the records list: the text to find, and the buttons
// for the previous and next record found and for closing the bar. Enter
// asks for the next record, Shift+Enter for the previous one, Escape closes
// the bar. What is found is the main window's business.
class FindBar : public QFrame {
    Q_OBJECT
public:
    explicit FindBar(QWidget* parent = nullptr);

    QString text() const;
    // Shows the bar with the keyboard in its text, all of it selected, so
    // typing replaces it and Enter finds it again.
    void start();
    // The text box turns a warning colour while nothing has the text.
    void setNothingFound(bool nothing);

signals:
    void textChanged(const QString& text);
    void nextWanted();
    void previousWanted();
    void closeWanted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* label_ = nullptr;
    QLineEdit* text_ = nullptr;
    QToolButton* previous_ = nullptr;
    QToolButton* next_ = nullptr;
    QToolButton* close_ = nullptr;
};

} // namespace zp
