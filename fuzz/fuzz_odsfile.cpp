// Fuzzes the ".ods" package reader: any bytes give a workbook or a French error, never a
// crash, and a workbook read writes back to a package that reads again.
#include "fuzz/workbookroundtrip.h"
#include "spreadsheet/core/odsfile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    checkWorkbookRoundTrip(
            QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)),
            [](const QByteArray &bytes, sheet::Workbook &book) { sheet::ods::read(bytes, book); },
            [](const sheet::Workbook &book) { return sheet::ods::write(book); });
    return 0;
}
