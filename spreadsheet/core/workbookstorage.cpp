// Where the workbook keeps its cells: per sheet, per column, blocks of 256 rows allocated
// when a cell of theirs is first written; sheets found by name or id; the format pool.
#include "spreadsheet/core/workbookimpl.h"

#include "common/velmoraerror.h"

#include <algorithm>

namespace sheet {

// Storage

Cell *Sheet::find(int row, int col) const
{
    if (col < 1 || col >= int(columns.size()) || row < 1)
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
    if (columns.size() <= size_t(cell->col))
        columns.resize(size_t(cell->col) + 1);
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

void Workbook::Impl::storeFormula(const Sheet &s, Cell &cell, Formula formula)
{
    for (const Cell *neighbour : {cell.row > 1 ? s.find(cell.row - 1, cell.col) : nullptr,
                                  cell.col > 1 ? s.find(cell.row, cell.col - 1) : nullptr})
        if (neighbour && neighbour->formula) {
            shareProgram(formula, *neighbour->formula);
            if (formula.code.sharedWith(neighbour->formula->code))
                break;
        }
    cell.formula = std::make_unique<Formula>(std::move(formula));
}

} // namespace sheet
