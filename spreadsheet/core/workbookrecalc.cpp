// Cell storage, the dependency index and the recalculation of the workbook.
//
// A change recomputes the formulas that read the changed cells, then the formulas that read
// those, and so on. The order comes from Tarjan's strongly connected components, run with an
// explicit stack so that a chain of any length never deepens the C++ stack; a component of
// more than one cell (or a cell reading itself) is a circular reference and gets #CIRC!.
#include "spreadsheet/core/workbookimpl.h"

#include "common/velmoraerror.h"
#include "spreadsheet/core/functionregistry.h"
#include "spreadsheet/core/numberformat.h"

#include <QDateTime>

#include <algorithm>

namespace sheet {

// Storage

Cell *Sheet::find(int row, int col) const
{
    if (col < 1 || col > kMaxColumns || row < 1)
        return nullptr;
    const Column &column = columns[size_t(col)];
    const size_t b = size_t((row - 1) / kBlockRows);
    if (b >= column.blocks.size() || !column.blocks[b])
        return nullptr;
    return column.blocks[b]->cells[size_t((row - 1) % kBlockRows)].get();
}

Cell &Sheet::obtain(int row, int col)
{
    if (Cell *c = find(row, col))
        return *c;
    auto cell = std::make_unique<Cell>();
    cell->sheetId = id;
    cell->row = row;
    cell->col = col;
    Cell &ref = *cell;
    put(std::move(cell));
    return ref;
}

std::unique_ptr<Cell> Sheet::take(int row, int col)
{
    if (!find(row, col))
        return nullptr;
    Column &column = columns[size_t(col)];
    const size_t b = size_t((row - 1) / kBlockRows);
    CellBlock &block = *column.blocks[b];
    std::unique_ptr<Cell> cell = std::move(block.cells[size_t((row - 1) % kBlockRows)]);
    cell->block = nullptr;
    block.foldValid = false;
    if (--block.count == 0)
        column.blocks[b].reset();
    extentValid = false;
    return cell;
}

void Sheet::put(std::unique_ptr<Cell> cell)
{
    Column &column = columns[size_t(cell->col)];
    const size_t b = size_t((cell->row - 1) / kBlockRows);
    if (column.blocks.size() <= b)
        column.blocks.resize(b + 1);
    if (!column.blocks[b])
        column.blocks[b] = std::make_unique<CellBlock>();
    CellBlock &block = *column.blocks[b];
    auto &slot = block.cells[size_t((cell->row - 1) % kBlockRows)];
    if (!slot)
        ++block.count;
    cell->sheetId = id;
    cell->block = &block;
    block.foldValid = false;
    slot = std::move(cell);
    extentValid = false;
}

// Names

int Workbook::Impl::sheetIdByName(const QString &name) const
{
    for (const auto &s : sheets)
        if (s->name.compare(name, Qt::CaseInsensitive) == 0)
            return s->id;
    return -1;
}

QString Workbook::Impl::sheetNameById(int id) const
{
    const Sheet *s = sheetById(id);
    return s ? s->name : QStringLiteral("#REF!");
}

Sheet &Workbook::Impl::sheetAt(int index) const
{
    if (index < 0 || index >= int(sheets.size()))
        throw VelmoraError(QStringLiteral("La feuille %1 n'existe pas").arg(index + 1));
    return *sheets[size_t(index)];
}

std::uint32_t Workbook::Impl::formatIdOf(const Sheet &s, const Cell *c, int row, int col) const
{
    if (c && c->formatId != 0)
        return c->formatId;
    if (!s.rowFormats.empty())
        if (const auto it = s.rowFormats.find(row); it != s.rowFormats.end())
            return std::uint32_t(it->second);
    if (!s.columnFormats.empty())
        if (const auto it = s.columnFormats.find(col); it != s.columnFormats.end())
            return std::uint32_t(it->second);
    return 0;
}

Sheet *Workbook::Impl::sheetById(int id) const
{
    for (const auto &s : sheets)
        if (s->id == id)
            return s.get();
    return nullptr;
}

int Workbook::Impl::indexOfSheet(int id) const
{
    for (size_t i = 0; i < sheets.size(); ++i)
        if (sheets[i]->id == id)
            return int(i);
    return -1;
}

std::uint32_t Workbook::Impl::internFormat(const CellFormat &format)
{
    for (size_t i = 0; i < formats.size(); ++i)
        if (formats[i] == format)
            return std::uint32_t(i);
    formats.push_back(format);
    return std::uint32_t(formats.size() - 1);
}

void Workbook::Impl::forEachFormulaCell(const std::function<void(Cell &)> &visit) const
{
    const CellRange all{1, 1, kMaxRows, kMaxColumns};
    for (const auto &s : sheets)
        s->forEach(all, [&](Cell &c) {
            if (c.formula)
                visit(c);
        });
}

// Dependencies

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
            cellReaders[key(target, ref.a.row, ref.a.col)].push_back(cell);
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
            auto it = cellReaders.find(key(target, ref.a.row, ref.a.col));
            if (it == cellReaders.end())
                continue;
            auto &v = it->second;
            auto pos = std::find(v.begin(), v.end(), cell);
            if (pos != v.end()) {
                *pos = v.back();
                v.pop_back();
                auto counts = cellReadersPerColumn.find(target);
                if (counts != cellReadersPerColumn.end() && ref.a.col >= 0 && ref.a.col <= kMaxColumns)
                    --counts->second[size_t(ref.a.col)];
            }
            if (v.empty())
                cellReaders.erase(it);
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
}

