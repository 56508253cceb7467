#include "text/ui/envelopeprinter.h"

#include "text/core/pagegeometry.h"

#include "common/ui/printing.h"
#include "common/velmoraerror.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

namespace envelopeprinter {

QString noPrinterMessage() { return QStringLiteral("Aucune imprimante par défaut sélectionnée"); }

void print(QPrinter &printer, const QStringList &recipient, const QStringList &sender, const MmToPixels &mh,
           const MmToPixels &mv)
{
    if (!printing::hasOutput(printer))
        throw VelmoraError(noPrinterMessage());
    printer.setDocName(QString());
    QPainter painter;
    if (!painter.begin(&printer)) {
        if (printer.outputFormat() == QPrinter::PdfFormat)
            throw VelmoraError::cannotOpen(printer.outputFileName());
        throw VelmoraError(noPrinterMessage());
    }
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(10);
    painter.setFont(font);
    const int ascent = painter.fontMetrics().ascent();
    // Each position is the top-left corner of its line; text is drawn on its baseline.
    auto draw = [&](bool isSender, const QStringList &lines) {
        for (int i = 0; i < 4; ++i) {
            const QString text = lines.value(i);
            if (text.isEmpty())
                continue;
            const pagegeometry::MmPoint at = pagegeometry::envelopeLine(isSender, i + 1);
            painter.drawText(QPoint(mh(at.x), mv(at.y) + ascent), text);
        }
    };
    draw(true, sender);
    draw(false, recipient);
    painter.end();
}

} // namespace envelopeprinter
