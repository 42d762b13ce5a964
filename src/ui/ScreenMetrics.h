#pragma once
#include <QSize>

namespace zp {

// Window positions and sizes are kept in twips (1/1440 inch). One pixel is
// 15 twips at 96 dpi; the real figure comes from the screen's dpi.
class ScreenMetrics {
public:
    virtual ~ScreenMetrics() = default;
    virtual double twipsPerPixelX() const = 0;
    virtual double twipsPerPixelY() const = 0;
    // Size of the primary screen in twips.
    virtual QSize screenSizeTwips() const = 0;
};

// The one place that converts between twips and pixels.
class Twips {
public:
    explicit Twips(double twipsPerPixelX = 15.0, double twipsPerPixelY = 15.0)
        : tx_(twipsPerPixelX > 0 ? twipsPerPixelX : 15.0), ty_(twipsPerPixelY > 0 ? twipsPerPixelY : 15.0) {}
    explicit Twips(const ScreenMetrics& m) : Twips(m.twipsPerPixelX(), m.twipsPerPixelY()) {}

    static double twipsPerPixelForDpi(double dpi) { return dpi > 0 ? 1440.0 / dpi : 15.0; }

    int toPixelsX(double twips) const { return round(twips / tx_); }
    int toPixelsY(double twips) const { return round(twips / ty_); }
    int toTwipsX(int pixels) const { return round(pixels * tx_); }
    int toTwipsY(int pixels) const { return round(pixels * ty_); }
    double perPixelX() const { return tx_; }
    double perPixelY() const { return ty_; }

private:
    // Clamped first: converting a double beyond int's range is undefined.
    static int round(double v)
    {
        constexpr double kLimit = 1e9;
        if (!(v > -kLimit))
            v = -kLimit;
        else if (v > kLimit)
            v = kLimit;
        return static_cast<int>(v < 0 ? v - 0.5 : v + 0.5);
    }
    double tx_;
    double ty_;
};

} // namespace zp
