// Temporary bodies so that code written against the engine's interface links while the
// engine is being built. Removed as each part lands.
#include "spreadsheet/core/csvexchange.h"
#include "spreadsheet/core/functionregistry.h"
#include "spreadsheet/core/qvcfile.h"
#include "spreadsheet/core/rangeclipboard.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/core/workbookimpl.h"
#include "common/velmoraerror.h"

namespace sheet {

namespace clipboard {
QString rangeAsText(const Workbook &, int, const CellRange &) { return {}; }
QByteArray rangeAsCells(const Workbook &, int, const CellRange &) { return {}; }
CellRange pasteCells(Workbook &, int, int, int, const QByteArray &) { return {}; }
CellRange pasteText(Workbook &, int, int, int, const QString &) { return {}; }
} // namespace clipboard

namespace qvc {
void read(const QByteArray &, Workbook &) {}
QByteArray write(const Workbook &) { return {}; }
void readFile(const QString &, Workbook &) {}
void writeFile(const QString &, Workbook &) {}
} // namespace qvc

namespace csv {
QByteArray exportSheet(Workbook &, int) { return {}; }
void exportSheetToFile(Workbook &, int, const QString &) {}
void import(const QByteArray &, Workbook &, const QString &) {}
void importFile(const QString &, Workbook &) {}
} // namespace csv

} // namespace sheet
