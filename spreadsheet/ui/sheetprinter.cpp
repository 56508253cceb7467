#include "spreadsheet/ui/sheetprinter.h"

#include "common/velmoraerror.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/ui/chartpainter.h"
#include "spreadsheet/ui/sheetmodel.h"

#include <QPainter>
#include <QPrinter>

#include <algorithm>

using namespace sheet;

namespace sheetprinter {
namespace {

// Sizes of the frame around the cells, in points.
constexpr double kHeaderFontPt = 8;
constexpr double kTitleGapPt = 6;
// A cell shows at most a page of text: longer texts are cut before layout, which would
// otherwise measure every character of them.
constexpr qsizetype kMaxCellText = 10000;

double toDevice(int twips, int dpi) { return twips * double(dpi) / 1440.0; }

QFont headerFont()
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(kHeaderFontPt);
    return f;
}

// The printed extent of a sheet: its used area, widened to the charts drawn on it.
CellRange extent(const Workbook &book, int s)
{
    CellRange r{1, 1, book.maxRow(s), book.maxCol(s)};
    for (const ChartObject &c : book.charts(s)) {
        int col = c.anchor.col, w = c.width;
        while (w > 0 && col <= kMaxColumns)
            w -= book.columnWidth(s, col++);
        int row = c.anchor.row, h = c.height;
        while (h > 0 && row <= kMaxRows)
            h -= book.rowHeight(s, row++);
        r.right = std::max(r.right, std::min(col - 1, kMaxColumns));
        r.bottom = std::max(r.bottom, std::min(row - 1, kMaxRows));
    }
    return r;
}

// Cuts first..last into runs whose sizes fit `room` (a run holds at least one item).
template<class SizeOf>
QList<QPair<int, int>> cut(int first, int last, double room, SizeOf sizeOf)
{
    QList<QPair<int, int>> runs;
    int start = first;
    double used = 0;
    for (int i = first; i <= last; ++i) {
        const double s = sizeOf(i);
        if (i > start && used + s > room) {
            runs.append({start, i - 1});
            start = i;
            used = 0;
        }
        used += s;
    }
    runs.append({start, last});
    return runs;
}

struct Frame
{
    double titleH, headerH, rowNumW;
};

// The frame's sizes in device pixels: a title line, the letters' band, the numbers' column.
Frame frameAt(int dpi)
{
    const double lineH = kHeaderFontPt / 72.0 * dpi * 1.2;
    return {lineH + kTitleGapPt / 72.0 * dpi, lineH * 1.4, lineH * 4.5};
}

void paintPage(QPainter &p, const Workbook &book, const Page &pg, int number, double pageW, int dpi, const Frame &fr)
{
    const QFont hf = headerFont();
    const double line = std::max(1.0, dpi / 300.0);
    p.setFont(hf);
    p.setPen(Qt::black);
    const QFontMetricsF fm(hf, p.device());
    p.drawText(QRectF(0, 0, pageW, fm.height()), Qt::AlignLeft | Qt::AlignTop, book.sheetName(pg.sheet));
    p.drawText(QRectF(0, 0, pageW, fm.height()), Qt::AlignRight | Qt::AlignTop, QStringLiteral("Page %1").arg(number));

    // Positions of the block's columns and rows, in device pixels.
    QList<double> xs{fr.rowNumW}, ys{fr.titleH + fr.headerH};
    for (int c = pg.left; c <= pg.right; ++c)
        xs.append(xs.last() + toDevice(book.columnWidth(pg.sheet, c), dpi));
    for (int r = pg.top; r <= pg.bottom; ++r)
        ys.append(ys.last() + toDevice(book.rowHeight(pg.sheet, r), dpi));
    const double right = std::min(xs.last(), pageW);

    // Column letters and row numbers.
    const QColor headerFill(0xe8, 0xe8, 0xe8);
    p.fillRect(QRectF(0, fr.titleH, right, fr.headerH), headerFill);
    p.fillRect(QRectF(0, fr.titleH, fr.rowNumW, ys.last() - fr.titleH), headerFill);
    p.setPen(QPen(Qt::black, line));
    for (int c = pg.left; c <= pg.right; ++c) {
        const QRectF cell(xs[c - pg.left], fr.titleH, xs[c - pg.left + 1] - xs[c - pg.left], fr.headerH);
        p.drawText(cell, Qt::AlignCenter, columnName(c));
    }
    for (int r = pg.top; r <= pg.bottom; ++r) {
        const QRectF cell(0, ys[r - pg.top], fr.rowNumW, ys[r - pg.top + 1] - ys[r - pg.top]);
        p.drawText(cell, Qt::AlignCenter, QString::number(r));
    }

    // The grid, when the workbook shows it; the frame lines always.
    p.setPen(QPen(book.showGridLines() ? QColor(0xb0, 0xb0, 0xb0) : headerFill, line));
    if (book.showGridLines()) {
        for (double x : xs)
            p.drawLine(QPointF(x, fr.titleH), QPointF(x, ys.last()));
        for (double y : ys)
            p.drawLine(QPointF(0, y), QPointF(right, y));
    }
    p.setPen(QPen(Qt::black, line));
    p.drawRect(QRectF(0, fr.titleH, right, ys.last() - fr.titleH));
    p.drawLine(QPointF(fr.rowNumW, fr.titleH), QPointF(fr.rowNumW, ys.last()));
    p.drawLine(QPointF(0, fr.titleH + fr.headerH), QPointF(right, fr.titleH + fr.headerH));

    // Cells.
    const CellRange block{pg.top, pg.left, pg.bottom, pg.right};
    const double pad = 2.0 / 96.0 * dpi;
    book.forEachCell(pg.sheet, block, [&](int r, int c) {
        const QString text = book.displayText(pg.sheet, r, c).left(kMaxCellText);
        if (text.isEmpty())
            return;
        const CellFormat f = book.format(pg.sheet, r, c);
        const QRectF cell(xs[c - pg.left], ys[r - pg.top], xs[c - pg.left + 1] - xs[c - pg.left],
                          ys[r - pg.top + 1] - ys[r - pg.top]);
        p.save();
        p.setClipRect(cell);
        p.setFont(SheetModel::fontOf(f));
        p.setPen(QColor::fromRgb(QRgb(f.colour | 0xff000000u)));
        int flags = int(SheetModel::alignmentOf(book.effectiveAlignment(pg.sheet, r, c), f.vertical));
        if (f.wrap)
            flags |= Qt::TextWordWrap;
        p.drawText(cell.adjusted(pad, pad / 2, -pad, -pad / 2), flags, text);
        p.restore();
    });

    // Charts whose rectangle meets the block.
    p.save();
    p.setClipRect(QRectF(fr.rowNumW, fr.titleH + fr.headerH, right - fr.rowNumW, ys.last() - fr.titleH - fr.headerH));
    for (const ChartObject &chart : book.charts(pg.sheet)) {
        double x = xs.first(), y = ys.first();
        for (int c = pg.left; c < chart.anchor.col; ++c)
            x += toDevice(book.columnWidth(pg.sheet, c), dpi);
        for (int c = chart.anchor.col; c < pg.left; ++c)
            x -= toDevice(book.columnWidth(pg.sheet, c), dpi);
        for (int r = pg.top; r < chart.anchor.row; ++r)
            y += toDevice(book.rowHeight(pg.sheet, r), dpi);
        for (int r = chart.anchor.row; r < pg.top; ++r)
            y -= toDevice(book.rowHeight(pg.sheet, r), dpi);
        const QRectF rect(x, y, toDevice(chart.width, dpi), toDevice(chart.height, dpi));
        if (rect.intersects(QRectF(xs.first(), ys.first(), xs.last() - xs.first(), ys.last() - ys.first())))
            chartpainter::paint(p, rect, book, pg.sheet, chart, dpi / 96.0);
    }
    p.restore();
}

} // namespace

