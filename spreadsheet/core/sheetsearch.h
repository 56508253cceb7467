// Finding text in a sheet: the cells are searched row by row from the one after a given
// cell, wrapping round to the first, in what each shows and, for a formula, in its text.
#pragma once

#include "spreadsheet/core/celladdress.h"

#include <QString>

namespace sheet {

class Workbook;

// The first cell after (row, col) in reading order, coming back to the sheet's first cell
// after its last (the given cell itself last), whose shown text or formula contains `text`
// without regard to case; row 0 when none does or `text` is empty.
CellAddress findInSheet(const Workbook &book, int sheet, int row, int col, const QString &text);

} // namespace sheet
