// Inside the workbook: sparse cell storage (per column, blocks of 256 rows), the format
// pool, the dependency index (which formulas read a cell or a range) and the recalculation.
// Their code: workbookstorage.cpp, workbookdependencies.cpp, workbookcontext.cpp and
// workbookrecalc.cpp.
#pragma once

#include "spreadsheet/core/evaluator.h"
#include "spreadsheet/core/formula.h"
#include "spreadsheet/core/workbook.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace sheet {

struct CellBlock;
struct LookupNote;

// A note of an exact lookup through the insertion or deletion of lines at.. of its table's
// sheet: the table and the position found follow. False when the table, or the cell
// found, is deleted.
bool followLookupNote(LookupNote &note, bool rows, int at, int count);

// An exact lookup a formula made when it was last computed: the table, the direction of its
// key line (the first column, or the first row), the key and the position found (-1: none).
struct LookupNote
{
    int sheetId = 0;
    CellRange table;
    int pos = -1;
    Value key;
    bool vertical = true;
    bool givesPosition = false; // MATCH: the position found is the result
};

// What few cells have: a formula kept as read from a file (not understood), the exact
// lookups of a formula's last computation. Kept apart so that every other cell is smaller.
struct CellExtra
{
    QString rawFormula;
    std::vector<LookupNote> lookups;
};

// Cells come from a pool of their size: a workbook of a million cells makes and frees them
// without a heap allocation each.
struct Cell : SlabAllocated<Cell>
{
    Value value; // constant, or the formula's last result
    std::unique_ptr<Formula> formula;
    std::unique_ptr<CellExtra> extra;
    CellBlock *block = nullptr; // the block holding the cell (its sums depend on it)
    std::uint32_t formatId = 0;
    int sheetId = 0;
    int row = 0;
    int col = 0;
    // Where the recalculation that last reached the cell noted it (see findComponents):
    // its rank among the cells that recalculation visited, counted from a number no
    // earlier recalculation used, so that a stale one is told apart without clearing it.
    std::uint32_t visit = 0;
    bool inCycle = false; // reads itself; once its component is found: member of a cycle
    // True when `lookups` lists every lookup the formula made in its last computation and
    // all were exact: a change in those tables can then be judged without recomputing.
    bool lookupsKnown = false;
    // Ranges of the formula (bit i: refs[i], the first 8) read only as the table of lookups
    // (VLOOKUP, HLOOKUP, MATCH), set when the formula is registered. Kept small so that the
    // cell stays within its slot.
    std::uint8_t lookupOnlyRefs = 0;

    // A formula read from a file but not understood (empty: none).
    const QString &rawFormula() const
    {
        static const QString none;
        return extra ? extra->rawFormula : none;
    }
    void setRawFormula(const QString &text)
    {
        if (!text.isEmpty() && !extra)
            extra = std::make_unique<CellExtra>();
        if (extra)
            extra->rawFormula = text;
    }
    // The exact lookups noted at the formula's last computation (null: none noted).
    const std::vector<LookupNote> *lookups() const { return extra ? &extra->lookups : nullptr; }
    std::vector<LookupNote> *lookups() { return extra ? &extra->lookups : nullptr; }

    bool hasContent() const { return !value.isEmpty() || formula || !rawFormula().isEmpty(); }
};
static_assert(sizeof(Cell) <= 88, "a cell fits a slot of 88 bytes");

constexpr int kBlockRows = 256;

struct CellBlock
{
    std::array<std::unique_ptr<Cell>, kBlockRows> cells;
    int count = 0;
    // The numbers of the block folded once, for sums over long ranges; recomputed after any
    // value of the block changes.
    bool foldValid = false;
    NumberFold fold;
    ErrorCode firstError = ErrorCode::None;
};

// Every change of a stored value goes through here, so that block sums stay true.
inline void assignValue(Cell &cell, Value value)
{
    cell.value = std::move(value);
    if (cell.block)
        cell.block->foldValid = false;
}

