#include "spreadsheet/core/workbookaccess.h"

#include "spreadsheet/core/workbookimpl.h"

#include <algorithm>

namespace sheet {

void WorkbookAccess::removeAllSheets()
{
    m_book.d->sheets.clear();
    m_book.d->cellReaders.clear();
    m_book.d->cellReadersPerColumn.clear();
    m_book.d->rangeReaders.clear();
    m_book.d->volatileCells.clear();
    m_book.d->positionalCells.clear();
}

int WorkbookAccess::appendSheet(const QString &wanted)
{
    Workbook::Impl &d = *m_book.d;
    QString name = wanted;
    if (!Workbook::isValidSheetName(name) || d.sheetIdByName(name) >= 0) {
        int n = int(d.sheets.size());
        do
            name = QStringLiteral("Feuil%1").arg(++n);
        while (d.sheetIdByName(name) >= 0);
    }
    auto s = std::make_unique<Sheet>();
    s->id = d.nextSheetId++;
    s->name = name;
    d.sheets.push_back(std::move(s));
    return int(d.sheets.size()) - 1;
}

void WorkbookAccess::putValue(int sheet, int row, int col, const Value &value)
{
    Cell &c = m_book.d->sheetAt(sheet).obtain(row, col);
    assignValue(c, value);
    c.formula.reset();
    c.setRawFormula(QString());
    c.lookupsKnown = false;
}

void WorkbookAccess::putFormula(int sheet, int row, int col, Formula formula, const Value &cached)
{
    Sheet &s = m_book.d->sheetAt(sheet);
    Cell &c = s.obtain(row, col);
    assignValue(c, cached);
    Workbook::Impl::storeFormula(s, c, std::move(formula));
    c.setRawFormula(QString());
    c.lookupsKnown = false;
}

void WorkbookAccess::putRawFormula(int sheet, int row, int col, const QString &text, const Value &cached)
{
    Cell &c = m_book.d->sheetAt(sheet).obtain(row, col);
    assignValue(c, cached);
    c.formula.reset();
    c.setRawFormula(text);
    c.lookupsKnown = false;
}

void WorkbookAccess::putFormat(int sheet, int row, int col, std::uint32_t formatId)
{
    if (formatId == 0 && !m_book.d->sheetAt(sheet).find(row, col))
        return;
    m_book.d->sheetAt(sheet).obtain(row, col).formatId = formatId;
}

void WorkbookAccess::putColumnWidth(int sheet, int col, int width)
{
    m_book.d->sheetAt(sheet).columnWidths[col] = width;
}

void WorkbookAccess::putRowHeight(int sheet, int row, int height) { m_book.d->sheetAt(sheet).rowHeights[row] = height; }

void WorkbookAccess::putColumnFormat(int sheet, int col, std::uint32_t formatId)
{
    m_book.d->sheetAt(sheet).columnFormats[col] = int(formatId);
}

void WorkbookAccess::putRowFormat(int sheet, int row, std::uint32_t formatId)
{
    m_book.d->sheetAt(sheet).rowFormats[row] = int(formatId);
}

const std::map<int, int> &WorkbookAccess::columnFormats(int sheet) const
{
    return m_book.d->sheetAt(sheet).columnFormats;
}

const std::map<int, int> &WorkbookAccess::rowFormats(int sheet) const { return m_book.d->sheetAt(sheet).rowFormats; }

void WorkbookAccess::putChart(int sheet, const ChartObject &chart)
{
    ChartObject c = chart;
    c.id = m_book.d->nextChartId++;
    m_book.d->sheetAt(sheet).charts.push_back(c);
}

void WorkbookAccess::finishLoading()
{
    Workbook::Impl &d = *m_book.d;
    if (d.sheets.empty())
        appendSheet(QStringLiteral("Feuil1"));
    d.rebuildDependencies();
    d.recalculate({}, true, nullptr);
    d.modified = false;
}

const SheetNames &WorkbookAccess::sheetNames() const { return *m_book.d; }

int WorkbookAccess::sheetId(int sheet) const { return m_book.d->sheetAt(sheet).id; }

std::vector<StoredCell> WorkbookAccess::cellsRowMajor(int sheet) const
{
    std::vector<StoredCell> out;
    m_book.d->sheetAt(sheet).forEach(CellRange{1, 1, kMaxRows, kMaxColumns}, [&](const Cell &c) {
        out.push_back(StoredCell{c.row, c.col, &c.value, c.formula.get(),
                                 c.rawFormula().isEmpty() ? nullptr : &c.rawFormula(), c.formatId});
    });
    std::sort(out.begin(), out.end(),
              [](const StoredCell &a, const StoredCell &b) { return a.row != b.row ? a.row < b.row : a.col < b.col; });
    return out;
}

std::size_t WorkbookAccess::cellCount(int sheet) const
{
    std::size_t n = 0;
    m_book.d->sheetAt(sheet).forEach(CellRange{1, 1, kMaxRows, kMaxColumns}, [&](const Cell &) { ++n; });
    return n;
}

std::uint32_t WorkbookAccess::internFormat(const CellFormat &format) { return m_book.d->internFormat(format); }

const CellFormat &WorkbookAccess::formatById(std::uint32_t id) const
{
    const auto &formats = m_book.d->formats;
    return formats[id < formats.size() ? id : 0];
}

std::uint32_t WorkbookAccess::formatIdAt(int sheet, int row, int col) const
{
    const Sheet &s = m_book.d->sheetAt(sheet);
    return m_book.d->formatIdOf(s, s.find(row, col), row, col);
}

const std::map<int, int> &WorkbookAccess::columnWidths(int sheet) const
{
    return m_book.d->sheetAt(sheet).columnWidths;
}

const std::map<int, int> &WorkbookAccess::rowHeights(int sheet) const { return m_book.d->sheetAt(sheet).rowHeights; }

const Formula *WorkbookAccess::formulaAt(int sheet, int row, int col) const
{
    const Cell *c = m_book.d->sheetAt(sheet).find(row, col);
    return c ? c->formula.get() : nullptr;
}

void WorkbookAccess::setFormula(int sheet, int row, int col, Formula formula)
{
    m_book.d->setCellFormula(sheet, row, col, std::move(formula));
}

void WorkbookAccess::followMovedCells(int sheet, const CellRange &from, int dRows, int dCols)
{
    Workbook::Impl &d = *m_book.d;
    const int id = d.sheetAt(sheet).id;
    bool changed = false;
    d.forEachFormulaCell([&](Cell &c) {
        changed = ::sheet::followMovedCells(*c.formula, c.sheetId, id, from, dRows, dCols) || changed;
    });
    if (changed)
        d.structureChanged(id);
}

void WorkbookAccess::setFormatId(int sheet, int row, int col, std::uint32_t formatId)
{
    Sheet &s = m_book.d->sheetAt(sheet);
    Cell *c = s.find(row, col);
    if ((c ? c->formatId : 0) == formatId)
        return;
    if (!c)
        c = &s.obtain(row, col);
    c->formatId = formatId;
    m_book.d->modified = true;
    m_book.d->pendingChanged.emplace_back(s.id, CellAddress{row, col});
    if (m_book.d->batchDepth == 0)
        m_book.d->flush();
    m_book.d->purgeIfEmpty(s.id, row, col);
}

void WorkbookAccess::beginBatch() { ++m_book.d->batchDepth; }

void WorkbookAccess::endBatch()
{
    if (--m_book.d->batchDepth == 0)
        m_book.d->flush();
}

std::vector<std::pair<int, CellAddress>> WorkbookAccess::formulasWithCornerIn(int sheet, const CellRange &range,
                                                                              const CellRange &except) const
{
    Workbook::Impl &d = *m_book.d;
    const int id = d.sheetAt(sheet).id;
    std::vector<Cell *> readers;
    d.forEachReaderIn(id, range, [&](Cell *c) { readers.push_back(c); });
    std::sort(readers.begin(), readers.end());
    readers.erase(std::unique(readers.begin(), readers.end()), readers.end());
    std::vector<std::pair<int, CellAddress>> found;
    for (const Cell *c : readers) {
        if (!c->formula || (c->sheetId == id && except.contains(c->row, c->col)))
            continue;
        const auto &refs = c->formula->refs;
        if (std::any_of(refs.begin(), refs.end(), [&](const FormulaRef &ref) {
                return !ref.invalid && refSheet(ref, c->sheetId) == id
                        && (range.contains(ref.a.row, ref.a.col) || range.contains(ref.b.row, ref.b.col));
            }))
            found.emplace_back(d.indexOfSheet(c->sheetId), CellAddress{c->row, c->col});
    }
    std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) {
        return std::tie(a.first, a.second.row, a.second.col) < std::tie(b.first, b.second.row, b.second.col);
    });
    return found;
}

} // namespace sheet
