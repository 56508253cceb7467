// Lookup and reference functions. Several return references (CHOOSE, INDEX, OFFSET,
// INDIRECT) so that they can feed SUM or ROW as a range would.
#include "spreadsheet/core/functionhelpers.h"
#include "spreadsheet/core/formulatokenizer.h"

#include <cmath>

namespace sheet::fn {

namespace {

Operand choose_(EvalContext &ctx, Args a)
{
    const double i = std::trunc(ctx.number(a[0]));
    if (i < 1 || i >= double(a.size()))
        return Value::error(ErrorCode::Value);
    const Operand &chosen = a[size_t(i)];
    if (chosen.missing)
        return Value::number(0);
    return chosen;
}

Operand column_(EvalContext &ctx, Args a)
{
    if (!hasArg(a, 0))
        return Value::number(ctx.col);
    return Value::number(reference(a[0]).area.left);
}

Operand row_(EvalContext &ctx, Args a)
{
    if (!hasArg(a, 0))
        return Value::number(ctx.row);
    return Value::number(reference(a[0]).area.top);
}

Operand columns_(EvalContext &, Args a)
{
    if (!a[0].isRef)
        return a[0].value.isError() ? Operand(a[0].value) : Operand(Value::number(1));
    return Value::number(a[0].ref.area.columnCount());
}

Operand rows_(EvalContext &, Args a)
{
    if (!a[0].isRef)
        return a[0].value.isError() ? Operand(a[0].value) : Operand(Value::number(1));
    return Value::number(a[0].ref.area.rowCount());
}

// One line (column or row) of a range, read as values.
struct Line
{
    EvalContext &ctx;
    RangeRef range;
    bool vertical; // walk down the rows of column `fixed`, else along the columns of row `fixed`
    int fixed;
    int size() const { return vertical ? range.area.rowCount() : range.area.columnCount(); }
    Value at(int i) const // 0-based
    {
        return vertical ? ctx.cellValue(range.sheetId, range.area.top + i, fixed)
                        : ctx.cellValue(range.sheetId, fixed, range.area.left + i);
    }
};

bool sameKind(const Value &a, const Value &b)
{
    return (a.isNumber() && b.isNumber()) || (a.isText() && b.isText()) || (a.isBoolean() && b.isBoolean());
}

// Exact match: first position whose value equals `key` (texts ignoring case, with
// wildcards); -1 when absent.
int findExact(const Line &line, const Value &key)
{
    const bool wildcard =
            key.isText() && (key.asText().contains(u'*') || key.asText().contains(u'?') || key.asText().contains(u'~'));
    if (!wildcard) {
        RangeRef r = line.range;
        if (line.vertical)
            r.area.left = r.area.right = line.fixed;
        else
            r.area.top = r.area.bottom = line.fixed;
        const int quick = line.ctx.findExact(r, key);
        if (quick != -2)
            return quick;
    }
    for (int i = 0, n = line.size(); i < n; ++i) {
        const Value v = line.at(i);
        if (!sameKind(v, key))
            continue;
        if (wildcard ? wildcardMatch(key.asText(), v.asText()) : compareValues(v, key) == 0)
            return i;
    }
    return -1;
}

} // namespace

} // namespace sheet::fn

namespace sheet {

bool exactLookupMayMatch(const Value &key, const Value &candidate)
{
    if (!fn::sameKind(key, candidate))
        return false;
    if (key.isText()) {
        const QString &k = key.asText();
        if (k.contains(u'*') || k.contains(u'?') || k.contains(u'~'))
            return true;
        if (k.toCaseFolded() == candidate.asText().toCaseFolded())
            return true;
    }
    if (key.isNumber() && key.asNumber() == candidate.asNumber())
        return true;
    if (key.isBoolean() && key.asBoolean() == candidate.asBoolean())
        return true;
    return compareValues(candidate, key) == 0;
}

} // namespace sheet

