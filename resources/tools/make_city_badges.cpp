// Draws the 24 city badges of the world clock, resources/cities/*.png:
// 32 x 32 pictures, the country's flag (simplified to what 32 pixels can
// show) over a dark band with the city's three-letter code. Not part of
// the build; run by hand when the badges change:
//
//   g++ -std=c++20 -fPIC make_city_badges.cpp -o /tmp/make_city_badges $(pkg-config --cflags --libs Qt6Gui)
//   QT_QPA_PLATFORM=offscreen /tmp/make_city_badges /path/to/resources/cities

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kSize = 32;
constexpr int kFlagHeight = 20;
const QRectF kFlag(0, 0, kSize, kFlagHeight);

void stripes(QPainter& p, const QRectF& r, const std::vector<QColor>& colours, const std::vector<double>& weights,
             bool vertical)
{
    double total = 0;
    for (double w : weights)
        total += w;
    double at = 0;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const double part = weights[i] / total;
        if (vertical)
            p.fillRect(QRectF(r.left() + at * r.width(), r.top(), part * r.width() + 0.5, r.height()), colours[i]);
        else
            p.fillRect(QRectF(r.left(), r.top() + at * r.height(), r.width(), part * r.height() + 0.5), colours[i]);
        at += part;
    }
}

void hstripes(QPainter& p, const std::vector<QColor>& c, const std::vector<double>& w = {1, 1, 1})
{
    stripes(p, kFlag, c, w, false);
}

void vstripes(QPainter& p, const std::vector<QColor>& c, const std::vector<double>& w = {1, 1, 1})
{
    stripes(p, kFlag, c, w, true);
}

// A Scandinavian cross, its upright a little left of the middle.
void nordicCross(QPainter& p, const QColor& bg, const QColor& cross, const QColor& inner = QColor())
{
    p.fillRect(kFlag, bg);
    const double cx = 11, cy = kFlagHeight / 2.0;
    const double w = inner.isValid() ? 7 : 5;
    p.fillRect(QRectF(cx - w / 2, 0, w, kFlagHeight), cross);
    p.fillRect(QRectF(0, cy - w / 2, kSize, w), cross);
    if (inner.isValid()) {
        p.fillRect(QRectF(cx - 1.5, 0, 3, kFlagHeight), inner);
        p.fillRect(QRectF(0, cy - 1.5, kSize, 3), inner);
    }
}

void star(QPainter& p, QPointF c, double r, const QColor& colour)
{
    QPolygonF poly;
    for (int i = 0; i < 10; ++i) {
        const double a = -M_PI / 2 + i * M_PI / 5;
        const double rr = i % 2 ? r * 0.45 : r;
        poly << QPointF(c.x() + rr * std::cos(a), c.y() + rr * std::sin(a));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(poly);
}

void unionJack(QPainter& p, const QRectF& r)
{
    const QColor blue(1, 33, 105), red(200, 16, 46);
    p.save();
    p.setClipRect(r);
    p.fillRect(r, blue);
    const double s = r.height() / 20.0; // stroke scale
    p.setPen(QPen(Qt::white, 4 * s));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.bottomLeft(), r.topRight());
    p.setPen(QPen(red, 1.5 * s));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.bottomLeft(), r.topRight());
    const QPointF c = r.center();
    p.fillRect(QRectF(c.x() - 3.5 * s, r.top(), 7 * s, r.height()), Qt::white);
    p.fillRect(QRectF(r.left(), c.y() - 3.5 * s, r.width(), 7 * s), Qt::white);
    p.fillRect(QRectF(c.x() - 2 * s, r.top(), 4 * s, r.height()), red);
    p.fillRect(QRectF(r.left(), c.y() - 2 * s, r.width(), 4 * s), red);
    p.restore();
}

struct Badge {
    const char* file;
    const char* code;
    std::function<void(QPainter&)> flag;
};

