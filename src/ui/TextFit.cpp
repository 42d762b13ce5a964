#include "ui/TextFit.h"

#include <QFontMetrics>
#include <QString>
#include <algorithm>
#include <cmath>

namespace zp {

QSize textRoom(const QFontMetrics& metrics, const QString& text, const QMargins& margins)
{
    const QSize size = metrics.size(Qt::TextShowMnemonic, text.isEmpty() ? QStringLiteral(" ") : text);
    return QSize(size.width() + margins.left() + margins.right(), size.height() + margins.top() + margins.bottom());
}

double growthToFit(int neededPixels, int designPixels)
{
    if (designPixels <= 0)
        return 1.0;
    return std::max(1.0, double(neededPixels) / designPixels);
}

namespace {

double luminance(const QColor& c)
{
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    const QColor rgb = c.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

} // namespace

double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor& background, const QColor& wanted)
{
    if (contrastRatio(background, wanted) >= kLeastTextContrast)
        return wanted;
    const QColor black(Qt::black), white(Qt::white);
    return contrastRatio(background, black) >= contrastRatio(background, white) ? black : white;
}

} // namespace zp
