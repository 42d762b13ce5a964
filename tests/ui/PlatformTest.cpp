#include "support/Fakes.h"
#include "ui/Artwork.h"
#include "ui/QtPlatform.h"

#include <QImage>
#include <QLabel>
#include <gtest/gtest.h>

namespace zp {
namespace {

// --- Date order from the C library's date format ------------------------------

struct FormatCase {
    const char* format;
    DateOrder expected;
};

TEST(DateOrderFromFormat, decidesByWhetherDayOrMonthComesFirst)
{
    const FormatCase cases[] = {FormatCase{"%d/%m/%Y", DateOrder::DayFirst},       // en_GB
                                           FormatCase{"%m/%d/%y", DateOrder::MonthFirst},     // en_US, C
                                           FormatCase{"%Y-%m-%d", DateOrder::MonthFirst},     // ISO: month before day
                                           FormatCase{"%D", DateOrder::MonthFirst},           // = %m/%d/%y
                                           FormatCase{"%F", DateOrder::MonthFirst},           // = %Y-%m-%d
                                           FormatCase{"%d.%m.%Y", DateOrder::DayFirst},       // de_DE
                                           FormatCase{"%e %B %Y", DateOrder::DayFirst},       // month by name
                                           FormatCase{"%B %e, %Y", DateOrder::MonthFirst},
                                           FormatCase{"%-d/%-m/%Y", DateOrder::DayFirst},     // glibc flags
                                           FormatCase{"%Od.%Om.%EY", DateOrder::DayFirst},    // alternative digits
                                           FormatCase{"%%m %d/%m", DateOrder::DayFirst},      // "%%m" is literal
                                           FormatCase{"%x", DateOrder::MonthFirst},           // neither: C locale order
                                           FormatCase{"", DateOrder::MonthFirst},
                                           FormatCase{"%d", DateOrder::DayFirst},
                                           FormatCase{"%", DateOrder::MonthFirst}};
    for (const FormatCase& c : cases)
        EXPECT_EQ(dateOrderFromFormat(QString::fromLatin1(c.format)), c.expected) << c.format;
}

TEST(LocaleDateOrder, followsTheEnvironmentOnEveryCall)
{
    // C.UTF-8 is always there and says "%m/%d/%y". A locale that is not
    // installed must not break the call.
    const QByteArray saved = qgetenv("LC_ALL");
    LocaleDateOrder source;
    qputenv("LC_ALL", "C.UTF-8");
    EXPECT_EQ(source.systemDateOrder(), DateOrder::MonthFirst);
    qputenv("LC_ALL", "xx_NOWHERE.UTF-8");
    const DateOrder fallback = source.systemDateOrder();
    EXPECT_TRUE(fallback == DateOrder::MonthFirst || fallback == DateOrder::DayFirst);
    if (saved.isNull())
        qunsetenv("LC_ALL");
    else
        qputenv("LC_ALL", saved);
}

// --- File dialog filters --------------------------------------------------------

TEST(QtNameFilters, convertsThePlannersFilterStrings)
{
    EXPECT_EQ(qtNameFilters(QStringLiteral("All files (*.*) |*.*|Pln Files (*.pln) |*.pln|")),
              QStringList({QStringLiteral("All files (*)"), QStringLiteral("Pln Files (*.pln)")}));
    // No trailing bar, and a description without its own pattern list.
    EXPECT_EQ(qtNameFilters(QStringLiteral("Pictures|*.bmp;*.ico|Text (*.txt)|*.txt")),
              QStringList({QStringLiteral("Pictures (*.bmp *.ico)"), QStringLiteral("Text (*.txt)")}));
}

TEST(QtNameFilters, handlesOddAndEmptyInput)
{
    EXPECT_TRUE(qtNameFilters(QString()).isEmpty());
    EXPECT_TRUE(qtNameFilters(QStringLiteral("|")).isEmpty());
    // A description without a pattern lets every file through.
    EXPECT_EQ(qtNameFilters(QStringLiteral("Wave files")), QStringList({QStringLiteral("Wave files (*)")}));
    // Blanks and repeats in the pattern list, and an empty description.
    EXPECT_EQ(qtNameFilters(QStringLiteral(" | *.wav ; *.wav ;; *.*|")), QStringList({QStringLiteral("*.wav *")}));
    // A stray comma before a description.
    EXPECT_EQ(qtNameFilters(QStringLiteral(",Text Files (*.txt)|*.txt")), QStringList({QStringLiteral("Text Files (*.txt)")}));
}

// --- Message texts --------------------------------------------------------------

TEST(MessageBoxText, turnsEveryLineBreakIntoOneLineFeed)
{
    EXPECT_EQ(messageBoxText(QStringLiteral("a\nb")), QStringLiteral("a\nb"));
    EXPECT_EQ(messageBoxText(QStringLiteral("a\n\rb\n\rc")), QStringLiteral("a\nb\nc"));
    EXPECT_EQ(messageBoxText(QStringLiteral("a\r\nb")), QStringLiteral("a\nb"));
    EXPECT_EQ(messageBoxText(QStringLiteral("a\rb\n\n\r")), QStringLiteral("ab\n\n"));
}

// --- Fonts and colours ------------------------------------------------------------

TEST(ColourConversion, readsBgrAndTheSystemTextColour)
{
    QPalette pal;
    pal.setColor(QPalette::WindowText, QColor(1, 2, 3));
    pal.setColor(QPalette::Base, QColor(4, 5, 6));
    EXPECT_EQ(toQColor(FontChoice::kSystemTextColour, pal), QColor(1, 2, 3));
    EXPECT_EQ(toQColor(static_cast<std::int32_t>(0x80000005u), pal), QColor(4, 5, 6));
    EXPECT_EQ(toQColor(0x000000FF, pal), QColor(255, 0, 0));
    EXPECT_EQ(toQColor(0x0000FF00, pal), QColor(0, 255, 0));
    EXPECT_EQ(toQColor(0x00FF0000, pal), QColor(0, 0, 255));
    EXPECT_EQ(toQColor(0x00123456, pal), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(toQColor(0, pal), QColor(0, 0, 0));
    EXPECT_EQ(fromQColor(QColor(0x56, 0x34, 0x12)), 0x00123456);
    EXPECT_EQ(fromQColor(toQColor(0x00ABCDEF, pal)), 0x00ABCDEF);
}

TEST(FontConversion, keepsStyleAndSizeAndTreatsSystemAsDefaultFamily)
{
    FontChoice c;
    c.name = QStringLiteral("DejaVu Serif");
    c.size = 14;
    c.bold = false;
    c.italic = true;
    c.strikethru = true;
    const QFont f = toQFont(c);
    EXPECT_EQ(f.family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(f.pointSize(), 14);
    EXPECT_FALSE(f.bold());
    EXPECT_TRUE(f.italic());
    EXPECT_TRUE(f.strikeOut());
    EXPECT_EQ(fromQFont(f, 255), (FontChoice{QStringLiteral("DejaVu Serif"), 14, false, true, true, 255}));

    EXPECT_EQ(toQFont(FontChoice{}).family(), QFont().family());
    EXPECT_TRUE(toQFont(FontChoice{}).bold());

    QFont half;
    half.setPointSizeF(11.5);
    EXPECT_EQ(fromQFont(half, 0).size, 12);
}

TEST(ShowInDisplayFont, givesTheWidgetTheFontAndItsColourForTextAndLabels)
{
    QLabel label;
    QPalette window;
    window.setColor(QPalette::WindowText, QColor(1, 2, 3));
    FontChoice c;
    c.size = 15;
    showInDisplayFont(label, c, window);
    EXPECT_EQ(label.font().pointSize(), 15);
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(1, 2, 3)); // the system text colour
    c.colour = 0x000000FF;
    showInDisplayFont(label, c, window);
    EXPECT_EQ(label.palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

// --- Twips ------------------------------------------------------------------------

TEST(Twips, roundTripsAtCommonDpis)
{
    for (double dpi : {96.0, 144.0}) {
        const Twips t(Twips::twipsPerPixelForDpi(dpi), Twips::twipsPerPixelForDpi(dpi));
        for (int px : {0, 1, 7, 413, 1024, -5})
            EXPECT_EQ(t.toPixelsX(t.toTwipsX(px)), px) << dpi << " dpi, " << px;
    }
    EXPECT_DOUBLE_EQ(Twips::twipsPerPixelForDpi(96), 15.0);
    EXPECT_DOUBLE_EQ(Twips::twipsPerPixelForDpi(144), 10.0);
    const Twips t96(15, 15);
    EXPECT_EQ(t96.toPixelsX(6200), 413);
    EXPECT_EQ(t96.toTwipsY(276), 4140);
}

TEST(QtScreenMetrics, describesTheOffscreenScreenConsistently)
{
    QtScreenMetrics m;
    EXPECT_GT(m.twipsPerPixelX(), 0);
    const QSize s = m.screenSizeTwips();
    EXPECT_GT(s.width(), 0);
    EXPECT_GT(s.height(), 0);
}

// --- Artwork and the platform set ----------------------------------------------------

TEST(Artwork, everyToolbarButtonHasAPictureAndAPressedLook)
{
    const char* buttons[] = {"imgFileNewButton", "imgFileOpenButton", "Image12", "Image11", "Image7",
                             "Image8", "Image10", "Image9", "Image4", "Image13",
                             "Image2", "Image15", "Image3", "Image6", "Image14"};
    for (const char* b : buttons) {
        const QPixmap normal = toolbarPicture(QString::fromLatin1(b));
        ASSERT_FALSE(normal.isNull()) << b;
        const QPixmap pressed = pressedLook(normal);
        EXPECT_EQ(pressed.size(), normal.size()) << b;
        EXPECT_NE(pressed.toImage(), normal.toImage()) << b;
    }
    EXPECT_TRUE(toolbarPicturePath(QStringLiteral("Image5")).isEmpty());
    EXPECT_TRUE(pressedLook(QPixmap()).isNull());
    EXPECT_GE(logoPicture().width(), 300);
    EXPECT_FALSE(calendarPicture().isNull());
}

TEST(Artwork, pressedLookIsShiftedAndDarker)
{
    QImage img(4, 4, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    img.setPixelColor(0, 0, QColor(200, 200, 200));
    const QImage pressed = pressedLook(QPixmap::fromImage(img)).toImage();
    EXPECT_EQ(pressed.pixelColor(0, 0).alpha(), 0);
    const QColor moved = pressed.pixelColor(1, 1);
    EXPECT_EQ(moved.alpha(), 255);
    EXPECT_LT(moved.red(), 200);
}

TEST(QtPlatform, handsOutItsOwnServices)
{
    QtPlatform qt;
    Platform p = qt.platform();
    Platform again = qt.platform();
    EXPECT_EQ(&p.messages, &again.messages);
    EXPECT_NE(dynamic_cast<QtMessageBox*>(&p.messages), nullptr);
    EXPECT_NE(dynamic_cast<LocaleDateOrder*>(&p.dateOrder), nullptr);
}

TEST(FakeMessageBox, recordsCallsAndAnswersFromItsScript)
{
    FakeMessageBox box;
    box.script({MsgAnswer::No});
    EXPECT_EQ(box.msgBox(QStringLiteral("Save?"), MsgStyle::YesNoQuestion), MsgAnswer::No);
    EXPECT_EQ(box.msgBox(QStringLiteral("Save?"), MsgStyle::YesNoCancelWarning, QStringLiteral("T")), MsgAnswer::Yes);
    EXPECT_EQ(box.msgBox(QStringLiteral("Done")), MsgAnswer::Ok);
    box.defaultAnswer = MsgAnswer::Cancel;
    EXPECT_EQ(box.msgBox(QStringLiteral("x"), MsgStyle::YesNoCancel), MsgAnswer::Cancel);
    ASSERT_EQ(box.count(), 4);
    EXPECT_EQ(box.calls[0].effectiveTitle, kProgramTitle);
    EXPECT_TRUE(box.calls[0].title.isEmpty());
    EXPECT_EQ(box.calls[1].effectiveTitle, QStringLiteral("T"));
    EXPECT_EQ(box.calls[1].style, 51);
}

} // namespace
} // namespace zp
