#pragma once
#include <QString>
#include <functional>
#include <memory>

namespace zp {

// Line styles of Printer::setDrawStyle, by the numbers the planner uses.
namespace DrawStyle {
constexpr int Solid = 0;
constexpr int Dash = 1;
constexpr int Dot = 2;
} // namespace DrawStyle

// A page-based output device measured in its own units: page size, text
// measuring, text at a position, lines, pages. The layout routines only
// talk to this, so they work the same on paper, in a PDF file, in a preview
// and against the test double.
//
// Positions are relative to a movable origin (a margin); the current
// position follows the old printer model: printText() draws at it and moves
// it down by the text's height.
class Printer {
public:
    virtual ~Printer() = default;

    virtual double pageWidth() const = 0;
    virtual double pageHeight() const = 0;
    virtual double textWidth(const QString& text) const = 0;
    virtual double textHeight(const QString& text) const = 0;

    // Sets the font; false when it cannot be had (the printer keeps its
    // default font then).
    virtual bool setFont(const QString& name, int pointSize) = 0;
    virtual void setDrawWidth(int width) = 0;
    virtual void setDrawStyle(int style) = 0;
    // A line between two points, relative to the origin.
    virtual void drawLine(double x1, double y1, double x2, double y2) = 0;
    // Starts a new sheet; false when the device failed.
    virtual bool newPage() = 0;
    // Finishes the document (sends it to the printer or file); false when
    // the device failed.
    virtual bool endDoc() = 0;
    // How many times the whole output is to be repeated.
    virtual int copies() const = 0;
    // False once the device has failed; nothing drawn after that counts.
    virtual bool ok() const = 0;

    void setOrigin(double x, double y)
    {
        originX_ = x;
        originY_ = y;
    }
    double originX() const { return originX_; }
    double originY() const { return originY_; }
    double currentX() const { return currentX_; }
    double currentY() const { return currentY_; }
    void setCurrentX(double x) { currentX_ = x; }
    void setCurrentY(double y) { currentY_ = y; }

    // Draws at the current position and moves down by the text's height.
    void printText(const QString& text)
    {
        drawTextAt(originX_ + currentX_, originY_ + currentY_, text);
        currentY_ += textHeight(text);
    }

protected:
    // Text with its top-left corner at a point of the page (origin applied).
    virtual void drawTextAt(double pageX, double pageY, const QString& text) = 0;

private:
    double originX_ = 0;
    double originY_ = 0;
    double currentX_ = 0;
    double currentY_ = 0;
};

// The platform's print dialog and preview.
class PrintService {
public:
    virtual ~PrintService() = default;
    // Shows the print dialog (copies, printer or PDF file; no page range or
    // selection). A printer ready to draw, or nothing when cancelled.
    virtual std::unique_ptr<Printer> choosePrinter(const QString& documentName) = 0;
    // Shows the pages `render` draws, with the means to print them.
    virtual void preview(const QString& documentName, const std::function<void(Printer&)>& render) = 0;
};

} // namespace zp
