// Cell positions and ranges of the workbook, and their A1 names. Rows and columns are
// numbered from 1 (as the spreadsheet window counts them); sheets from 0 (as tabs are).
#pragma once

#include <QString>

namespace sheet {

constexpr int kMaxRows = 1048576; // rows 1..kMaxRows
constexpr int kMaxColumns = 256; // columns 1..256, "A".."IV"

struct CellAddress
{
    int row = 1;
    int col = 1;
    bool operator==(const CellAddress &) const = default;
};

// A rectangle of cells, corners included; valid when 1 <= top <= bottom and 1 <= left <= right.
struct CellRange
{
    int top = 1;
    int left = 1;
    int bottom = 1;
    int right = 1;

    static CellRange single(int row, int col) { return {row, col, row, col}; }
    int rowCount() const { return bottom - top + 1; }
    int columnCount() const { return right - left + 1; }
    bool contains(int row, int col) const { return row >= top && row <= bottom && col >= left && col <= right; }
    bool isValid() const
    {
        return top >= 1 && left >= 1 && top <= bottom && left <= right && bottom <= kMaxRows && right <= kMaxColumns;
    }
    bool operator==(const CellRange &) const = default;
};

// "A".."Z", "AA".."IV"; empty for a column out of 1..kMaxColumns.
QString columnName(int col);
// 1-based column of "A".."IV" (case-insensitive), 0 when the text is not a column name.
int columnNumber(const QString &letters);
// "B4"
QString cellName(int row, int col);
// "B4" or "B4:D9" (a single cell is written as one name)
QString rangeName(const CellRange &range);
// Parses "B4" or "b4" (no "$", no sheet); false when the text is not a cell name in bounds.
bool parseCellName(const QString &text, int &row, int &col);

} // namespace sheet