void Workbook::Impl::rebuildDependencies()
{
    cellReaders.clear();
    cellReadersPerColumn.clear();
    rangeReaders.clear();
    volatileCells.clear();
    forEachFormulaCell([&](Cell &c) { registerFormula(&c); });
}

template<typename F>
void Workbook::Impl::forEachReader(int sheetId, int row, int col, F &&visit)
{
    auto counts = cellReadersPerColumn.find(sheetId);
    if (counts != cellReadersPerColumn.end() && col >= 0 && col <= kMaxColumns && counts->second[size_t(col)] > 0) {
        auto it = cellReaders.find(key(sheetId, row, col));
        if (it != cellReaders.end())
            for (Cell *c : it->second)
                visit(c);
    }
    auto rt = rangeReaders.find(sheetId);
    if (rt != rangeReaders.end())
        for (const RangeDependent &d : rt->second[size_t(col)])
            if (row >= d.top && row <= d.bottom)
                visit(d.cell);
}

// Evaluation context

Value WorkbookContext::cellValue(int sheetId, int row, int col)
{
    const Sheet *s = m_impl.sheetById(sheetId);
    if (!s)
        return Value::error(ErrorCode::Ref);
    const Cell *c = s->find(row, col);
    return c ? c->value : Value();
}

const Value *WorkbookContext::peekCell(int sheetId, int row, int col)
{
    static const Value empty;
    const Sheet *s = m_impl.sheetById(sheetId);
    if (!s)
        return nullptr;
    const Cell *c = s->find(row, col);
    return c ? &c->value : &empty;
}

void WorkbookContext::forEachValue(const RangeRef &range, const std::function<void(int, int, const Value &)> &visit)
{
    const Sheet *s = m_impl.sheetById(range.sheetId);
    if (!s)
        throw EvalError{ErrorCode::Ref};
    s->forEach(range.area, [&](const Cell &c) {
        if (!c.value.isEmpty())
            visit(c.row, c.col, c.value);
    });
}

void WorkbookContext::foldNumbers(const RangeRef &range, NumberFold &fold)
{
    const Sheet *s = m_impl.sheetById(range.sheetId);
    if (!s)
        throw EvalError{ErrorCode::Ref};
    // Blocks the range covers whole are folded once and reused; the edges cell by cell.
    const CellRange &r = range.area;
    auto foldCell = [&](const Cell &c) {
        if (c.value.isNumber())
            fold.add(c.value.asNumber());
        else if (c.value.isError())
            throw EvalError{c.value.errorCode()};
    };
    for (int col = std::max(1, r.left); col <= std::min(kMaxColumns, r.right); ++col) {
        const Column &column = s->columns[size_t(col)];
        const int firstBlock = (r.top - 1) / kBlockRows;
        const int lastBlock = std::min<int>(int(column.blocks.size()) - 1, (r.bottom - 1) / kBlockRows);
        for (int b = firstBlock; b <= lastBlock; ++b) {
            CellBlock *block = column.blocks[size_t(b)].get();
            if (!block)
                continue;
            const int base = b * kBlockRows + 1;
            if (base >= r.top && base + kBlockRows - 1 <= r.bottom) {
                if (!block->foldValid) {
                    block->fold = NumberFold();
                    block->firstError = ErrorCode::None;
                    for (const auto &cell : block->cells) {
                        if (!cell)
                            continue;
                        if (cell->value.isNumber())
                            block->fold.add(cell->value.asNumber());
                        else if (cell->value.isError() && block->firstError == ErrorCode::None)
                            block->firstError = cell->value.errorCode();
                    }
                    block->foldValid = true;
                }
                if (block->firstError != ErrorCode::None)
                    throw EvalError{block->firstError};
                fold.merge(block->fold);
                continue;
            }
            const int from = std::max(r.top - base, 0);
            const int to = std::min(r.bottom - base, kBlockRows - 1);
            for (int i = from; i <= to; ++i)
                if (const Cell *cell = block->cells[size_t(i)].get())
                    foldCell(*cell);
        }
    }
}

