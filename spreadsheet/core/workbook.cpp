// The workbook's public operations on cells, formats, sizes and view flags.
#include "spreadsheet/core/workbook.h"

#include "common/velmoraerror.h"
#include "spreadsheet/core/functionregistry.h"
#include "spreadsheet/core/numberformat.h"
#include "spreadsheet/core/workbookimpl.h"

#include <cmath>

namespace sheet {

namespace {

void checkCell(int row, int col)
{
    if (row < 1 || row > kMaxRows || col < 1 || col > kMaxColumns)
        throw VelmoraError(QStringLiteral("La cellule ligne %1, colonne %2 est hors de la feuille").arg(row).arg(col));
}

CellRange clipped(const CellRange &r)
{
    return CellRange{std::max(1, r.top), std::max(1, r.left), std::min(kMaxRows, r.bottom),
                     std::min(kMaxColumns, r.right)};
}

// What a formula's result is, as far as its display goes: a date, a time, a percentage, or
// a plain number; with the pattern to show it in.
struct ResultKind
{
    enum Kind { Plain, Date, Time, Percent } kind = Plain;
    QString pattern;
};

ResultKind kindOfPattern(const QString &pattern)
{
    if (pattern.isEmpty())
        return {};
    if (isDateTimePattern(pattern)) {
        bool date = false, quoted = false;
        for (QChar c : pattern) {
            if (c == u'"')
                quoted = !quoted;
            const QChar l = c.toLower();
            if (!quoted && (l == u'd' || l == u'y' || l == u'j' || l == u'a'))
                date = true;
        }
        return {date ? ResultKind::Date : ResultKind::Time, pattern};
    }
    if (describeNumberPattern(pattern).percent)
        return {ResultKind::Percent, pattern};
    return {};
}

// What a reference to one cell brings: the kind of its number format.
ResultKind kindOfReference(const FormulaRef &ref, const Workbook::Impl &d, int ownSheet)
{
    const Sheet *s = ref.sheetId < 0 ? &d.sheetAt(ownSheet) : d.sheetById(ref.sheetId);
    if (!ref.isRange && !ref.invalid && s)
        if (const Cell *c = s->find(ref.a.row, ref.a.col))
            return kindOfPattern(d.formats[d.formatIdOf(*s, c, ref.a.row, ref.a.col)].numberFormat);
    return {};
}

ResultKind kindOfSum(Op op, const ResultKind &a, const ResultKind &b)
{
    if (a.kind == ResultKind::Date && (b.kind == ResultKind::Plain || b.kind == ResultKind::Time))
        return a; // a date plus or minus days (or hours) is a date
    if (op == Op::Add && a.kind == ResultKind::Plain && b.kind == ResultKind::Date)
        return b;
    if (a.kind == b.kind && (a.kind == ResultKind::Time || a.kind == ResultKind::Percent))
        return a; // hours plus hours, a rate plus a rate
    return {}; // a date minus a date is a number of days
}

ResultKind kindOfProduct(Op op, const ResultKind &a, const ResultKind &b)
{
    if (a.kind == ResultKind::Percent && b.kind == ResultKind::Plain)
        return a;
    if (op == Op::Mul && a.kind == ResultKind::Plain && b.kind == ResultKind::Percent)
        return b;
    return {};
}

ResultKind kindOfCall(const Instr &in)
{
    if (in.op != Op::Call)
        return {};
    const QString &name = FunctionRegistry::instance().at(int(in.arg)).name;
    if (name == u"DATE" || name == u"TODAY" || name == u"DATEVALUE")
        return {ResultKind::Date, QStringLiteral("dd/mm/yyyy")};
    if (name == u"NOW")
        return {ResultKind::Date, QStringLiteral("dd/mm/yyyy hh:nn")};
    if (name == u"TIME" || name == u"TIMEVALUE")
        return {ResultKind::Time, QStringLiteral("hh:nn:ss")};
    return {};
}

// The number format a formula's result implies, or "": a date function gives a date, date
// arithmetic on a dated cell (=A9+1, =A9-7) a date, a product with a percentage a percentage.
QString impliedFormat(const Formula &f, const Workbook::Impl &d, int ownSheet)
{
    std::vector<ResultKind> stack;
    auto pop = [&]() {
        if (stack.empty())
            return ResultKind{};
        ResultKind k = stack.back();
        stack.pop_back();
        return k;
    };
    for (const Instr &in : f.code) {
        switch (in.op) {
        case Op::Ref: stack.push_back(kindOfReference(f.refs[in.arg], d, ownSheet)); break;
        case Op::Neg:
        case Op::Plus:
        case Op::Paren: break;
        case Op::Percent:
            pop();
            stack.push_back({});
            break;
        case Op::Add:
        case Op::Sub: {
            const ResultKind b = pop(), a = pop();
            stack.push_back(kindOfSum(in.op, a, b));
            break;
        }
        case Op::Mul:
        case Op::Div: {
            const ResultKind b = pop(), a = pop();
            stack.push_back(kindOfProduct(in.op, a, b));
            break;
        }
        case Op::Pow:
        case Op::Concat:
        case Op::Eq:
        case Op::Ne:
        case Op::Lt:
        case Op::Le:
        case Op::Gt:
        case Op::Ge:
            pop();
            pop();
            stack.push_back({});
            break;
        case Op::Call:
        case Op::CallUnknown:
            for (int i = 0; i < in.argc; ++i)
                pop();
            stack.push_back(kindOfCall(in));
            break;
        default: stack.push_back({}); break;
        }
    }
    return stack.empty() ? QString() : stack.back().pattern;
}

QString booleanText(bool b) { return b ? QStringLiteral("VRAI") : QStringLiteral("FAUX"); }

} // namespace

namespace {
void addDefaultSheets(Workbook::Impl &d)
{
    for (int i = 1; i <= 3; ++i) {
        auto s = std::make_unique<Sheet>();
        s->id = d.nextSheetId++;
        s->name = QStringLiteral("Feuil%1").arg(i);
        d.sheets.push_back(std::move(s));
    }
}
} // namespace

Workbook::Workbook() : d(std::make_unique<Impl>()) { addDefaultSheets(*d); }

Workbook::~Workbook() = default;

void Workbook::addObserver(WorkbookObserver *observer)
{
    if (std::find(d->observers.begin(), d->observers.end(), observer) == d->observers.end())
        d->observers.push_back(observer);
}

void Workbook::removeObserver(WorkbookObserver *observer) { std::erase(d->observers, observer); }

void Workbook::takeContentFrom(Workbook &other)
{
    std::swap(d, other.d);
    std::swap(d->observers, other.d->observers);
    auto fresh = std::make_unique<Impl>();
    addDefaultSheets(*fresh);
    fresh->observers = std::move(other.d->observers);
    other.d = std::move(fresh);
    d->notifyReset();
}

// Cells

void Workbook::setEntry(int sheet, int row, int col, const QString &text)
{
    checkCell(row, col);
    if (text.startsWith(u'=') && text.size() > 1) {
        setFormula(sheet, row, col, text.mid(1));
        return;
    }
    if (text.isEmpty()) {
        clearContents(sheet, CellRange::single(row, col));
        return;
    }
    if (text.startsWith(u'\'')) {
        setValue(sheet, row, col, Value::text(text.mid(1)));
        return;
    }
    double number;
    QString format;
    if (parseEntryNumber(text, number, format)) {
        Sheet &s = d->sheetAt(sheet);
        if (!format.isEmpty()) {
            const Cell *c = s.find(row, col);
            CellFormat f = d->formats[d->formatIdOf(s, c, row, col)];
            // A date typed into a cell already formatted as a date keeps that format.
            const bool keep =
                    !f.numberFormat.isEmpty() && isDateTimePattern(f.numberFormat) == isDateTimePattern(format);
            if (!keep) {
                f.numberFormat = format;
                s.obtain(row, col).formatId = d->internFormat(f);
            }
        }
        setValue(sheet, row, col, Value::number(number));
        return;
    }
    const QString trimmed = text.trimmed();
    if (trimmed.compare(u"VRAI", Qt::CaseInsensitive) == 0 || trimmed.compare(u"TRUE", Qt::CaseInsensitive) == 0) {
        setValue(sheet, row, col, Value::boolean(true));
        return;
    }
    if (trimmed.compare(u"FAUX", Qt::CaseInsensitive) == 0 || trimmed.compare(u"FALSE", Qt::CaseInsensitive) == 0) {
        setValue(sheet, row, col, Value::boolean(false));
        return;
    }
    const ErrorCode error = errorFromText(trimmed);
    if (error != ErrorCode::None) {
        setValue(sheet, row, col, Value::error(error));
        return;
    }
    setValue(sheet, row, col, Value::text(text));
}

void Workbook::setFormula(int sheet, int row, int col, const QString &formula)
{
    checkCell(row, col);
    d->sheetAt(sheet);
    QString text = formula.trimmed();
    if (text.startsWith(u'='))
        text = text.mid(1);
    Formula compiled = compileFormula(text, Dialect::French, *d);
    // A formula whose result is a date or a time shows as one, as users expect of =TODAY().
    const QString implied = impliedFormat(compiled, *d, sheet);
    if (!implied.isEmpty()) {
        Sheet &s = d->sheetAt(sheet);
        const Cell *c = s.find(row, col);
        CellFormat f = d->formats[d->formatIdOf(s, c, row, col)];
        if (f.numberFormat.isEmpty()) {
            f.numberFormat = implied;
            s.obtain(row, col).formatId = d->internFormat(f);
        }
    }
    d->setCellFormula(sheet, row, col, std::move(compiled));
}

void Workbook::setValue(int sheet, int row, int col, const Value &value)
{
    checkCell(row, col);
    Sheet &s = d->sheetAt(sheet);
    Cell &c = s.obtain(row, col);
    d->unregisterFormula(&c);
    c.formula.reset();
    c.setRawFormula(QString());
    assignValue(c, value);
    s.extentValid = false;
    d->cellEdited(&c, s.id, row, col);
    if (value.isEmpty())
        d->purgeIfEmpty(s.id, row, col);
}

void Workbook::clearContents(int sheet, const CellRange &range)
{
    Sheet &s = d->sheetAt(sheet);
    std::vector<Cell *> cells;
    s.forEach(clipped(range), [&](Cell &c) {
        if (c.hasContent())
            cells.push_back(&c);
    });
    if (cells.empty())
        return;
    ++d->batchDepth;
    for (Cell *c : cells) {
        d->unregisterFormula(c);
        c->formula.reset();
        c->setRawFormula(QString());
        assignValue(*c, Value());
        d->cellEdited(c, s.id, c->row, c->col);
        d->purgeIfEmpty(s.id, c->row, c->col);
    }
    s.extentValid = false;
    if (--d->batchDepth == 0)
        d->flush();
}

void Workbook::clearFormats(int sheet, const CellRange &range)
{
    Sheet &s = d->sheetAt(sheet);
    std::vector<Cell *> cells;
    s.forEach(clipped(range), [&](Cell &c) {
        if (c.formatId != 0)
            cells.push_back(&c);
    });
    if (cells.empty())
        return;
    std::vector<std::pair<int, CellAddress>> changed;
    for (Cell *c : cells) {
        c->formatId = 0;
        changed.emplace_back(s.id, CellAddress{c->row, c->col});
    }
    d->modified = true;
    d->notifyCells(changed);
    for (const auto &[id, a] : changed)
        d->purgeIfEmpty(id, a.row, a.col);
}

Value Workbook::value(int sheet, int row, int col) const
{
    const Cell *c = d->sheetAt(sheet).find(row, col);
    return c ? c->value : Value();
}

bool Workbook::hasFormula(int sheet, int row, int col) const
{
    const Cell *c = d->sheetAt(sheet).find(row, col);
    return c && (c->formula || !c->rawFormula().isEmpty());
}

QString Workbook::formulaText(int sheet, int row, int col) const
{
    const Cell *c = d->sheetAt(sheet).find(row, col);
    if (!c)
        return QString();
    if (c->formula)
        return u'=' + formulaToText(*c->formula, Dialect::French, *d);
    if (!c->rawFormula().isEmpty()) {
        // Shown as written in the file, without its namespace prefix.
        const qsizetype colon = c->rawFormula().indexOf(u':');
        const QString text =
                colon >= 0 && colon < c->rawFormula().indexOf(u'=') ? c->rawFormula().mid(colon + 1) : c->rawFormula();
        return text.startsWith(u'=') ? text : u'=' + text;
    }
    return QString();
}

QString Workbook::entryText(int sheet, int row, int col) const
{
    const Cell *c = d->sheetAt(sheet).find(row, col);
    if (!c)
        return QString();
    if (c->formula || !c->rawFormula().isEmpty())
        return formulaText(sheet, row, col);
    const Value &v = c->value;
    switch (v.type()) {
    case Value::Type::Empty: return QString();
    case Value::Type::Boolean: return booleanText(v.asBoolean());
    case Value::Type::Error: return errorDisplayText(v.errorCode());
    case Value::Type::Text: {
        // A text that would read back as something else keeps its apostrophe.
        const QString &t = v.asText();
        double n;
        QString f;
        const QString trimmed = t.trimmed();
        if (t.startsWith(u'=') || t.startsWith(u'\'') || parseEntryNumber(t, n, f)
            || trimmed.compare(u"VRAI", Qt::CaseInsensitive) == 0 || trimmed.compare(u"FAUX", Qt::CaseInsensitive) == 0
            || trimmed.compare(u"TRUE", Qt::CaseInsensitive) == 0 || trimmed.compare(u"FALSE", Qt::CaseInsensitive) == 0
            || errorFromText(trimmed) != ErrorCode::None)
            return u'\'' + t;
        return t;
    }
    case Value::Type::Number: {
        const QString &pattern = d->formats[d->formatIdOf(d->sheetAt(sheet), c, row, col)].numberFormat;
        const double x = v.asNumber();
        if (isDateTimePattern(pattern)) {
            const bool hasTime = x != std::floor(x);
            const bool dateOnly = pattern.contains(u'd') || pattern.contains(u'y') || pattern.contains(u'j');
            if ((x >= 1 || x < 0) && !hasTime)
                return formatNumber(x, QStringLiteral("dd/mm/yyyy"));
            if (x < 1 && x >= 0)
                return formatNumber(x, QStringLiteral("hh:nn:ss"));
            if (dateOnly || x >= 1 || x < 0)
                return formatNumber(x, QStringLiteral("dd/mm/yyyy hh:nn:ss"));
        }
        if (pattern.endsWith(u'%'))
            return formatFormulaNumber(snap15(x * 100), Dialect::French) + u'%';
        return formatFormulaNumber(x, Dialect::French);
    }
    }
    return QString();
}

QString Workbook::displayText(int sheet, int row, int col) const
{
    const Cell *c = d->sheetAt(sheet).find(row, col);
    if (!c)
        return QString();
    if (d->showFormulas && (c->formula || !c->rawFormula().isEmpty()))
        return formulaText(sheet, row, col);
    const Value &v = c->value;
    switch (v.type()) {
    case Value::Type::Empty: return QString();
    case Value::Type::Number:
        return formatNumber(v.asNumber(), d->formats[d->formatIdOf(d->sheetAt(sheet), c, row, col)].numberFormat);
    case Value::Type::Text: return v.asText();
    case Value::Type::Boolean: return booleanText(v.asBoolean());
    case Value::Type::Error: return errorDisplayText(v.errorCode());
    }
    return QString();
}

HorizontalAlignment Workbook::effectiveAlignment(int sheet, int row, int col) const
{
    const Sheet &s = d->sheetAt(sheet);
    const Cell *c = s.find(row, col);
    if (!c)
        return AlignLeft;
    const HorizontalAlignment h = d->formats[d->formatIdOf(s, c, row, col)].horizontal;
    if (h != AlignGeneral)
        return h;
    if (d->showFormulas && c->formula)
        return AlignLeft;
    switch (c->value.type()) {
    case Value::Type::Number: return AlignRight;
    case Value::Type::Boolean:
    case Value::Type::Error: return AlignCenter;
    default: return AlignLeft;
    }
}

namespace {
void computeExtent(const Sheet &s)
{
    if (s.extentValid)
        return;
    int maxRow = 0, maxCol = 0;
    for (int c = 1; c < int(s.columns.size()); ++c) {
        const Column &column = s.columns[size_t(c)];
        for (int b = int(column.blocks.size()) - 1; b >= 0; --b) {
            const CellBlock *block = column.blocks[size_t(b)].get();
            if (!block)
                continue;
            int found = 0;
            for (int i = kBlockRows - 1; i >= 0 && !found; --i) {
                const Cell *cell = block->cells[size_t(i)].get();
                if (cell && cell->hasContent())
                    found = b * kBlockRows + i + 1;
            }
            if (found) {
                maxRow = std::max(maxRow, found);
                maxCol = c;
                break;
            }
        }
    }
    s.maxRow = maxRow;
    s.maxCol = maxCol;
    s.extentValid = true;
}
} // namespace

int Workbook::maxRow(int sheet) const
{
    const Sheet &s = d->sheetAt(sheet);
    computeExtent(s);
    return s.maxRow;
}

int Workbook::maxCol(int sheet) const
{
    const Sheet &s = d->sheetAt(sheet);
    computeExtent(s);
    return s.maxCol;
}

void Workbook::forEachCell(int sheet, const CellRange &range, const std::function<void(int, int)> &visit) const
{
    d->sheetAt(sheet).forEach(clipped(range), [&](const Cell &c) {
        if (c.hasContent())
            visit(c.row, c.col);
    });
}

// Formats

CellFormat Workbook::format(int sheet, int row, int col) const
{
    const Sheet &s = d->sheetAt(sheet);
    return d->formats[d->formatIdOf(s, s.find(row, col), row, col)];
}

void Workbook::modifyFormat(int sheet, const CellRange &range0, const std::function<void(CellFormat &)> &edit)
{
    Sheet &s = d->sheetAt(sheet);
    CellRange range = clipped(range0);
    // Whole rows or columns: a format is stored per cell, so stop at the used area (plus the
    // first line, so that a format given to an empty column still shows on its first cell).
    computeExtent(s);
    const bool huge = qint64(range.rowCount()) * range.columnCount() > 1'000'000;
    if (range.bottom == kMaxRows || huge)
        range.bottom = std::min(range.bottom, std::max(range.top, s.maxRow));
    if (range.right == kMaxColumns || huge)
        range.right = std::min(range.right, std::max(range.left, s.maxCol));
    std::map<std::uint32_t, std::uint32_t> mapped;
    std::vector<std::pair<int, CellAddress>> changed;
    for (int col = range.left; col <= range.right; ++col)
        for (int row = range.top; row <= range.bottom; ++row) {
            Cell *c = s.find(row, col);
            const std::uint32_t old = d->formatIdOf(s, c, row, col);
            auto it = mapped.find(old);
            if (it == mapped.end()) {
                CellFormat f = d->formats[old];
                edit(f);
                it = mapped.emplace(old, d->internFormat(f)).first;
            }
            if (it->second == old)
                continue;
            if (!c)
                c = &s.obtain(row, col);
            c->formatId = it->second;
            changed.emplace_back(s.id, CellAddress{row, col});
        }
    if (changed.empty())
        return;
    d->modified = true;
    d->notifyCells(changed);
    for (const auto &[id, a] : changed)
        d->purgeIfEmpty(id, a.row, a.col);
}

void Workbook::setFormat(int sheet, const CellRange &range, const CellFormat &format)
{
    modifyFormat(sheet, range, [&](CellFormat &f) { f = format; });
}

CellFormat Workbook::defaultFormat() const { return d->formats[0]; }

// Sizes and view

int Workbook::columnWidth(int sheet, int col) const
{
    const auto &m = d->sheetAt(sheet).columnWidths;
    const auto it = m.find(col);
    return it == m.end() ? kDefaultColumnWidth : it->second;
}

void Workbook::setColumnWidth(int sheet, int firstCol, int lastCol, int width)
{
    Sheet &s = d->sheetAt(sheet);
    width = std::max(0, std::min(width, 255 * 1440));
    for (int c = std::max(1, firstCol); c <= std::min(kMaxColumns, lastCol); ++c)
        s.columnWidths[c] = width;
    d->modified = true;
    d->notifySheet(s.id);
}

bool Workbook::hasCustomColumnWidth(int sheet, int col) const { return d->sheetAt(sheet).columnWidths.count(col) > 0; }

int Workbook::rowHeight(int sheet, int row) const
{
    const auto &m = d->sheetAt(sheet).rowHeights;
    const auto it = m.find(row);
    return it == m.end() ? kDefaultRowHeight : it->second;
}

void Workbook::setRowHeight(int sheet, int firstRow, int lastRow, int height)
{
    Sheet &s = d->sheetAt(sheet);
    height = std::max(0, std::min(height, 409 * 20));
    // Whole-sheet selections would fill the map with a million entries: stop at the used
    // area, as formats do.
    computeExtent(s);
    lastRow = std::min(lastRow, std::max({firstRow, s.maxRow, firstRow + 1000}));
    for (int r = std::max(1, firstRow); r <= std::min(kMaxRows, lastRow); ++r)
        s.rowHeights[r] = height;
    d->modified = true;
    d->notifySheet(s.id);
}

bool Workbook::hasCustomRowHeight(int sheet, int row) const { return d->sheetAt(sheet).rowHeights.count(row) > 0; }

int Workbook::frozenRows(int sheet) const { return d->sheetAt(sheet).frozenRows; }
int Workbook::frozenColumns(int sheet) const { return d->sheetAt(sheet).frozenCols; }

void Workbook::setFrozenRows(int sheet, int rows)
{
    Sheet &s = d->sheetAt(sheet);
    s.frozenRows = std::max(0, std::min(rows, kMaxRows - 1));
    d->modified = true;
    d->notifySheet(s.id);
}

void Workbook::setFrozenColumns(int sheet, int cols)
{
    Sheet &s = d->sheetAt(sheet);
    s.frozenCols = std::max(0, std::min(cols, kMaxColumns - 1));
    d->modified = true;
    d->notifySheet(s.id);
}

bool Workbook::showGridLines() const { return d->showGrid; }

void Workbook::setShowGridLines(bool on)
{
    if (d->showGrid == on)
        return;
    d->showGrid = on;
    d->modified = true;
    d->notifyReset();
}

bool Workbook::showFormulas() const { return d->showFormulas; }

void Workbook::setShowFormulas(bool on)
{
    if (d->showFormulas == on)
        return;
    d->showFormulas = on;
    d->notifyReset();
}

bool Workbook::isModified() const { return d->modified; }
void Workbook::setModified(bool modified) { d->modified = modified; }

void Workbook::recalculate()
{
    std::vector<std::pair<int, CellAddress>> changed;
    d->recalculate({}, true, d->observers.empty() ? nullptr : &changed);
    d->notifyCells(changed);
}

void Workbook::recalculateVolatile()
{
    std::vector<std::pair<int, CellAddress>> changed;
    d->recalculate({}, false, d->observers.empty() ? nullptr : &changed);
    d->notifyCells(changed);
}

} // namespace sheet
