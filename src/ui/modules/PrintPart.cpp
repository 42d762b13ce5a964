// The entry point of the print part file.
#include "ui/modules/PartEntries.h"
#include "ui/modules/QtPrintDialogs.h"

zp::PrintService* zorvikMakePrintService()
{
    return new zp::QtPrintService;
}
