#include "app/windows/MainStatusBar.h"

#include "ui/Clock.h"
#include "ui/TextFit.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>

namespace zp {

MainStatusBar::MainStatusBar(const Clock& clock, std::function<QString(const QDateTime&)> dateText, QWidget* parent)
    : QFrame(parent), clock_(clock), dateText_(std::move(dateText))
{
    setObjectName(QStringLiteral("StatusBar1"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(1, 1, 1, 1);
    row->setSpacing(2);
    for (int i = 0; i < 4; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i + 1));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        label->setMinimumWidth(10);
        // Mouse moves must reach the bar, which gives the hint by position.
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        // The panel's text is its accessible name; the description says what it is.
        static const char* const kWhat[] = {"Time", "Date", "Day", "Plan"};
        label->setAccessibleDescription(QString::fromLatin1(kWhat[i]));
        row->addWidget(label, i == 3 ? 2 : 1);
        panels_[static_cast<std::size_t>(i)] = label;
    }
    tick_ = new QTimer(this);
    tick_->setInterval(1000);
    connect(tick_, &QTimer::timeout, this, &MainStatusBar::refreshClock);
    tick_->start();
    refreshClock();
}

QLabel* MainStatusBar::panel(int panel) const
{
    return panels_.at(static_cast<std::size_t>(panel - 1));
}

QString MainStatusBar::panelText(int panel) const
{
    return this->panel(panel)->text();
}

void MainStatusBar::setPanelText(int panel, const QString& text)
{
    this->panel(panel)->setText(text);
    keepRoomFor(panel);
}

void MainStatusBar::setFindCount(const QString& text)
{
    if (!findCount_) {
        findCount_ = new QLabel(this);
        findCount_->setObjectName(QStringLiteral("StatusBar1Find"));
        findCount_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        findCount_->setTextFormat(Qt::PlainText);
        findCount_->setAttribute(Qt::WA_TransparentForMouseEvents);
        findCount_->setAccessibleDescription(QStringLiteral("Records found"));
        layout()->addWidget(findCount_);
    }
    findCount_->setText(text);
    const int frame = findCount_->frameWidth() + 2;
    findCount_->setMinimumWidth(textRoom(findCount_->fontMetrics(), text, QMargins(frame, 0, frame, 0)).width());
    findCount_->setVisible(!text.isEmpty());
}

QString MainStatusBar::findCount() const
{
    return findCount_ ? findCount_->text() : QString();
}

void MainStatusBar::refreshClock()
{
    const QDateTime now = clock_.now();
    panels_[0]->setText(now.time().toString(QStringLiteral("h:mm AP")));
    panels_[1]->setText(dateText_ ? dateText_(now) : now.date().toString(Qt::ISODate));
    keepRoomFor(1);
    keepRoomFor(2);
}

void MainStatusBar::keepRoomFor(int panel)
{
    // The time, the date and the day are short and shown whole at any
    // font; the plan name takes what room is left.
    if (panel > 3)
        return;
    QLabel* label = this->panel(panel);
    const int frame = label->frameWidth() + 2;
    label->setMinimumWidth(textRoom(label->fontMetrics(), label->text(), QMargins(frame, 0, frame, 0)).width());
}

void MainStatusBar::changeEvent(QEvent* event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        for (int panel = 1; panel <= 3; ++panel)
            keepRoomFor(panel);
    if (event->type() == QEvent::FontChange && findCount_)
        setFindCount(findCount_->text());
}

} // namespace zp
