#include "app/windows/MainWindowProgress.h"

#include "ui/Hints.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QTimer>
#include <algorithm>

namespace zp {

void MainWindow::Progress::end()
{
    stop();
    if (hint_ == Hint::BlankThenOk)
        w_.hints_->show(QStringLiteral("OK"));
}

void MainWindow::Progress::progress(int value)
{
    // A print reports only between suspend and restore.
    if (hint_ == Hint::Blank && !suspended_)
        return;
    if (w_.platform_.clock.steadyMsecs() - lastRepaint_ < 40)
        return;
    w_.progressBar1_->setValue(hint_ == Hint::Blank ? std::clamp(value, 0, 100) : value);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    lastRepaint_ = w_.platform_.clock.steadyMsecs();
}

void MainWindow::Progress::suspend()
{
    if (suspended_)
        return;
    suspended_ = true;
    start();
}

void MainWindow::Progress::restore()
{
    if (!suspended_)
        return;
    suspended_ = false;
    stop();
}

void MainWindow::Progress::showHint(const QString& text)
{
    w_.hints_->show(text);
}

void MainWindow::Progress::start()
{
    wasRunning_ = w_.timer1_->isActive();
    w_.timer1_->stop();
    w_.progressBar1_->setValue(0);
    w_.progressBar1_->show();
    if (hint_ != Hint::Untouched)
        w_.hints_->show(QString());
    lastRepaint_ = w_.platform_.clock.steadyMsecs();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::Progress::stop()
{
    w_.progressBar1_->hide();
    if (wasRunning_)
        w_.timer1_->start();
}

} // namespace zp
