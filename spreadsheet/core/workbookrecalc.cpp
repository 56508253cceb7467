// The recalculation of the workbook, and how changes reach it.
//
// A change recomputes the formulas that read the changed cells, then the formulas that read
// those, and so on, in three steps: find the formulas concerned, grouped in strongly
// connected components (a component of more than one cell is a circular reference, its
// cells get #CIRC!); evaluate the components in order, what a formula reads first; settle
// the formulas whose references are only known when computed (INDIRECT, OFFSET). Changes
// made in a batch are recalculated once, at its end; observers then hear of every cell
// whose value changed. Storage, dependencies and the evaluation context have files of
// their own (workbookstorage.cpp, workbookdependencies.cpp, workbookcontext.cpp).
#include "spreadsheet/core/workbookimpl.h"

#include "common/velmoraerror.h"
#include "spreadsheet/core/numberformat.h"

#include <QDateTime>

#include <algorithm>

namespace sheet {

// Recalculation

// The scratch buffers of one recalculation: the workbook's own, kept from one change to the
// next (up to a size), or fresh ones for a nested recalculation while the outer one holds them.
class Workbook::Impl::ScratchLease
{
public:
    explicit ScratchLease(Impl &impl) : m_impl(impl), m_owns(!impl.scratchInUse) { impl.scratchInUse = true; }
    ~ScratchLease()
    {
        if (!m_owns)
            return;
        m_impl.scratchInUse = false;
        // The buffers of a recalculation of everything in a large workbook (tens of MB for
        // a million formulas) are not kept: they would stay held for changes that touch a
        // few formulas.
        RecalcScratch &b = m_impl.scratch;
        if (std::max({b.sccStack.capacity(), b.order.capacity(), b.pool.capacity(), b.frames.capacity(),
                      b.low.capacity()})
            > kKeptCells)
            b = RecalcScratch();
    }
    static constexpr size_t kKeptCells = 1 << 17;
    RecalcScratch &buffers() { return m_owns ? m_impl.scratch : m_local; }

private:
    Impl &m_impl;
    bool m_owns;
    RecalcScratch m_local;
};

void Workbook::Impl::recalculate(std::vector<Cell *> &&seeds, bool everything,
                                 std::vector<std::pair<int, CellAddress>> *changed, bool settle)
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
    ScratchLease lease(*this);
    RecalcScratch &buffers = lease.buffers();
    findComponents(seeds, buffers);
    std::vector<Cell *> dynamic;
    evaluateInOrder(buffers, dynamic, changed);
    if (settle)
        settleDynamicReferences(dynamic, changed);
}

// Step 1: the formulas to compute, grouped in strongly connected components (Tarjan's
// algorithm on an explicit stack, so that a chain of any length never deepens the C++
// stack). Components come out readers first, each a slice of `b.order`; a component of
// more than one cell, or a cell reading itself, is a circular reference.
void Workbook::Impl::findComponents(const std::vector<Cell *> &seeds, RecalcScratch &b)
{
    // The ranks of this pass start where the last one stopped: a cell ranked below `base`
    // was not reached yet. Long before the count runs out, every rank is cleared (of every
    // cell: one holding a constant now may have been a formula then).
    if (nextVisit > kMaxVisit) {
        const CellRange all{1, 1, kMaxRows, kMaxColumns};
        for (const auto &s : sheets)
            s->forEach(all, [](Cell &c) { c.visit = 0; });
        nextVisit = 1;
    }
    const std::uint32_t base = b.base = nextVisit;
    b.sccStack.clear();
    b.order.clear();
    b.frames.clear();
    b.pool.clear();
    b.low.clear();
    b.onStack.clear();
    auto reached = [&](const Cell *c) { return c->visit >= base; };
    // Each open frame's readers sit in one shared pool, in stack order.
    auto open = [&](Cell *c) {
        c->visit = nextVisit++;
        b.low.push_back(c->visit - base);
        b.onStack.push_back(1);
        c->inCycle = false;
        b.sccStack.push_back(c);
        const size_t begin = b.pool.size();
        // A reader already finished (computed in an earlier component) adds nothing: it is
        // left out here, where thousands of cells share the same range readers.
        forEachReader(c->sheetId, c->row, c->col, [&](Cell *r) {
            if (!reached(r) || b.onStack[r->visit - base])
                b.pool.push_back(r);
        });
        b.frames.push_back(RecalcFrame{c, begin, b.pool.size(), begin});
    };
    for (Cell *seed : seeds) {
        if (reached(seed) || !seed->formula)
            continue;
        open(seed);
        while (!b.frames.empty()) {
            RecalcFrame &f = b.frames.back();
            if (f.next < f.end) {
                Cell *w = b.pool[f.next++];
                if (w == f.cell)
                    f.cell->inCycle = true;
                if (!reached(w)) {
                    open(w);
                } else if (b.onStack[w->visit - base]) {
                    std::uint32_t &low = b.low[f.cell->visit - base];
                    low = std::min(low, w->visit - base);
                }
                continue;
            }
            Cell *v = f.cell;
            b.pool.resize(f.begin);
            b.frames.pop_back();
            const std::uint32_t vLow = b.low[v->visit - base];
            if (!b.frames.empty()) {
                std::uint32_t &low = b.low[b.frames.back().cell->visit - base];
                low = std::min(low, vLow);
            }
            if (vLow == v->visit - base)
                closeComponent(v, b);
        }
    }
}

