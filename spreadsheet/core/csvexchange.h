// CSV exchange with other programs: UTF-8, ";" between fields, RFC 4180 quoting, numbers
// with "." as the decimal point, dates as yyyy-mm-dd, error values as their text.
#pragma once

#include <QByteArray>
#include <QString>

namespace sheet {

class Workbook;

namespace csv {

// Values of `sheet`, its volatile formulas (RAND, NOW...) computed again, rows 1..maxRow,
// columns 1..maxCol, lines ended by "\r\n". Throws VelmoraError for a sheet out of range.
QByteArray exportSheet(Workbook &book, int sheet);
void exportSheetToFile(Workbook &book, int sheet, const QString &path);

// A one-sheet workbook from CSV bytes: separator ";" "," or tab (guessed from the first
// line), UTF-8 (or Windows-1252 when not valid UTF-8); numbers with "." or ",", dates
// dd/mm/yyyy or yyyy-mm-dd; "=..." fields stay text. The sheet is named after `sheetName`.
// Throws VelmoraError (the workbook left as it was) for too many rows or columns, or a
// quoted field never closed.
void import(const QByteArray &bytes, Workbook &into, const QString &sheetName);
void importFile(const QString &path, Workbook &into);

} // namespace csv
} // namespace sheet
