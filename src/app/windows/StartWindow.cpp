#include "app/windows/StartWindow.h"

#include "ui/Artwork.h"
#include "ui/Platform.h"
#include "ui/ScreenMetrics.h"
#include "ui/WindowGeometry.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

namespace zp {

StartWindow::StartWindow(const ScreenMetrics& screen, std::function<void()> showMainWindow, QWidget* parent)
    : QFrame(parent, Qt::SplashScreen | Qt::FramelessWindowHint), showMainWindow_(std::move(showMainWindow))
{
    setObjectName(QStringLiteral("Form9"));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel3D1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);

    auto* picture = new QLabel(panel);
    picture->setObjectName(QStringLiteral("Image4"));
    picture->setPixmap(calendarPicture());
    picture->setAccessibleName(QStringLiteral("A calendar"));
    picture->setAlignment(Qt::AlignCenter);

    auto* name = new QLabel(QStringLiteral("Zorvik Planner"), panel);
    name->setObjectName(QStringLiteral("Label3"));
    QFont f = name->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() > 0 ? f.pointSize() * 2 : 18);
    name->setFont(f);
    name->setAlignment(Qt::AlignCenter);

    auto* inner = new QVBoxLayout(panel);
    inner->setContentsMargins(16, 16, 16, 16);
    inner->addStretch(1);
    inner->addWidget(picture);
    inner->addSpacing(8);
    inner->addWidget(name);
    inner->addStretch(1);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->addWidget(panel);

    // Size and place in twips, as every window of the program is.
    const Twips tw(screen);
    // A large font makes the window as large as its texts need.
    setFixedSize(QSize(tw.toPixelsX(kWidthTwips), tw.toPixelsY(kHeightTwips)).expandedTo(minimumSizeHint()));
    centreOnScreen(*this, screen);

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(1000);
    connect(timer1_, &QTimer::timeout, this, &StartWindow::tick);
    timer1_->start();
}

StartWindow::StartWindow(const Platform& platform, std::function<void()> showMainWindow, QWidget* parent)
    : StartWindow(platform.screen, std::move(showMainWindow), parent)
{
}

void StartWindow::tick()
{
    if (tickFlag_ == 1) {
        timer1_->stop();
        // Taken out first: it runs once, and the owner may delete this
        // window while it runs.
        const auto show = std::exchange(showMainWindow_, nullptr);
        close();
        QCoreApplication::processEvents();
        if (show)
            show();
        return;
    }
    tickFlag_ = 1;
}

} // namespace zp
