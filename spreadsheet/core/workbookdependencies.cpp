// The dependency index: which formulas read a cell (one list per cell read alone) and which
// read a range (filed under each column of the range, with its rows), so that a change finds
// its readers without looking at every formula; and the notes of exact lookups that let a
// change in a lookup table leave alone the formulas it cannot affect.
#include "spreadsheet/core/workbookimpl.h"

#include "spreadsheet/core/functionregistry.h"

#include <algorithm>

namespace sheet {

namespace {

// The ranges of `f` (bit i: refs[i], for the first 8) that the formula uses only as the
// table argument of VLOOKUP, HLOOKUP or MATCH, found by following the postfix code.
std::uint8_t lookupOnlyRanges(const Formula &f)
{
    static const int lookupFunctions[] = {
            FunctionRegistry::instance().indexOf(FunctionRegistry::instance().find(QStringLiteral("VLOOKUP"))),
            FunctionRegistry::instance().indexOf(FunctionRegistry::instance().find(QStringLiteral("HLOOKUP"))),
            FunctionRegistry::instance().indexOf(FunctionRegistry::instance().find(QStringLiteral("MATCH"))),
    };
    bool anyLookup = false;
    for (const Instr &in : f.code)
        if (in.op == Op::Call
            && std::find(std::begin(lookupFunctions), std::end(lookupFunctions), int(in.arg))
                    != std::end(lookupFunctions))
            anyLookup = true;
    if (!anyLookup || f.hasDynamicRefs)
        return 0;
    std::uint32_t asTable = 0, otherwise = 0;
    // The stack of the program, each entry the reference it holds (-1: anything else).
    std::vector<int> stack;
    auto popOther = [&](size_t n) {
        if (stack.size() < n)
            return false;
        for (size_t i = stack.size() - n; i < stack.size(); ++i)
            if (stack[i] >= 0 && stack[i] < 8)
                otherwise |= 1u << stack[i];
        stack.resize(stack.size() - n);
        return true;
    };
    for (const Instr &in : f.code) {
        switch (in.op) {
        case Op::Ref: stack.push_back(int(in.arg)); break;
        case Op::Number:
        case Op::String:
        case Op::Boolean:
        case Op::Error:
        case Op::Missing:
        case Op::Name: stack.push_back(-1); break;
        case Op::Neg:
        case Op::Plus:
        case Op::Percent:
        case Op::Paren:
            if (!popOther(1))
                return 0;
            stack.push_back(-1);
            break;
        case Op::Call:
        case Op::CallUnknown: {
            const size_t n = in.argc;
            if (stack.size() < n)
                return 0;
            const bool lookup = in.op == Op::Call && n >= 2
                    && std::find(std::begin(lookupFunctions), std::end(lookupFunctions), int(in.arg))
                            != std::end(lookupFunctions);
            if (lookup) {
                int &table = stack[stack.size() - n + 1];
                if (table >= 0 && table < 8)
                    asTable |= 1u << table;
                table = -1;
            }
            popOther(n);
            stack.push_back(-1);
            break;
        }
        default: // binary operators
            if (!popOther(2))
                return 0;
            stack.push_back(-1);
            break;
        }
    }
    popOther(stack.size());
    return std::uint8_t(asTable & ~otherwise);
}

// True when the result of `f` depends on where cells are, not only on their values.
bool readsPositions(const Formula &f)
{
    if (f.hasDynamicRefs)
        return true;
    static const int positionFunctions[] = {
            FunctionRegistry::instance().indexOf(FunctionRegistry::instance().find(QStringLiteral("ROW"))),
            FunctionRegistry::instance().indexOf(FunctionRegistry::instance().find(QStringLiteral("COLUMN"))),
            FunctionRegistry::instance().indexOf(FunctionRegistry::instance().find(QStringLiteral("ROWS"))),
            FunctionRegistry::instance().indexOf(FunctionRegistry::instance().find(QStringLiteral("COLUMNS"))),
    };
    for (const Instr &in : f.code)
        if (in.op == Op::Call
            && std::find(std::begin(positionFunctions), std::end(positionFunctions), int(in.arg))
                    != std::end(positionFunctions))
            return true;
    return false;
}

} // namespace

void Workbook::Impl::registerFormula(Cell *cell)
{
    const Formula &f = *cell->formula;
    cell->lookupOnlyRefs = lookupOnlyRanges(f);
    cell->lookupsKnown = false;
    for (const FormulaRef &ref : f.refs) {
        if (ref.invalid)
            continue;
        const int target = refSheet(ref, cell->sheetId);
        if (!ref.isRange || (ref.a.row == ref.b.row && ref.a.col == ref.b.col)) {
            if (!cellReaders.add(key(target, ref.a.row, ref.a.col), cell))
                continue; // the same cell as the reference before
            auto &counts = cellReadersPerColumn[target];
            if (counts.empty())
                counts.resize(kMaxColumns + 1);
            if (ref.a.col >= 0 && ref.a.col <= kMaxColumns)
                ++counts[size_t(ref.a.col)];
            continue;
        }
        auto &columns = rangeReaders[target];
        if (columns.empty())
            columns.resize(kMaxColumns + 1);
        for (int c = ref.a.col; c <= ref.b.col; ++c)
            columns[size_t(c)].push_back(RangeDependent{cell, ref.a.row, ref.b.row});
    }
    if (f.isVolatile)
        volatileCells.insert(cell);
    if (readsPositions(f))
        positionalCells.insert(cell);
}

void Workbook::Impl::unregisterFormula(Cell *cell)
{
    cell->lookupsKnown = false;
    if (!cell->formula)
        return;
    const Formula &f = *cell->formula;
    for (const FormulaRef &ref : f.refs) {
        if (ref.invalid)
            continue;
        const int target = refSheet(ref, cell->sheetId);
        if (!ref.isRange || (ref.a.row == ref.b.row && ref.a.col == ref.b.col)) {
            const std::uint64_t k = key(target, ref.a.row, ref.a.col);
            ReaderList *v = cellReaders.find(k);
            if (!v)
                continue;
            auto pos = std::find(v->begin(), v->end(), cell);
            if (pos != v->end()) {
                *pos = v->back();
                v->pop_back();
                auto counts = cellReadersPerColumn.find(target);
                if (counts != cellReadersPerColumn.end() && ref.a.col >= 0 && ref.a.col <= kMaxColumns)
                    --counts->second[size_t(ref.a.col)];
            }
            if (v->empty())
                cellReaders.erase(k);
            continue;
        }
        auto it = rangeReaders.find(target);
        if (it == rangeReaders.end())
            continue;
        for (int c = ref.a.col; c <= ref.b.col; ++c) {
            auto &v = it->second[size_t(c)];
            for (size_t i = 0; i < v.size(); ++i)
                if (v[i].cell == cell && v[i].top == ref.a.row && v[i].bottom == ref.b.row) {
                    v[i] = v.back();
                    v.pop_back();
                    break;
                }
        }
    }
    volatileCells.erase(cell);
    positionalCells.erase(cell);
}

void Workbook::Impl::unregisterFormulas(const std::vector<Cell *> &cells)
{
    if (cells.size() < 16) {
        for (Cell *c : cells)
            unregisterFormula(c);
        return;
    }
    const std::unordered_set<Cell *> gone(cells.begin(), cells.end());
    std::unordered_set<std::uint64_t> keys;
    std::unordered_set<std::uint64_t> rangeColumns; // (sheet id, column)
    for (Cell *cell : cells) {
        cell->lookupsKnown = false;
        volatileCells.erase(cell);
        positionalCells.erase(cell);
        if (!cell->formula)
            continue;
        for (const FormulaRef &ref : cell->formula->refs) {
            if (ref.invalid)
                continue;
            const int target = refSheet(ref, cell->sheetId);
            if (!ref.isRange || (ref.a.row == ref.b.row && ref.a.col == ref.b.col)) {
                keys.insert(key(target, ref.a.row, ref.a.col));
                continue;
            }
            for (int c = ref.a.col; c <= ref.b.col; ++c)
                rangeColumns.insert(key(target, 0, c));
        }
    }
    for (std::uint64_t k : keys) {
        ReaderList *readers = cellReaders.find(k);
        if (!readers)
            continue;
        const size_t removed = readers->eraseIf([&](Cell *c) { return gone.count(c) != 0; });
        const int sheetId = int(k >> 32), col = int(k & 0x1ff);
        if (auto counts = cellReadersPerColumn.find(sheetId); counts != cellReadersPerColumn.end())
            counts->second[size_t(col)] -= int(removed);
        if (readers->empty())
            cellReaders.erase(k);
    }
    for (std::uint64_t k : rangeColumns) {
        auto it = rangeReaders.find(int(k >> 32));
        if (it != rangeReaders.end())
            std::erase_if(it->second[size_t(k & 0x1ff)],
                          [&](const RangeDependent &d) { return gone.count(d.cell) != 0; });
    }
}

void Workbook::Impl::rebuildDependencies()
{
    cellReaders.clear();
    cellReadersPerColumn.clear();
    rangeReaders.clear();
    volatileCells.clear();
    positionalCells.clear();
    forEachFormulaCell([&](Cell &c) { registerFormula(&c); });
}

bool Workbook::Impl::indexFollows(const Cell &cell, int sheetId, bool rows, int at, int count) const
{
    for (const FormulaRef &ref : cell.formula->refs) {
        if (ref.invalid || !ref.isRange || refSheet(ref, cell.sheetId) != sheetId
            || (ref.a.row == ref.b.row && ref.a.col == ref.b.col))
            continue;
        FormulaRef after = ref;
        adjustRefForInsertDelete(after, rows, at, count);
        if (after.invalid)
            continue;
        if (after.a.row == after.b.row && after.a.col == after.b.col)
            return false; // now filed as a single cell
        if (!rows && count > 0 && ref.a.col < at && ref.b.col >= at)
            return false; // to be filed under the inserted columns too
    }
    return true;
}

void Workbook::Impl::shiftDependencies(int sheetId, bool rows, int at, int count)
{
    // The lines a..b of an entry (one cell, or a range) through the change, as the
    // references they stand for change; false when the entry goes (its cells deleted).
    auto follow = [&](int &a, int &b, bool range) {
        FormulaRef ref;
        ref.isRange = range;
        setLine(ref.a, rows, a);
        setLine(ref.b, rows, b);
        adjustRefForInsertDelete(ref, rows, at, count);
        a = rows ? ref.a.row : ref.a.col;
        b = rows ? ref.b.row : ref.b.col;
        return !ref.invalid;
    };
    auto counts = cellReadersPerColumn.find(sheetId);
    // Single cells: the entries at or after the lines move to their new keys. All are taken
    // out before any goes back, so that none lands on one not yet moved.
    std::vector<std::uint64_t> affected;
    cellReaders.forEach([&](std::uint64_t k, const ReaderList &) {
        const int line = rows ? int((k >> 9) & 0x7fffff) : int(k & 0x1ff);
        if (int(k >> 32) == sheetId && line >= at)
            affected.push_back(k);
    });
    std::vector<std::pair<std::uint64_t, ReaderList>> moved;
    for (const std::uint64_t k : affected) {
        const int row = int((k >> 9) & 0x7fffff), col = int(k & 0x1ff);
        int line = rows ? row : col, same = line;
        ReaderList readers = cellReaders.take(k);
        if (!follow(line, same, false)) {
            if (counts != cellReadersPerColumn.end())
                counts->second[size_t(col)] -= int(readers.size());
        } else {
            moved.emplace_back(rows ? key(sheetId, line, col) : key(sheetId, row, line), std::move(readers));
        }
    }
    for (auto &[k, readers] : moved)
        cellReaders.put(k, std::move(readers));

    // Per-column lists (the cell reader counts, the ranges): rows change inside each list,
    // columns move the lists themselves.
    auto shiftColumns = [&](auto &perColumn) {
        if (perColumn.empty())
            return;
        using Entry = typename std::decay_t<decltype(perColumn)>::value_type;
        const int removed = std::max(0, -count);
        if (count > 0) {
            for (int c = kMaxColumns; c >= at; --c)
                perColumn[size_t(c)] = c - count >= at ? std::move(perColumn[size_t(c - count)]) : Entry{};
        } else {
            for (int c = at; c <= kMaxColumns; ++c)
                perColumn[size_t(c)] = c + removed <= kMaxColumns ? std::move(perColumn[size_t(c + removed)]) : Entry{};
        }
    };
    if (counts != cellReadersPerColumn.end() && !rows)
        shiftColumns(counts->second);
    auto ranges = rangeReaders.find(sheetId);
    if (ranges == rangeReaders.end())
        return;
    if (!rows) {
        shiftColumns(ranges->second);
        return;
    }
    for (auto &column : ranges->second)
        std::erase_if(column, [&](RangeDependent &d) { return d.bottom >= at && !follow(d.top, d.bottom, true); });
}

bool followLookupNote(LookupNote &note, bool rows, int at, int count)
{
    int &a = rows ? note.table.top : note.table.left;
    int &b = rows ? note.table.bottom : note.table.right;
    FormulaRef table;
    table.isRange = true;
    setLine(table.a, rows, a);
    setLine(table.b, rows, b);
    adjustRefForInsertDelete(table, rows, at, count);
    if (table.invalid)
        return false;
    const int newA = rows ? table.a.row : table.a.col;
    if (note.vertical == rows && note.pos >= 0) {
        // The position is counted along the lines that moved: the cell found follows.
        const int found = a + note.pos;
        FormulaRef cell;
        setLine(cell.a, rows, found);
        setLine(cell.b, rows, found);
        adjustRefForInsertDelete(cell, rows, at, count);
        if (cell.invalid)
            return false;
        note.pos = (rows ? cell.a.row : cell.a.col) - newA;
    }
    a = newA;
    b = rows ? table.b.row : table.b.col;
    return true;
}

bool Workbook::Impl::lookupsSurvive(const Cell &cell, int sheetId, bool rows, int at, int count) const
{
    if (!cell.lookupsKnown || !cell.lookupOnlyRefs || !cell.lookups() || !cell.formula)
        return false;
    const auto &refs = cell.formula->refs;
    for (size_t i = 0; i < refs.size(); ++i) {
        const FormulaRef &ref = refs[i];
        if (ref.invalid || refSheet(ref, cell.sheetId) != sheetId)
            continue;
        FormulaRef after = ref;
        adjustRefForInsertDelete(after, rows, at, count);
        const int before = rows ? ref.b.row - ref.a.row : ref.b.col - ref.a.col;
        const int now = rows ? after.b.row - after.a.row : after.b.col - after.a.col;
        if (now == before && !after.invalid)
            continue; // moved whole, or not at all
        if (after.invalid || (count > 0 && now != before + count) || i >= 8 || !(cell.lookupOnlyRefs & (1u << i)))
            return false;
    }
    const int removed = std::max(0, -count);
    for (const LookupNote &note : *cell.lookups()) {
        const int a = rows ? note.table.top : note.table.left;
        const int b = rows ? note.table.bottom : note.table.right;
        if (note.sheetId != sheetId || b < at || a >= at + removed)
            continue; // the table moves whole, or not at all
        if (note.vertical != rows || (count > 0 && exactLookupMayMatch(note.key, Value())))
            return false;
        LookupNote after = note;
        if (!followLookupNote(after, rows, at, count) || (note.givesPosition && after.pos != note.pos))
            return false;
    }
    return true;
}

bool Workbook::Impl::lookupUnaffected(const Cell *reader, int sheetId, int row, int col, const Value &value) const
{
    if (!reader->lookupsKnown || !reader->lookupOnlyRefs || !reader->formula)
        return false;
    // Every range of the formula holding the cell must be a lookup table, and no single
    // reference may name the cell.
    const Formula &f = *reader->formula;
    for (size_t i = 0; i < f.refs.size(); ++i) {
        const FormulaRef &ref = f.refs[i];
        if (ref.invalid || refSheet(ref, reader->sheetId) != sheetId)
            continue;
        const CellRange area{ref.a.row, ref.a.col, ref.b.row, ref.b.col};
        if (!area.contains(row, col))
            continue;
        if (i >= 8 || !(reader->lookupOnlyRefs & (1u << i)))
            return false;
    }
    if (!reader->lookups())
        return true;
    for (const LookupNote &note : *reader->lookups()) {
        if (note.sheetId != sheetId || !note.table.contains(row, col))
            continue;
        const int at = note.vertical ? row - note.table.top : col - note.table.left;
        const bool inKeyLine = note.vertical ? col == note.table.left : row == note.table.top;
        if (at == note.pos)
            return false; // the cell found, or a cell of the row (column) returned
        if (inKeyLine && (note.pos < 0 || at < note.pos) && exactLookupMayMatch(note.key, value))
            return false; // the key may now be found here first
    }
    return true;
}

} // namespace sheet
