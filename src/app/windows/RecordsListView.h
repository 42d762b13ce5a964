#pragma once
#include <QListView>
#include <functional>

namespace zp {

// The main window's records list: one current line, shown as the selection
// and moved by clicks or by the keyboard. Lines holding the keyword are drawn
// on their own background in bold, apart from the selection, so choosing a
// line never switches a highlight on or off.
class RecordsListView : public QListView {
public:
    explicit RecordsListView(QWidget* parent = nullptr);

    // Called with the new line when the arrows, Page Up/Down, Home or End
    // move the current line; a click is reported by clicked().
    void setLineChosenByKey(std::function<void(int)> chosen) { chosenByKey_ = std::move(chosen); }
    // Makes `line` current and visible without reporting it; -1 or a line
    // outside the list leaves no line current.
    void showCurrentLine(int line);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<void(int)> chosenByKey_;
};

} // namespace zp
