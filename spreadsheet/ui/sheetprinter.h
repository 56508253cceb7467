// Printing of a workbook: the used area of each sheet that has content, cut into pages
// (down, then across), each page framed by column letters and row numbers, with the
// cells' fonts and alignment, the grid when it is shown, and the charts.
#pragma once

#include <QList>

class QPagedPaintDevice;
class QPrinter;

namespace sheet {
class Workbook;
struct CellRange;
} // namespace sheet

namespace sheetprinter {

// A print job longer than this is refused with a message before any page is printed.
constexpr int kMaxPages = 500;

// One printed page: the block of cells of one sheet it shows.
struct Page
{
    int sheet = 0;
    int top = 1, left = 1, bottom = 1, right = 1;
    bool operator==(const Page &) const = default;
};

// The pages, in print order, for a page whose printable area is `width` x `height` device
// pixels at `dpi` dots per inch. Sheets without content are skipped; an empty workbook
// gives one page of `fallbackSheet`.
QList<Page> layout(const sheet::Workbook &book, double width, double height, int dpi, int fallbackSheet);

// Prints on `printer` (which must be ready to paint); throws VelmoraError when the job
// cannot start or would pass kMaxPages.
void print(const sheet::Workbook &book, QPrinter &printer, int fallbackSheet);

} // namespace sheetprinter
