#pragma once
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QLabel;
class QWidget;

namespace zp {

// Writes a one-line help text into the main window's hint panel while the
// mouse moves over a control. Controls of any window can register. A move
// over a control with a hint ends there: it never travels on to a parent,
// whose own hint would replace the control's.
class HintRouter : public QObject {
    Q_OBJECT
public:
    explicit HintRouter(QLabel* panel, QObject* parent = nullptr);

    // A fixed hint for a control.
    void attach(QWidget* widget, const QString& hint);
    // A hint that depends on where the mouse is (x in the widget's pixels).
    void attach(QWidget* widget, std::function<QString(int x, int width)> hintAt);

    void show(const QString& text);
    QString text() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QLabel> panel_;
    std::map<QObject*, std::function<QString(int, int)>> hints_;
};

} // namespace zp