struct Column
{
    std::vector<std::unique_ptr<CellBlock>> blocks; // block b holds rows b*256+1 .. b*256+256
};

struct Sheet
{
    int id = 0;
    QString name;
    // Index 1..256, grown up to the last column a cell has been put in: a new sheet costs
    // nothing, and walks over a sheet stop at its last column.
    std::vector<Column> columns;
    std::map<int, int> columnWidths;
    std::map<int, int> rowHeights;
    // Default formats of whole columns and rows (format ids): a cell without a format of
    // its own takes its row's, else its column's, as files of the other spreadsheets have them.
    std::map<int, int> columnFormats;
    std::map<int, int> rowFormats;
    int frozenRows = 0;
    int frozenCols = 0;
    std::vector<ChartObject> charts;
    mutable bool extentValid = false;
    mutable int maxRow = 0;
    mutable int maxCol = 0;

    Cell *find(int row, int col) const;
    Cell &obtain(int row, int col);
    std::unique_ptr<Cell> take(int row, int col);
    void put(std::unique_ptr<Cell> cell); // at the cell's own row and col
    // Visits the cells stored in the range, column by column, top to bottom.
    template<typename F>
    void forEach(const CellRange &r, F &&visit) const
    {
        const int right = std::min({kMaxColumns, r.right, int(columns.size()) - 1});
        for (int c = std::max(1, r.left); c <= right; ++c) {
            const Column &column = columns[size_t(c)];
            const int firstBlock = (r.top - 1) / kBlockRows;
            const int lastBlock = std::min<int>(int(column.blocks.size()) - 1, (r.bottom - 1) / kBlockRows);
            for (int b = firstBlock; b <= lastBlock; ++b) {
                const CellBlock *block = column.blocks[size_t(b)].get();
                if (!block)
                    continue;
                const int base = b * kBlockRows + 1;
                const int from = std::max(r.top - base, 0);
                const int to = std::min(r.bottom - base, kBlockRows - 1);
                for (int i = from; i <= to; ++i)
                    if (Cell *cell = block->cells[size_t(i)].get())
                        visit(*cell);
            }
        }
    }
};

// The formulas reading one cell: most cells have one reader, kept without an allocation
// of its own; more go to an array.
class ReaderList
{
public:
    ReaderList() = default;
    ReaderList(const ReaderList &) = delete;
    ReaderList &operator=(const ReaderList &) = delete;
    ReaderList(ReaderList &&other) noexcept : m_size(other.m_size), m_capacity(other.m_capacity)
    {
        if (m_capacity > 1)
            m_many = other.m_many;
        else
            m_one = other.m_one;
        other.m_size = other.m_capacity = 0;
    }
    ReaderList &operator=(ReaderList &&other) noexcept
    {
        if (this != &other) {
            this->~ReaderList();
            new (this) ReaderList(std::move(other));
        }
        return *this;
    }
    ~ReaderList()
    {
        if (m_capacity > 1)
            delete[] m_many;
    }

    Cell **begin() { return m_capacity > 1 ? m_many : &m_one; }
    Cell **end() { return begin() + m_size; }
    Cell *const *begin() const { return m_capacity > 1 ? m_many : &m_one; }
    Cell *const *end() const { return begin() + m_size; }
    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    Cell *back() const { return begin()[m_size - 1]; }
    void pop_back() { --m_size; }
    void push_back(Cell *cell)
    {
        if (m_capacity == 0) {
            m_capacity = 1;
        } else if (m_size == m_capacity) {
            // Most lists stay short: they grow by one up to four readers, then double.
            const std::uint32_t capacity = m_capacity < 4 ? m_capacity + 1 : m_capacity * 2;
            Cell **items = new Cell *[capacity];
            std::copy(begin(), end(), items);
            if (m_capacity > 1)
                delete[] m_many;
            m_many = items;
            m_capacity = capacity;
        }
        begin()[m_size++] = cell;
    }
    // Removes the readers `drop` is true for; returns how many went.
    template<typename F>
    size_t eraseIf(F &&drop)
    {
        Cell **kept = std::remove_if(begin(), end(), drop);
        const size_t removed = size_t(end() - kept);
        m_size -= std::uint32_t(removed);
        return removed;
    }

private:
    union {
        Cell *m_one = nullptr;
        Cell **m_many;
    };
    std::uint32_t m_size = 0;
    std::uint32_t m_capacity = 0; // 1: the reader is m_one
};

