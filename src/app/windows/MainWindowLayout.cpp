// The main window's layout: where the controls sit at first, how they
// follow the window's size, the slider and the fonts in use.

#include "app/windows/MainWindow.h"

#include "app/windows/EditPage.h"
#include "app/windows/MainStatusBar.h"
#include "app/windows/RecordsListView.h"
#include "ui/WindowGeometry.h"
#include "ui/TextFit.h"

#include <QEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSlider>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace zp {

// Where the controls sit when the window is first built, in twips, for a
// window of the size the layout rule first takes over at. Below that size
// the window keeps this arrangement.
namespace {

ControlGeometry designGeometry()
{
    ControlGeometry g;
    g[QStringLiteral("picToolbar")] = {0, 0, 5384, 420};
    g[QStringLiteral("Panel3D3")] = {60, 440, 5300, 240};
    g[QStringLiteral("ProgressBar1")] = {0, 0, 5300, 240};
    g[QStringLiteral("Picture1")] = {5400, 0, 864, 690};
    g[QStringLiteral("Slider1")] = {0, 690, 6384, 200};
    g[QStringLiteral("SSTab2")] = {50, 900, 2560, 4845};
    g[QStringLiteral("Viewlist")] = {80, 400, 2380, 4345};
    g[QStringLiteral("SSTab1")] = {2660, 900, 3524, 4845};
    for (const char* n : {"Text1", "Image1", "SSPanel2"})
        g[QString::fromLatin1(n)] = {80, 400, 3344, 4345};
    g[QStringLiteral("Grid1")] = {80, 800, 3344, 3945};
    g[QStringLiteral("Text4")] = {2080, 500, 1324, 285};
    g[QStringLiteral("Command4")] = {80, 500, 950, 285};
    g[QStringLiteral("Command5")] = {1080, 500, 950, 285};
    g[QStringLiteral("StatusBar1")] = {0, 5745, 5504, 300};
    // Entry panel, relative to the panel.
    g[QStringLiteral("VScroll1")] = {50, 50, 255, 4245};
    // A date and a time of the display font fit their boxes.
    g[QStringLiteral("Label7")] = {355, 80, 1400, 210};
    g[QStringLiteral("Text2")] = {355, 290, 1400, 300};
    g[QStringLiteral("Label5")] = {1805, 80, 1100, 210};
    g[QStringLiteral("Text3")] = {1805, 290, 1100, 300};
    g[QStringLiteral("Label2")] = {2955, 80, 1400, 210};
    g[QStringLiteral("Text11")] = {2955, 290, 369, 300};
    g[QStringLiteral("Label4")] = {355, 640, 2900, 210};
    g[QStringLiteral("Text5")] = {355, 850, 2869, 300};
    g[QStringLiteral("Label3")] = {355, 1200, 1400, 210};
    g[QStringLiteral("Text6")] = {355, 1410, 1400, 300};
    g[QStringLiteral("Label12")] = {1805, 1200, 1400, 210};
    g[QStringLiteral("Text7")] = {1805, 1410, 1469, 300};
    g[QStringLiteral("Label8")] = {355, 1760, 1400, 210};
    g[QStringLiteral("Text8")] = {355, 1970, 1400, 300};
    g[QStringLiteral("Label9")] = {1805, 1760, 1400, 210};
    g[QStringLiteral("Text9")] = {1805, 1970, 1469, 300};
    g[QStringLiteral("Check1")] = {355, 2420, 900, 300};
    g[QStringLiteral("SSPanel1")] = {1324, 2360, 1900, 420};
    g[QStringLiteral("SSCommand2")] = {60, 60, 860, 300};
    g[QStringLiteral("SSCommand1")] = {980, 60, 860, 300};
    g[QStringLiteral("Label6")] = {355, 2880, 1400, 210};
    g[QStringLiteral("Text10")] = {355, 3090, 2869, 545};
    g[QStringLiteral("Command1")] = {355, 3945, 800, 350};
    g[QStringLiteral("Command2")] = {1175, 3945, 800, 350};
    g[QStringLiteral("Command6")] = {1995, 3945, 800, 350};
    g[QStringLiteral("Command3")] = {2815, 3945, 800, 350};
    return g;
}

} // namespace

void MainWindow::placeDesignLayout()
{
    applyGeometry(designGeometry());
    // Only the Info page shows at first.
    text1_->hide();
    image1_->hide();
    editPage_->hideEditFace();
    resize(layoutTwips_.toPixelsX(6384), layoutTwips_.toPixelsY(6795));
}

ControlGeometry MainWindow::currentGeometry() const
{
    ControlGeometry g;
    for (const auto& [name, w] : controls_) {
        // The list's place holds the find bar too, while it shows.
        const QRect r = w == viewlist_ ? listArea_ : w->geometry();
        g[name] = {layoutTwips_.toTwipsX(r.x()), layoutTwips_.toTwipsY(r.y()), layoutTwips_.toTwipsX(r.width()), layoutTwips_.toTwipsY(r.height())};
    }
    return g;
}

