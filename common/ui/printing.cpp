#include "common/ui/printing.h"

#include <QPrinterInfo>

namespace printing {

std::unique_ptr<QPrinter> createPrinter()
{
    auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
    p->setPageSize(QPageSize(QPageSize::A4));
    applyRedirection(*p);
    return p;
}

void applyRedirection(QPrinter &printer)
{
    const QByteArray pdf = qgetenv("VELMORA_PRINT_PDF");
    if (!pdf.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromLocal8Bit(pdf));
    }
}

bool hasOutput(const QPrinter &printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return !printer.outputFileName().isEmpty();
    return !printer.printerName().isEmpty();
}

int pixelsPerMmX(const QPrinter &printer)
{
    const int mm = printer.widthMM();
    return mm > 0 ? printer.width() / mm : 1;
}

int pixelsPerMmY(const QPrinter &printer)
{
    const int mm = printer.heightMM();
    return mm > 0 ? printer.height() / mm : 1;
}

} // namespace printing