// The formulas reading each cell that is read alone (by key(sheet, row, col)). The lists
// of 32 cells of a column share one chunk: a formula column reading the column beside it
// costs about the list itself per cell, not a hash node and a bucket each.
class CellReaderIndex
{
public:
    static constexpr int kChunkRows = 32;

    // The formulas reading the cell, null when none.
    ReaderList *find(std::uint64_t key) const
    {
        const auto it = m_chunks.find(chunkKey(key));
        if (it == m_chunks.end())
            return nullptr;
        ReaderList &list = it->second->lists[slotOf(key)];
        return list.empty() ? nullptr : &list;
    }
    // Adds `reader` to the cell's list, unless it is the last one added there (a formula
    // naming one cell twice is listed once). True when added.
    bool add(std::uint64_t key, Cell *reader)
    {
        std::unique_ptr<Chunk> &chunk = m_chunks[chunkKey(key)];
        if (!chunk)
            chunk = std::make_unique<Chunk>();
        ReaderList &list = chunk->lists[slotOf(key)];
        if (!list.empty() && list.back() == reader)
            return false;
        if (list.empty()) {
            ++chunk->used;
            ++m_size;
        }
        list.push_back(reader);
        return true;
    }
    // Gives the cell the list `readers` (added to those it has).
    void put(std::uint64_t key, ReaderList &&readers)
    {
        if (readers.empty())
            return;
        std::unique_ptr<Chunk> &chunk = m_chunks[chunkKey(key)];
        if (!chunk)
            chunk = std::make_unique<Chunk>();
        ReaderList &list = chunk->lists[slotOf(key)];
        if (list.empty()) {
            ++chunk->used;
            ++m_size;
            list = std::move(readers);
        } else {
            for (Cell *c : readers)
                list.push_back(c);
        }
    }
    // Takes the readers of the cell out of the index.
    ReaderList take(std::uint64_t key)
    {
        const auto it = m_chunks.find(chunkKey(key));
        if (it == m_chunks.end())
            return ReaderList();
        ReaderList &list = it->second->lists[slotOf(key)];
        if (list.empty())
            return ReaderList();
        ReaderList readers(std::move(list));
        --m_size;
        if (--it->second->used == 0)
            m_chunks.erase(it);
        return readers;
    }
    void erase(std::uint64_t key) { take(key); }
    // Calls visit(key, list) for each cell read.
    template<typename F>
    void forEach(F &&visit) const
    {
        for (const auto &[k, chunk] : m_chunks)
            for (int i = 0; i < kChunkRows; ++i)
                if (!chunk->lists[size_t(i)].empty())
                    visit(keyOf(k, i), chunk->lists[size_t(i)]);
    }
    size_t size() const { return m_size; } // cells read
    void clear()
    {
        m_chunks.clear();
        m_size = 0;
    }

private:
    struct Chunk
    {
        std::array<ReaderList, kChunkRows> lists;
        int used = 0; // lists not empty
    };
    // Keys as Workbook::Impl::key makes them: sheet << 32 | row << 9 | column.
    static std::uint64_t chunkKey(std::uint64_t key)
    {
        return (key & ~std::uint64_t(0xffffffffu)) | (((key >> 9) & 0x7fffff) / kChunkRows) << 9 | (key & 0x1ff);
    }
    static size_t slotOf(std::uint64_t key) { return size_t(((key >> 9) & 0x7fffff) % kChunkRows); }
    static std::uint64_t keyOf(std::uint64_t chunk, int slot)
    {
        const std::uint64_t row = ((chunk >> 9) & 0x7fffff) * kChunkRows + std::uint64_t(slot);
        return (chunk & ~std::uint64_t(0xffffffffu)) | row << 9 | (chunk & 0x1ff);
    }

