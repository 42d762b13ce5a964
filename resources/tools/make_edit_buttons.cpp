// Draws the notepad's Cut, Copy and Paste buttons, resources/toolbar/cut.png,
// copy.png and paste.png (24 x 24), in the flat, outlined look of the other
// toolbar pictures. Not part of the build; run by hand when they change:
//
//   g++ -std=c++20 -fPIC make_edit_buttons.cpp -o /tmp/make_edit_buttons $(pkg-config --cflags --libs Qt6Gui)
//   QT_QPA_PLATFORM=offscreen /tmp/make_edit_buttons /path/to/resources

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

const QColor kOutline(0x55, 0x57, 0x53);
const QColor kPaper(0xff, 0xff, 0xff);
const QColor kLines(0x9a, 0x9c, 0x98);

QImage canvas()
{
    QImage img(24, 24, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

// A sheet of paper with a folded corner and a few lines of text.
void sheet(QPainter& p, const QRectF& r)
{
    QPainterPath path;
    const double fold = 4;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, kPaper);
    g.setColorAt(1, QColor(0xe6, 0xe7, 0xe4));
    p.setPen(QPen(kOutline, 1));
    p.setBrush(g);
    p.drawPath(path);
    p.setPen(QPen(kLines, 1));
    for (double y = r.top() + 4.5; y < r.bottom() - 2; y += 2.5)
        p.drawLine(QPointF(r.left() + 2.5, y), QPointF(r.right() - 2.5, y));
}

void drawCut(const QString& path)
{
    QImage img = canvas();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // Blades crossing at the pivot.
    p.setPen(QPen(kOutline, 1));
    p.setBrush(QColor(0xd3, 0xd7, 0xcf));
    QPolygonF left({{7.0, 2.0}, {9.5, 2.5}, {14.0, 14.0}, {12.0, 15.0}});
    QPolygonF right({{17.0, 2.0}, {14.5, 2.5}, {10.0, 14.0}, {12.0, 15.0}});
    p.drawPolygon(left);
    p.drawPolygon(right);
    // Handles: two red rings.
    p.setPen(QPen(QColor(0xa4, 0x00, 0x00), 2.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(8.0, 18.0), 3.6, 3.6);
    p.drawEllipse(QPointF(16.0, 18.0), 3.6, 3.6);
    p.setPen(QPen(kOutline, 1));
    p.setBrush(QColor(0x88, 0x8a, 0x85));
    p.drawEllipse(QPointF(12.0, 13.0), 1.2, 1.2);
    p.end();
    img.save(path);
}

void drawCopy(const QString& path)
{
    QImage img = canvas();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    sheet(p, QRectF(2.5, 2.5, 12, 14));
    sheet(p, QRectF(9.5, 7.5, 12, 14));
    p.end();
    img.save(path);
}

void drawPaste(const QString& path)
{
    QImage img = canvas();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // Clipboard board.
    QLinearGradient wood(0, 3, 0, 22);
    wood.setColorAt(0, QColor(0xc1, 0x7d, 0x11));
    wood.setColorAt(1, QColor(0x8f, 0x59, 0x02));
    p.setPen(QPen(QColor(0x5c, 0x35, 0x00), 1));
    p.setBrush(wood);
    p.drawRoundedRect(QRectF(2.5, 3.5, 15, 18), 1.5, 1.5);
    // Clip.
    p.setBrush(QColor(0xba, 0xbd, 0xb6));
    p.setPen(QPen(kOutline, 1));
    p.drawRoundedRect(QRectF(6.5, 1.5, 7, 4), 1, 1);
    // The sheet being pasted.
    sheet(p, QRectF(9.5, 8.5, 12, 13));
    p.end();
    img.save(path);
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s RESOURCES-FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/toolbar/");
    drawCut(folder + QStringLiteral("cut.png"));
    drawCopy(folder + QStringLiteral("copy.png"));
    drawPaste(folder + QStringLiteral("paste.png"));
    return 0;
}
