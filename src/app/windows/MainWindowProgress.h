#pragma once
#include "app/windows/MainWindow.h"
#include "views/Printing.h"

namespace zp {

// Long work on the progress bar, with the date check off meanwhile: the
// re-sort (which also reports in the hint panel), plan reading and writing
// (which leave the hint alone) and printing (which blanks the hint and
// writes its own). The bar paints at most every 40 ms on the platform's
// steady clock; at one step per record painting would cost more than the
// work itself.
class MainWindow::Progress : public ProgressSink, public PrintFeedback {
public:
    enum class Hint { Untouched, BlankThenOk, Blank };
    Progress(MainWindow& w, Hint hint) : w_(w), hint_(hint) {}

    void begin() override { start(); }
    void end() override;
    void progress(int value) override;
    void suspend() override;
    void restore() override;
    void showHint(const QString& text) override;

private:
    void start();
    void stop();

    MainWindow& w_;
    Hint hint_;
    bool suspended_ = false;
    bool wasRunning_ = false;
    qint64 lastRepaint_ = 0;
};

} // namespace zp