const std::vector<Badge>& badges()
{
    static const std::vector<Badge> all = {
        {"washington", "WAS", [](QPainter& p) {
             for (int i = 0; i < 7; ++i)
                 p.fillRect(QRectF(0, i * kFlagHeight / 7.0, kSize, kFlagHeight / 7.0 + 0.5),
                            i % 2 ? Qt::white : QColor(178, 34, 52));
             p.fillRect(QRectF(0, 0, 14, 11.5), QColor(60, 59, 110));
             for (int y = 0; y < 3; ++y)
                 for (int x = 0; x < 4; ++x)
                     p.fillRect(QRectF(1.5 + x * 3.3, 1.5 + y * 3.3, 1.2, 1.2), Qt::white);
         }},
        {"london", "LON", [](QPainter& p) { unionJack(p, kFlag); }},
        {"canberra", "CBR", [](QPainter& p) {
             p.fillRect(kFlag, QColor(1, 33, 105));
             unionJack(p, QRectF(0, 0, 16, 10));
             star(p, QPointF(8, 15.5), 3.2, Qt::white);
             star(p, QPointF(24, 4), 1.6, Qt::white);
             star(p, QPointF(28, 9), 1.6, Qt::white);
             star(p, QPointF(21, 10), 1.6, Qt::white);
             star(p, QPointF(24, 16), 1.6, Qt::white);
         }},
        {"tokyo", "TYO", [](QPainter& p) {
             p.fillRect(kFlag, Qt::white);
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(188, 0, 45));
             p.drawEllipse(QPointF(16, 10), 6, 6);
         }},
        {"paris", "PAR", [](QPainter& p) { vstripes(p, {QColor(0, 35, 149), Qt::white, QColor(237, 41, 57)}); }},
        {"ottawa", "OTT", [](QPainter& p) {
             vstripes(p, {QColor(216, 6, 33), Qt::white, QColor(216, 6, 33)}, {1, 2, 1});
             QPolygonF leaf;
             leaf << QPointF(16, 3) << QPointF(17.5, 6) << QPointF(20, 5) << QPointF(19, 9) << QPointF(22, 8)
                  << QPointF(20.5, 11.5) << QPointF(16.7, 13) << QPointF(16.7, 17) << QPointF(15.3, 17)
                  << QPointF(15.3, 13) << QPointF(11.5, 11.5) << QPointF(10, 8) << QPointF(13, 9) << QPointF(12, 5)
                  << QPointF(14.5, 6);
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(216, 6, 33));
             p.drawPolygon(leaf);
         }},
        {"rome", "ROM", [](QPainter& p) { vstripes(p, {QColor(0, 146, 70), Qt::white, QColor(206, 43, 55)}); }},
        {"berlin", "BER", [](QPainter& p) { hstripes(p, {Qt::black, QColor(221, 0, 0), QColor(255, 206, 0)}); }},
        {"madrid", "MAD", [](QPainter& p) {
             hstripes(p, {QColor(170, 21, 27), QColor(241, 191, 0), QColor(170, 21, 27)}, {1, 2, 1});
             p.fillRect(QRectF(8, 7, 4, 6), QColor(170, 21, 27));
         }},
        {"amsterdam", "AMS", [](QPainter& p) { hstripes(p, {QColor(174, 28, 40), Qt::white, QColor(33, 70, 139)}); }},
        {"caracas", "CCS", [](QPainter& p) {
             hstripes(p, {QColor(255, 204, 0), QColor(0, 36, 125), QColor(207, 20, 43)});
             for (int i = 0; i < 8; ++i) {
                 const double a = M_PI * (1.1 + 0.8 * i / 7.0);
                 p.fillRect(QRectF(16 + 7 * std::cos(a) - 0.6, 13 + 5 * std::sin(a) - 0.6, 1.3, 1.3), Qt::white);
             }
         }},
        {"stockholm", "STO", [](QPainter& p) { nordicCross(p, QColor(0, 106, 167), QColor(254, 204, 0)); }},
        {"athens", "ATH", [](QPainter& p) {
             for (int i = 0; i < 9; ++i)
                 p.fillRect(QRectF(0, i * kFlagHeight / 9.0, kSize, kFlagHeight / 9.0 + 0.5),
                            i % 2 ? Qt::white : QColor(13, 94, 175));
             p.fillRect(QRectF(0, 0, 11.1, 11.1), QColor(13, 94, 175));
             p.fillRect(QRectF(4.4, 0, 2.3, 11.1), Qt::white);
             p.fillRect(QRectF(0, 4.4, 11.1, 2.3), Qt::white);
         }},
        {"wellington", "WLG", [](QPainter& p) {
             p.fillRect(kFlag, QColor(1, 33, 105));
             unionJack(p, QRectF(0, 0, 16, 10));
             for (QPointF c : {QPointF(24, 4), QPointF(28.5, 9), QPointF(20.5, 10), QPointF(24, 16)}) {
                 star(p, c, 2.3, Qt::white);
                 star(p, c, 1.5, QColor(200, 16, 46));
             }
         }},
        {"moscow", "MOW", [](QPainter& p) { hstripes(p, {Qt::white, QColor(0, 57, 166), QColor(213, 43, 30)}); }},
        {"brasilia", "BSB", [](QPainter& p) {
             p.fillRect(kFlag, QColor(0, 156, 59));
             QPolygonF diamond;
             diamond << QPointF(16, 2) << QPointF(29, 10) << QPointF(16, 18) << QPointF(3, 10);
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(255, 223, 0));
             p.drawPolygon(diamond);
             p.setBrush(QColor(0, 39, 118));
             p.drawEllipse(QPointF(16, 10), 4.6, 4.6);
             p.setPen(QPen(Qt::white, 1));
             p.drawArc(QRectF(10, 8, 12, 9), 40 * 16, 100 * 16);
         }},
        {"vienna", "VIE", [](QPainter& p) { hstripes(p, {QColor(200, 16, 46), Qt::white, QColor(200, 16, 46)}); }},
        {"bern", "BRN", [](QPainter& p) {
             p.fillRect(kFlag, QColor(218, 41, 28));
             p.fillRect(QRectF(14, 3, 4, 14), Qt::white);
             p.fillRect(QRectF(9, 8, 14, 4), Qt::white);
         }},
        {"cairo", "CAI", [](QPainter& p) {
             hstripes(p, {QColor(206, 17, 38), Qt::white, Qt::black});
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(192, 147, 0));
             p.drawEllipse(QPointF(16, 10), 2.2, 2.6);
         }},
        {"dublin", "DUB", [](QPainter& p) { vstripes(p, {QColor(22, 155, 98), Qt::white, QColor(255, 136, 62)}); }},
        {"oslo", "OSL", [](QPainter& p) { nordicCross(p, QColor(186, 12, 47), Qt::white, QColor(0, 32, 91)); }},
        {"lisbon", "LIS", [](QPainter& p) {
             vstripes(p, {QColor(0, 102, 0), QColor(255, 0, 0)}, {2, 3});
             p.setPen(QPen(QColor(255, 221, 0), 1.5));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QPointF(12.8, 10), 4.5, 4.5);
             p.fillRect(QRectF(11, 8, 3.6, 4.5), Qt::white);
             p.fillRect(QRectF(12, 9, 1.6, 2.5), QColor(0, 40, 160));
         }},
        {"suva", "SUV", [](QPainter& p) {
             p.fillRect(kFlag, QColor(104, 191, 229));
             unionJack(p, QRectF(0, 0, 16, 10));
             p.fillRect(QRectF(20, 5, 8, 10), Qt::white);
             p.fillRect(QRectF(23.2, 5, 1.6, 10), QColor(206, 17, 38));
             p.fillRect(QRectF(20, 7, 8, 1.6), QColor(206, 17, 38));
             p.fillRect(QRectF(20, 5, 8, 2), QColor(206, 17, 38));
         }},
        {"helsinki", "HEL", [](QPainter& p) { nordicCross(p, Qt::white, QColor(0, 47, 108)); }},
    };
    return all;
}

QImage drawBadge(const Badge& b)
{
    QImage img(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath outline;
    outline.addRoundedRect(QRectF(0.5, 0.5, kSize - 1, kSize - 1), 4, 4);
    p.setClipPath(outline);
    b.flag(p);
    p.fillRect(QRectF(0, kFlagHeight, kSize, kSize - kFlagHeight), QColor(0x1b, 0x24, 0x33));
    QFont font(QStringLiteral("DejaVu Sans Condensed"));
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, kFlagHeight, kSize, kSize - kFlagHeight), Qt::AlignCenter, QString::fromLatin1(b.code));
    p.setClipping(false);
    p.setPen(QPen(QColor(0x10, 0x14, 0x1c), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(outline);
    p.end();
    return img;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_city_badges DIRECTORY\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    for (const Badge& b : badges()) {
        const QString path = dir + QStringLiteral("/") + QString::fromLatin1(b.file) + QStringLiteral(".png");
        if (!drawBadge(b).save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