    std::unordered_map<std::uint64_t, std::unique_ptr<Chunk>> m_chunks;
    size_t m_size = 0;
};

struct RangeDependent
{
    Cell *cell;
    int top;
    int bottom;
};

// Positions of the values of a lookup line, built once per recalculation for exact
// lookups; not built for lines holding formulas, whose values may change during it.
struct LookupIndex
{
    bool usable = true;
    std::unordered_map<double, int> numbers;
    QHash<QString, int> texts; // case-folded
    int falsePosition = -1;
    int truePosition = -1;
};

struct Workbook::Impl : public SheetNames
{
    std::vector<std::unique_ptr<Sheet>> sheets;
    int nextSheetId = 1;
    int nextChartId = 1;
    std::vector<CellFormat> formats{CellFormat()};
    bool modified = false;
    bool showGrid = true;
    bool showFormulas = false;
    std::vector<WorkbookObserver *> observers;

    // Dependency index: formulas reading one cell, and formulas reading a range (filed under
    // each column of the range).
    CellReaderIndex cellReaders;
    // How many entries of cellReaders each column of each sheet has: a column nobody reads
    // cell by cell is known without looking its cells up one by one.
    std::unordered_map<int, std::vector<int>> cellReadersPerColumn;
    std::unordered_map<int, std::vector<std::vector<RangeDependent>>> rangeReaders;
    std::unordered_set<Cell *> volatileCells;
    // Formulas whose result depends on where cells are, not only on their values (ROW,
    // COLUMN, ROWS, COLUMNS, INDIRECT, OFFSET): computed again whenever lines move.
    std::unordered_set<Cell *> positionalCells;
    std::map<std::tuple<int, int, int, int, int>, LookupIndex> lookupCache;
    // Buffers of the recalculation, kept from one to the next so that a change touching
    // tens of thousands of formulas does not grow them again each time.
    struct RecalcFrame
    {
        Cell *cell;
        size_t begin;
        size_t end;
        size_t next;
    };
    struct RecalcScratch
    {
        std::vector<Cell *> sccStack, order, pool;
        std::vector<RecalcFrame> frames;
        // Tarjan's bookkeeping, by rank of the cells visited (Cell::visit - base): the
        // lowest rank reachable, and whether the cell is on the stack.
        std::vector<std::uint32_t> low;
        std::vector<std::uint8_t> onStack;
        std::uint32_t base = 0;
    };
    RecalcScratch scratch;
    bool scratchInUse = false;

    // Recalculation state.
    std::uint32_t nextVisit = 1; // the rank the next cell a recalculation reaches gets
    // Past this rank the next recalculation clears the ranks of every cell first (no
    // workbook holds anywhere near 2^31 cells, so one recalculation cannot run out).
    static constexpr std::uint32_t kMaxVisit = 0x80000000u;
    double nowSerial = 0;
    // Seeded when RAND() is first computed: asking the system for entropy costs more than
    // making a whole small workbook, and most workbooks never draw a number.
    std::optional<std::mt19937_64> random;
    Evaluator evaluator;
    int batchDepth = 0;
    std::vector<Cell *> pendingSeeds;
    std::vector<std::pair<int, CellAddress>> pendingChanged; // (sheet id, cell)
    bool pendingFull = false;
    bool pendingLines = false; // lines were inserted, deleted or reordered
    std::unordered_set<int> pendingSheetRepaint;
    std::vector<std::pair<int, CellAddress>> pendingPurge; // cells that may have become empty

    // SheetNames
    int sheetIdByName(const QString &name) const override;
    QString sheetNameById(int id) const override;

