// Copy and paste of cell ranges. Other programs get tab-separated displayed values; Velmora
// gets its own data (entries, formulas and formats), and a pasted formula's relative
// references shift by the distance between the copied and the pasted cell.
#pragma once

#include "spreadsheet/core/celladdress.h"

#include <QByteArray>
#include <QString>

namespace sheet {

class Workbook;

namespace clipboard {

// MIME type of Velmora's own cell data.
inline constexpr char kMimeType[] = "application/x-velmora-cells";

// Displayed texts, cells separated by tabs, rows ended by "\n".
QString rangeAsText(const Workbook &book, int sheet, const CellRange &range);
// Velmora's own data of the range. Cut data (`cut`) is being moved: its formulas keep
// their references when pasted, as a moved formula computes the same thing.
QByteArray rangeAsCells(const Workbook &book, int sheet, const CellRange &range, bool cut = false);

// Pastes Velmora's data with its top-left cell at (row, col); returns the pasted range.
// Throws VelmoraError when the data is not Velmora's or would go past the sheet's edge.
CellRange pasteCells(Workbook &book, int sheet, int row, int col, const QByteArray &data);
// Pastes tab-separated text (lines by "\n" or "\r\n"), each field as a user entry, but a
// field that does not read as a formula stays text. Returns the pasted range.
CellRange pasteText(Workbook &book, int sheet, int row, int col, const QString &text);
// The cells pasteText would fill; not valid when the text would go past the sheet's edge.
CellRange textExtent(int row, int col, const QString &text);

} // namespace clipboard
} // namespace sheet
