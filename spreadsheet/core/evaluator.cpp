#include "spreadsheet/core/evaluator.h"

#include "spreadsheet/core/functionregistry.h"
#include "spreadsheet/core/numberformat.h"

#include <cmath>
#include <limits>

namespace sheet {

double toNumber(const Value &v)
{
    switch (v.type()) {
    case Value::Type::Empty: return 0;
    case Value::Type::Number:
    case Value::Type::Boolean: return v.asNumber();
    case Value::Type::Text: {
        double d;
        QString format;
        if (parseEntryNumber(v.asText(), d, format))
            return d;
        throw EvalError{ErrorCode::Value};
    }
    case Value::Type::Error: throw EvalError{v.errorCode()};
    }
    throw EvalError{ErrorCode::Value};
}

QString numberToText(double v)
{
    // Text functions see all 15 significant digits, not the shortened display.
    if (v == std::floor(v) && std::fabs(v) < 1e15)
        return QString::number(qint64(v));
    QString s = formatFormulaNumber(snap15(v), Dialect::French);
    return s;
}

QString toText(const Value &v)
{
    switch (v.type()) {
    case Value::Type::Empty: return QString();
    case Value::Type::Number: return numberToText(v.asNumber());
    case Value::Type::Boolean: return v.asBoolean() ? QStringLiteral("VRAI") : QStringLiteral("FAUX");
    case Value::Type::Text: return v.asText();
    case Value::Type::Error: throw EvalError{v.errorCode()};
    }
    return QString();
}

bool toBoolean(const Value &v)
{
    switch (v.type()) {
    case Value::Type::Empty: return false;
    case Value::Type::Number:
    case Value::Type::Boolean: return v.asNumber() != 0;
    case Value::Type::Text: {
        const QString t = v.asText().trimmed();
        if (t.compare(u"TRUE", Qt::CaseInsensitive) == 0 || t.compare(u"VRAI", Qt::CaseInsensitive) == 0)
            return true;
        if (t.compare(u"FALSE", Qt::CaseInsensitive) == 0 || t.compare(u"FAUX", Qt::CaseInsensitive) == 0)
            return false;
        throw EvalError{ErrorCode::Value};
    }
    case Value::Type::Error: throw EvalError{v.errorCode()};
    }
    return false;
}

Value checkedNumber(double v)
{
    if (!std::isfinite(v))
        return Value::error(ErrorCode::Num);
    return Value::number(v == 0 ? 0.0 : v); // no negative zero in cells
}

namespace {
int typeRank(const Value &v)
{
    switch (v.type()) {
    case Value::Type::Number: return 0;
    case Value::Type::Text: return 1;
    case Value::Type::Boolean: return 2;
    default: return 3;
    }
}

// An empty cell takes the kind of what it is compared with.
int rankFor(const Value &v, const Value &other)
{
    if (!v.isEmpty())
        return typeRank(v);
    return other.isText() ? 1 : other.isBoolean() ? 2 : 0;
}
} // namespace

int compareValues(const Value &a, const Value &b)
{
    if (a.isEmpty() && b.isEmpty())
        return 0;
    const int ra = rankFor(a, b), rb = rankFor(b, a);
    if (ra != rb)
        return ra < rb ? -1 : 1;
    if (ra == 1) {
        static const QString empty;
        const int c = (a.isEmpty() ? empty : a.asText()).compare(b.isEmpty() ? empty : b.asText(), Qt::CaseInsensitive);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    const double x = a.isEmpty() ? 0.0 : a.asNumber(), y = b.isEmpty() ? 0.0 : b.asNumber();
    if (x == y)
        return 0;
    // Equal to 15 significant digits counts as equal: 0,1+0,2 = 0,3 is true. Only values
    // that close are worth the decimal conversion.
    if (std::fabs(x - y) <= 1e-13 * std::max(std::fabs(x), std::fabs(y)) && snap15(x) == snap15(y))
        return 0;
    return x < y ? -1 : 1;
}

void EvalContext::foldNumbers(const RangeRef &range, NumberFold &fold)
{
    forEachValue(range, [&](int, int, const Value &v) {
        if (v.isNumber())
            fold.add(v.asNumber());
        else if (v.isError())
            throw EvalError{v.errorCode()};
    });
}

Value EvalContext::scalar(const Operand &op)
{
    if (!op.isRef)
        return op.value;
    const CellRange &r = op.ref.area;
    if (r.top == r.bottom && r.left == r.right)
        return cellValue(op.ref.sheetId, r.top, r.left);
    // Implicit intersection with the formula's own row or column.
    if (r.left == r.right && row >= r.top && row <= r.bottom)
        return cellValue(op.ref.sheetId, row, r.left);
    if (r.top == r.bottom && col >= r.left && col <= r.right)
        return cellValue(op.ref.sheetId, r.top, col);
    return Value::error(ErrorCode::Value);
}

double EvalContext::number(const Operand &op) { return toNumber(scalar(op)); }

QString EvalContext::text(const Operand &op) { return toText(scalar(op)); }

bool EvalContext::boolean(const Operand &op) { return toBoolean(scalar(op)); }

int EvalContext::integer(const Operand &op)
{
    const double d = std::trunc(number(op));
    if (d > std::numeric_limits<int>::max() || d < std::numeric_limits<int>::min())
        throw EvalError{ErrorCode::Num};
    return int(d);
}

namespace {

Value arithmetic(Op op, double x, double y)
{
    switch (op) {
    case Op::Add: return checkedNumber(x + y);
    case Op::Sub: {
        // 0,3-0,1-0,2 shows 0 rather than a tiny remainder, as other spreadsheets do.
        const double r = x - y;
        if (r != 0 && std::fabs(r) < std::fabs(x) * 1e-15)
            return Value::number(0);
        return checkedNumber(r);
    }
    case Op::Mul: return checkedNumber(x * y);
    case Op::Div:
        if (y == 0)
            return Value::error(ErrorCode::DivZero);
        return checkedNumber(x / y);
    case Op::Pow:
        if (x == 0 && y < 0)
            return Value::error(ErrorCode::DivZero);
        if (x < 0 && y != std::floor(y))
            return Value::error(ErrorCode::Num);
        return checkedNumber(std::pow(x, y));
    default: return Value::error(ErrorCode::Value);
    }
}

Value comparison(Op op, const Value &a, const Value &b)
{
    if (a.isError())
        return a;
    if (b.isError())
        return b;
    const int c = compareValues(a, b);
    switch (op) {
    case Op::Eq: return Value::boolean(c == 0);
    case Op::Ne: return Value::boolean(c != 0);
    case Op::Lt: return Value::boolean(c < 0);
    case Op::Le: return Value::boolean(c <= 0);
    case Op::Gt: return Value::boolean(c > 0);
    case Op::Ge: return Value::boolean(c >= 0);
    default: return Value::error(ErrorCode::Value);
    }
}

// The operand as a number when it is one, or a single cell holding one (or nothing), read
// without copying the value; false for anything else, which takes the general path.
inline bool plainNumber(EvalContext &ctx, const Operand &op, double &out)
{
    const Value *v = &op.value;
    if (op.isRef) {
        const CellRange &r = op.ref.area;
        if (r.top != r.bottom || r.left != r.right)
            return false;
        v = ctx.peekCell(op.ref.sheetId, r.top, r.left);
        if (!v)
            return false;
    }
    if (v->isNumber()) {
        out = v->asNumber();
        return true;
    }
    if (v->isEmpty() && !op.missing) {
        out = 0;
        return true;
    }
    return false;
}

} // namespace

Value Evaluator::popScalar(EvalContext &ctx)
{
    Value v = ctx.scalar(m_stack.back());
    m_stack.pop_back();
    return v;
}

void Evaluator::pushReference(const FormulaRef &r, int ownSheetId)
{
    if (r.invalid) {
        m_stack.emplace_back(Value::error(ErrorCode::Ref));
        return;
    }
    RangeRef rr;
    rr.sheetId = refSheet(r, ownSheetId);
    rr.area = CellRange{r.a.row, r.a.col, r.b.row, r.b.col};
    m_stack.emplace_back(rr);
}

// Neg, Plus and Percent.
void Evaluator::unary(Op op, EvalContext &ctx)
{
    Value v = popScalar(ctx);
    if (op == Op::Plus || v.isError()) {
        m_stack.emplace_back(std::move(v));
        return;
    }
    try {
        const double x = toNumber(v);
        m_stack.emplace_back(checkedNumber(op == Op::Neg ? -x : x / 100.0));
    } catch (const EvalError &e) {
        m_stack.emplace_back(Value::error(e.code));
    }
}

// Add, Sub, Mul, Div and Pow.
void Evaluator::arithmeticStep(Op op, EvalContext &ctx)
{
    // Numbers and single cells holding numbers, the usual case, are read in place.
    double x, y;
    const size_t n = m_stack.size();
    if (n >= 2 && plainNumber(ctx, m_stack[n - 2], x) && plainNumber(ctx, m_stack[n - 1], y)) {
        m_stack.pop_back();
        m_stack.back() = Operand(arithmetic(op, x, y));
        return;
    }
    Value b = popScalar(ctx);
    Value a = popScalar(ctx);
    // An error passed on (a chain of formulas after a #REF!) needs no exception.
    if (a.isError() || (b.isError() && !a.isText())) {
        m_stack.emplace_back(a.isError() ? std::move(a) : std::move(b));
        return;
    }
    try {
        const double x = toNumber(a); // a's error first when both are wrong
        const double y = toNumber(b);
        m_stack.emplace_back(arithmetic(op, x, y));
    } catch (const EvalError &e) {
        m_stack.emplace_back(Value::error(e.code));
    }
}

void Evaluator::concatenate(EvalContext &ctx)
{
    Value b = popScalar(ctx);
    Value a = popScalar(ctx);
    if (a.isError() || b.isError()) {
        m_stack.emplace_back(a.isError() ? std::move(a) : std::move(b));
        return;
    }
    try {
        m_stack.emplace_back(Value::text(toText(a) + toText(b)));
    } catch (const EvalError &e) {
        m_stack.emplace_back(Value::error(e.code));
    }
}

void Evaluator::call(const Instr &in, EvalContext &ctx)
{
    const FunctionInfo &info = FunctionRegistry::instance().at(int(in.arg));
    const size_t first = m_stack.size() - in.argc;
    Operand result;
    try {
        result = info.impl(ctx, std::span<const Operand>(m_stack.data() + first, in.argc));
    } catch (const EvalError &e) {
        result = Operand(Value::error(e.code));
    }
    m_stack.resize(first);
    m_stack.emplace_back(std::move(result));
}

Value Evaluator::run(const Formula &f, EvalContext &ctx)
{
    m_stack.clear();
    for (const Instr &in : f.code) {
        switch (in.op) {
        case Op::Number: m_stack.emplace_back(Value::number(f.numbers[in.arg])); break;
        case Op::String: m_stack.emplace_back(Value::text(f.strings[in.arg])); break;
        case Op::Boolean: m_stack.emplace_back(Value::boolean(in.arg != 0)); break;
        case Op::Error: m_stack.emplace_back(Value::error(ErrorCode(in.arg))); break;
        case Op::Missing: {
            Operand m;
            m.missing = true;
            m_stack.push_back(m);
            break;
        }
        case Op::Name: m_stack.emplace_back(Value::error(ErrorCode::Name)); break;
        case Op::Ref: pushReference(f.refs[in.arg], ctx.sheetId); break;
        case Op::Paren: break;
        case Op::Neg:
        case Op::Plus:
        case Op::Percent: unary(in.op, ctx); break;
        case Op::Add:
        case Op::Sub:
        case Op::Mul:
        case Op::Div:
        case Op::Pow: arithmeticStep(in.op, ctx); break;
        case Op::Concat: concatenate(ctx); break;
        case Op::Eq:
        case Op::Ne:
        case Op::Lt:
        case Op::Le:
        case Op::Gt:
        case Op::Ge: {
            Value b = popScalar(ctx);
            Value a = popScalar(ctx);
            m_stack.emplace_back(comparison(in.op, a, b));
            break;
        }
        case Op::Call: call(in, ctx); break;
        case Op::CallUnknown:
            m_stack.resize(m_stack.size() - in.argc);
            m_stack.emplace_back(Value::error(ErrorCode::Name));
            break;
        }
    }
    if (m_stack.empty())
        return Value::error(ErrorCode::Value);
    Value result = ctx.scalar(m_stack.back());
    if (result.isEmpty())
        return Value::number(0);
    return result;
}

} // namespace sheet
