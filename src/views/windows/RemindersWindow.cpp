#include "views/windows/RemindersWindow.h"

#include "ui/QtPlatform.h"
#include "ui/WindowGeometry.h"
#include "views/RecordDetails.h"
#include "views/windows/RecordDetailsWindow.h"
#include "ui/KeyboardAccess.h"

#include <QCloseEvent>
#include <QFrame>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace zp {

RemindersWindow::RemindersWindow(ProgramState& state, const Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), platform_(platform), twips_(platform.screen)
{
    setObjectName(QStringLiteral("Form12"));
    setWindowTitle(kRemindersCaption);
    closeOnEscape(*this);
    panel3D1_ = new QFrame(this);
    panel3D1_->setObjectName(QStringLiteral("Panel3D1"));
    panel3D1_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    list1_ = new QListWidget(panel3D1_);
    list1_->setObjectName(QStringLiteral("List1"));
    list1_->setAccessibleName(QStringLiteral("Reminders"));
    list1_->setUniformItemSizes(true);
    list1_->viewport()->installEventFilter(this);
    auto* inner = new QVBoxLayout(panel3D1_);
    inner->setContentsMargins(2, 2, 2, 2);
    inner->addWidget(list1_);

    command2_ = new QPushButton(QStringLiteral("Run Planner"), this);
    command2_->setObjectName(QStringLiteral("Command2"));
    command1_ = new QPushButton(QStringLiteral("Exit"), this);
    command1_->setObjectName(QStringLiteral("Command1"));
    setMinimumSize(twips_.toPixelsX(kRemindersMinWidthTwips), twips_.toPixelsY(kRemindersMinHeightTwips));

    connect(command2_, &QPushButton::clicked, this, [this] {
        place_.remember();
        closeDetails();
        hide();
        if (runPlanner_)
            runPlanner_();
    });
    connect(command1_, &QPushButton::clicked, this, [this] {
        place_.remember();
        closeDetails();
        if (exit_)
            exit_();
    });
    // Keyboard users choose a line with the arrows and open it with Enter.
    connect(list1_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { pressLine(list1_->row(item)); });
}

RemindersWindow::~RemindersWindow()
{
    delete recordDetailsWindow_.data();
}

RecordDetailsWindow* RemindersWindow::detailsWindow() const
{
    return recordDetailsWindow_.data();
}

void RemindersWindow::buildReminderList()
{
    reminders_ = zp::buildReminderList(state_.store, platform_.clock.today());
    list1_->clear();
    list1_->addItems(reminders_.lines);
    applyFont();
}

void RemindersWindow::pressLine(int line)
{
    const auto press = pressReminderLine(state_.store, reminders_, line, state_.settings.soundOn);
    if (!press)
        return;
    if (press->sound && playSound_)
        playSound_(*press->sound);
    if (press->infoText.isEmpty())
        return;
    if (!recordDetailsWindow_)
        recordDetailsWindow_ = new RecordDetailsWindow(this);
    // A sound that stays silent says why under the record's details.
    recordDetailsWindow_->showText(press->soundProblem.isEmpty()
                                       ? press->infoText
                                       : press->infoText + QStringLiteral("\r\n") + press->soundProblem);
    // Beside this window, so the list and the buttons stay in reach.
    const QRect screenArea = screen() ? screen()->availableGeometry() : QRect();
    recordDetailsWindow_->move(
        detailsWindowPlace(frameGeometry(), recordDetailsWindow_->frameGeometry().size(), screenArea));
    recordDetailsWindow_->show();
    recordDetailsWindow_->raise();
}

void RemindersWindow::closeDetails()
{
    if (recordDetailsWindow_)
        recordDetailsWindow_->close();
}

void RemindersWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (isMinimized())
        return;
    const int c1w = twips_.toTwipsX(command1_->sizeHint().width());
    const int c2w = twips_.toTwipsX(command2_->sizeHint().width());
    // Exit sits left of the middle, but never off the window's edge nor
    // under Run Planner, which keeps to the right: a narrow window or a
    // large font makes the window as wide as the two need.
    const int least = twips_.toPixelsX(c1w + c2w + 360);
    if (minimumWidth() < least)
        setMinimumWidth(least);
    const int W = twips_.toTwipsX(width());
    const int H = twips_.toTwipsY(height());
    // Buttons 330 twips high, or as high as their font needs.
    const int buttonHeight = std::max(330, twips_.toTwipsY(command2_->sizeHint().height()));
    const int buttonTop = H - kRemindersButtonsAboveBottomTwips - (buttonHeight - 330);
    auto place = [this](QWidget* w, int left, int top, int width, int height) {
        w->setGeometry(twips_.toPixelsX(left), twips_.toPixelsY(top), twips_.toPixelsX(width), twips_.toPixelsY(height));
    };
    const int runLeft = W - c2w - 120;
    const int exitLeft = std::clamp(W / 2 - kRemindersExitLeftOfMiddleTwips - c1w / 2, 120, std::max(120, runLeft - c1w - 120));
    place(command1_, exitLeft, buttonTop, c1w, buttonHeight);
    place(command2_, runLeft, buttonTop, c2w, buttonHeight);
    place(panel3D1_, 60, 60, W - 120, buttonTop - 120);
}

void RemindersWindow::closeEvent(QCloseEvent* event)
{
    // Closing the window by its title bar ends the program like "Exit":
    // with the main window still hidden, nothing would be left to use.
    place_.remember();
    closeDetails();
    QWidget::closeEvent(event);
    if (exit_)
        exit_();
}

bool RemindersWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The details stay open while the mouse moves on to another line.
    if (watched == list1_->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        const QModelIndex index = list1_->indexAt(press->position().toPoint());
        if (index.isValid()) {
            list1_->setCurrentRow(index.row());
            pressLine(index.row());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void RemindersWindow::applyFont()
{
    showInDisplayFont(*list1_, state_.settings.font, palette());
}

} // namespace zp
