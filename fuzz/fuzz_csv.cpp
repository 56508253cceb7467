// Fuzzes the CSV reader shared by the database and the spreadsheet, and the spreadsheet's
// CSV import on top of it: any bytes give rows or a French error, never a crash; rows read
// are written and read back unchanged, and an imported sheet exports to CSV that imports again.
#include "common/csv.h"
#include "common/velmoraerror.h"
#include "spreadsheet/core/csvexchange.h"
#include "spreadsheet/core/workbook.h"

#include <cstdint>
#include <cstdlib>

namespace {

void splitAndWriteBack(const QString &text, csv::LineBreaks breaks)
{
    std::vector<csv::Row> rows;
    try {
        rows = csv::split(text, csv::detectSeparator(text), breaks);
    } catch (const VelmoraError &e) {
        if (e.message().isEmpty())
            std::abort();
        return;
    }
    int line = 0;
    QString written;
    for (const csv::Row &row : rows) {
        if (row.line <= line) // rows start on growing lines
            std::abort();
        line = row.line;
        for (qsizetype f = 0; f < row.fields.size(); ++f) {
            if (f > 0)
                written += u';';
            csv::appendField(written, row.fields[f]);
        }
        written += u"\r\n";
    }
    std::vector<csv::Row> back;
    try {
        back = csv::split(written, u';', csv::LineBreaks::Keep);
    } catch (const VelmoraError &) {
        std::abort(); // what was written must read again
    }
    if (back.size() != rows.size())
        std::abort();
    for (size_t r = 0; r < rows.size(); ++r)
        if (back[r].fields != rows[r].fields)
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = csv::decode(bytes);
    splitAndWriteBack(text, csv::LineBreaks::Keep);
    splitAndWriteBack(text, csv::LineBreaks::ToBlank);

    sheet::Workbook book;
    try {
        sheet::csv::import(bytes, book, QStringLiteral("Feuil1"));
    } catch (const VelmoraError &e) {
        if (e.message().isEmpty())
            std::abort();
        return 0;
    }
    sheet::Workbook again;
    try {
        sheet::csv::import(sheet::csv::exportSheet(book, 0), again, QStringLiteral("Feuil1"));
    } catch (const VelmoraError &) {
        std::abort();
    }
    if (again.maxRow(0) > book.maxRow(0) || again.maxCol(0) > book.maxCol(0))
        std::abort();
    return 0;
}
