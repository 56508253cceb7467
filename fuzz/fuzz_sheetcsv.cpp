// Fuzzes the spreadsheet's CSV import: any bytes give a one-sheet workbook or a French error,
// never a crash; the sheet imported exports to CSV that imports again no larger, and the
// workbook it makes is saved as a ".qvc" file that reads back with the same cells.
#include "common/velmoraerror.h"
#include "spreadsheet/core/csvexchange.h"
#include "spreadsheet/core/qvcfile.h"
#include "spreadsheet/core/workbook.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // Each import and each read replaces the whole workbook it is given: the three are kept
    // from one input to the next, as making a workbook costs more than most imports.
    static sheet::Workbook book;
    static sheet::Workbook again;
    static sheet::Workbook saved;
    try {
        sheet::csv::import(bytes, book, QStringLiteral("Feuil1"));
    } catch (const VelmoraError &e) {
        if (e.message().isEmpty())
            std::abort();
        return 0;
    }
    try {
        sheet::csv::import(sheet::csv::exportSheet(book, 0), again, QStringLiteral("Feuil1"));
    } catch (const VelmoraError &) {
        std::abort(); // what the export writes must import
    }
    if (again.maxRow(0) > book.maxRow(0) || again.maxCol(0) > book.maxCol(0))
        std::abort();

    // Whatever the import accepts, the workbook file holds and gives back.
    try {
        sheet::qvc::read(sheet::qvc::write(book), saved);
    } catch (const VelmoraError &) {
        std::abort();
    }
    if (saved.sheetCount() != 1 || saved.maxRow(0) != book.maxRow(0) || saved.maxCol(0) != book.maxCol(0))
        std::abort();
    return 0;
}
