#include "ui/Artwork.h"

#include <QHash>
#include <QPainter>

// Q_INIT_RESOURCE must be used outside any namespace.
static void registerZorvikResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace zp {

void initArtwork()
{
    static const bool done = (registerZorvikResources(), true);
    (void)done;
}

QString toolbarPicturePath(const QString& buttonName)
{
    static const QHash<QString, QString> files = {
        {QStringLiteral("imgFileNewButton"), QStringLiteral("new")},
        {QStringLiteral("imgFileOpenButton"), QStringLiteral("open")},
        {QStringLiteral("Image12"), QStringLiteral("save")},
        {QStringLiteral("Image11"), QStringLiteral("print")},
        {QStringLiteral("Image7"), QStringLiteral("ledger")},
        {QStringLiteral("Image8"), QStringLiteral("loan")},
        {QStringLiteral("Image10"), QStringLiteral("phonebook")},
        {QStringLiteral("Image9"), QStringLiteral("notebook")},
        {QStringLiteral("Image4"), QStringLiteral("calculator")},
        {QStringLiteral("Image13"), QStringLiteral("worldtimes")},
        {QStringLiteral("Image2"), QStringLiteral("keyword")},
        {QStringLiteral("Image15"), QStringLiteral("gridstretch")},
        {QStringLiteral("Image3"), QStringLiteral("about")},
        {QStringLiteral("Image6"), QStringLiteral("help")},
        {QStringLiteral("Image14"), QStringLiteral("minimise")},
        // The notepad's tool strip (New and Open are shared with the main toolbar).
        {QStringLiteral("imgCutButton"), QStringLiteral("cut")},
        {QStringLiteral("imgCopyButton"), QStringLiteral("copy")},
        {QStringLiteral("imgPasteButton"), QStringLiteral("paste")},
    };
    const auto it = files.constFind(buttonName);
    if (it == files.constEnd())
        return {};
    return QStringLiteral(":/toolbar/") + it.value() + QStringLiteral(".png");
}

QPixmap toolbarPicture(const QString& buttonName)
{
    initArtwork();
    const QString path = toolbarPicturePath(buttonName);
    return path.isEmpty() ? QPixmap() : QPixmap(path);
}

QPixmap pressedLook(const QPixmap& normal)
{
    if (normal.isNull())
        return normal;
    QImage src = normal.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage out(src.size(), QImage::Format_ARGB32_Premultiplied);
    out.setDevicePixelRatio(src.devicePixelRatio());
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.drawImage(QPoint(1, 1), src);
    // Darken what was drawn, keeping the transparent parts transparent.
    p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    p.fillRect(out.rect(), QColor(0, 0, 0, 70));
    p.end();
    return QPixmap::fromImage(out);
}

QPixmap logoPicture()
{
    initArtwork();
    return QPixmap(kLogoPath);
}

QPixmap calendarPicture()
{
    initArtwork();
    return QPixmap(kCalendarPath);
}

QPixmap cityPicture(const QString& name)
{
    initArtwork();
    return QPixmap(QStringLiteral(":/cities/") + name + QStringLiteral(".png"));
}

} // namespace zp
