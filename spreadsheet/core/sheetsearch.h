// Finding text in a sheet: the cells are searched row by row from the one after a given
// cell, wrapping round to the first, in what each shows and, for a formula, in its text.
// Replacing it: in what the user typed into each cell.
#pragma once

#include "spreadsheet/core/celladdress.h"

#include <QString>

namespace sheet {

class Workbook;

// The first cell after (row, col) in reading order, coming back to the sheet's first cell
// after its last (the given cell itself last), whose shown text or formula contains `text`
// without regard to case; row 0 when none does or `text` is empty.
CellAddress findInSheet(const Workbook &book, int sheet, int row, int col, const QString &text);

struct SheetReplacement
{
    int count = 0; // occurrences replaced
    int cells = 0; // cells changed
    int refused = 0; // cells left as they were: their new entry was refused (a broken formula)
};

// In each cell of `range` with content, every occurrence of `text` in the cell's entry (its
// formula, or its value as the user would type it), found left to right without regard to
// case and not searched again once replaced, becomes `replacement`; the cell then takes the
// new entry as if typed. A cell whose new entry is refused keeps its own and is counted.
SheetReplacement replaceInSheet(Workbook &book, int sheet, const CellRange &range, const QString &text,
                                const QString &replacement);

} // namespace sheet
