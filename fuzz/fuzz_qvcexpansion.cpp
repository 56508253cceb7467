// Fuzzes what makes a small workbook file large: a cell repeated over rows and columns whose
// paragraph mixes letters, runs of spaces (<text:s text:c="N"/>), tabs and line breaks. The
// reader either refuses with a French message, leaving the workbook as it was, or gives
// every repeated cell exactly the text the file spells out.
#include "common/velmoraerror.h"
#include "spreadsheet/core/qvcfile.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/core/workbooklimits.h"

#include <cstdint>
#include <cstdlib>

namespace {

struct Generated
{
    QByteArray file;
    QString text; // what each cell must hold
    int rows = 1;
    int cols = 1;
    bool tooLong = false; // one cell's text alone passes the workbook's budget
};

// Input: rows (1 byte: up to 4, or past a million), columns (1 byte: up to 4, or up to the
// last column IV), then one element
// per byte: a letter, a run of spaces whose count follows in 3 bytes, a tab, a line break or
// a new paragraph. Files the reader accepts stay small so that each run is quick; the
// huge ones must be refused before anything is created.
Generated generate(const uint8_t *data, size_t size)
{
    Generated g;
    if (size >= 2) {
        g.rows = 1 + data[0] % 4 + (data[0] & 0x80 ? 1'000'000 : 0);
        g.cols = 1 + data[1] % 4 + (data[1] & 0x80 ? 252 : 0);
        if (g.rows > 1'000'000)
            g.cols = std::max(g.cols, 5); // past the cells a sheet may hold
        data += 2;
        size -= 2;
    }
    QByteArray paragraph;
    for (size_t i = 0; i < size; ++i) {
        const uint8_t b = data[i];
        if (b < 0x80) {
            paragraph += char('a' + b % 26);
            g.text += QChar(u'a' + b % 26);
        } else if (b < 0xA0 && i + 3 < size) {
            // Short runs, and runs past the workbook's whole text budget (which the reader
            // must refuse before spelling them out). A run of exactly the budget would be
            // read, at the cost of 256 MB spelt out twice per input: the long runs start
            // one past it.
            const int n = (data[i + 1] | (data[i + 2] & 0x0f) << 8)
                    + (data[i + 3] & 0x80 ? int(sheet::limits::kTextCharacters) + 1 : 0);
            paragraph += "<text:s text:c=\"" + QByteArray::number(n) + "\"/>";
            // Past the budget the reader must refuse: the expected text is not spelt out.
            if (g.text.size() + qint64(n) > sheet::limits::kTextCharacters)
                g.tooLong = true;
            else
                g.text += QString(std::max(n, 1), u' ');
            i += 3;
        } else if (b < 0xC0) {
            paragraph += "<text:tab/>";
            g.text += u'\t';
        } else if (b < 0xE0) {
            paragraph += "<text:line-break/>";
            g.text += u'\n';
        } else {
            paragraph += "</text:p><text:p>";
            g.text += u'\n';
        }
    }
    g.file =
            "<?xml version=\"1.0\"?><office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
            "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
            "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body><office:spreadsheet>"
            "<table:table table:name=\"A\"><table:table-row table:number-rows-repeated=\""
            + QByteArray::number(g.rows) + "\"><table:table-cell table:number-columns-repeated=\""
            + QByteArray::number(g.cols) + "\"><text:p>" + paragraph
            + "</text:p></table:table-cell></table:table-row></table:table></office:spreadsheet></office:body>"
              "</office:document>";
    return g;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const Generated g = generate(data, size);
    sheet::Workbook book;
    book.setValue(0, 1, 1, sheet::Value::number(7));
    try {
        sheet::qvc::read(g.file, book);
    } catch (const VelmoraError &e) {
        if (!e.message().startsWith(u"Ce classeur est trop grand") || book.value(0, 1, 1).asNumber() != 7)
            std::abort();
        return 0;
    }
    if (g.tooLong)
        std::abort();
    const int lastCol = std::min(g.cols, 256);
    for (const auto &[row, col] : {std::pair{1, 1}, std::pair{g.rows, lastCol}}) {
        const sheet::Value v = book.value(0, row, col);
        if (g.text.isEmpty() ? !v.isEmpty() : v.asText() != g.text)
            std::abort();
    }
    return 0;
}
