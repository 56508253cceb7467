// Fuzzes the CSV reader shared by the database and the spreadsheet: any bytes give rows or a
// French error, never a crash; rows read are written and read back unchanged. (The
// spreadsheet's import on top of it has a target of its own, fuzz_sheetcsv.)
#include "common/csv.h"
#include "common/velmoraerror.h"

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
    return 0;
}
