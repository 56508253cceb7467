// What the workbook file targets check of any bytes: they read into a workbook or fail
// with a French message, and a workbook read writes back to bytes that read again. Large
// workbooks (a few bytes may stand for four million repeated cells) are only read: writing
// and reading them again would take the fuzzer seconds per input, and the tests check the
// round trip of such workbooks.
#pragma once

#include "common/velmoraerror.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/core/workbookaccess.h"

#include <QByteArray>

#include <cstdlib>

template<typename Read, typename Write>
void checkWorkbookRoundTrip(const QByteArray &bytes, Read read, Write write)
{
    sheet::Workbook book;
    try {
        read(bytes, book);
    } catch (const VelmoraError &e) {
        if (e.message().isEmpty())
            std::abort();
        return;
    }
    constexpr std::size_t kRoundTripCells = 250000;
    std::size_t cells = 0;
    const sheet::WorkbookAccess access(book);
    for (int s = 0; s < book.sheetCount(); ++s)
        cells += access.cellCount(s);
    if (cells > kRoundTripCells)
        return;
    sheet::Workbook again;
    try {
        read(write(book), again);
    } catch (const VelmoraError &) {
        std::abort();
    }
    if (again.sheetCount() != book.sheetCount())
        std::abort();
}
