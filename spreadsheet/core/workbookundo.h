// Undo and redo of the changes made to a workbook. Each user action is one step that keeps
// only what it touches, as it was before and as it was after (the cells of a range, the
// formulas elsewhere that a deletion turns to #REF!, a sheet removed with its content), so
// that going back or forth costs what the action touched, not the size of the workbook.
#pragma once

#include "spreadsheet/core/celladdress.h"
#include "spreadsheet/core/cellformat.h"
#include "spreadsheet/core/value.h"

#include <QString>

#include <array>
#include <deque>
#include <functional>
#include <vector>

namespace sheet {

class Workbook;

// A cell of a sheet: sheet index (from 0), row and column.
struct SheetCell
{
    int sheet = 0;
    int row = 1;
    int col = 1;
};

// The cells of one rectangle of a sheet, as they are now: their contents (formula texts or
// constants) and, when asked, their formats.
class RangeSnapshot
{
public:
    enum Parts { Contents = 1, Formats = 2, Both = 3 };

    RangeSnapshot() = default;
    RangeSnapshot(const Workbook &book, int sheet, const CellRange &range, int parts = Both);
    // Puts the rectangle back as it was taken; cells that were empty are emptied.
    void restore(Workbook &book) const;

    int sheet() const { return m_sheet; }
    const CellRange &range() const { return m_range; }

private:
    struct Saved
    {
        int row;
        int col;
        QString formula; // "=..." in the French formula language; empty for a constant
        Value value;
    };
    struct FormatRun
    {
        int col;
        int top;
        int bottom;
        CellFormat format;
    };
    int m_sheet = 0;
    CellRange m_range;
    int m_parts = Both;
    std::vector<Saved> m_cells;
    std::vector<FormatRun> m_formats;
};

class WorkbookHistory
{
public:
    // Steps kept; the oldest goes when one more is recorded.
    static constexpr int kDepth = 100;

    // Where a step's change lies: the sheet and the cells to show after undoing or redoing it.
    struct Place
    {
        int sheet = -1; // -1: nothing was undone or redone
        CellRange range;
    };

    explicit WorkbookHistory(Workbook &book);

    // Each of these runs the change on the workbook and records it as one step. A change
    // that throws records nothing and passes the error on.
    // `change` alters at most the cells of `range` on `sheet` (contents and formats, or
    // only the formats).
    void changeCells(int sheet, const CellRange &range, const std::function<void()> &change);
    void changeFormats(int sheet, const CellRange &range, const std::function<void()> &change);
    // A paste of cells cut from `source` on `sourceSheet` into `target`: besides the target,
    // the formulas that read the cut cells follow them and are kept too.
    void moveCells(int sheet, const CellRange &target, int sourceSheet, const CellRange &source,
                   const std::function<void()> &change);
    // Widths of columns first..last, or heights of rows first..last.
    void changeColumnWidths(int sheet, int first, int last, const std::function<void()> &change);
    void changeRowHeights(int sheet, int first, int last, const std::function<void()> &change);
    // A sort of the rows of `range`: kept as the order it gave the rows, so that undoing
    // moves them back as the sort moved them (no cell is entered again).
    void sortRows(int sheet, const CellRange &range, const std::array<int, 3> &keys);
    // A chart made or removed on `sheet` by `change`.
    void changeCharts(int sheet, const std::function<void()> &change);
    // Whole rows (`rows`) or columns.
    void insertLines(int sheet, bool rows, int at, int count);
    void deleteLines(int sheet, bool rows, int at, int count);
    // Sheets, numbered from 0.
    void insertSheet(int index, const QString &name);
    void removeSheet(int index);
    void renameSheet(int index, const QString &name);
    void moveSheet(int from, int to);

    // Steps recorded between beginGroup and endGroup make one step (nested pairs count).
    void beginGroup();
    void endGroup();

    // Called whenever what undo() or redo() would do may have changed.
    void setOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }
    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    int undoCount() const { return int(m_undo.size()); }
    // Undoes (redoes) the last step; the place it touched, sheet -1 when there was none.
    Place undo();
    Place redo();
    void clear();

private:
    struct Step
    {
        std::function<void()> undo;
        std::function<void()> redo;
        Place place; // shown after undoing
        Place redone = {-2, {}}; // shown after redoing; sheet -2: the same place
    };
    void push(Step step);
    void changeWith(int sheet, const CellRange &range, int parts, const std::vector<SheetCell> &readersOf,
                    const std::function<void()> &change);
    void changeSizes(int sheet, bool rows, int first, int last, const std::function<void()> &change);
    Place replay(std::deque<Step> &from, std::deque<Step> &to, bool undoing);

    Workbook &m_book;
    std::deque<Step> m_undo;
    std::deque<Step> m_redo;
    int m_groupDepth = 0;
    std::vector<Step> m_group;
    bool m_replaying = false;
    std::function<void()> m_onChange;
    void changed()
    {
        if (m_onChange)
            m_onChange();
    }
};

} // namespace sheet
