// The workbook control: a grid of the active sheet with column letters and row numbers,
// in-cell editing, sheet tabs along the bottom, frozen panes, charts, the clipboard and
// printing, over the workbook engine. Its properties and operations are those the
// spreadsheet window uses; rows, columns and sheets are numbered from 1.
#pragma once

#include "spreadsheet/core/cellformat.h"
#include "spreadsheet/core/sheetsearch.h"
#include "spreadsheet/core/workbookobserver.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QLineEdit;
class QPrinter;
class QTabBar;
class QModelIndex;
class CellDelegate;
class SheetModel;
class SheetView;

namespace sheet {
struct ChartObject;
class Workbook;
class WorkbookHistory;
} // namespace sheet

class TF1Book
    : public QWidget
    , private sheet::WorkbookObserver
{
    Q_OBJECT
public:
    // Shift codes of the insert and delete operations.
    enum Shift { ShiftRows = 3, ShiftColumns = 4 };
    // The control's own workbook format.
    static constexpr int kFormatWorkbook = 5;
    // Object type of a bar chart.
    static constexpr int kObjectChart = 5;
    // Which parts of a font SetFontParts changes.
    enum FontPart {
        FontName = 0x01,
        FontSize = 0x02,
        FontBold = 0x04,
        FontItalic = 0x08,
        FontUnderline = 0x10,
        FontStrikeout = 0x20,
        FontColour = 0x40,
        FontAll = 0x7f
    };

    explicit TF1Book(QWidget *parent = nullptr);
    ~TF1Book() override;

    sheet::Workbook &workbook() { return *m_book; }
    const sheet::Workbook &workbook() const { return *m_book; }
    // The changes the user made, to undo and redo; every operation below records its own.
    sheet::WorkbookHistory &history() { return *m_history; }

    // Properties
    int Row() const;
    int Col() const;
    // Makes (row, col) the active cell and the selection.
    void SetActiveCell(int row, int col);
    // Formula of the active cell ("=..." or the entry); setting it may throw VelmoraError.
    QString Formula() const;
    void SetFormula(const QString &formula);
    int FixedRows() const;
    void SetFixedRows(int rows);
    int FixedCols() const;
    void SetFixedCols(int cols);
    bool ShowGridLines() const;
    void SetShowGridLines(bool on);
    bool ShowFormulas() const;
    void SetShowFormulas(bool on);
    int MaxRow() const;
    int MaxCol() const;
    bool Modified() const;
    void SetModified(bool modified);
    int NumSheets() const;
    void SetNumSheets(int count);
    // The active sheet, shown in the grid.
    int Sheet() const { return m_sheet + 1; }
    void SetSheet(int sheet);
    QString SheetName(int sheet) const;
    void SetSheetName(int sheet, const QString &name);
    // Inserts a sheet before `sheet` (NumSheets + 1 appends); removes a sheet with its content.
    void InsertSheet(int sheet, const QString &name);
    void DeleteSheet(int sheet);
    // Moves a sheet to another position (both from 1); the moved sheet becomes the active one.
    void MoveSheet(int from, int to);

    // Operations
    // Horizontal 1 general, 2 left, 3 centre, 4 right; vertical 1 top, 2 middle, 3 bottom.
    void GetAlignment(int &horizontal, bool &wrap, int &vertical, int &orientation) const;
    void SetAlignment(int horizontal, bool wrap, int vertical, int orientation);
    // Only the horizontal alignment of each selected cell.
    void SetHorizontalAlignment(sheet::HorizontalAlignment horizontal);
    // Font of the active cell; size in twentieths of a point, colour as 0xRRGGBB.
    void GetFont(QString &name, int &size, bool &bold, bool &italic, bool &underline, bool &strikeout, unsigned &colour,
                 bool &outline, bool &shadow) const;
    // Font of the selection; size in points.
    void SetFont(const QString &name, int size, bool bold, bool italic, bool underline, bool strikeout, unsigned colour,
                 bool outline, bool shadow);
    // Changes only the `parts` of each selected cell's font (size in twentieths of a point),
    // so that a selection of mixed fonts keeps what was not asked for.
    void SetFontParts(const sheet::CellFormat &values, int parts);
    // The number format of the selection ("" standard, "0,00", "dd/mm/yyyy"...).
    void SetNumberFormat(const QString &pattern);

    void EditCopy();
    void EditCut();
    void EditPaste();
    // Clears the values and formulas of the selection.
    void EditClear();
    // Replaces `text` by `replacement` in the entries of the selection, or of the whole sheet
    // when one cell is selected: one step of the history.
    sheet::SheetReplacement EditReplace(const QString &text, const QString &replacement);
    // Copies the selection's first row down over the rest of it (Ctrl+D), or its first column
    // right (Ctrl+R), relative references following as in a paste.
    void EditFill(bool down);
    void EditInsert(int shift);
    void EditDelete(int shift);
    // Prints the workbook on `printer`.
    void FilePrint(QPrinter &printer);
    void Recalc();
    // index 0 is the current selection; a selection of whole rows or columns reaches the
    // last row or column of the sheet.
    void GetSelection(int index, int &r1, int &c1, int &r2, int &c2) const;
    void SetSelection(int r1, int c1, int r2, int c2);
    // The whole active sheet, the active cell kept.
    void SelectAll();
    // Widths and heights in twips (twentieths of a point).
    void SetColWidth(int c1, int c2, int width, bool defaultFlag);
    void SetRowHeight(int r1, int r2, int height, bool defaultFlag);
    int ColWidth(int col) const;
    int RowHeight(int row) const;
    // Fits columns c1..c2 to the contents of rows r1..r2; empty columns keep their width
    // unless setDefaults, which gives them the default width.
    void SetColWidthAuto(int r1, int c1, int r2, int c2, bool setDefaults);
    // Sorts rows by up to three keys (1-based column positions in the range, negative for
    // descending, 0 for none).
    void Sort(int r1, int c1, int r2, int c2, bool byRows, int key1, int key2, int key3);
    // Creates an object over the sheet (type 5: bar chart of the range); returns its id.
    int ObjCreate(int type, int r1, int c1, int r2, int c2);
    // The chart under a point of the main pane's viewport, 0 for none; removing one is a
    // step of the history, as making it is.
    int ChartAt(const QPoint &viewportPoint) const;
    void ObjDelete(int id);
    void Read(const QString &path, int &format);
    // Cells of the file last read that the workbook could not take as they were.
    int CellsLeftOut() const { return m_cellsLeftOut; }
    void ForgetCellsLeftOut() { m_cellsLeftOut = 0; }
    void Write(const QString &path, int format);

    // Undo and redo of the last change (in an open editor: of its typing).
    void EditUndo();
    void EditRedo();
    bool CanUndo() const;
    bool CanRedo() const;

    // Editing
    bool IsEditing() const;
    // Opens the active cell's editor with `text`, the caret at `caret` (-1: at the end).
    void StartEdit(const QString &text, int caret = -1);
    // Inserts `text` at the caret of the open editor, or opens the editor with "=" + text.
    void InsertInEditor(const QString &text);
    // Enters what the open editor holds (an entry the workbook refuses is reported and the
    // editor stays open with it); true when no editor is left open.
    bool CommitEdit();
    // Closes the open editor without entering it, giving back its text and caret; false
    // when no editor was open.
    bool SuspendEdit(QString &text, int &caret);
    // The text of the open editor (empty when none).
    QString EditorText() const;
    // Enters `text` in the active cell as its editor would (recorded for undo); false with
    // the workbook's French message in `error` when the entry is refused.
    bool EnterActiveCell(const QString &text, QString &error);

    SheetView *view() const { return m_view; }
    QTabBar *tabBar() const { return m_tabs; }
    SheetModel *model() const { return m_model; }
    // Screen pixels of a size in twips, and back.
    int toPixels(int twips) const;
    int toTwips(int pixels) const;

Q_SIGNALS:
    // After every change of the active cell, the selection or the active sheet.
    void SelChange();
    // Contents shown changed (entries, recalculation, undo, another file).
    void ContentsChanged();
    // A cell editor was opened on the active cell.
    void EditorOpened(QLineEdit *editor);
    // What EditUndo or EditRedo would do may have changed.
    void UndoStateChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // WorkbookObserver
    void cellsChanged(int sheet, const std::vector<sheet::CellAddress> &cells) override;
    void sheetChanged(int sheet) override;
    void sheetsChanged() override;
    void workbookReset() override;

    SheetView *createPane(int pane);
    void copyRange(bool cut); // the selection to the clipboard, as a copy or as a cut
    void applySheetLayout();
    void applySizes();
    void applySizesTo(SheetView *view);
    QRect chartRect(const sheet::ChartObject &chart) const;
    void applyFrozen();
    void layoutPanes();
    void rebuildTabs();
    void paintCharts(QPainter &p);
    SheetView *paneOf(const QModelIndex &index) const;
    void focusPaneOf(const QModelIndex &current);
    void scheduleSelChange();
    void checkSelChange();
    void moveActive(int dRow, int dCol);
    void goToLastCell(bool extend);
    QModelIndex cellAtGlobal(const QPoint &global) const;
    // Rows whose height follows the largest font in them (the user set no height).
    void fitRowHeights(const std::vector<int> &rows);
    void entryRejected(const QModelIndex &index, const QString &text, const QString &message);
    sheet::CellRange selectionRange() const;
    void modifySelectionFormat(const std::function<void(sheet::CellFormat &)> &edit);
    void formatRange(const sheet::CellRange &range, const std::function<void(sheet::CellFormat &)> &edit);
    sheet::CellRange usedPart(const sheet::CellRange &range) const;
    SheetView *paneWithEditor() const;
    void forEachPane(const std::function<void(SheetView *)> &f) const;
    void keepingActiveCell(const std::function<void()> &change);
    void replay(bool undo);
    void showChange(int sheet, const sheet::CellRange &range);
    int m_cellsLeftOut = 0;

    std::unique_ptr<sheet::Workbook> m_book;
    std::unique_ptr<sheet::WorkbookHistory> m_history;
    int m_sheet = 0;
    SheetModel *m_model = nullptr;
    CellDelegate *m_delegate = nullptr;
    SheetView *m_view = nullptr;
    SheetView *m_top = nullptr;
    SheetView *m_left = nullptr;
    SheetView *m_corner = nullptr;
    QTabBar *m_tabs = nullptr;
    // The cell editor while a cell is being edited, else null.
    QLineEdit *openEditor() const;
    bool m_rebuildingTabs = false;
    bool m_destroying = false;
    bool m_tabDrag = false; // a mouse button is down on the tabs: the moves make one change
    bool m_selChangePending = false;
    std::vector<int> m_customRows; // rows whose height the views were given, 0-based
    std::vector<int> m_autoRows; // rows grown to fit a large font, 0-based
    std::vector<sheet::CellAddress> m_cursorOfSheet;
    struct SelState
    {
        int sheet, row, col, r1, c1, r2, c2;
        bool operator==(const SelState &) const = default;
    };
    SelState m_lastSel{-1, 0, 0, 0, 0, 0, 0};
};