int WorkbookContext::findExact(const RangeRef &line, const Value &key)
{
    const Sheet *s = m_impl.sheetById(line.sheetId);
    if (!s)
        return -2;
    const CellRange &a = line.area;
    auto [it, inserted] =
            m_impl.lookupCache.try_emplace(std::make_tuple(line.sheetId, a.top, a.left, a.bottom, a.right));
    LookupIndex &index = it->second;
    if (inserted) {
        const bool vertical = a.left == a.right;
        s->forEach(a, [&](const Cell &c) {
            if (c.formula || !c.rawFormula.isEmpty())
                index.usable = false;
            const int pos = vertical ? c.row - a.top : c.col - a.left;
            const Value &v = c.value;
            if (v.isNumber())
                index.numbers.try_emplace(v.asNumber(), pos);
            else if (v.isText() && !index.texts.contains(v.asText().toCaseFolded()))
                index.texts.insert(v.asText().toCaseFolded(), pos);
            else if (v.isBoolean() && (v.asBoolean() ? index.truePosition : index.falsePosition) < 0)
                (v.asBoolean() ? index.truePosition : index.falsePosition) = pos;
        });
    }
    if (!index.usable)
        return -2;
    if (key.isNumber()) {
        const auto found = index.numbers.find(key.asNumber());
        return found == index.numbers.end() ? -1 : found->second;
    }
    if (key.isText())
        return index.texts.value(key.asText().toCaseFolded(), -1);
    if (key.isBoolean())
        return key.asBoolean() ? index.truePosition : index.falsePosition;
    return -2;
}

