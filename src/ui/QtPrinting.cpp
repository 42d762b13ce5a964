#include "ui/QtPrinting.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPageSize>
#include <QFileInfo>
#include <QPdfWriter>

#include <cerrno>
#include <climits>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

detail::PdfFileParts::PdfFileParts(const QByteArray& path)
{
    // A link is followed to the file it names (one not yet written, too),
    // which is what gets replaced.
    QByteArray target = path;
    struct stat st = {};
    for (int hops = 0; hops < 40 && ::lstat(target.constData(), &st) == 0 && S_ISLNK(st.st_mode); ++hops) {
        QByteArray link(PATH_MAX, '\0');
        const ssize_t length = ::readlink(target.constData(), link.data(), link.size());
        if (length <= 0 || length >= link.size())
            break;
        link.truncate(length);
        const qsizetype slash = target.lastIndexOf('/');
        target = link.startsWith('/') || slash < 0 ? link : target.left(slash + 1) + link;
    }
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folderPath = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : target.left(slash);
    name = target.mid(slash + 1);
    if (name.isEmpty() || name == "." || name == "..") {
        error = QStringLiteral("It names no file.");
        return;
    }
    folder = ::open(folderPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        error = systemError(errno);
        return;
    }
    // The folder by its descriptor: whatever bytes its name has, the
    // temporary file lands beside the target, on the same file system.
    file.setFileTemplate(QStringLiteral("/proc/self/fd/%1/.zorvik-pdf-XXXXXX").arg(folder));
    if (file.open())
        writer = std::make_unique<QPdfWriter>(&file);
    else
        error = file.errorString();
}

detail::PdfFileParts::~PdfFileParts()
{
    writer.reset();
    if (file.isOpen())
        file.close();
    if (folder >= 0) {
        // The temporary file of an unfinished document goes while its
        // folder's descriptor still leads there.
        if (file.autoRemove())
            file.remove();
        file.setAutoRemove(false);
        ::close(folder);
    }
}

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

PdfFilePrinter::PdfFilePrinter(const QByteArray& path, const QString& title)
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
    if (!endDoc() || !file.flush()) {
        if (error.isEmpty())
            error = file.errorString();
        return false;
    }
    if (::fsync(file.handle()) != 0) {
        error = systemError(errno);
        return false;
    }
    // The file's permissions are those of the file it replaces, or of a new
    // file (the temporary one is private to its owner).
    struct stat old = {};
    mode_t mode = 0;
    if (::fstatat(folder, name.constData(), &old, 0) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(file.handle(), mode) != 0) {
        error = systemError(errno);
        return false;
    }
    const QByteArray temporary = QFile::encodeName(QFileInfo(file.fileName()).fileName());
    if (::renameat(folder, temporary.constData(), folder, name.constData()) != 0) {
        error = systemError(errno);
        return false;
    }
    file.setAutoRemove(false);
    file.close();
    // The new name on disk, too, before the command says it is done.
    ::fsync(folder);
    return true;
}

QString PdfFilePrinter::errorString() const
{
    return error.isEmpty() ? file.errorString() : error;
}

} // namespace zp
