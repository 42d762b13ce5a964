#include "ui/modules/QtPrintDialogs.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace zp {

namespace {

QWidget* dialogParent()
{
    return QApplication::activeWindow();
}

// A printer chosen in the dialog, owned together with its painter.
std::unique_ptr<Printer> printerFor(std::unique_ptr<QPrinter> printer)
{
    const int copies = printer->copyCount();
    printer->setCopyCount(1);
    QPrinter* device = printer.get();
    return std::make_unique<PainterPrinter>(
        device, copies, [device] { return device->printerState() != QPrinter::Error; }, std::move(printer));
}

} // namespace

std::unique_ptr<Printer> QtPrintService::choosePrinter(const QString& documentName)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(documentName);
    QPrintDialog dialog(printer.get(), dialogParent());
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return printerFor(std::move(printer));
}

void QtPrintService::preview(const QString& documentName, const std::function<void(Printer&)>& render)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(documentName);
    QPrintPreviewDialog dialog(&printer, dialogParent());
    dialog.setWindowTitle(QStringLiteral("Print Preview - ") + documentName);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&render](QPrinter* target) {
        const int copies = target->copyCount();
        target->setCopyCount(1);
        PainterPrinter p(target, copies, [target] { return target->printerState() != QPrinter::Error; });
        render(p);
        target->setCopyCount(copies);
    });
    dialog.exec();
}

} // namespace zp
