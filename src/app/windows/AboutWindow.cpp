#include "app/windows/AboutWindow.h"

#include "app/ProgramVersion.h"

#include "ui/Artwork.h"
#include "ui/Platform.h"
#include "ui/ScreenMetrics.h"
#include "ui/WindowGeometry.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace zp {

AboutWindow::AboutWindow(const ScreenMetrics& screen, StoreGeometry storeGeometry, std::function<void()> showMainWindow,
             QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      screen_(screen), storeGeometry_(std::move(storeGeometry)), showMainWindow_(std::move(showMainWindow))
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Zorvik Planner %1 - About").arg(programVersionName()));

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel3D1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);

    auto* picture = new QLabel(panel);
    picture->setObjectName(QStringLiteral("Image4"));
    picture->setPixmap(calendarPicture());
    picture->setAccessibleName(QStringLiteral("A calendar"));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* name = new QLabel(QStringLiteral("Zorvik Planner Version %1").arg(programVersionName()), panel);
    name->setObjectName(QStringLiteral("Label3"));
    QFont f = name->font();
    f.setBold(true);
    if (f.pointSize() > 0)
        f.setPointSize(f.pointSize() + 2);
    name->setFont(f);
    name->setWordWrap(true);

    auto* about = new QLabel(QStringLiteral("A planner for jobs, appointments, contacts and money."), panel);
    about->setObjectName(QStringLiteral("lblAbout"));
    about->setWordWrap(true);

    command1_ = new QPushButton(QStringLiteral("&OK"), panel);
    command1_->setObjectName(QStringLiteral("Command1"));
    command1_->setDefault(true);
    connect(command1_, &QPushButton::clicked, this, &AboutWindow::okClicked);

    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(14);
    grid->addWidget(picture, 0, 0, 3, 1);
    grid->addWidget(name, 0, 1);
    grid->addWidget(about, 1, 1);
    grid->setRowStretch(2, 1);
    grid->addWidget(command1_, 3, 1, Qt::AlignRight);
    grid->setColumnStretch(1, 1);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);
    outer->addWidget(panel);

    const Twips tw(screen_);
    // A large font makes the window as large as its texts need.
    QSize size = QSize(tw.toPixelsX(kWidthTwips), tw.toPixelsY(kHeightTwips)).expandedTo(minimumSizeHint());
    if (layout()->hasHeightForWidth())
        size.setHeight(std::max(size.height(), layout()->totalHeightForWidth(size.width())));
    setFixedSize(size);
    centreOnScreen(*this, screen_);
    command1_->setFocus();
}

AboutWindow::AboutWindow(const Platform& platform, StoreGeometry storeGeometry, std::function<void()> showMainWindow,
             QWidget* parent)
    : AboutWindow(platform.screen, std::move(storeGeometry), std::move(showMainWindow), parent)
{
}

void AboutWindow::storeGeometry()
{
    if (!storeGeometry_)
        return;
    const WindowPlacement p = placementOf(*this, Twips(screen_));
    storeGeometry_(p.top, p.left, p.width, p.height);
}

void AboutWindow::okClicked()
{
    storeGeometry();
    closingByOk_ = true;
    close();
    closingByOk_ = false;
    QCoreApplication::processEvents();
    if (showMainWindow_)
        showMainWindow_();
}

void AboutWindow::closeEvent(QCloseEvent* event)
{
    if (!closingByOk_)
        storeGeometry();
    QWidget::closeEvent(event);
}

} // namespace zp
