// The workbook's structural operations: sheets, row and column insertion and deletion
// (references follow everywhere), sorting and charts.
#include "spreadsheet/core/workbook.h"

#include "common/velmoraerror.h"
#include "spreadsheet/core/workbookimpl.h"

#include <QCollator>

#include <algorithm>

namespace sheet {

// Sheets

int Workbook::sheetCount() const { return int(d->sheets.size()); }

QString Workbook::sheetName(int sheet) const { return d->sheetAt(sheet).name; }

int Workbook::sheetIndex(const QString &name) const
{
    const int id = d->sheetIdByName(name);
    return id < 0 ? -1 : d->indexOfSheet(id);
}

bool Workbook::isValidSheetName(const QString &name)
{
    if (name.trimmed().isEmpty() || name.size() > 100)
        return false;
    for (QChar c : name)
        if (QStringView(u"[]*?:/\\").contains(c) || c.unicode() < 32)
            return false;
    return !name.startsWith(u'\'') && !name.endsWith(u'\'');
}

namespace {
void checkName(const Workbook::Impl &d, const QString &name, int except)
{
    if (!Workbook::isValidSheetName(name))
        throw VelmoraError(QStringLiteral("Nom de feuille incorrect : « %1 »").arg(name));
    const int id = d.sheetIdByName(name);
    if (id >= 0 && id != except)
        throw VelmoraError(QStringLiteral("Une feuille porte déjà le nom « %1 »").arg(name));
}
} // namespace

void Workbook::insertSheet(int index, const QString &name)
{
    if (index < 0 || index > sheetCount())
        throw VelmoraError(QStringLiteral("La feuille %1 n'existe pas").arg(index + 1));
    checkName(*d, name, -1);
    auto s = std::make_unique<Sheet>();
    s->id = d->nextSheetId++;
    s->name = name;
    d->sheets.insert(d->sheets.begin() + index, std::move(s));
    d->modified = true;
    d->notifySheets();
}

void Workbook::removeSheet(int index)
{
    Sheet &s = d->sheetAt(index);
    if (sheetCount() == 1)
        throw VelmoraError(QStringLiteral("Un classeur garde au moins une feuille"));
    const int id = s.id;
    d->forEachFormulaCell([&](Cell &c) {
        if (c.sheetId != id)
            invalidateSheet(*c.formula, id);
    });
    d->sheets.erase(d->sheets.begin() + index);
    d->pendingFull = true;
    d->modified = true;
    d->flush();
    d->notifySheets();
}

void Workbook::renameSheet(int index, const QString &name)
{
    Sheet &s = d->sheetAt(index);
    if (s.name == name)
        return;
    checkName(*d, name, s.id);
    s.name = name;
    d->modified = true;
    // References hold sheet ids, which a rename keeps: only formulas reading cells named by
    // a text (INDIRECT, OFFSET) may now read others. Every sheet is repainted, as formulas
    // shown name the sheet.
    d->forEachFormulaCell([this](Cell &c) {
        if (c.formula && c.formula->hasDynamicRefs)
            d->pendingSeeds.push_back(&c);
    });
    for (const auto &sheet : d->sheets)
        d->pendingSheetRepaint.insert(sheet->id);
    d->flush();
    d->notifySheets();
}

void Workbook::moveSheet(int from, int to)
{
    d->sheetAt(from);
    d->sheetAt(to);
    if (from == to)
        return;
    // References name sheets by their ids, which a move keeps.
    auto sheet = std::move(d->sheets[size_t(from)]);
    d->sheets.erase(d->sheets.begin() + from);
    d->sheets.insert(d->sheets.begin() + to, std::move(sheet));
    d->modified = true;
    d->notifySheets();
}

void Workbook::setSheetCount(int count)
{
    count = std::max(1, count);
    while (sheetCount() > count)
        removeSheet(sheetCount() - 1);
    int n = sheetCount();
    while (sheetCount() < count) {
        QString name;
        do
            name = QStringLiteral("Feuil%1").arg(++n);
        while (d->sheetIdByName(name) >= 0);
        insertSheet(sheetCount(), name);
    }
}

// Rows and columns

namespace {

// Moves the cells of a sheet at or after `at` by `count` lines (negative: deletion of the
// lines at..at-count-1, whose cells are dropped). Cells pushed past the last line (only
// formats: cells with content there refuse the insertion) are dropped too.
void shiftCells(Sheet &s, bool rows, int at, int count)
{
    const int removed = std::max(0, -count);
    s.extentValid = false;
    s.columns.resize(size_t(kMaxColumns) + 1); // every column may move or be walked
    if (!rows) {
        // Whole columns move; their blocks, and the cells in them, stay where they are.
        if (count > 0)
            for (int c = kMaxColumns; c >= at; --c)
                s.columns[size_t(c)] = c - count >= at ? std::move(s.columns[size_t(c - count)]) : Column{};
        else
            for (int c = at; c <= kMaxColumns; ++c)
                s.columns[size_t(c)] =
                        c + removed <= kMaxColumns ? std::move(s.columns[size_t(c + removed)]) : Column{};
        for (int c = at; c <= kMaxColumns; ++c)
            s.forEach(CellRange{1, c, kMaxRows, c}, [c](Cell &cell) { cell.col = c; });
        return;
    }
    // Each cell goes straight to its new row, the last first for an insertion and the first
    // first for a deletion, so that it lands on a row already left.
    std::vector<int> found;
    for (int col = 1; col <= kMaxColumns; ++col) {
        if (s.columns[size_t(col)].blocks.size() <= size_t((at - 1) / kBlockRows))
            continue;
        found.clear();
        s.forEach(CellRange{at, col, kMaxRows, col}, [&](const Cell &c) { found.push_back(c.row); });
        if (count > 0)
            std::reverse(found.begin(), found.end());
        for (int row : found) {
            std::unique_ptr<Cell> cell = s.take(row, col);
            if (row < at + removed || row + count > kMaxRows)
                continue; // deleted, or pushed off the sheet
            cell->row += count;
            s.put(std::move(cell));
        }
    }
}

void shiftSizes(std::map<int, int> &sizes, int at, int count)
{
    std::map<int, int> out;
    for (const auto &[line, size] : sizes) {
        if (line < at)
            out[line] = size;
        else if (count > 0)
            out[line + count] = size;
        else if (line >= at - count)
            out[line + count] = size;
    }
    sizes = std::move(out);
}

bool moveChartLine(int &line, int at, int count)
{
    if (line < at)
        return true;
    if (count < 0 && line < at - count)
        return false;
    line += count;
    return true;
}

// The notes of the lookups of `c` into sheet `sheetId` through the insertion or deletion;
// when a table or the cell found goes, the lookups are no longer known.
void followLookupNotes(Cell &c, int sheetId, bool rows, int at, int count)
{
    if (!c.lookupsKnown || !c.lookups())
        return;
    for (LookupNote &note : *c.lookups())
        if (note.sheetId == sheetId && !followLookupNote(note, rows, at, count)) {
            c.lookupsKnown = false;
            return;
        }
}

// A range read as a single value gives its cell on the formula's own row (or column). When
// lines of a sheet move the formula and not such a range of another sheet, or a range of the
// sheet and not a formula of another sheet, that cell is another one: the result may change
// though every reference still names the same cells.
bool intersectionMoves(const Cell &c, int sheetId, bool rows, int at)
{
    const bool cellMoves = c.sheetId == sheetId && (rows ? c.row : c.col) >= at;
    for (const FormulaRef &ref : c.formula->refs) {
        if (ref.invalid || !ref.isRange || (ref.a.row == ref.b.row && ref.a.col == ref.b.col))
            continue;
        const bool rangeOnSheet = refSheet(ref, c.sheetId) == sheetId;
        if (cellMoves && !rangeOnSheet)
            return true;
        if (!cellMoves && rangeOnSheet && c.sheetId != sheetId && (rows ? ref.a.row : ref.a.col) >= at)
            return true;
    }
    return false;
}

// References of every formula through the insertion or deletion of lines at... The
// formulas of the deleted lines leave the dependency index, as do the few whose entries
// cannot follow in place (while it still matches their old references). Gives the formulas
// whose references changed shape in a way that may change their result, and those to file
// again once the index has followed the lines.
struct FollowedLines
{
    std::vector<Cell *> reshaped;
    std::vector<Cell *> refiled;
};

FollowedLines followLines(Workbook::Impl &d, int sheetId, bool rows, int at, int count)
{
    FollowedLines out;
    std::vector<Cell *> leaving;
    const int removed = std::max(0, -count);
    // The formulas first, fetching each from memory while the list is made, so that the
    // pass over their references seldom waits for memory.
    std::vector<Cell *> formulas;
    const CellRange all{1, 1, kMaxRows, kMaxColumns};
    for (const auto &sheet : d.sheets)
        sheet->forEach(all, [&](Cell &c) {
            if (c.formula) {
                __builtin_prefetch(c.formula.get());
                formulas.push_back(&c);
            }
        });
    for (size_t i = 0; i < formulas.size(); ++i) {
        if (i + 8 < formulas.size())
            __builtin_prefetch(formulas[i + 8]->formula->refs.data());
        Cell &c = *formulas[i];
        const int line = rows ? c.row : c.col;
        if (c.sheetId == sheetId && line >= at && line < at + removed) {
            leaving.push_back(&c);
            continue;
        }
        const RefChange change = insertDeleteChange(*c.formula, c.sheetId, sheetId, rows, at, count);
        const bool intersection = intersectionMoves(c, sheetId, rows, at);
        if (change != RefChange::Reshaped && intersection)
            out.reshaped.push_back(&c);
        switch (change) {
        case RefChange::None: continue;
        case RefChange::Moved: followLookupNotes(c, sheetId, rows, at, count); break;
        case RefChange::Reshaped:
            if (!intersection && d.lookupsSurvive(c, sheetId, rows, at, count)) {
                followLookupNotes(c, sheetId, rows, at, count);
            } else {
                out.reshaped.push_back(&c);
                c.lookupsKnown = false;
            }
            if (!d.indexFollows(c, sheetId, rows, at, count)) {
                out.refiled.push_back(&c);
                continue; // its references change once it has left the index
            }
            break;
        }
        adjustForInsertDelete(*c.formula, c.sheetId, sheetId, rows, at, count);
    }
    leaving.insert(leaving.end(), out.refiled.begin(), out.refiled.end());
    d.unregisterFormulas(leaving);
    for (Cell *c : out.refiled)
        adjustForInsertDelete(*c->formula, c->sheetId, sheetId, rows, at, count);
    // Cells about to be dropped leave the pending recalculation too.
    if (removed > 0)
        std::erase_if(d.pendingSeeds, [&](const Cell *c) {
            const int line = rows ? c->row : c->col;
            return c->sheetId == sheetId && line >= at && line < at + removed;
        });
    return out;
}

} // namespace

static void insertDelete(Workbook::Impl &d, int sheet, bool rows, int at, int count)
{
    Sheet &s = d.sheetAt(sheet);
    const int limit = rows ? kMaxRows : kMaxColumns;
    if (at < 1 || at > limit || count == 0)
        return;
    if (count > 0) {
        // Refuse rather than push content off the sheet.
        const CellRange edge = rows ? CellRange{limit - count + 1, 1, limit, kMaxColumns}
                                    : CellRange{1, limit - count + 1, kMaxRows, limit};
        bool lost = false;
        s.forEach(edge, [&](const Cell &c) { lost = lost || c.hasContent(); });
        if (lost)
            throw VelmoraError(
                    QStringLiteral("Insertion impossible : des cellules non vides sortiraient de la feuille"));
    } else {
        count = -std::min(-count, limit - at + 1);
    }
    FollowedLines followed = followLines(d, s.id, rows, at, count);
    shiftCells(s, rows, at, count);
    d.shiftDependencies(s.id, rows, at, count);
    for (Cell *c : followed.refiled)
        d.registerFormula(c);
    shiftSizes(rows ? s.rowHeights : s.columnWidths, at, count);
    shiftSizes(rows ? s.rowFormats : s.columnFormats, at, count);
    for (auto it = s.charts.begin(); it != s.charts.end();) {
        int &a = rows ? it->range.top : it->range.left;
        int &b = rows ? it->range.bottom : it->range.right;
        int &anchor = rows ? it->anchor.row : it->anchor.col;
        const bool keepA = moveChartLine(a, at, count);
        const bool keepB = moveChartLine(b, at, count);
        if (!keepA && !keepB) {
            it = s.charts.erase(it);
            continue;
        }
        if (!keepA)
            a = at;
        if (!keepB)
            b = at - 1;
        if (!moveChartLine(anchor, at, count))
            anchor = at;
        ++it;
    }
    d.linesChanged(std::move(followed.reshaped));
}

void Workbook::insertRows(int sheet, int row, int count)
{
    if (count > 0)
        insertDelete(*d, sheet, true, row, count);
}

void Workbook::deleteRows(int sheet, int row, int count)
{
    if (count > 0)
        insertDelete(*d, sheet, true, row, -count);
}

void Workbook::insertColumns(int sheet, int col, int count)
{
    if (count > 0)
        insertDelete(*d, sheet, false, col, count);
}

void Workbook::deleteColumns(int sheet, int col, int count)
{
    if (count > 0)
        insertDelete(*d, sheet, false, col, -count);
}

// Sort

namespace {

int rank(const Value &v)
{
    switch (v.type()) {
    case Value::Type::Number: return 0;
    case Value::Type::Text: return 1;
    case Value::Type::Boolean: return 2;
    case Value::Type::Error: return 3;
    default: return 4;
    }
}

} // namespace

std::vector<int> Workbook::sortRows(int sheet, const CellRange &range0, const std::array<int, 3> &keys)
{
    Sheet &s = d->sheetAt(sheet);
    const CellRange range = CellRange{std::max(1, range0.top), std::max(1, range0.left),
                                      std::min(kMaxRows, range0.bottom), std::min(kMaxColumns, range0.right)};
    if (!range.isValid() || range.rowCount() < 2)
        return {};
    std::vector<int> keyCols;
    std::vector<bool> descending;
    for (int k : keys) {
        if (k == 0 || std::abs(k) > range.columnCount())
            continue;
        keyCols.push_back(range.left + std::abs(k) - 1);
        descending.push_back(k < 0);
    }
    if (keyCols.empty())
        return {};
    QCollator collator(QLocale(QLocale::French, QLocale::France));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<int> order(size_t(range.rowCount()));
    for (int i = 0; i < range.rowCount(); ++i)
        order[size_t(i)] = range.top + i;
    auto valueAt = [&](int row, int col) {
        const Cell *c = s.find(row, col);
        return c ? c->value : Value();
    };
    std::stable_sort(order.begin(), order.end(), [&](int ra, int rb) {
        for (size_t k = 0; k < keyCols.size(); ++k) {
            const Value a = valueAt(ra, keyCols[k]);
            const Value b = valueAt(rb, keyCols[k]);
            const int xa = rank(a), xb = rank(b);
            if (xa == 4 || xb == 4) {
                if (xa != xb)
                    return xb == 4; // empty cells last, whatever the direction
                continue;
            }
            int c = 0;
            if (xa != xb)
                c = xa < xb ? -1 : 1;
            else if (a.isText())
                c = collator.compare(a.asText(), b.asText());
            else if (a.isError())
                c = int(a.errorCode()) - int(b.errorCode());
            else
                c = a.asNumber() < b.asNumber() ? -1 : a.asNumber() > b.asNumber() ? 1 : 0;
            if (c != 0)
                return descending[k] ? c > 0 : c < 0;
        }
        return false;
    });
    reorderRows(sheet, range, order);
    return order;
}

void Workbook::reorderRows(int sheet, const CellRange &range, const std::vector<int> &order)
{
    Sheet &s = d->sheetAt(sheet);
    std::vector<int> check = order;
    std::sort(check.begin(), check.end());
    for (size_t i = 0; i < check.size(); ++i)
        if (check[i] != range.top + int(i) || int(check.size()) != range.rowCount())
            throw VelmoraError(QStringLiteral("Ordre de lignes incorrect"));
    // Take every cell of the range out, then put each back on its new row; formulas move
    // as copies do, their relative references following (out of the dependency index while
    // their references change).
    std::vector<std::vector<std::unique_ptr<Cell>>> rowsCells(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        for (int col = range.left; col <= range.right; ++col)
            if (auto c = s.take(order[i], col))
                rowsCells[i].push_back(std::move(c));
    std::vector<Cell *> seeds;
    int firstMoved = range.bottom + 1, lastMoved = range.top - 1;
    for (size_t i = 0; i < order.size(); ++i) {
        const int newRow = range.top + int(i);
        if (newRow != order[i]) {
            firstMoved = std::min(firstMoved, newRow);
            lastMoved = std::max(lastMoved, newRow);
        }
        for (auto &c : rowsCells[i])
            if (c->formula && newRow != c->row)
                seeds.push_back(c.get());
    }
    d->unregisterFormulas(seeds);
    for (size_t i = 0; i < order.size(); ++i) {
        const int newRow = range.top + int(i);
        for (auto &c : rowsCells[i]) {
            if (c->formula)
                shiftRelativeRefs(*c->formula, newRow - c->row, 0);
            c->row = newRow;
            s.put(std::move(c));
        }
    }
    for (Cell *c : seeds)
        d->registerFormula(c);
    // What reads the rows that moved now reads other values.
    if (firstMoved <= lastMoved)
        d->forEachReaderIn(s.id, CellRange{firstMoved, range.left, lastMoved, range.right},
                           [&](Cell *c) { seeds.push_back(c); });
    d->linesChanged(std::move(seeds));
}

// Charts

int Workbook::addChart(int sheet, int type, const CellRange &range)
{
    Sheet &s = d->sheetAt(sheet);
    if (type != 5)
        throw VelmoraError(QStringLiteral("Type de graphique inconnu : %1").arg(type));
    if (!range.isValid())
        throw VelmoraError(QStringLiteral("Plage de graphique incorrecte"));
    ChartObject chart;
    chart.id = d->nextChartId++;
    chart.type = type;
    chart.range = range;
    // Beside the data, to its right, so that the chart does not hide it.
    chart.anchor = CellAddress{range.top, std::min(kMaxColumns, range.right + 2)};
    s.charts.push_back(chart);
    d->modified = true;
    d->notifySheet(s.id);
    return chart.id;
}

void Workbook::removeChart(int id)
{
    for (auto &s : d->sheets)
        for (auto it = s->charts.begin(); it != s->charts.end(); ++it)
            if (it->id == id) {
                s->charts.erase(it);
                d->modified = true;
                d->notifySheet(s->id);
                return;
            }
}

std::vector<ChartObject> Workbook::charts(int sheet) const { return d->sheetAt(sheet).charts; }

void Workbook::setChartGeometry(int id, CellAddress anchor, int width, int height)
{
    for (auto &s : d->sheets)
        for (ChartObject &c : s->charts)
            if (c.id == id) {
                c.anchor = CellAddress{std::clamp(anchor.row, 1, kMaxRows), std::clamp(anchor.col, 1, kMaxColumns)};
                c.width = std::max(200, width);
                c.height = std::max(200, height);
                d->modified = true;
                d->notifySheet(s->id);
                return;
            }
}

} // namespace sheet
