#pragma once
// Printing through Qt: a Printer drawing with QPainter on a paged device
// (QPrinter, QPdfWriter) and a PDF file that appears only once it is
// complete.

#include "ui/Printer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QTemporaryFile>
#include <functional>
#include <memory>

class QPagedPaintDevice;
class QPdfWriter;
class QWidget;

namespace zp {

// Draws on a paged device in its own units (device pixels). Line widths are
// in the planner's old units, about a point per two. The font starts as the
// application's default at 10 points.
class PainterPrinter : public Printer {
public:
    // `deviceOk` tells whether the device still works (a printer in its
    // error state, a file that failed to write).
    PainterPrinter(QPagedPaintDevice* device, int copies, std::function<bool()> deviceOk = {},
                   std::unique_ptr<QPagedPaintDevice> owned = nullptr);
    ~PainterPrinter() override;

    double pageWidth() const override;
    double pageHeight() const override;
    double textWidth(const QString& text) const override;
    double textHeight(const QString& text) const override;
    // "System" and an empty name keep the default family; another name must
    // be an installed family.
    bool setFont(const QString& name, int pointSize) override;
    void setDrawWidth(int width) override;
    void setDrawStyle(int style) override;
    void drawLine(double x1, double y1, double x2, double y2) override;
    bool newPage() override;
    bool endDoc() override;
    int copies() const override { return copies_; }
    bool ok() const override;

protected:
    void drawTextAt(double pageX, double pageY, const QString& text) override;

private:
    void applyPen();

    std::unique_ptr<QPagedPaintDevice> owned_; // outlives the painter
    QPagedPaintDevice* device_;
    QPainter painter_;
    QFont font_;
    std::unique_ptr<QFontMetricsF> metrics_;
    std::function<bool()> deviceOk_;
    int copies_;
    int drawWidth_ = 1;
    int drawStyle_ = DrawStyle::Solid;
    bool failed_ = false;
    bool ended_ = false;
};

namespace detail {
// Opened before the printer that draws into it.
struct PdfFileParts {
    explicit PdfFileParts(const QByteArray& path);
    ~PdfFileParts();
    int folder = -1;      // the target's folder, held open
    QByteArray name;      // the target's name in it, bytes as given
    QTemporaryFile file;  // in that folder; renamed to `name` by commit()
    std::unique_ptr<QPdfWriter> writer;
    QString error;        // why the file could not be made or put in place
};
} // namespace detail

// An A4 PDF written to a temporary file beside `path` and renamed over it by
// commit(); dropped without commit, nothing appears and an older file stays.
// `path` is taken as bytes, so a name that is not valid in the locale's
// encoding is written under exactly those bytes. A symbolic link is kept:
// the file it leads to is replaced, as a save does.
class PdfFilePrinter : private detail::PdfFileParts, public PainterPrinter {
public:
    PdfFilePrinter(const QByteArray& path, const QString& title);
    // False when the file could not be opened.
    bool isOpen() const;
    // Puts the finished document in place; false (and nothing in place)
    // when the document or the file failed.
    bool commit();
    QString errorString() const;
};

} // namespace zp
