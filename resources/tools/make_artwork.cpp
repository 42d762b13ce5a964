// Draws resources/logo.png and renders resources/calendar.png from the Tango
// calendar icon. Not part of the build; run by hand when the artwork changes:
//
//   g++ -std=c++20 -fPIC make_artwork.cpp -o /tmp/make_artwork $(pkg-config --cflags --libs Qt6Gui)
//   QT_QPA_PLATFORM=offscreen /tmp/make_artwork /path/to/resources
//
// The logo is seen through a small window (about 100 x 40 pixels) that moves
// across it row by row, so every 40-pixel strip carries something: a band of
// month names and binder rings, a calendar grid with day numbers and a few
// marked days, the name in the middle and a line of what the planner keeps.

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>

static void drawLogo(const QString& path)
{
    const int W = 480, H = 180, header = 34;
    QImage img(W, H, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient bg(0, 0, W, H);
    bg.setColorAt(0.0, QColor(0x1d, 0x4f, 0x7a));
    bg.setColorAt(0.55, QColor(0x2f, 0x7e, 0x9e));
    bg.setColorAt(1.0, QColor(0x5c, 0xa8, 0xb0));
    p.fillRect(img.rect(), bg);

    // Header band: binder rings and the twelve months, 40 pixels each.
    QLinearGradient band(0, 0, 0, header);
    band.setColorAt(0, QColor(0x12, 0x33, 0x52));
    band.setColorAt(1, QColor(0x1a, 0x44, 0x69));
    p.fillRect(QRect(0, 0, W, header), band);
    p.setPen(QPen(QColor(255, 255, 255, 60), 1));
    p.drawLine(0, header, W, header);

    static const char* months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(10);
    small.setBold(true);
    p.setFont(small);
    for (int m = 0; m < 12; ++m) {
        const int x = m * 40;
        // ring
        p.setPen(QPen(QColor(0xd8, 0xdf, 0xe6), 2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(x + 16, -6, 8, 14), 180 * 16, 180 * 16);
        p.setBrush(QColor(0x0b, 0x22, 0x38));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(x + 20, 11), 2.2, 2.2);
        // month name, the current quarter a little brighter
        p.setPen(m % 3 == 0 ? QColor(0xff, 0xc8, 0x5a) : QColor(255, 255, 255, 200));
        p.drawText(QRect(x, 15, 40, 16), Qt::AlignCenter, QString::fromLatin1(months[m]));
    }

    // Calendar grid: 12 columns of 40 pixels, rows of 36 pixels.
    const int cellW = 40, cellH = 36;
    p.setPen(QPen(QColor(255, 255, 255, 38), 1));
    for (int x = 0; x <= W; x += cellW)
        p.drawLine(x, header, x, H);
    for (int y = header + cellH; y < H; y += cellH)
        p.drawLine(0, y, W, y);

    // Marked days: appointments, jobs and money items.
    struct Mark { int col, row; QColor colour; };
    const Mark marks[] = {
        {1, 0, QColor(0xf5, 0x79, 0x00, 150)}, {4, 0, QColor(0x73, 0xd2, 0x16, 140)},
        {7, 0, QColor(0xed, 0xd4, 0x00, 130)}, {11, 0, QColor(0x73, 0xd2, 0x16, 140)},
        {0, 3, QColor(0xed, 0xd4, 0x00, 130)}, {10, 3, QColor(0xf5, 0x79, 0x00, 150)},
    };
    for (const Mark& mk : marks) {
        p.setPen(Qt::NoPen);
        p.setBrush(mk.colour);
        p.drawRoundedRect(QRectF(mk.col * cellW + 3, header + mk.row * cellH + 3, cellW - 6, cellH - 6), 5, 5);
    }

    small.setBold(false);
    small.setPixelSize(9);
    p.setFont(small);
    p.setPen(QColor(255, 255, 255, 110));
    int day = 1;
    for (int row = 0; header + row * cellH < H; ++row) {
        for (int col = 0; col < 12; ++col) {
            p.drawText(QRect(col * cellW + 3, header + row * cellH + 2, cellW - 6, 12), Qt::AlignRight | Qt::AlignTop,
                       QString::number(day));
            day = day % 31 + 1;
        }
    }

    // A soft light behind the name.
    QRadialGradient glow(W / 2.0, 96, 230);
    glow.setColorAt(0, QColor(255, 255, 255, 55));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(QRect(0, header, W, H - header), glow);

    // The name, with a shadow.
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setBold(true);
    title.setPixelSize(50);
    QPainterPath text;
    text.addText(0, 0, title, QStringLiteral("Zorvik Planner"));
    const QRectF tb = text.boundingRect();
    const QPointF at(W / 2.0 - tb.width() / 2 - tb.left(), 112);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 20, 40, 110));
    p.drawPath(text.translated(at + QPointF(2.5, 3)));
    QLinearGradient ink(0, at.y() + tb.top(), 0, at.y() + tb.bottom());
    ink.setColorAt(0, QColor(0xff, 0xff, 0xff));
    ink.setColorAt(1, QColor(0xdc, 0xec, 0xf5));
    p.setBrush(ink);
    p.setPen(QPen(QColor(0x12, 0x33, 0x52, 140), 1));
    p.drawPath(text.translated(at));

    // What it keeps.
    QFont line(QStringLiteral("DejaVu Sans"));
    line.setPixelSize(13);
    line.setItalic(true);
    p.setFont(line);
    p.setPen(QColor(0x0e, 0x2a, 0x44, 150));
    const QRect lineRect(0, 140, W, 22);
    p.drawText(lineRect.translated(1, 1), Qt::AlignCenter, QStringLiteral("jobs  \u00b7  appointments  \u00b7  contacts  \u00b7  money"));
    p.setPen(QColor(0xff, 0xf3, 0xd6));
    p.drawText(lineRect, Qt::AlignCenter, QStringLiteral("jobs  \u00b7  appointments  \u00b7  contacts  \u00b7  money"));
    p.end();

    if (!img.convertToFormat(QImage::Format_RGB32).save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

static void renderCalendar(const QString& svg, const QString& path, int size)
{
    QImageReader r(svg);
    r.setScaledSize(QSize(size, size));
    const QImage img = r.read();
    if (img.isNull() || !img.save(path))
        std::fprintf(stderr, "cannot render %s: %s\n", qPrintable(svg), qPrintable(r.errorString()));
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    drawLogo(dir + QStringLiteral("/logo.png"));
    renderCalendar(QStringLiteral("/usr/share/icons/Tango/scalable/mimetypes/x-office-calendar.svg"),
                   dir + QStringLiteral("/calendar.png"), 96);
    return 0;
}