    static std::uint64_t key(int sheetId, int row, int col)
    {
        return (std::uint64_t(std::uint32_t(sheetId)) << 32) | (std::uint64_t(row) << 9) | std::uint64_t(col);
    }

    Sheet &sheetAt(int index) const; // throws on a bad index
    // The format a cell shows: its own, else its row's or its column's default.
    std::uint32_t formatIdOf(const Sheet &s, const Cell *c, int row, int col) const;
    Sheet *sheetById(int id) const;
    int indexOfSheet(int id) const;
    std::uint32_t internFormat(const CellFormat &format);

    // Dependencies
    void registerFormula(Cell *cell);
    void unregisterFormula(Cell *cell);
    // The same for many formulas at once: each list of the index is swept once, where one
    // by one would search the lists shared by thousands of readers again for each.
    void unregisterFormulas(const std::vector<Cell *> &cells);
    void rebuildDependencies();
    // Lines `at`.. of sheet `sheetId` inserted (count > 0) or deleted (count < 0): the index
    // entries follow, as the references they stand for do (moving, growing, shrinking,
    // going when their cells are deleted). Formulas of deleted cells, and those for which
    // indexFollows is false, must have left the index before.
    void shiftDependencies(int sheetId, bool rows, int at, int count);
    // True when the entries of the formula of `cell` can follow that change in place: none
    // of its ranges becomes a single cell, or spans inserted columns.
    bool indexFollows(const Cell &cell, int sheetId, bool rows, int at, int count) const;
    template<typename F>
    void forEachReader(int sheetId, int row, int col, F &&visit);
    // Calls `visit` for each formula that reads a cell of `area`, alone or through a range
    // (a formula may come more than once).
    template<typename F>
    void forEachReaderIn(int sheetId, const CellRange &area, F &&visit);
    // True when the formula of `reader`, reading the constant cell (sheetId, row, col) only
    // through exact lookups noted at its last computation, gives the same result whatever
    // the new value of that cell: the cell is neither the one a lookup returned nor a key
    // that could now be found before (or instead of) the one found.
    bool lookupUnaffected(const Cell *reader, int sheetId, int row, int col, const Value &value) const;
    // True when the formula of `cell`, whose references the insertion or deletion of lines
    // at.. of sheet `sheetId` reshapes, keeps its result: the ranges that change are tables
    // of exact lookups noted at its last computation, along whose keys lines come in or go.
    // The cell found moves with its line and is not deleted (MATCH: it is before the lines),
    // and an inserted empty cell cannot be found instead.
    bool lookupsSurvive(const Cell &cell, int sheetId, bool rows, int at, int count) const;

    // Changes: seeds recalculation (now, or at the end of the batch) and notifies.
    void cellEdited(Cell *cell, int sheetId, int row, int col);
    void structureChanged(int sheetId);
    // Lines of a sheet were inserted, deleted or reordered, the index already following:
    // recomputes the seeds (the formulas the change may give another result), what reads
    // them, and the formulas that read positions.
    void linesChanged(std::vector<Cell *> &&seeds);
    void flush();
    // Recomputes the seeds and what reads them (everything: every formula). `settle` runs
    // the extra pass for INDIRECT and OFFSET; volatile cells join the seeds then.
    // The cells whose value changed are added to `changed` (null: not listed).
    void recalculate(std::vector<Cell *> &&seeds, bool everything, std::vector<std::pair<int, CellAddress>> *changed,
                     bool settle = true);
    // The three steps of recalculate (see workbookrecalc.cpp).
    void findComponents(const std::vector<Cell *> &seeds, RecalcScratch &buffers);
    void closeComponent(Cell *root, RecalcScratch &buffers);
    void evaluateInOrder(RecalcScratch &buffers, std::vector<Cell *> &dynamic,
                         std::vector<std::pair<int, CellAddress>> *changed);
    void settleDynamicReferences(const std::vector<Cell *> &dynamic, std::vector<std::pair<int, CellAddress>> *changed);
    class ScratchLease;
    void evaluate(Cell *cell);
    void notifyCells(const std::vector<std::pair<int, CellAddress>> &changed);
    void notifySheet(int sheetId);
    void notifySheets();
    void notifyReset();
    void forEachFormulaCell(const std::function<void(Cell &)> &visit) const;
    void setCellFormula(int sheetIndex, int row, int col, Formula formula);
    // Gives the cell its formula, sharing the program of the formula above or to the left
    // where it is the same (a filled column or row keeps one copy of it).
    static void storeFormula(const Sheet &s, Cell &cell, Formula formula);
    // Drops the cell if it holds nothing any more (now, or after the batch).
    void purgeIfEmpty(int sheetId, int row, int col);
};

