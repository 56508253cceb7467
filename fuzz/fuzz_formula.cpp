// Fuzzes the formula language: any text either compiles or is refused with a message; what
// compiles reads back as text that compiles again, and evaluates without crashing.
#include "common/velmoraerror.h"
#include "spreadsheet/core/formula.h"
#include "spreadsheet/core/workbook.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 4096)
        return 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    static sheet::Workbook *book = [] {
        auto *b = new sheet::Workbook;
        b->setEntry(0, 1, 1, QStringLiteral("1"));
        b->setEntry(0, 2, 1, QStringLiteral("texte"));
        b->setEntry(1, 1, 1, QStringLiteral("2"));
        return b;
    }();
    try {
        book->setEntry(0, 3, 3, u'=' + text);
    } catch (const VelmoraError &) {
        return 0;
    }
    // The text shown for editing must be accepted again.
    const QString shown = book->formulaText(0, 3, 3);
    try {
        book->setEntry(0, 3, 3, shown);
    } catch (const VelmoraError &e) {
        std::abort();
    }
    book->displayText(0, 3, 3);
    return 0;
}
