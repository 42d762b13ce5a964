#pragma once
// The print dialog and preview through Qt Print Support, which only this
// module links.

#include "ui/QtPrinting.h"

namespace zp {

// QPrintDialog (printer or PDF file, copies; no page range, no selection)
// and QPrintPreviewDialog. The copy count is honoured by repeating the
// output, so the printer itself is asked for one copy.
class QtPrintService : public PrintService {
public:
    std::unique_ptr<Printer> choosePrinter(const QString& documentName) override;
    void preview(const QString& documentName, const std::function<void(Printer&)>& render) override;
};

} // namespace zp
