#include "database/ui/listprint.h"

#include "common/atomicsave.h"
#include "common/ui/printing.h"
#include "common/velmoraerror.h"
#include "database/core/fieldmarkers.h"

#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

namespace listprint {
namespace {

// The longest beginning of `text` that fits in `width` printer pixels: a cell is cut at
// its column's edge as the grid shows it, instead of running over the next field.
QString fitted(const QFontMetrics &fm, const QString &text, int width)
{
    if (fm.horizontalAdvance(text) <= width)
        return text;
    qsizetype lo = 0;
    qsizetype hi = text.size();
    while (lo < hi) {
        const qsizetype mid = (lo + hi + 1) / 2;
        if (fm.horizontalAdvance(text.left(mid)) <= width)
            lo = mid;
        else
            hi = mid - 1;
    }
    return text.left(lo);
}

void startPainter(QPainter &painter, QPrinter &printer)
{
    if (!painter.begin(&printer))
        throw VelmoraError(
                QStringLiteral("Impossible de lancer l'impression sur %1")
                        .arg(printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName()));
}

void drawLine(QPainter &p, const ListLayout &layout, const Table &table, int row, int y, int pageWidth)
{
    const QFontMetrics fm = p.fontMetrics();
    const int gap = fm.horizontalAdvance(u' ');
    for (int f = 1; f <= layout.x.size(); ++f) {
        const int left = layout.x[f - 1];
        if (left >= pageWidth)
            break;
        const QString text = table.cell(f, row);
        if (text.isEmpty())
            continue;
        const int right = std::min(f < layout.x.size() ? layout.x[f] : left + table.width(f) * layout.ratio, pageWidth);
        const QString shown = fitted(fm, text, right - left - gap);
        if (!shown.isEmpty())
            p.drawText(QRect(left, y, right - left, layout.lineHeight),
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, shown);
    }
}

} // namespace

int Mh(const QPrinter &printer, int x) { return printing::pixelsPerMmX(printer) * (x + 10); }

int Mv(const QPrinter &printer, int y) { return printing::pixelsPerMmY(printer) * (y + 5); }

QFont printerFont(const QFont &screenFont)
{
    QFont f = screenFont;
    if (screenFont.pixelSize() > 0)
        f.setPointSizeF(screenFont.pixelSize() * 72.0 / 96.0);
    return f;
}

ListLayout layoutList(QPrinter &printer, const Table &table, const QFont &screenFont, int firstLine)
{
    ListLayout l;
    const QFont pf = printerFont(screenFont);
    const QFontMetrics onPrinter(pf, &printer);
    const QFontMetrics onScreen(screenFont);
    l.ratio = std::max(1, onPrinter.horizontalAdvance(u'A') / std::max(1, onScreen.horizontalAdvance(u'A')));
    int x = 0;
    for (int f = 1; f <= table.lastField(); ++f) {
        l.x.append(x);
        x += table.width(f) * l.ratio;
    }
    l.top = Mv(printer, firstLine);
    l.lineHeight = std::max(1, onPrinter.height());
    const int bottom = printer.height() - l.top;
    l.linesPerPage = std::max(2, (bottom - l.top) / l.lineHeight);
    return l;
}

void printList(QPrinter &printer, const Table &table, const QFont &screenFont, int firstLine)
{
    const ListLayout layout = layoutList(printer, table, screenFont, firstLine);
    QPainter p;
    startPainter(p, printer);
    p.setFont(printerFont(screenFont));
    const int pageWidth = printer.width();
    int line = 0;
    for (int r = 1; r <= table.lastRecord(); ++r) {
        if (line == 0) {
            drawLine(p, layout, table, 0, layout.top, pageWidth);
            line = 1;
        }
        drawLine(p, layout, table, r, layout.top + line * layout.lineHeight, pageWidth);
        if (++line >= layout.linesPerPage && r < table.lastRecord()) {
            printer.newPage();
            line = 0;
        }
    }
    if (table.lastRecord() == 0)
        drawLine(p, layout, table, 0, layout.top, pageWidth);
    p.end();
}

void printEnvelopes(QPrinter &printer, const Table &table, const QStringList &lines, int first, int last)
{
    QPainter p;
    startPainter(p, printer);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(10);
    p.setFont(font);
    const int big = printer.width();
    auto put = [&](int x, int y, const QString &text) {
        p.drawText(QRect(x, y, big, big), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    };
    for (int r = first; r <= last; ++r) {
        if (r > first)
            printer.newPage();
        for (int i = 0; i < 4; ++i) {
            put(Mh(printer, 5), Mv(printer, 5 + 5 * i), lines.value(4 + i));
            QString recipient = lines.value(i);
            fieldmarkers::replaceMarkers(table, r, recipient);
            put(Mh(printer, 110), Mv(printer, 50 + 5 * i), recipient);
        }
    }
    p.end();
}

void printListToPdf(const QString &path, const Table &table, const QFont &screenFont, int firstLine)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        throw VelmoraError::cannotOpen(path);
    const QString temp = dir.filePath(QStringLiteral("liste.pdf"));
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(temp);
        printList(printer, table, screenFont, firstLine);
    }
    QFile f(temp);
    if (!f.open(QIODevice::ReadOnly))
        throw VelmoraError::cannotOpen(temp);
    atomicsave::write(path, f.readAll());
}

} // namespace listprint
