#include "spreadsheet/core/sheetsearch.h"

#include "common/velmoraerror.h"
#include "spreadsheet/core/workbook.h"

#include <limits>
#include <vector>

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

SheetReplacement replaceInSheet(Workbook &book, int sheet, const CellRange &range, const QString &text,
                                const QString &replacement)
{
    SheetReplacement done;
    if (text.isEmpty())
        return done;
    // The cells are listed first: a new entry may add or drop cells as it is taken.
    std::vector<CellAddress> cells;
    book.forEachCell(sheet, range, [&](int r, int c) { cells.push_back({r, c}); });
    for (const CellAddress &at : cells) {
        const QString entry = book.entryText(sheet, at.row, at.col);
        QString changed;
        int found = 0;
        qsizetype from = 0;
        for (qsizetype i; (i = entry.indexOf(text, from, Qt::CaseInsensitive)) >= 0; from = i + text.size()) {
            changed += QStringView(entry).mid(from, i - from);
            changed += replacement;
            ++found;
        }
        if (found == 0)
            continue;
        changed += QStringView(entry).mid(from);
        try {
            book.setEntry(sheet, at.row, at.col, changed);
        } catch (const VelmoraError &) {
            ++done.refused;
            continue;
        }
        done.count += found;
        ++done.cells;
    }
    return done;
}

} // namespace sheet