// Moves the component whose root is `root` from the Tarjan stack to the order.
void Workbook::Impl::closeComponent(Cell *root, RecalcScratch &b)
{
    const size_t start = b.order.size();
    Cell *w;
    do {
        w = b.sccStack.back();
        b.sccStack.pop_back();
        b.onStack[w->visit - b.base] = 0;
        b.order.push_back(w);
    } while (w != root);
    if (b.order.size() - start > 1 || root->inCycle)
        for (size_t k = start; k < b.order.size(); ++k)
            b.order[k]->inCycle = true;
}

// Step 2: computes the components in reverse order of discovery (what a formula reads comes
// before it); members of a cycle get #CIRC!. Formulas with INDIRECT or OFFSET are listed
// in `dynamic` for the last step.
void Workbook::Impl::evaluateInOrder(RecalcScratch &b, std::vector<Cell *> &dynamic,
                                     std::vector<std::pair<int, CellAddress>> *changed)
{
    // Components came out readers first: the order read backwards computes what a formula
    // reads before it. The cell and formula a few steps ahead are fetched from memory while
    // the current one is computed.
    const std::vector<Cell *> &order = b.order;
    for (size_t i = order.size(); i-- > 0;) {
        if (i >= 4) {
            __builtin_prefetch(order[i - 4]);
            __builtin_prefetch(order[i - 4]->formula.get());
        }
        Cell *c = order[i];
        const Value old = c->value;
        if (c->inCycle) {
            assignValue(*c, Value::error(ErrorCode::Circular));
            c->lookupsKnown = false;
        } else {
            evaluate(c);
        }
        if (c->formula->hasDynamicRefs)
            dynamic.push_back(c);
        if (changed && c->value != old)
            changed->emplace_back(c->sheetId, CellAddress{c->row, c->col});
    }
}

// Step 3: INDIRECT and OFFSET read cells the index does not know of. They are computed again
// now that everything else is final, then once more what reads those that changed.
void Workbook::Impl::settleDynamicReferences(const std::vector<Cell *> &dynamic,
                                             std::vector<std::pair<int, CellAddress>> *changed)
{
    std::vector<Cell *> moved;
    for (Cell *c : dynamic) {
        const Value old = c->value;
        evaluate(c);
        if (c->value != old) {
            if (changed)
                changed->emplace_back(c->sheetId, CellAddress{c->row, c->col});
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
    if (cell && !cell->formula && cell->rawFormula().isEmpty()) {
        // A new constant: lookups it cannot affect keep their results.
        const Value &value = cell->value;
        forEachReader(sheetId, row, col, [&](Cell *r) {
            if (!lookupUnaffected(r, sheetId, row, col, value))
                pendingSeeds.push_back(r);
        });
    } else if (!cell || !cell->formula) {
        forEachReader(sheetId, row, col, [&](Cell *r) { pendingSeeds.push_back(r); });
    } // a formula's readers are reached from it: listing them too would only grow the seeds
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

void Workbook::Impl::linesChanged(std::vector<Cell *> &&seeds)
{
    pendingSeeds.insert(pendingSeeds.end(), seeds.begin(), seeds.end());
    pendingLines = true;
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
    const bool lines = pendingLines;
    pendingLines = false;
    if (lines && !full)
        seeds.insert(seeds.end(), positionalCells.begin(), positionalCells.end());
    std::unordered_set<int> repaint = std::move(pendingSheetRepaint);
    pendingSheetRepaint.clear();
    if (full)
        rebuildDependencies();
    // Which cells changed matters only to observers told cell by cell: otherwise the list
    // (of a batch of a million edits, say) goes before the recalculation grows its own.
    const bool listed = !full && !lines && !observers.empty();
    if (!listed)
        changed = {};
    recalculate(std::move(seeds), full, listed ? &changed : nullptr);
    // The lists go back to the pending ones for the next change, with their capacity.
    seeds.clear();
    if (pendingSeeds.empty())
        pendingSeeds.swap(seeds);
    const auto purge = std::move(pendingPurge);
    pendingPurge.clear();
    for (const auto &[id, address] : purge)
        purgeIfEmpty(id, address.row, address.col);
    if (full || lines) {
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
    storeFormula(s, c, std::move(formula));
    c.setRawFormula(QString());
    registerFormula(&c);
    s.extentValid = false;
    cellEdited(&c, s.id, row, col);
}

} // namespace sheet
