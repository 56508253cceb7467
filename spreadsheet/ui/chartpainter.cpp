#include "spreadsheet/ui/chartpainter.h"

#include "spreadsheet/core/workbook.h"

#include <QLocale>
#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace sheet;

namespace chartpainter {
namespace {
const QColor kSeriesColours[] = {QColor(0x33, 0x66, 0xcc), QColor(0xdc, 0x39, 0x12), QColor(0xff, 0x99, 0x00),
                                 QColor(0x10, 0x96, 0x18), QColor(0x99, 0x00, 0x99), QColor(0x00, 0x99, 0xc6)};

struct ChartData
{
    QStringList categories; // one per row of values
    QStringList series; // one per column of values
    std::vector<std::vector<double>> values; // [category][series]
};

// A first column of texts names the categories, a first row of texts names the series.
ChartData collect(const Workbook &book, int s, const CellRange &range)
{
    ChartData d;
    const bool rowLabels = range.columnCount() > 1 && book.value(s, range.bottom, range.left).isText();
    const bool colLabels = range.rowCount() > 1 && book.value(s, range.top, range.right).isText();
    const int firstRow = range.top + (colLabels ? 1 : 0);
    const int firstCol = range.left + (rowLabels ? 1 : 0);
    for (int c = firstCol; c <= range.right; ++c)
        d.series << (colLabels ? book.displayText(s, range.top, c) : columnName(c));
    for (int r = firstRow; r <= range.bottom; ++r) {
        d.categories << (rowLabels ? book.displayText(s, r, range.left) : QString::number(r));
        std::vector<double> row;
        for (int c = firstCol; c <= range.right; ++c) {
            const Value v = book.value(s, r, c);
            row.push_back(v.isNumber() ? v.asNumber() : 0.0);
        }
        d.values.push_back(std::move(row));
    }
    return d;
}

// A round step for the value axis: 1, 2 or 5 times a power of ten.
double niceStep(double span, int ticks)
{
    if (span <= 0)
        return 1;
    const double raw = span / ticks;
    const double mag = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (raw <= m * mag)
            return m * mag;
    return 10 * mag;
}
} // namespace

void paint(QPainter &p, const QRectF &rect, const Workbook &book, int s, const ChartObject &chart, double unit)
{
    p.save();
    p.setClipRect(rect);
    p.fillRect(rect, Qt::white);
    p.setPen(QPen(Qt::black, unit));
    p.drawRect(rect.adjusted(0, 0, -unit, -unit));

    const ChartData d = collect(book, s, chart.range);
    if (d.values.empty() || d.series.isEmpty()) {
        p.restore();
        return;
    }
    double lo = 0, hi = 0;
    for (const auto &row : d.values)
        for (double v : row) {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    if (hi == lo)
        hi = lo + 1;
    const double step = niceStep(hi - lo, 5);
    lo = std::floor(lo / step) * step;
    hi = std::ceil(hi / step) * step;

    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(7);
    p.setFont(font);
    const QFontMetricsF fm(font, p.device());
    const double pad = 6 * unit;
    const double legendW = [&] {
        double w = 0;
        for (const QString &name : d.series)
            w = std::max(w, fm.horizontalAdvance(name));
        return w + 16 * unit;
    }();
    const double axisW = fm.horizontalAdvance(QLocale(QLocale::French, QLocale::France).toString(hi, 'g', 6)) + pad;
    QRectF plot(rect.left() + pad + axisW, rect.top() + pad, 0, 0);
    plot.setRight(rect.right() - pad - legendW - pad);
    plot.setBottom(rect.bottom() - pad - fm.height());
    if (plot.width() < 10 * unit || plot.height() < 10 * unit) {
        p.restore();
        return;
    }
    const QLocale fr(QLocale::French, QLocale::France);
    auto yOf = [&](double v) { return plot.bottom() - (v - lo) / (hi - lo) * plot.height(); };

    // Value axis with its grid.
    for (double v = lo; v <= hi + step / 2; v += step) {
        const double y = yOf(v);
        p.setPen(QPen(QColor(0xdd, 0xdd, 0xdd), unit));
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        p.setPen(QPen(Qt::black, unit));
        const QString label = fr.toString(v, 'g', 6);
        p.drawText(QRectF(rect.left(), y - fm.height() / 2, axisW + pad - 3 * unit, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, label);
    }
    p.drawLine(QPointF(plot.left(), plot.top()), QPointF(plot.left(), plot.bottom()));
    p.drawLine(QPointF(plot.left(), yOf(0)), QPointF(plot.right(), yOf(0)));

    // Bars.
    const int groups = int(d.values.size());
    const int nSeries = int(d.series.size());
    const double groupW = plot.width() / groups;
    const double barW = groupW * 0.8 / nSeries;
    for (int g = 0; g < groups; ++g) {
        const double x0 = plot.left() + g * groupW + groupW * 0.1;
        for (int k = 0; k < nSeries; ++k) {
            const double v = d.values[size_t(g)][size_t(k)];
            const double y1 = yOf(std::max(v, 0.0)), y2 = yOf(std::min(v, 0.0));
            const QRectF bar(x0 + k * barW, y1, barW, y2 - y1);
            p.fillRect(bar, kSeriesColours[k % std::size(kSeriesColours)]);
        }
        p.setPen(QPen(Qt::black, unit));
        p.drawText(QRectF(plot.left() + g * groupW, plot.bottom() + 1 * unit, groupW, fm.height()),
                   Qt::AlignHCenter | Qt::AlignTop, d.categories[g]);
    }

    // Legend.
    double ly = plot.top();
    const double lx = plot.right() + pad;
    for (int k = 0; k < nSeries; ++k) {
        p.fillRect(QRectF(lx, ly + fm.height() / 2 - 4 * unit, 8 * unit, 8 * unit),
                   kSeriesColours[k % std::size(kSeriesColours)]);
        p.setPen(QPen(Qt::black, unit));
        p.drawText(QPointF(lx + 12 * unit, ly + fm.ascent()), d.series[k]);
        ly += fm.height() + 2 * unit;
    }
    p.restore();
}

} // namespace chartpainter
