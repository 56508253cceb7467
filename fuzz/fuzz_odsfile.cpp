// Fuzzes the ".ods" package reader: any bytes give a workbook or a French error, never a
// crash, and a workbook read writes back to a package that reads again.
#include "common/velmoraerror.h"
#include "spreadsheet/core/odsfile.h"
#include "spreadsheet/core/workbook.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    sheet::Workbook book;
    try {
        sheet::ods::read(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), book);
    } catch (const VelmoraError &e) {
        if (e.message().isEmpty())
            std::abort();
        return 0;
    }
    sheet::Workbook again;
    try {
        sheet::ods::read(sheet::ods::write(book), again);
    } catch (const VelmoraError &) {
        std::abort();
    }
    if (again.sheetCount() != book.sheetCount())
        std::abort();
    return 0;
}
