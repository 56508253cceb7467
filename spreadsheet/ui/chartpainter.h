// Draws a chart object of the workbook (type 5: bars of the range's values, one group per
// row, one series per column) into a rectangle, on the screen or on the printer.
#pragma once

#include <QRectF>

class QPainter;

namespace sheet {
class Workbook;
struct ChartObject;
} // namespace sheet

namespace chartpainter {

// `unit` is the size of one screen pixel in the painter's coordinates (1 on the screen,
// the printer's dots per screen pixel on paper).
void paint(QPainter &p, const QRectF &rect, const sheet::Workbook &book, int sheet, const sheet::ChartObject &chart,
           double unit = 1.0);

} // namespace chartpainter
