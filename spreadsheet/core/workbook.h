// The workbook engine: named sheets of sparse cells, French cell entry, formulas with
// automatic recalculation of what depends on a change, formats, sizes, frozen panes,
// row and column insertion, sort and charts. QtCore only; views observe it through
// WorkbookObserver. Sheets are numbered from 0, rows and columns from 1.
#pragma once

#include "spreadsheet/core/cellformat.h"
#include "spreadsheet/core/celladdress.h"
#include "spreadsheet/core/value.h"
#include "spreadsheet/core/workbookobserver.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace sheet {

// A chart drawn over a sheet. Type 5 is a bar chart of the range's values: one bar group
// per row, one series per column.
struct ChartObject
{
    int id = 0;
    int type = 5;
    CellRange range; // the data
    CellAddress anchor; // top-left cell the chart sits on
    int width = 6000; // twips (1/1440 inch)
    int height = 3600;
};

class Workbook
{
public:
    static constexpr int kDefaultColumnWidth = 1280; // twips (about 85 pixels at 96 dpi)
    static constexpr int kDefaultRowHeight = 255; // twips (12,75 points)

    // A new workbook: sheets "Feuil1", "Feuil2", "Feuil3", Arial 10 points, default sizes.
    Workbook();
    ~Workbook();
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;

    // Observers are not owned; remove them before they die.
    void addObserver(WorkbookObserver *observer);
    void removeObserver(WorkbookObserver *observer);

    // Replaces the whole content by `other`'s (observers of this workbook are kept and get
    // workbookReset). `other` is left as a new workbook. Used after a file was read into a fresh workbook.
    void takeContentFrom(Workbook &other);

    // Sheets
    int sheetCount() const;
    QString sheetName(int sheet) const;
    int sheetIndex(const QString &name) const; // case-insensitive; -1 when absent
    // Names must be non-empty, unique (case-insensitive) and free of [ ] * ? : / \ and
    // of an apostrophe at either end.
    // These throw VelmoraError with a French message on a bad name or index.
    void insertSheet(int index, const QString &name);
    void removeSheet(int index); // references to it become #REF!; the last sheet stays
    void renameSheet(int index, const QString &name); // formulas follow the new name
    // Moves sheet `from` to position `to` (both from 0); formulas keep reading the same sheets.
    void moveSheet(int from, int to);
    // Adds sheets "FeuilN" at the end or removes sheets from the end (at least one stays).
    void setSheetCount(int count);
    static bool isValidSheetName(const QString &name);

    // Cells
    // What the user typed: "=..." a formula, "1,5" or "-2" or "15%" a number, "12/03/1999"
    // a date, "10:30" a time, "'123" the text "123", "" clears the content; else text.
    // A rejected formula throws VelmoraError with a French message and changes nothing.
    void setEntry(int sheet, int row, int col, const QString &text);
    // A formula given by the program, with or without the leading "=" ("SUM(B4)").
    void setFormula(int sheet, int row, int col, const QString &formula);
    void setValue(int sheet, int row, int col, const Value &value);
    void clearContents(int sheet, const CellRange &range); // values and formulas
    void clearFormats(int sheet, const CellRange &range);

    Value value(int sheet, int row, int col) const;
    bool hasFormula(int sheet, int row, int col) const;
    // "=SUM(A1;B2)" in the French formula language; empty for a cell without formula.
    QString formulaText(int sheet, int row, int col) const;
    // What the cell editor starts with: the formula, or the value as the user would type it
    // ("1,5", "12/03/1999", "'123" for a text that would read as a number).
    QString entryText(int sheet, int row, int col) const;
    // The value as shown in the grid, French number format and the cell's number format
    // applied ("1,5", "12/03/1999", "VRAI", "#DIV/0!"). With showFormulas() on, formula
    // cells show their formula.
    QString displayText(int sheet, int row, int col) const;
    // Alignment the grid should use for the cell: the format's, or for AlignGeneral the
    // usual rule (numbers and dates right, booleans and errors centre, text left).
    HorizontalAlignment effectiveAlignment(int sheet, int row, int col) const;

    // Extent of the used area (cells with a value or a formula): 0 when the sheet is empty.
    int maxRow(int sheet) const;
    int maxCol(int sheet) const;
    // Calls `visit` for each cell with content in `range`, column by column.
    void forEachCell(int sheet, const CellRange &range, const std::function<void(int row, int col)> &visit) const;

    // Formats
    CellFormat format(int sheet, int row, int col) const;
    // Applies `edit` to the format of every cell of `range` (limited to the used area and
    // the range's first row and column when the range is whole rows or columns: a format
    // is stored per cell).
    void modifyFormat(int sheet, const CellRange &range, const std::function<void(CellFormat &)> &edit);
    void setFormat(int sheet, const CellRange &range, const CellFormat &format);
    CellFormat defaultFormat() const;

    // Sizes and view
    // Widths and heights in twips (1/1440 inch; 20 twips = 1 point).
    int columnWidth(int sheet, int col) const;
    void setColumnWidth(int sheet, int firstCol, int lastCol, int width);
    bool hasCustomColumnWidth(int sheet, int col) const;
    int rowHeight(int sheet, int row) const;
    void setRowHeight(int sheet, int firstRow, int lastRow, int height);
    bool hasCustomRowHeight(int sheet, int row) const;

    int frozenRows(int sheet) const;
    int frozenColumns(int sheet) const;
    void setFrozenRows(int sheet, int rows);
    void setFrozenColumns(int sheet, int cols);

    bool showGridLines() const;
    void setShowGridLines(bool on);
    bool showFormulas() const;
    void setShowFormulas(bool on);

    bool isModified() const;
    void setModified(bool modified);

    // Structure
    // Whole rows or columns; every reference in every sheet follows, references into deleted
    // cells become #REF!. Insertion that would push cells with content past the last row or
    // column throws VelmoraError and changes nothing.
    void insertRows(int sheet, int row, int count);
    void deleteRows(int sheet, int row, int count);
    void insertColumns(int sheet, int col, int count);
    void deleteColumns(int sheet, int col, int count);

    // Sorts the rows of `range` by up to three keys: key = 1-based column position in the
    // range, negative for descending, 0 for none. Numbers before texts before booleans
    // before errors, texts in French order ignoring case; empty cells always last; equal
    // rows keep their order. Formulas move with their row, relative references following.
    // Returns the new order: entry i is the row that now stands at range.top + i (empty when
    // nothing was sorted).
    std::vector<int> sortRows(int sheet, const CellRange &range, const std::array<int, 3> &keys);
    // Puts the rows of `range` in `order` (as sortRows gives it), as a sort moves them.
    void reorderRows(int sheet, const CellRange &range, const std::vector<int> &order);

    // Calculation
    // Recomputes every formula, RAND, NOW and TODAY included. Changes recompute by
    // themselves; this is the "recalculate now" command.
    void recalculate();
    // Recomputes RAND, NOW, TODAY, INDIRECT and OFFSET and what reads them: what an export
    // needs, every other formula being current already.
    void recalculateVolatile();

    // Charts
    // Returns the new chart's id (unique in the workbook). Throws on an unknown type.
    int addChart(int sheet, int type, const CellRange &range);
    void removeChart(int id);
    std::vector<ChartObject> charts(int sheet) const;
    void setChartGeometry(int id, CellAddress anchor, int width, int height);

    // The engine's own inside (storage, dependencies); only its own code sees the definition.
    struct Impl;

private:
    friend class WorkbookAccess;
    std::unique_ptr<Impl> d;
};

} // namespace sheet
