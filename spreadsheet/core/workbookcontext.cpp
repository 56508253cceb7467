// The evaluation context: how a formula being computed reads the workbook (cells, ranges,
// sums over whole blocks, exact lookups through an index built once per recalculation).
#include "spreadsheet/core/workbookimpl.h"

#include <algorithm>

namespace sheet {

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
    const int right = std::min({kMaxColumns, r.right, int(s->columns.size()) - 1});
    for (int col = std::max(1, r.left); col <= right; ++col) {
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
            if (c.formula || !c.rawFormula().isEmpty())
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

void WorkbookContext::noteExactLookup(const RangeRef &table, bool vertical, const Value &key, int pos,
                                      bool givesPosition)
{
    if (!notes)
        return;
    if (notes->size() >= 8) {
        complete = false;
        return;
    }
    notes->push_back(LookupNote{table.sheetId, table.area, pos, key, vertical, givesPosition});
}

double WorkbookContext::random()
{
    if (!m_impl.random)
        m_impl.random.emplace(std::random_device{}());
    return std::uniform_real_distribution<double>(0.0, 1.0)(*m_impl.random);
}

void Workbook::Impl::evaluate(Cell *cell)
{
    WorkbookContext ctx(*this);
    ctx.sheetId = cell->sheetId;
    ctx.row = cell->row;
    ctx.col = cell->col;
    if (cell->lookupOnlyRefs) {
        if (!cell->extra)
            cell->extra = std::make_unique<CellExtra>();
        cell->extra->lookups.clear();
        ctx.notes = &cell->extra->lookups;
    }
    assignValue(*cell, evaluator.run(*cell->formula, ctx));
    cell->lookupsKnown = cell->lookupOnlyRefs && ctx.complete;
}

} // namespace sheet