QList<Page> layout(const Workbook &book, double width, double height, int dpi, int fallbackSheet)
{
    const Frame fr = frameAt(dpi);
    return [&] {
        QList<Page> pages;
        auto addSheet = [&](int s, const CellRange &area) {
            const auto cols = cut(area.left, area.right, width - fr.rowNumW,
                                  [&](int c) { return toDevice(book.columnWidth(s, c), dpi); });
            const auto rows = cut(area.top, area.bottom, height - fr.titleH - fr.headerH,
                                  [&](int r) { return toDevice(book.rowHeight(s, r), dpi); });
            for (const auto &cr : cols)
                for (const auto &rr : rows)
                    pages.append({s, rr.first, cr.first, rr.second, cr.second});
        };
        for (int s = 0; s < book.sheetCount(); ++s) {
            const CellRange area = extent(book, s);
            if (area.bottom >= 1 && area.right >= 1)
                addSheet(s, area);
        }
        if (pages.isEmpty())
            addSheet(std::clamp(fallbackSheet, 0, book.sheetCount() - 1), CellRange{1, 1, 1, 1});
        return pages;
    }();
}

void print(const Workbook &book, QPrinter &printer, int fallbackSheet)
{
    const int dpi = printer.resolution();
    const QRectF area = printer.pageLayout().paintRectPixels(dpi);
    const QList<Page> pages = layout(book, area.width(), area.height(), dpi, fallbackSheet);
    if (pages.size() > kMaxPages)
        throw VelmoraError(QStringLiteral("L'impression demanderait %1 pages, plus que les %2 permises : "
                                          "rien n'a été imprimé. Videz ou retirez les feuilles trop grandes.")
                                   .arg(pages.size())
                                   .arg(kMaxPages));
    QPainter p;
    if (!p.begin(&printer))
        throw VelmoraError(QStringLiteral("L'impression n'a pas pu commencer."));
    const Frame fr = frameAt(dpi);
    for (int i = 0; i < pages.size(); ++i) {
        if (i > 0 && !printer.newPage())
            throw VelmoraError(QStringLiteral("L'impression a été interrompue."));
        paintPage(p, book, pages[i], i + 1, area.width(), dpi, fr);
    }
    p.end();
}

} // namespace sheetprinter