namespace sheet::fn {

namespace {

// Sorted match: the last position whose value is <= key (ascending) or >= key
// (descending), by binary search over values of the key's kind; -1 when none.
int findSorted(const Line &line, const Value &key, bool descending)
{
    int lo = 0, hi = line.size() - 1, found = -1;
    while (lo <= hi) {
        int mid = lo + (hi - lo) / 2;
        // Skip values of another kind (and empty cells) by looking forward.
        int probe = mid;
        Value v = line.at(probe);
        while (!sameKind(v, key) && probe < hi)
            v = line.at(++probe);
        if (!sameKind(v, key)) {
            hi = mid - 1;
            continue;
        }
        const int c = compareValues(v, key);
        const bool inside = descending ? c >= 0 : c <= 0;
        if (inside) {
            found = probe;
            lo = probe + 1;
        } else {
            hi = mid - 1;
        }
    }
    return found;
}

Value lookupKey(EvalContext &ctx, const Operand &op)
{
    Value key = ctx.scalar(op);
    if (key.isError())
        throw EvalError{key.errorCode()};
    if (key.isEmpty())
        key = Value::number(0);
    return key;
}

Operand tableLookup(EvalContext &ctx, Args a, bool vertical)
{
    const Value key = lookupKey(ctx, a[0]);
    const RangeRef &table = reference(a[1]);
    const double index = std::trunc(ctx.number(a[2]));
    const bool sorted = hasArg(a, 3) ? ctx.boolean(a[3]) : true;
    const int width = vertical ? table.area.columnCount() : table.area.rowCount();
    if (index < 1)
        return Value::error(ErrorCode::Value);
    if (index > width)
        return Value::error(ErrorCode::Ref);
    const Line keys{ctx, table, vertical, vertical ? table.area.left : table.area.top};
    const int pos = sorted ? findSorted(keys, key, false) : findExact(keys, key);
    if (sorted)
        ctx.noteOtherLookup();
    else
        ctx.noteExactLookup(table, vertical, key, pos);
    if (pos < 0)
        return Value::error(ErrorCode::NA);
    const int offset = int(index) - 1;
    Value result = vertical ? ctx.cellValue(table.sheetId, table.area.top + pos, table.area.left + offset)
                            : ctx.cellValue(table.sheetId, table.area.top + offset, table.area.left + pos);
    return result.isEmpty() ? Value::number(0) : result;
}

Operand vlookup_(EvalContext &ctx, Args a) { return tableLookup(ctx, a, true); }
Operand hlookup_(EvalContext &ctx, Args a) { return tableLookup(ctx, a, false); }

Operand match_(EvalContext &ctx, Args a)
{
    const Value key = lookupKey(ctx, a[0]);
    const RangeRef &range = reference(a[1]);
    const double type = numberOr(ctx, a, 2, 1);
    const bool vertical = range.area.columnCount() == 1;
    if (!vertical && range.area.rowCount() != 1)
        return Value::error(ErrorCode::NA);
    const Line line{ctx, range, vertical, vertical ? range.area.left : range.area.top};
    const int pos = type == 0 ? findExact(line, key) : findSorted(line, key, type < 0);
    if (type == 0)
        ctx.noteExactLookup(range, vertical, key, pos, true);
    else
        ctx.noteOtherLookup();
    if (pos < 0)
        return Value::error(ErrorCode::NA);
    return Value::number(pos + 1);
}

Operand lookup_(EvalContext &ctx, Args a)
{
    const Value key = lookupKey(ctx, a[0]);
    const RangeRef &search = reference(a[1]);
    // Vector form: search the first row or column; array form without a result vector:
    // search the first line of the longer side and return from the last.
    const bool vertical = search.area.rowCount() >= search.area.columnCount();
    const Line line{ctx, search, vertical, vertical ? search.area.left : search.area.top};
    const int pos = findSorted(line, key, false);
    if (pos < 0)
        return Value::error(ErrorCode::NA);
    if (hasArg(a, 2)) {
        const RangeRef &result = reference(a[2]);
        const bool resultVertical = result.area.columnCount() == 1;
        Value v = resultVertical ? ctx.cellValue(result.sheetId, result.area.top + pos, result.area.left)
                                 : ctx.cellValue(result.sheetId, result.area.top, result.area.left + pos);
        return v.isEmpty() ? Value::number(0) : v;
    }
    Value v = vertical ? ctx.cellValue(search.sheetId, search.area.top + pos, search.area.right)
                       : ctx.cellValue(search.sheetId, search.area.bottom, search.area.left + pos);
    return v.isEmpty() ? Value::number(0) : v;
}

Operand index_(EvalContext &ctx, Args a)
{
    const RangeRef &range = reference(a[0]);
    double r = numberOr(ctx, a, 1, 0), c = numberOr(ctx, a, 2, 0);
    r = std::trunc(r);
    c = std::trunc(c);
    if (hasArg(a, 3) && std::trunc(ctx.number(a[3])) != 1)
        return Value::error(ErrorCode::Ref);
    // A one-row range takes its single index as a column.
    if (!hasArg(a, 2) && range.area.rowCount() == 1 && range.area.columnCount() > 1) {
        c = r;
        r = 0;
    }
    if (r < 0 || c < 0 || r > range.area.rowCount() || c > range.area.columnCount())
        return Value::error(ErrorCode::Ref);
    RangeRef out = range;
    if (r > 0)
        out.area.top = out.area.bottom = range.area.top + int(r) - 1;
    if (c > 0)
        out.area.left = out.area.right = range.area.left + int(c) - 1;
    return out;
}

Operand offset_(EvalContext &ctx, Args a)
{
    const RangeRef &base = reference(a[0]);
    const double dr = std::trunc(ctx.number(a[1])), dc = std::trunc(ctx.number(a[2]));
    const double h = hasArg(a, 3) ? std::trunc(ctx.number(a[3])) : base.area.rowCount();
    const double w = hasArg(a, 4) ? std::trunc(ctx.number(a[4])) : base.area.columnCount();
    if (h < 1 || w < 1)
        return Value::error(ErrorCode::Ref);
    const double top = base.area.top + dr, left = base.area.left + dc;
    const double bottom = top + h - 1, right = left + w - 1;
    if (top < 1 || left < 1 || bottom > kMaxRows || right > kMaxColumns)
        return Value::error(ErrorCode::Ref);
    RangeRef out;
    out.sheetId = base.sheetId;
    out.area = CellRange{int(top), int(left), int(bottom), int(right)};
    return out;
}

// "A1", "$B$2", "A1:C3", "Feuil2!A1", "'Mon budget'!A1:B2"; R1C1 when a1 is false.
bool parseReferenceText(EvalContext &ctx, QString text, bool a1, RangeRef &out)
{
    text = text.trimmed();
    out.sheetId = ctx.sheetId;
    auto sheetOf = [&](QString name) {
        if (name.startsWith(u'$'))
            name = name.mid(1);
        if (name.size() >= 2 && name.startsWith(u'\'') && name.endsWith(u'\''))
            name = name.mid(1, name.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
        return ctx.sheetIdByName(name);
    };
    const qsizetype bang = text.lastIndexOf(u'!');
    if (bang >= 0) {
        out.sheetId = sheetOf(text.left(bang));
        if (out.sheetId < 0)
            return false;
        text = text.mid(bang + 1);
    } else if (text.contains(u'.')) {
        // The other spreadsheets' own form: "Feuille.A1", "$'Ma feuille'.A1:B2",
        // "Feuille.A1:Feuille.B2" (both ends on one sheet).
        QStringList parts = text.split(u':');
        int sheet = -1;
        for (QString &part : parts) {
            const qsizetype dot = part.lastIndexOf(u'.');
            if (dot < 0)
                continue;
            const int id = sheetOf(part.left(dot));
            if (id < 0 || (sheet >= 0 && id != sheet))
                return false;
            sheet = id;
            part = part.mid(dot + 1);
        }
        out.sheetId = sheet;
        text = parts.join(u':');
    }
    const QStringList parts = text.split(u':');
    if (parts.size() > 2)
        return false;
    RefEnd ends[2];
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (a1) {
            int pos = 0;
            if (!scanCellReference(parts[i], pos, ends[i]) || pos != parts[i].size())
                return false;
        } else {
            const QString p = parts[i].toUpper();
            const qsizetype c = p.indexOf(u'C');
            if (!p.startsWith(u'R') || c < 2)
                return false;
            bool ok1 = false, ok2 = false;
            const int row = p.mid(1, c - 1).toInt(&ok1);
            const int col = p.mid(c + 1).toInt(&ok2);
            if (!ok1 || !ok2 || row < 1 || row > kMaxRows || col < 1 || col > kMaxColumns)
                return false;
            ends[i].row = row;
            ends[i].col = std::int16_t(col);
        }
    }
    if (parts.size() == 1)
        ends[1] = ends[0];
    out.area = CellRange{std::min(ends[0].row, ends[1].row), std::min(ends[0].col, ends[1].col),
                         std::max(ends[0].row, ends[1].row), std::max(ends[0].col, ends[1].col)};
    return true;
}

Operand indirect_(EvalContext &ctx, Args a)
{
    const QString text = ctx.text(a[0]);
    const bool a1 = hasArg(a, 1) ? ctx.boolean(a[1]) : true;
    RangeRef out;
    if (!parseReferenceText(ctx, text, a1, out))
        return Value::error(ErrorCode::Ref);
    return out;
}

} // namespace

void registerLookup(std::vector<FunctionInfo> &out)
{
    auto add = [&](const char *name, int mn, int mx, FunctionImpl f, bool vol = false) {
        out.push_back(FunctionInfo{QString::fromLatin1(name), mn, mx, f, vol, true});
    };
    add("CHOOSE", 2, -1, choose_);
    add("COLUMN", 0, 1, column_);
    add("COLUMNS", 1, 1, columns_);
    add("HLOOKUP", 3, 4, hlookup_);
    add("INDEX", 2, 4, index_);
    add("INDIRECT", 1, 2, indirect_, true);
    add("LOOKUP", 2, 3, lookup_);
    add("MATCH", 2, 3, match_);
    add("OFFSET", 3, 5, offset_, true);
    add("ROW", 0, 1, row_);
    add("ROWS", 1, 1, rows_);
    add("VLOOKUP", 3, 4, vlookup_);
}

} // namespace sheet::fn
