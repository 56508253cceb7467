// The engine's inner door for its own file readers and writers, CSV and clipboard code:
// raw cell storage without recalculation, compiled formulas and the format pool. Views use
// Workbook's public interface instead.
#pragma once

#include "spreadsheet/core/formula.h"
#include "spreadsheet/core/workbook.h"

#include <cstdint>
#include <map>

namespace sheet {

struct StoredCell
{
    int row = 0;
    int col = 0;
    const Value *value = nullptr;
    const Formula *formula = nullptr; // null when the cell holds a constant
    const QString *rawFormula = nullptr; // a formula kept as read (not understood), or null
    std::uint32_t formatId = 0;
};

class WorkbookAccess
{
public:
    explicit WorkbookAccess(Workbook &book) : m_book(book) { }

    // Loading (no recalculation until finishLoading)
    void removeAllSheets();
    int appendSheet(const QString &name); // a clashing or bad name gets a free "FeuilN"
    void putValue(int sheet, int row, int col, const Value &value);
    void putFormula(int sheet, int row, int col, Formula formula, const Value &cached);
    void putRawFormula(int sheet, int row, int col, const QString &text, const Value &cached);
    void putFormat(int sheet, int row, int col, std::uint32_t formatId);
    void putColumnWidth(int sheet, int col, int width);
    void putRowHeight(int sheet, int row, int height);
    // Default formats of whole columns and rows (cells without a format of their own).
    void putColumnFormat(int sheet, int col, std::uint32_t formatId);
    void putRowFormat(int sheet, int row, std::uint32_t formatId);
    void putChart(int sheet, const ChartObject &chart);
    // Rebuilds the dependencies, recalculates everything and clears Modified.
    void finishLoading();

    // Reading
    const SheetNames &sheetNames() const;
    int sheetId(int sheet) const;
    std::vector<StoredCell> cellsRowMajor(int sheet) const;
    // How many cells the sheet stores.
    std::size_t cellCount(int sheet) const;
    std::uint32_t internFormat(const CellFormat &format);
    const CellFormat &formatById(std::uint32_t id) const;
    std::uint32_t formatIdAt(int sheet, int row, int col) const;
    const std::map<int, int> &columnWidths(int sheet) const;
    const std::map<int, int> &rowHeights(int sheet) const;
    const std::map<int, int> &columnFormats(int sheet) const; // format ids
    const std::map<int, int> &rowFormats(int sheet) const;
    const Formula *formulaAt(int sheet, int row, int col) const;

    // Editing with recalculation
    void setFormula(int sheet, int row, int col, Formula formula);
    // After cells `from` of `sheet` moved by (dRows, dCols) on that sheet: every formula
    // that read them reads them at their new place (recalculated with the batch).
    void followMovedCells(int sheet, const CellRange &from, int dRows, int dCols);
    void setFormatId(int sheet, int row, int col, std::uint32_t formatId);
    // Changes between begin and end recalculate once, at the end.
    void beginBatch();
    void endBatch();

    // Undo history
    // The formulas (sheet index, cell) with a reference that has a corner in `range` of
    // `sheet`, those inside `except` on that sheet left out, in order of sheet, row and
    // column; found through the dependency index, without reading every cell.
    std::vector<std::pair<int, CellAddress>> formulasWithCornerIn(int sheet, const CellRange &range,
                                                                  const CellRange &except) const;

private:
    Workbook &m_book;
};

} // namespace sheet
