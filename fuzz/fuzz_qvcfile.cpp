// Fuzzes the ".qvc" reader: any bytes give a workbook or a French error, never a crash, and
// a workbook read writes back to a file that reads again. The XML is also walked in tiny
// pieces: the walk must see what the walk of the whole file sees, or fail as it fails.
#include "fuzz/workbookroundtrip.h"
#include "spreadsheet/core/odfxml.h"
#include "spreadsheet/core/qvcfile.h"
#include "spreadsheet/core/workbook.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// Tokens, names, attributes and texts of a walk, one string; texts joined as one run.
std::string walk(const QByteArray &bytes, qsizetype pieceSize, int &problem)
{
    sheet::odf::XmlCursor xml(bytes, pieceSize);
    std::string seen;
    bool inText = false;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == sheet::odf::XmlCursor::Characters) {
            seen += inText ? "" : "\x01";
            seen += xml.rawText();
            inText = true;
            continue;
        }
        inText = false;
        seen += char('0' + token);
        if (token == sheet::odf::XmlCursor::StartElement || token == sheet::odf::XmlCursor::EndElement) {
            seen += char('A' + int(xml.ns()));
            seen += xml.name().text;
        }
        if (token == sheet::odf::XmlCursor::StartElement)
            xml.forEachAttribute([&](sheet::odf::Ns ns, std::string_view name, const char *value) {
                seen += char('A' + int(ns));
                seen += name;
                seen += '=';
                seen += value;
            });
    }
    problem = xml.problem() * 1000000 + xml.problemLine();
    return seen;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    int wholeProblem = 0, pieceProblem = 0;
    const std::string whole = walk(bytes, qsizetype(1) << 30, wholeProblem);
    const std::string pieces = walk(bytes, 24, pieceProblem);
    // Where the parser notices a fault may depend on what it sees around it: the kind and the
    // line may differ, not whether there is one.
    if ((pieceProblem != 0) != (wholeProblem != 0) || (wholeProblem == 0 && pieces != whole))
        std::abort();
    checkWorkbookRoundTrip(
            bytes, [](const QByteArray &in, sheet::Workbook &book) { sheet::qvc::read(in, book); },
            [](const sheet::Workbook &book) { return sheet::qvc::write(book); });
    return 0;
}
