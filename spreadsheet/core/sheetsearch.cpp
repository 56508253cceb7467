#include "spreadsheet/core/sheetsearch.h"

#include "spreadsheet/core/workbook.h"

#include <limits>

namespace sheet {

CellAddress findInSheet(const Workbook &book, int sheet, int row, int col, const QString &text)
{
    if (text.isEmpty())
        return {0, 0};
    // Cells come column by column: the best cell after the start and the best one before
    // (or at) it are kept, and a cell that could not beat them is not even looked at.
    const auto order = [](int r, int c) { return qint64(r - 1) * kMaxColumns + (c - 1); };
    const qint64 start = order(row, col);
    constexpr qint64 kNone = std::numeric_limits<qint64>::max();
    qint64 after = kNone, before = kNone;
    book.forEachCell(sheet, CellRange{1, 1, kMaxRows, kMaxColumns}, [&](int r, int c) {
        const qint64 k = order(r, c);
        qint64 &best = k > start ? after : before;
        if (k >= best)
            return;
        if (book.displayText(sheet, r, c).contains(text, Qt::CaseInsensitive)
            || (book.hasFormula(sheet, r, c) && book.formulaText(sheet, r, c).contains(text, Qt::CaseInsensitive)))
            best = k;
    });
    const qint64 found = after != kNone ? after : before;
    if (found == kNone)
        return {0, 0};
    return {int(found / kMaxColumns) + 1, int(found % kMaxColumns) + 1};
}

} // namespace sheet
