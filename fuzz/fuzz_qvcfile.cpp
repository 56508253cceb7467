// Fuzzes the ".qvc" reader: any bytes give a workbook or a French error, never a crash, and
// a workbook read writes back to a file that reads again.
#include "common/velmoraerror.h"
#include "spreadsheet/core/qvcfile.h"
#include "spreadsheet/core/workbook.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    sheet::Workbook book;
    try {
        sheet::qvc::read(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), book);
    } catch (const VelmoraError &e) {
        if (e.message().isEmpty())
            std::abort();
        return 0;
    }
    sheet::Workbook again;
    try {
        sheet::qvc::read(sheet::qvc::write(book), again);
    } catch (const VelmoraError &) {
        std::abort();
    }
    if (again.sheetCount() != book.sheetCount())
        std::abort();
    return 0;
}
