#pragma once
#include <QWidget>

class QPlainTextEdit;

namespace zp {

// "Record Details": the labelled text of the record pressed in the
// reminders list.
class RecordDetailsWindow : public QWidget {
    Q_OBJECT
public:
    explicit RecordDetailsWindow(QWidget* parent = nullptr);
    void showText(const QString& text);
    QString text() const;

private:
    QPlainTextEdit* text1_ = nullptr;
};

} // namespace zp
