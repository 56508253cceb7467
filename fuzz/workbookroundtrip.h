// What the workbook file targets check of any bytes: they read into a workbook or fail
// with a French message, and a workbook read writes back to bytes that read again.
#pragma once

#include "common/velmoraerror.h"
#include "spreadsheet/core/workbook.h"

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
    sheet::Workbook again;
    try {
        read(write(book), again);
    } catch (const VelmoraError &) {
        std::abort();
    }
    if (again.sheetCount() != book.sheetCount())
        std::abort();
}