// Calls `visit` for each formula that reads the cell, through a range, then alone. Range
// readers come first: many cells share them, and the recalculation, reaching them first
// from the first of those cells, need not follow them again from the others.
template<typename F>
void Workbook::Impl::forEachReader(int sheetId, int row, int col, F &&visit)
{
    auto rt = rangeReaders.find(sheetId);
    if (rt != rangeReaders.end())
        for (const RangeDependent &d : rt->second[size_t(col)])
            if (row >= d.top && row <= d.bottom)
                visit(d.cell);
    auto counts = cellReadersPerColumn.find(sheetId);
    if (counts != cellReadersPerColumn.end() && col >= 0 && col <= kMaxColumns && counts->second[size_t(col)] > 0) {
        if (ReaderList *readers = cellReaders.find(key(sheetId, row, col)))
            for (Cell *c : *readers)
                visit(c);
    }
}

template<typename F>
void Workbook::Impl::forEachReaderIn(int sheetId, const CellRange &area, F &&visit)
{
    auto counts = cellReadersPerColumn.find(sheetId);
    auto ranges = rangeReaders.find(sheetId);
    // A large area is matched against the whole index of single cells rather than looked
    // up cell by cell.
    const bool scan = std::int64_t(area.rowCount()) * area.columnCount() > std::int64_t(cellReaders.size());
    if (scan)
        cellReaders.forEach([&](std::uint64_t k, const ReaderList &cells) {
            if (int(k >> 32) == sheetId && area.contains(int((k >> 9) & 0x7fffff), int(k & 0x1ff)))
                for (Cell *c : cells)
                    visit(c);
        });
    for (int col = std::max(1, area.left); col <= std::min(kMaxColumns, area.right); ++col) {
        if (!scan && counts != cellReadersPerColumn.end() && counts->second[size_t(col)] > 0)
            for (int row = area.top; row <= area.bottom; ++row)
                if (ReaderList *readers = cellReaders.find(key(sheetId, row, col)))
                    for (Cell *c : *readers)
                        visit(c);
        if (ranges != rangeReaders.end())
            for (const RangeDependent &d : ranges->second[size_t(col)])
                if (d.top <= area.bottom && d.bottom >= area.top)
                    visit(d.cell);
    }
}

class WorkbookContext : public EvalContext
{
public:
    explicit WorkbookContext(Workbook::Impl &impl) : m_impl(impl) { }
    Value cellValue(int sheetId, int row, int col) override;
    const Value *peekCell(int sheetId, int row, int col) override;
    void forEachValue(const RangeRef &range, const std::function<void(int, int, const Value &)> &visit) override;
    int sheetIdByName(const QString &name) override { return m_impl.sheetIdByName(name); }
    double now() override { return m_impl.nowSerial; }
    double random() override;
    void foldNumbers(const RangeRef &range, NumberFold &fold) override;
    int findExact(const RangeRef &line, const Value &key) override;
    void noteExactLookup(const RangeRef &table, bool vertical, const Value &key, int pos,
                         bool givesPosition = false) override;
    void noteOtherLookup() override { complete = false; }

    // Where the lookups of the formula being computed are noted (nullptr: not noted).
    std::vector<LookupNote> *notes = nullptr;
    bool complete = true;

private:
    Workbook::Impl &m_impl;
};

} // namespace sheet
