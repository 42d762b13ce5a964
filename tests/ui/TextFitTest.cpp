#include "ui/TextFit.h"

#include <QFont>
#include <QFontMetrics>
#include <gtest/gtest.h>

namespace zp {
namespace {

TEST(TextFit, textOnAFixedColourKeepsAReadableChoiceAndSwapsAFaintOne)
{
    struct Case {
        QColor background, wanted, shown;
    } cases[] = {
        {QColor(255, 255, 0), QColor(Qt::black), QColor(Qt::black)},       // readable: kept
        {QColor(255, 255, 0), QColor(230, 230, 230), QColor(Qt::black)},   // dark theme's text on yellow
        {QColor(30, 30, 30), QColor(40, 40, 40), QColor(Qt::white)},       // dark on dark
        {QColor(192, 192, 192), QColor(0, 0, 128), QColor(0, 0, 128)},     // navy on grey: kept
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readableOn(c.background, c.wanted), c.shown) << c.wanted.name().toStdString();
        EXPECT_GE(contrastRatio(c.background, readableOn(c.background, c.wanted)), kLeastTextContrast);
    }
}

TEST(TextFit, aDesignSizeGrowsOnlyWhenTheTextNeedsMore)
{
    EXPECT_DOUBLE_EQ(growthToFit(14, 20), 1.0);
    EXPECT_DOUBLE_EQ(growthToFit(30, 20), 1.5);
    EXPECT_DOUBLE_EQ(growthToFit(30, 0), 1.0);
    const QFontMetrics metrics(QFont(QStringLiteral("DejaVu Sans"), 14));
    const QSize room = textRoom(metrics, QStringLiteral("Zorvik Planner"), QMargins(4, 2, 4, 2));
    EXPECT_EQ(room.width(), metrics.horizontalAdvance(QStringLiteral("Zorvik Planner")) + 8);
    EXPECT_GE(room.height(), metrics.height() + 4);
}

} // namespace
} // namespace zp
