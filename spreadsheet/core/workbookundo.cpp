#include "spreadsheet/core/workbookundo.h"

#include "common/velmoraerror.h"
#include "spreadsheet/core/workbook.h"
#include "spreadsheet/core/workbookaccess.h"

#include <algorithm>
#include <memory>

namespace sheet {

namespace {

// No cells: the step concerns a sheet as a whole.
constexpr CellRange kNoRange{0, 0, -1, -1};

// Changes made while one of these lives recalculate and repaint once, when it ends.
class Batch
{
public:
    explicit Batch(Workbook &book) : m_access(book) { m_access.beginBatch(); }
    ~Batch() { m_access.endBatch(); }
    Batch(const Batch &) = delete;
    Batch &operator=(const Batch &) = delete;

private:
    WorkbookAccess m_access;
};

// The part of `range` whose formats can differ from the default: a format is stored per
// cell up to the used area, as the workbook's format commands do.
CellRange formatExtent(const Workbook &book, int sheet, const CellRange &range)
{
    CellRange r = range;
    const bool huge = qint64(r.rowCount()) * r.columnCount() > 1'000'000;
    if (r.bottom == kMaxRows || huge)
        r.bottom = std::min(r.bottom, std::max(r.top, book.maxRow(sheet)));
    if (r.right == kMaxColumns || huge)
        r.right = std::min(r.right, std::max(r.left, book.maxCol(sheet)));
    return r;
}

// Formula cells of any sheet with a reference that has a corner in `range` of `sheet`:
// the references a deletion or a move rewrites. Cells inside `except` (on `sheet`) are left out.
std::vector<SheetCell> readersOf(Workbook &book, int sheet, const CellRange &range, const CellRange &except = kNoRange)
{
    std::vector<SheetCell> found;
    for (const auto &[s, cell] : WorkbookAccess(book).formulasWithCornerIn(sheet, range, except))
        found.push_back({s, cell.row, cell.col});
    return found;
}

// The formulas of a list of cells, as they are now.
struct FormulaTexts
{
    FormulaTexts() = default;
    FormulaTexts(const Workbook &book, const std::vector<SheetCell> &cells)
    {
        for (const SheetCell &c : cells)
            texts.push_back({c, book.formulaText(c.sheet, c.row, c.col)});
    }
    void restore(Workbook &book) const
    {
        for (const auto &[c, text] : texts)
            if (book.formulaText(c.sheet, c.row, c.col) != text)
                book.setFormula(c.sheet, c.row, c.col, text);
    }
    std::vector<std::pair<SheetCell, QString>> texts;
};

// Widths of columns or heights of rows first..last, in runs of equal size.
struct LineSizes
{
    struct Run
    {
        int first;
        int last;
        int size;
        bool custom;
    };
    LineSizes() = default;
    LineSizes(const Workbook &book, int sheet, bool rows, int first, int last) : sheet(sheet), rows(rows)
    {
        for (int line = first; line <= last; ++line) {
            const int size = rows ? book.rowHeight(sheet, line) : book.columnWidth(sheet, line);
            const bool custom = rows ? book.hasCustomRowHeight(sheet, line) : book.hasCustomColumnWidth(sheet, line);
            if (!runs.empty() && runs.back().size == size && runs.back().custom == custom
                && runs.back().last == line - 1)
                runs.back().last = line;
            else
                runs.push_back({line, line, size, custom});
        }
    }
    void restore(Workbook &book) const
    {
        for (const Run &run : runs) {
            // Lines that were never sized and are not now keep the default: only what
            // differs is written back.
            int from = -1;
            auto flush = [&](int to) {
                if (from < 0)
                    return;
                if (rows)
                    book.setRowHeight(sheet, from, to, run.size);
                else
                    book.setColumnWidth(sheet, from, to, run.size);
                from = -1;
            };
            for (int line = run.first; line <= run.last; ++line) {
                const int now = rows ? book.rowHeight(sheet, line) : book.columnWidth(sheet, line);
                const bool custom =
                        rows ? book.hasCustomRowHeight(sheet, line) : book.hasCustomColumnWidth(sheet, line);
                const bool differs = now != run.size || (run.custom && !custom);
                if (differs && from < 0)
                    from = line;
                else if (!differs)
                    flush(line - 1);
            }
            flush(run.last);
        }
    }
    int sheet = 0;
    bool rows = false;
    std::vector<Run> runs;
};

bool sameChart(const ChartObject &a, const ChartObject &b)
{
    return a.type == b.type && a.range == b.range && a.anchor == b.anchor && a.width == b.width && a.height == b.height;
}

// Puts the charts of a sheet back as they were (their ids are new).
void restoreCharts(Workbook &book, int sheet, const std::vector<ChartObject> &charts)
{
    const std::vector<ChartObject> now = book.charts(sheet);
    if (std::equal(now.begin(), now.end(), charts.begin(), charts.end(), sameChart))
        return;
    for (const ChartObject &c : now)
        book.removeChart(c.id);
    for (const ChartObject &c : charts) {
        const int id = book.addChart(sheet, c.type, c.range);
        book.setChartGeometry(id, c.anchor, c.width, c.height);
    }
}

// Everything of one sheet: its name, cells, sizes, frozen panes and charts.
struct SheetContent
{
    SheetContent(const Workbook &book, int sheet)
        : name(book.sheetName(sheet)),
          cells(book, sheet, CellRange{1, 1, std::max(1, book.maxRow(sheet)), std::max(1, book.maxCol(sheet))}),
          widths(book, sheet, false, 1, kMaxColumns),
          frozenRows(book.frozenRows(sheet)),
          frozenCols(book.frozenColumns(sheet)),
          charts(book.charts(sheet))
    {
        // Heights may be set below the used area: only the rows that have one are kept.
        for (int r = 1; r <= kMaxRows; ++r)
            if (book.hasCustomRowHeight(sheet, r))
                heights.push_back({r, book.rowHeight(sheet, r)});
    }
    void restore(Workbook &book, int sheet) const
    {
        cells.restore(book);
        widths.restore(book);
        for (const auto &[row, height] : heights)
            book.setRowHeight(sheet, row, row, height);
        book.setFrozenRows(sheet, frozenRows);
        book.setFrozenColumns(sheet, frozenCols);
        restoreCharts(book, sheet, charts);
    }
    QString name;
    RangeSnapshot cells;
    LineSizes widths;
    std::vector<std::pair<int, int>> heights;
    int frozenRows;
    int frozenCols;
    std::vector<ChartObject> charts;
};

} // namespace

// RangeSnapshot

RangeSnapshot::RangeSnapshot(const Workbook &book, int sheet, const CellRange &range, int parts)
    : m_sheet(sheet),
      m_range(range),
      m_parts(parts)
{
    if (parts & Contents)
        book.forEachCell(sheet, range, [&](int row, int col) {
            if (book.hasFormula(sheet, row, col))
                m_cells.push_back({row, col, book.formulaText(sheet, row, col), Value()});
            else
                m_cells.push_back({row, col, QString(), book.value(sheet, row, col)});
        });
    if (!(parts & Formats))
        return;
    // Runs down each column of the cells that share one format, compared by the pool's ids.
    WorkbookAccess access(const_cast<Workbook &>(book));
    const CellRange r = formatExtent(book, sheet, range);
    for (int col = r.left; col <= r.right; ++col) {
        std::uint32_t runId = access.formatIdAt(sheet, r.top, col);
        int top = r.top;
        for (int row = r.top + 1; row <= r.bottom + 1; ++row) {
            const std::uint32_t id = row <= r.bottom ? access.formatIdAt(sheet, row, col) : runId + 1;
            if (id == runId)
                continue;
            m_formats.push_back({col, top, row - 1, access.formatById(runId)});
            runId = id;
            top = row;
        }
    }
}

void RangeSnapshot::restore(Workbook &book) const
{
    Batch batch(book);
    if (m_parts & Contents) {
        book.clearContents(m_sheet, m_range);
        for (const Saved &c : m_cells) {
            if (c.formula.isEmpty()) {
                book.setValue(m_sheet, c.row, c.col, c.value);
                continue;
            }
            try {
                book.setFormula(m_sheet, c.row, c.col, c.formula);
            } catch (const VelmoraError &) {
                // A formula kept as read from a file, which the formula language cannot
                // take back: its text stays, as in the file.
                book.setValue(m_sheet, c.row, c.col, Value::text(c.formula));
            }
        }
    }
    for (const FormatRun &run : m_formats)
        book.setFormat(m_sheet, CellRange{run.top, run.col, run.bottom, run.col}, run.format);
}

// WorkbookHistory

WorkbookHistory::WorkbookHistory(Workbook &book) : m_book(book) { }

void WorkbookHistory::push(Step step)
{
    if (m_replaying)
        return;
    m_redo.clear();
    if (m_groupDepth > 0) {
        m_group.push_back(std::move(step));
    } else {
        m_undo.push_back(std::move(step));
        while (int(m_undo.size()) > kDepth)
            m_undo.pop_front();
    }
    changed();
}

void WorkbookHistory::beginGroup()
{
    if (m_groupDepth++ == 0)
        m_group.clear();
}

void WorkbookHistory::endGroup()
{
    if (m_groupDepth == 0 || --m_groupDepth > 0)
        return;
    std::vector<Step> steps = std::move(m_group);
    m_group.clear();
    if (steps.empty())
        return;
    if (steps.size() == 1) {
        push(std::move(steps.front()));
        return;
    }
    auto shared = std::make_shared<std::vector<Step>>(std::move(steps));
    Step group;
    group.place = shared->front().place;
    group.redone = shared->back().redone.sheet == -2 ? shared->back().place : shared->back().redone;
    group.undo = [shared] {
        for (auto it = shared->rbegin(); it != shared->rend(); ++it)
            it->undo();
    };
    group.redo = [shared] {
        for (Step &s : *shared)
            s.redo();
    };
    push(std::move(group));
}

void WorkbookHistory::clear()
{
    m_undo.clear();
    m_redo.clear();
    changed();
}

WorkbookHistory::Place WorkbookHistory::undo() { return replay(m_undo, m_redo, true); }
WorkbookHistory::Place WorkbookHistory::redo() { return replay(m_redo, m_undo, false); }

WorkbookHistory::Place WorkbookHistory::replay(std::deque<Step> &from, std::deque<Step> &to, bool undoing)
{
    if (from.empty())
        return {};
    Step step = std::move(from.back());
    from.pop_back();
    m_replaying = true;
    try {
        Batch batch(m_book);
        undoing ? step.undo() : step.redo();
    } catch (...) {
        // A step that cannot be replayed is dropped, with what follows it on that side.
        m_replaying = false;
        to.clear();
        changed();
        throw;
    }
    m_replaying = false;
    m_book.setModified(true);
    const Place place = undoing || step.redone.sheet == -2 ? step.place : step.redone;
    to.push_back(std::move(step));
    changed();
    return place;
}

void WorkbookHistory::changeWith(int sheet, const CellRange &range, int parts, const std::vector<SheetCell> &readers,
                                 const std::function<void()> &change)
{
    auto before = std::make_shared<RangeSnapshot>(m_book, sheet, range, parts);
    auto readersBefore = std::make_shared<FormulaTexts>(m_book, readers);
    change();
    auto after = std::make_shared<RangeSnapshot>(m_book, sheet, range, parts);
    auto readersAfter = std::make_shared<FormulaTexts>(m_book, readers);
    Workbook &book = m_book;
    push({[&book, before, readersBefore] {
              before->restore(book);
              readersBefore->restore(book);
          },
          [&book, after, readersAfter] {
              after->restore(book);
              readersAfter->restore(book);
          },
          {sheet, range}});
}

void WorkbookHistory::changeCells(int sheet, const CellRange &range, const std::function<void()> &change)
{
    changeWith(sheet, range, RangeSnapshot::Both, {}, change);
}

void WorkbookHistory::changeFormats(int sheet, const CellRange &range, const std::function<void()> &change)
{
    changeWith(sheet, range, RangeSnapshot::Formats, {}, change);
}

void WorkbookHistory::moveCells(int sheet, const CellRange &target, int sourceSheet, const CellRange &source,
                                const std::function<void()> &change)
{
    // Cut and pasted on one sheet, the cells are moved: what read them reads them at their
    // new place. From another sheet, nothing follows them.
    const std::vector<SheetCell> readers =
            sourceSheet == sheet ? readersOf(m_book, sheet, source, target) : std::vector<SheetCell>{};
    changeWith(sheet, target, RangeSnapshot::Both, readers, change);
}

void WorkbookHistory::changeColumnWidths(int sheet, int first, int last, const std::function<void()> &change)
{
    changeSizes(sheet, false, first, last, change);
}

void WorkbookHistory::changeRowHeights(int sheet, int first, int last, const std::function<void()> &change)
{
    changeSizes(sheet, true, first, last, change);
}

void WorkbookHistory::changeSizes(int sheet, bool rows, int first, int last, const std::function<void()> &change)
{
    const int limit = rows ? kMaxRows : kMaxColumns;
    first = std::clamp(first, 1, limit);
    last = std::clamp(last, first, limit);
    auto before = std::make_shared<LineSizes>(m_book, sheet, rows, first, last);
    change();
    auto after = std::make_shared<LineSizes>(m_book, sheet, rows, first, last);
    Workbook &book = m_book;
    push({[&book, before] { before->restore(book); },
          [&book, after] { after->restore(book); },
          {sheet, rows ? CellRange{first, 1, last, kMaxColumns} : CellRange{1, first, kMaxRows, last}}});
}

void WorkbookHistory::sortRows(int sheet, const CellRange &range, const std::array<int, 3> &keys)
{
    const CellRange r{std::max(1, range.top), std::max(1, range.left), std::min(kMaxRows, range.bottom),
                      std::min(kMaxColumns, range.right)};
    const std::vector<int> order = m_book.sortRows(sheet, r, keys);
    if (order.empty())
        return;
    std::vector<int> back(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        back[size_t(order[i] - r.top)] = r.top + int(i);
    Workbook &book = m_book;
    push({[&book, sheet, r, back] { book.reorderRows(sheet, r, back); },
          [&book, sheet, r, order] { book.reorderRows(sheet, r, order); },
          {sheet, r}});
}

void WorkbookHistory::insertLines(int sheet, bool rows, int at, int count)
{
    if (count <= 0)
        return;
    Workbook &book = m_book;
    auto insert = [&book, sheet, rows, at, count] {
        rows ? book.insertRows(sheet, at, count) : book.insertColumns(sheet, at, count);
    };
    auto remove = [&book, sheet, rows, at, count] {
        rows ? book.deleteRows(sheet, at, count) : book.deleteColumns(sheet, at, count);
    };
    insert();
    const CellRange band = rows ? CellRange{at, 1, std::min(kMaxRows, at + count - 1), kMaxColumns}
                                : CellRange{1, at, kMaxRows, std::min(kMaxColumns, at + count - 1)};
    push({remove, insert, {sheet, band}});
}

void WorkbookHistory::deleteLines(int sheet, bool rows, int at, int count)
{
    const int limit = rows ? kMaxRows : kMaxColumns;
    count = std::min(count, limit - at + 1);
    if (count <= 0 || at < 1)
        return;
    const CellRange band =
            rows ? CellRange{at, 1, at + count - 1, kMaxColumns} : CellRange{1, at, kMaxRows, at + count - 1};
    // What the deletion drops or rewrites: the band's cells and sizes, the formulas that
    // read into it (they become #REF! or shrink), the charts over it.
    auto cells = std::make_shared<RangeSnapshot>(m_book, sheet, band);
    auto sizes = std::make_shared<LineSizes>(m_book, sheet, rows, at, at + count - 1);
    auto readers = std::make_shared<FormulaTexts>(m_book, readersOf(m_book, sheet, band, band));
    auto charts = std::make_shared<std::vector<ChartObject>>(m_book.charts(sheet));
    Workbook &book = m_book;
    auto remove = [&book, sheet, rows, at, count] {
        rows ? book.deleteRows(sheet, at, count) : book.deleteColumns(sheet, at, count);
    };
    remove();
    push({[&book, sheet, rows, at, count, cells, sizes, readers, charts] {
              rows ? book.insertRows(sheet, at, count) : book.insertColumns(sheet, at, count);
              cells->restore(book);
              sizes->restore(book);
              readers->restore(book);
              restoreCharts(book, sheet, *charts);
          },
          remove,
          {sheet, band}});
}

void WorkbookHistory::insertSheet(int index, const QString &name)
{
    m_book.insertSheet(index, name);
    Workbook &book = m_book;
    push({[&book, index] { book.removeSheet(index); },
          [&book, index, name] { book.insertSheet(index, name); },
          {index, kNoRange}});
}

void WorkbookHistory::removeSheet(int index)
{
    if (index < 0 || index >= m_book.sheetCount())
        throw VelmoraError(QStringLiteral("La feuille %1 n'existe pas").arg(index + 1));
    auto content = std::make_shared<SheetContent>(m_book, index);
    // Formulas of the other sheets that read this one become #REF!. They are listed by the
    // sheets' positions now, which are theirs again once the sheet is back in its place.
    std::vector<SheetCell> readers = readersOf(m_book, index, CellRange{1, 1, kMaxRows, kMaxColumns});
    std::erase_if(readers, [index](const SheetCell &c) { return c.sheet == index; });
    auto texts = std::make_shared<FormulaTexts>(m_book, readers);
    m_book.removeSheet(index);
    Workbook &book = m_book;
    push({[&book, index, content, texts] {
              book.insertSheet(index, content->name);
              content->restore(book, index);
              texts->restore(book);
          },
          [&book, index] { book.removeSheet(index); },
          {index, kNoRange}});
}

void WorkbookHistory::changeCharts(int sheet, const std::function<void()> &change)
{
    std::vector<ChartObject> before = m_book.charts(sheet);
    change();
    std::vector<ChartObject> after = m_book.charts(sheet);
    Workbook &book = m_book;
    push({[&book, sheet, before] { restoreCharts(book, sheet, before); },
          [&book, sheet, after] { restoreCharts(book, sheet, after); },
          {sheet, kNoRange}});
}

void WorkbookHistory::renameSheet(int index, const QString &name)
{
    const QString old = m_book.sheetName(index);
    if (old == name)
        return;
    m_book.renameSheet(index, name);
    Workbook &book = m_book;
    push({[&book, index, old] { book.renameSheet(index, old); },
          [&book, index, name] { book.renameSheet(index, name); },
          {index, kNoRange}});
}

void WorkbookHistory::moveSheet(int from, int to)
{
    if (from == to)
        return;
    m_book.moveSheet(from, to);
    Workbook &book = m_book;
    push({[&book, from, to] { book.moveSheet(to, from); },
          [&book, from, to] { book.moveSheet(from, to); },
          {from, kNoRange},
          {to, kNoRange}});
}

} // namespace sheet