void MainWindow::applyGeometry(const ControlGeometry& geometry)
{
    for (const auto& [name, rect] : geometry) {
        QWidget* w = control(name);
        if (!w)
            continue;
        const QRect px(layoutTwips_.toPixelsX(rect.left), layoutTwips_.toPixelsY(rect.top), layoutTwips_.toPixelsX(rect.width),
                       layoutTwips_.toPixelsY(rect.height));
        if (w == viewlist_)
            placeRecordsList(px);
        else if (w->geometry() != px)
            w->setGeometry(px);
    }
    // Contents of the tab controls sit above their pages.
    // The entry panel lies over the grid's edit box and row buttons, which
    // therefore only show in the grid face of the Edit page.
    for (QWidget* w : std::initializer_list<QWidget*>{viewlist_, text1_, text12_, image1_, control(QStringLiteral("Text4")),
                                                      control(QStringLiteral("Command4")), control(QStringLiteral("Command5")),
                                                      control(QStringLiteral("Grid1")), control(QStringLiteral("SSPanel2"))})
        w->raise();
    picture1_->raise();
}

QRect MainWindow::twipsGeometry() const
{
    const WindowPlacement p = placementOf(*this, twips_);
    return {int(p.left), int(p.top), int(p.width), int(p.height)};
}

void MainWindow::setTwipsGeometry(const WindowPlacement& stored)
{
    lastPlacement_ = stored;
    // Below the layout's own size the controls keep their places and the
    // window cuts them off: a window for a larger font is at least as
    // large as the layout grown with it.
    WindowPlacement p = stored;
    if (fontGrowth_ > 1.0) {
        // A pixel more, so rounding never leaves it a twip short.
        p.width = std::max(p.width, double(twips_.toTwipsX(layoutTwips_.toPixelsX(kLayoutMinWidth) + 1)));
        p.height = std::max(p.height, double(twips_.toTwipsY(layoutTwips_.toPixelsY(kLayoutMinHeight) + 1)));
        // ...but never larger than the screen.
        const QSize screen = platform_.screen.screenSizeTwips();
        if (screen.width() > 0 && screen.height() > 0) {
            p.width = std::min(p.width, std::max(stored.width, double(screen.width())));
            p.height = std::min(p.height, std::max(stored.height, double(screen.height())));
        }
    }
    placeWindow(*this, twips_, p);
}

void MainWindow::layoutMainWindow()
{
    if (inLayout_ || !timer3_)
        return;
    inLayout_ = true;
    timer3_->stop();
    MainLayoutInput in;
    const QRect outer = twipsGeometry();
    // Every size the rule reads is in the grown layout's twips.
    in.windowWidth = int(outer.width() / fontGrowth_);
    in.windowHeight = int(outer.height() / fontGrowth_);
    in.clientWidth = layoutTwips_.toTwipsX(client_->width());
    in.clientHeight = layoutTwips_.toTwipsY(client_->height());
    in.minimized = isMinimized();
    in.sliderValue = slider1_->value();
    in.sliderMaximum = slider1_->maximum();
    in.gridStretch = state_.gridStretch;
    in.controls = currentGeometry();
    const MainLayoutResult out = zp::layoutMainWindow(in);
    applyGeometry(out.controls);
    // The status bar keeps to the bottom edge of the window.
    statusBar_->move(statusBar_->x(), client_->height() - statusBar_->height());
    setGridColumnWidths(out.gridColumnWidths);
    if (out.completed) {
        timer3_->setInterval(logoIntervalMs_);
        timer3_->start();
    }
    inLayout_ = false;
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    layoutMainWindow();
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        layoutMainWindow();
    // A new desktop font or theme font size.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        fitLayoutToFonts();
}

void MainWindow::fitLayoutToFonts()
{
    if (!editPage_ || inLayout_)
        return;
    auto* field = control(QStringLiteral("Text2"));
    auto* label = control(QStringLiteral("Label7"));
    auto* button = control(QStringLiteral("Command4"));
    auto* text4 = control(QStringLiteral("Text4"));
    if (!field || !label || !button || !text4)
        return;
    // The lowest design heights: a caption 210 twips, an entry field 300,
    // the grid's edit box and its row buttons 285.
    const int buttonText = button->fontMetrics().height() + 2 * button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const double growth = std::max({growthToFit(label->fontMetrics().height(), twips_.toPixelsY(210)),
                                    growthToFit(field->minimumSizeHint().height(), twips_.toPixelsY(300)),
                                    growthToFit(text4->minimumSizeHint().height(), twips_.toPixelsY(285)),
                                    growthToFit(buttonText, twips_.toPixelsY(285))});
    if (std::abs(growth - fontGrowth_) < 0.01)
        return;
    const ControlGeometry now = currentGeometry();
    fontGrowth_ = growth;
    layoutTwips_ = Twips(twips_.perPixelX() / growth, twips_.perPixelY() / growth);
    applyGeometry(now);
    // A maximised window keeps the normal place it will go back to.
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        setTwipsGeometry(isVisible() ? placementOf(*this, twips_) : lastPlacement_);
    layoutMainWindow();
}

void MainWindow::onSliderChanged(int value)
{
    const int clamped = clampSlider(value);
    if (clamped != value) {
        slider1_->setValue(clamped); // comes back here with the clamped value
        return;
    }
    layoutMainWindow();
}

void MainWindow::toggleGridStretch()
{
    state_.gridStretch = state_.gridStretch == 0 ? 1 : 0;
    setGridColumnWidths(gridColumnWidths(layoutTwips_.toTwipsX(editPage_->grid()->width()), state_.gridStretch));
}

void MainWindow::setGridColumnWidths(const std::vector<int>& twipsWidths)
{
    editPage_->setGridColumnWidths(twipsWidths, layoutTwips_);
}

} // namespace zp
