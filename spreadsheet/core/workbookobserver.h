// How a view learns what to repaint: the workbook calls its observers after each change,
// once the recalculation it caused is done. No Qt signals, so the engine stays a plain model.
#pragma once

#include "spreadsheet/core/celladdress.h"

#include <vector>

namespace sheet {

class WorkbookObserver
{
public:
    virtual ~WorkbookObserver() = default;
    // Values, formulas or formats of these cells of `sheet` changed (entries, recalculation).
    virtual void cellsChanged(int sheet, const std::vector<CellAddress> &cells)
    {
        (void)sheet;
        (void)cells;
    }
    // Many cells moved or changed at once on `sheet` (rows or columns inserted or deleted,
    // sort, paste, sizes, frozen panes, charts): repaint the whole sheet.
    virtual void sheetChanged(int sheet) { (void)sheet; }
    // Sheets added, removed or renamed.
    virtual void sheetsChanged() { }
    // The whole workbook was replaced (file read) or a workbook-wide flag changed.
    virtual void workbookReset() { }
};

} // namespace sheet