void WorkbookContext::noteExactLookup(const RangeRef &table, bool vertical, const Value &key, int pos)
{
    if (!notes)
        return;
    if (notes->size() >= 8) {
        complete = false;
        return;
    }
    notes->push_back(LookupNote{table.sheetId, table.area, vertical, pos, key});
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
    if (!reader->lookups)
        return true;
    for (const LookupNote &note : *reader->lookups) {
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

double WorkbookContext::random() { return std::uniform_real_distribution<double>(0.0, 1.0)(m_impl.random); }

// Recalculation

void Workbook::Impl::evaluate(Cell *cell)
{
    WorkbookContext ctx(*this);
    ctx.sheetId = cell->sheetId;
    ctx.row = cell->row;
    ctx.col = cell->col;
    if (cell->lookupOnlyRefs) {
        if (!cell->lookups)
            cell->lookups = std::make_unique<std::vector<LookupNote>>();
        cell->lookups->clear();
        ctx.notes = cell->lookups.get();
    }
    assignValue(*cell, evaluator.run(*cell->formula, ctx));
    cell->lookupsKnown = cell->lookupOnlyRefs && ctx.complete;
}

void Workbook::Impl::recalculate(std::vector<Cell *> &&seeds, bool everything,
                                 std::vector<std::pair<int, CellAddress>> &changed, bool settle)
{
    lookupCache.clear();
    const QDateTime now = QDateTime::currentDateTime();
    nowSerial = dateToSerial(now.date()) + now.time().msecsSinceStartOfDay() / 86400000.0;
    if (everything) {
        seeds.clear();
        forEachFormulaCell([&](Cell &c) { seeds.push_back(&c); });
    } else if (settle) {
        seeds.insert(seeds.end(), volatileCells.begin(), volatileCells.end());
    }
    if (seeds.empty())
        return;

    const std::uint32_t gen = ++generation;
    int counter = 0;
    // The settling pass below runs a nested recalculation: it gets buffers of its own.
    RecalcScratch local;
    RecalcScratch &buffers = scratchInUse ? local : scratch;
    const bool ownsScratch = !scratchInUse;
    scratchInUse = true;
    struct Release
    {
        bool &flag;
        bool owns;
        ~Release()
        {
            if (owns)
                flag = false;
        }
    } release{scratchInUse, ownsScratch};
    std::vector<Cell *> &sccStack = buffers.sccStack;
    // Components come out of Tarjan's algorithm readers-first; each is recorded as a slice
    // of `order` and evaluated afterwards in reverse.
    std::vector<Cell *> &order = buffers.order;
    std::vector<std::pair<size_t, size_t>> &components = buffers.components;
    std::vector<char> &componentCyclic = buffers.componentCyclic;
    // Each open frame's readers sit in one shared pool, in stack order (no allocation per
    // cell).
    using Frame = RecalcFrame;
    std::vector<Frame> &frames = buffers.frames;
    std::vector<Cell *> &pool = buffers.pool;
    sccStack.clear();
    order.clear();
    components.clear();
    componentCyclic.clear();
    frames.clear();
    pool.clear();
    auto open = [&](Cell *c) {
        c->mark = gen;
        c->index = c->low = counter++;
        c->onStack = true;
        c->selfLoop = false;
        sccStack.push_back(c);
        const size_t begin = pool.size();
        forEachReader(c->sheetId, c->row, c->col, [&](Cell *r) { pool.push_back(r); });
        frames.push_back(Frame{c, begin, pool.size(), begin});
    };

    for (Cell *seed : seeds) {
        if (seed->mark == gen || !seed->formula)
            continue;
        open(seed);
        while (!frames.empty()) {
            Frame &f = frames.back();
            if (f.next < f.end) {
                Cell *w = pool[f.next++];
                Cell *v = f.cell;
                if (w == v)
                    v->selfLoop = true;
                if (w->mark != gen)
                    open(w);
                else if (w->onStack)
                    v->low = std::min(v->low, w->index);
                continue;
            }
            Cell *v = f.cell;
            pool.resize(f.begin);
            frames.pop_back();
            if (!frames.empty())
                frames.back().cell->low = std::min(frames.back().cell->low, v->low);
            if (v->low == v->index) {
                const size_t start = order.size();
                Cell *w;
                do {
                    w = sccStack.back();
                    sccStack.pop_back();
                    w->onStack = false;
                    order.push_back(w);
                } while (w != v);
                components.emplace_back(start, order.size());
                componentCyclic.push_back(order.size() - start > 1 || v->selfLoop);
            }
        }
    }

    // The evaluation order, flattened, so that the cells, formulas and code a few steps
    // ahead can be fetched from memory while the current one is computed: with tens of
    // thousands of formulas, waiting on memory costs more than computing.
    std::vector<std::pair<Cell *, bool>> &sequence = buffers.sequence;
    sequence.clear();
    for (size_t i = components.size(); i-- > 0;) {
        const bool cyclic = componentCyclic[i] != 0;
        for (size_t k = components[i].first; k < components[i].second; ++k)
            sequence.emplace_back(order[k], cyclic);
    }
    std::vector<Cell *> dynamic;
    const size_t count = sequence.size();
    for (size_t i = 0; i < count; ++i) {
        if (i + 6 < count)
            __builtin_prefetch(sequence[i + 6].first);
        if (i + 4 < count)
            __builtin_prefetch(sequence[i + 4].first->formula.get());
        if (i + 3 < count) {
            const Formula *ahead = sequence[i + 3].first->formula.get();
            __builtin_prefetch(ahead->code.data());
            __builtin_prefetch(ahead->refs.data());
            __builtin_prefetch(ahead->numbers.data());
        }
        if (i + 1 < count) {
            // The first cell the next formula reads.
            const Cell *next = sequence[i + 1].first;
            const Formula *ahead = next->formula.get();
            if (!ahead->refs.empty() && !ahead->refs[0].invalid) {
                const FormulaRef &r = ahead->refs[0];
                if (const Sheet *s = sheetById(refSheet(r, next->sheetId)))
                    __builtin_prefetch(s->find(r.a.row, r.a.col));
            }
        }
        Cell *c = sequence[i].first;
        const Value old = c->value;
        if (sequence[i].second) {
            assignValue(*c, Value::error(ErrorCode::Circular));
            c->lookupsKnown = false;
        } else
            evaluate(c);
        if (c->formula->hasDynamicRefs)
            dynamic.push_back(c);
        if (c->value != old)
            changed.emplace_back(c->sheetId, CellAddress{c->row, c->col});
    }
    // INDIRECT and OFFSET read cells the index does not know of: compute them again now
    // that everything else is final, then once more what reads those that changed.
    if (dynamic.empty() || !settle)
        return;
    std::vector<Cell *> moved;
    for (Cell *c : dynamic) {
        const Value old = c->value;
        evaluate(c);
        if (c->value != old) {
            changed.emplace_back(c->sheetId, CellAddress{c->row, c->col});
            forEachReader(c->sheetId, c->row, c->col, [&](Cell *r) { moved.push_back(r); });
        }
    }
    if (!moved.empty())
        recalculate(std::move(moved), false, changed, false);
}

void Workbook::Impl::cellEdited(Cell *cell, int sheetId, int row, int col)
{
    if (cell && cell->formula)
        pendingSeeds.push_back(cell);
    if (cell && !cell->formula && cell->rawFormula.isEmpty()) {
        // A new constant: lookups it cannot affect keep their results.
        const Value &value = cell->value;
        forEachReader(sheetId, row, col, [&](Cell *r) {
            if (!lookupUnaffected(r, sheetId, row, col, value))
                pendingSeeds.push_back(r);
        });
    } else {
        forEachReader(sheetId, row, col, [&](Cell *r) { pendingSeeds.push_back(r); });
    }
    pendingChanged.emplace_back(sheetId, CellAddress{row, col});
    modified = true;
    if (batchDepth == 0)
        flush();
}

void Workbook::Impl::structureChanged(int sheetId)
{
    pendingFull = true;
    pendingSheetRepaint.insert(sheetId);
    modified = true;
    if (batchDepth == 0)
        flush();
}

void Workbook::Impl::flush()
{
    std::vector<std::pair<int, CellAddress>> changed = std::move(pendingChanged);
    pendingChanged.clear();
    std::vector<Cell *> seeds = std::move(pendingSeeds);
    pendingSeeds.clear();
    const bool full = pendingFull;
    pendingFull = false;
    std::unordered_set<int> repaint = std::move(pendingSheetRepaint);
    pendingSheetRepaint.clear();
    if (full)
        rebuildDependencies();
    recalculate(std::move(seeds), full, changed);
    // The lists go back to the pending ones for the next change, with their capacity.
    seeds.clear();
    if (pendingSeeds.empty())
        pendingSeeds.swap(seeds);
    const auto purge = std::move(pendingPurge);
    pendingPurge.clear();
    for (const auto &[id, address] : purge)
        purgeIfEmpty(id, address.row, address.col);
    if (full) {
        // Formulas of every sheet may read differently after a structural change.
        for (const auto &s : sheets)
            notifySheet(s->id);
        return;
    }
    notifyCells(changed);
    for (int id : repaint)
        notifySheet(id);
    changed.clear();
    if (pendingChanged.empty())
        pendingChanged.swap(changed);
}

void Workbook::Impl::purgeIfEmpty(int sheetId, int row, int col)
{
    if (batchDepth > 0) {
        pendingPurge.emplace_back(sheetId, CellAddress{row, col});
        return;
    }
    Sheet *s = sheetById(sheetId);
    Cell *c = s ? s->find(row, col) : nullptr;
    if (c && !c->hasContent() && c->formatId == 0) {
        unregisterFormula(c);
        s->take(row, col);
    }
}

void Workbook::Impl::notifyCells(const std::vector<std::pair<int, CellAddress>> &changed)
{
    if (changed.empty() || observers.empty())
        return;
    std::map<int, std::vector<CellAddress>> bySheet;
    for (const auto &[id, address] : changed)
        bySheet[id].push_back(address);
    for (auto &[id, cells] : bySheet) {
        const int index = indexOfSheet(id);
        if (index < 0)
            continue;
        const auto copy = observers;
        for (WorkbookObserver *o : copy)
            o->cellsChanged(index, cells);
    }
}

void Workbook::Impl::notifySheet(int sheetId)
{
    const int index = indexOfSheet(sheetId);
    if (index < 0)
        return;
    const auto copy = observers;
    for (WorkbookObserver *o : copy)
        o->sheetChanged(index);
}

void Workbook::Impl::notifySheets()
{
    const auto copy = observers;
    for (WorkbookObserver *o : copy)
        o->sheetsChanged();
}

void Workbook::Impl::notifyReset()
{
    const auto copy = observers;
    for (WorkbookObserver *o : copy)
        o->workbookReset();
}

void Workbook::Impl::setCellFormula(int sheetIndex, int row, int col, Formula formula)
{
    Sheet &s = sheetAt(sheetIndex);
    Cell &c = s.obtain(row, col);
    unregisterFormula(&c);
    c.formula = std::make_unique<Formula>(std::move(formula));
    c.rawFormula.clear();
    registerFormula(&c);
    s.extentValid = false;
    cellEdited(&c, s.id, row, col);
}

} // namespace sheet
