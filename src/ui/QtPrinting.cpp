#include "ui/QtPrinting.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPageSize>
#include <QPdfWriter>

namespace zp {

namespace {

constexpr int kDefaultPointSize = 10;

QFont defaultFont(int pointSize)
{
    QFont f = QGuiApplication::font();
    f.setPointSize(pointSize > 0 ? pointSize : kDefaultPointSize);
    return f;
}

Qt::PenStyle penStyle(int style)
{
    switch (style) {
    case DrawStyle::Dash: return Qt::DashLine;
    case DrawStyle::Dot: return Qt::DotLine;
    case 3: return Qt::DashDotLine;
    case 4: return Qt::DashDotDotLine;
    case 5: return Qt::NoPen;
    default: return Qt::SolidLine;
    }
}

} // namespace

// --- PainterPrinter ---------------------------------------------------------

PainterPrinter::PainterPrinter(QPagedPaintDevice* device, int copies, std::function<bool()> deviceOk,
                               std::unique_ptr<QPagedPaintDevice> owned)
    : owned_(std::move(owned)), device_(device), font_(defaultFont(kDefaultPointSize)), deviceOk_(std::move(deviceOk)),
      copies_(copies < 1 ? 1 : copies)
{
    if (!device_ || !painter_.begin(device_)) {
        failed_ = true;
        ended_ = true;
        metrics_ = std::make_unique<QFontMetricsF>(font_);
        return;
    }
    painter_.setFont(font_);
    metrics_ = std::make_unique<QFontMetricsF>(font_, device_);
    applyPen();
}

PainterPrinter::~PainterPrinter()
{
    if (painter_.isActive())
        painter_.end();
}

double PainterPrinter::pageWidth() const
{
    return device_ ? device_->width() : 0;
}

double PainterPrinter::pageHeight() const
{
    return device_ ? device_->height() : 0;
}

double PainterPrinter::textWidth(const QString& text) const
{
    return metrics_->horizontalAdvance(text);
}

double PainterPrinter::textHeight(const QString&) const
{
    return metrics_->height();
}

bool PainterPrinter::setFont(const QString& name, int pointSize)
{
    const QString family = name.trimmed();
    bool found = true;
    QFont font = defaultFont(pointSize);
    if (!family.isEmpty() && family.compare(QLatin1String("System"), Qt::CaseInsensitive) != 0) {
        found = QFontDatabase::hasFamily(family);
        if (found)
            font.setFamily(family);
    }
    font_ = font;
    if (painter_.isActive())
        painter_.setFont(font_);
    metrics_ = std::make_unique<QFontMetricsF>(font_, device_ ? static_cast<QPaintDevice*>(device_) : nullptr);
    return found;
}

void PainterPrinter::setDrawWidth(int width)
{
    drawWidth_ = width < 1 ? 1 : width;
    applyPen();
}

void PainterPrinter::setDrawStyle(int style)
{
    drawStyle_ = style;
    applyPen();
}

void PainterPrinter::applyPen()
{
    if (!painter_.isActive())
        return;
    // Two units make a line of about a point, whatever the resolution.
    const double unit = device_->logicalDpiX() / 144.0;
    QPen pen(Qt::black, drawWidth_ * unit, penStyle(drawStyle_), Qt::FlatCap);
    painter_.setPen(pen);
}

void PainterPrinter::drawLine(double x1, double y1, double x2, double y2)
{
    if (!ok())
        return;
    painter_.drawLine(QPointF(originX() + x1, originY() + y1), QPointF(originX() + x2, originY() + y2));
}

void PainterPrinter::drawTextAt(double pageX, double pageY, const QString& text)
{
    if (!ok() || text.isEmpty())
        return;
    // Text takes the pen's colour, black like every line.
    painter_.drawText(QPointF(pageX, pageY + metrics_->ascent()), text);
}

bool PainterPrinter::newPage()
{
    if (!ok())
        return false;
    if (!device_->newPage())
        failed_ = true;
    return ok();
}

bool PainterPrinter::endDoc()
{
    // Ending twice (a routine, then the file's commit) is harmless.
    if (!ended_) {
        ended_ = true;
        if (painter_.isActive() && !painter_.end())
            failed_ = true;
    }
    return !failed_ && (!deviceOk_ || deviceOk_());
}

bool PainterPrinter::ok() const
{
    return !failed_ && (ended_ || painter_.isActive()) && (!deviceOk_ || deviceOk_());
}

// --- PDF file ---------------------------------------------------------------

detail::PdfFileParts::PdfFileParts(const QString& path) : file(path)
{
    if (file.open(QIODevice::WriteOnly))
        writer = std::make_unique<QPdfWriter>(&file);
}

detail::PdfFileParts::~PdfFileParts() = default;

namespace {
QPdfWriter* preparedWriter(QPdfWriter* writer, const QString& title)
{
    if (writer) {
        writer->setPageSize(QPageSize(QPageSize::A4));
        writer->setResolution(1200);
        writer->setTitle(title);
        writer->setCreator(QStringLiteral("Zorvik Planner"));
    }
    return writer;
}
} // namespace

PdfFilePrinter::PdfFilePrinter(const QString& path, const QString& title)
    : PdfFileParts(path), PainterPrinter(preparedWriter(writer.get(), title), 1,
                                         [this] { return file.isOpen() && file.error() == QFileDevice::NoError; })
{
}

bool PdfFilePrinter::isOpen() const
{
    return writer != nullptr;
}

bool PdfFilePrinter::commit()
{
    if (!writer)
        return false;
    const bool ended = endDoc();
    if (!ended) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString PdfFilePrinter::errorString() const
{
    return file.errorString();
}

} // namespace zp
