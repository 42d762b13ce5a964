#include "app/MainLayout.h"

#include <algorithm>
#include <cmath>

namespace zp {

namespace {

// Assignments fail like the toolkit does on a negative width or height.
struct BadSize {};

class Placer {
public:
    explicit Placer(ControlGeometry& c) : c_(c) {}
    TwipsRect& at(const char* name) { return c_[QString::fromLatin1(name)]; }
    int width(const char* name) { return at(name).width; }
    int height(const char* name) { return at(name).height; }
    void left(const char* name, int v) { at(name).left = v; }
    void top(const char* name, int v) { at(name).top = v; }
    void setWidth(const char* name, int v)
    {
        if (v < 0)
            throw BadSize{};
        at(name).width = v;
    }
    void setHeight(const char* name, int v)
    {
        if (v < 0)
            throw BadSize{};
        at(name).height = v;
    }

private:
    ControlGeometry& c_;
};

} // namespace

std::vector<int> gridColumnWidths(int gridWidth, int gridStretch)
{
    std::vector<int> widths(13);
    widths[0] = 600;
    const int s = gridStretch;
    for (int col = 1; col <= 12; ++col) {
        if (gridWidth / 12.0 < 600)
            widths[static_cast<std::size_t>(col)] = 600 * (1 + s);
        else
            widths[static_cast<std::size_t>(col)] = static_cast<int>((1.0 + s) * gridWidth / 12.0);
    }
    return widths;
}

int clampSlider(int value)
{
    return std::clamp(value, 10, 85);
}

MainLayoutResult layoutMainWindow(const MainLayoutInput& in)
{
    MainLayoutResult result;
    result.controls = in.controls;
    if (in.minimized)
        return result;

    Placer p(result.controls);
    const int W = in.clientWidth;
    const int H = in.clientHeight;
    try {
        if (in.windowHeight >= kLayoutMinHeight) {
            p.top("SSTab1", 900);
            p.top("SSTab2", 900);
            for (const char* n : {"Viewlist", "Text1", "Text12", "Image1", "SSPanel2"})
                p.top(n, 400);
            p.top("Grid1", 800);
            for (const char* n : {"Text4", "Command4", "Command5"})
                p.top(n, 500);
            p.setHeight("Slider1", 200);
            p.setHeight("SSTab1", H - 1260);
            p.setHeight("SSTab2", H - 1260);
            p.setHeight("Viewlist", p.height("SSTab2") - 500);
            for (const char* n : {"Image1", "Text1", "Text12", "SSPanel2"})
                p.setHeight(n, p.height("SSTab1") - 500);
            p.setHeight("Grid1", p.height("SSTab1") - 900);
            p.top("VScroll1", 50);
            p.setHeight("VScroll1", p.height("SSPanel2") - 100);
            for (const char* n : {"Command1", "Command2", "Command3", "Command6"})
                p.top(n, p.height("SSPanel2") - p.height(n) - 50);
            p.setHeight("Text10", p.height("SSPanel2") - 3800);
        }
        if (in.windowWidth >= kLayoutMinWidth) {
            p.setWidth("ProgressBar1", p.width("Panel3D3"));
            p.left("SSTab2", 50);
            for (const char* n : {"Viewlist", "Text1", "Text12", "Image1", "SSPanel2", "Grid1"})
                p.left(n, 80);
            p.left("Text4", 2080);
            p.setWidth("StatusBar1", W - 760);
            p.setWidth("picToolbar", W - 880);
            p.setWidth("Slider1", in.windowWidth);
            p.left("Command4", 80);
            p.left("Command5", 1080);
            p.left("Picture1", W - p.width("Picture1"));

            const int sliderMax = in.sliderMaximum > 0 ? in.sliderMaximum : 1;
            p.left("SSTab1", static_cast<int>(static_cast<long long>(25 + W) * in.sliderValue / sliderMax));
            p.setWidth("SSTab1", W - p.at("SSTab1").left - 80);
            p.setWidth("SSTab2", W - p.width("SSTab1") - 180);
            p.setWidth("Viewlist", p.width("SSTab2") - 180);
            for (const char* n : {"Image1", "Text1", "Text12", "SSPanel2", "Grid1"})
                p.setWidth(n, p.width("SSTab1") - 180);
            p.setWidth("Text4", p.width("SSTab1") - 2200);

            p.left("VScroll1", 50);
            const int V = p.width("VScroll1");
            const int P = p.width("SSPanel2");
            p.setWidth("Text10", P - V - 220);
            p.setWidth("Text5", P - V - 220);
            p.setWidth("Text7", P - p.width("Text6") - V - 220);
            p.setWidth("Text9", P - p.width("Text8") - V - 220);
            p.setWidth("Text11", P - p.width("Text3") - p.width("Text2") - V - 220);
            p.left("SSPanel1", p.at("Text10").left + p.width("Text10") - p.width("SSPanel1"));

            result.gridColumnWidths = gridColumnWidths(p.width("Grid1"), in.gridStretch);
        }
    } catch (const BadSize&) {
        return result;
    }
    result.completed = true;
    return result;
}

void LogoScroller::setSizes(int windowWidth, int windowHeight, int pictureWidth, int pictureHeight)
{
    windowW_ = windowWidth;
    windowH_ = windowHeight;
    pictureW_ = pictureWidth;
    pictureH_ = pictureHeight;
}

TwipsRect LogoScroller::step()
{
    if (!started_) {
        started_ = true;
        x_ = 0;
        y_ = pictureH_ / 5;
        w_ = windowW_;
        h_ = windowH_;
    } else {
        x_ += 20;
        if (x_ + w_ > pictureW_) {
            x_ = 0;
            y_ += windowH_;
            if (y_ + h_ > pictureH_)
                y_ = pictureH_ / 5;
        }
    }
    return {x_, y_, w_, h_};
}

QString statusBarHint(int x, int width)
{
    if (x < width / 3.0)
        return QStringLiteral("Current time");
    if (x > width / 3.0 && x < 2.0 * width / 3.0)
        return QStringLiteral("Current date");
    return QStringLiteral("Current planner file name");
}

QString planPanelText(const QString& planFileName)
{
    if (planFileName.isEmpty())
        return QStringLiteral("New Plan");
    // Only characters 2 ... length count, so a separator in the first
    // position (a path from the root) does not make the name empty.
    const QStringView tail = QStringView(planFileName).mid(1);
    const qsizetype backslash = tail.lastIndexOf(QLatin1Char('\\'));
    const qsizetype slash = tail.lastIndexOf(QLatin1Char('/'));
    const qsizetype sep = std::max(backslash, slash);
    QString part = sep < 0 ? planFileName : tail.mid(sep + 1).toString();
    return part.isEmpty() ? planFileName : part;
}

WindowPlacement firstStartPlacement(const QSize& screenTwips)
{
    WindowPlacement p = Settings::defaultPlacements()[PlacementRow::Main];
    if (screenTwips.width() <= 0 || screenTwips.height() <= 0)
        return p;
    p.width = std::max(p.width, std::floor(screenTwips.width() * 2.0 / 3.0));
    p.height = std::max(p.height, std::floor(screenTwips.height() * 2.0 / 3.0));
    p.left = std::max(0.0, std::floor((screenTwips.width() - p.width) / 2));
    p.top = std::max(0.0, std::floor((screenTwips.height() - p.height) / 2));
    return p;
}

} // namespace zp
