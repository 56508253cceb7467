#include "spreadsheet/core/functionhelpers.h"

#include "spreadsheet/core/numberformat.h"

namespace sheet::fn {

bool hasArg(Args args, size_t i) { return i < args.size() && !args[i].missing; }

double numberOr(EvalContext &ctx, Args args, size_t i, double fallback)
{
    return hasArg(args, i) ? ctx.number(args[i]) : fallback;
}

void forEachNumber(EvalContext &ctx, Args args, const std::function<void(double)> &visit)
{
    for (const Operand &op : args) {
        if (op.missing)
            continue;
        if (op.isRef) {
            ctx.forEachValue(op.ref, [&](int, int, const Value &v) {
                if (v.isNumber())
                    visit(v.asNumber());
                else if (v.isError())
                    throw EvalError{v.errorCode()};
            });
        } else {
            visit(toNumber(op.value));
        }
    }
}

NumberFold fold(EvalContext &ctx, Args args)
{
    NumberFold f;
    for (const Operand &op : args) {
        if (op.missing)
            continue;
        if (op.isRef)
            ctx.foldNumbers(op.ref, f);
        else
            f.add(toNumber(op.value));
    }
    return f;
}

std::vector<double> numbers(EvalContext &ctx, Args args)
{
    std::vector<double> out;
    forEachNumber(ctx, args, [&](double d) { out.push_back(d); });
    return out;
}

void forEachValue(EvalContext &ctx, Args args, const std::function<void(const Value &, bool)> &visit)
{
    for (const Operand &op : args) {
        if (op.missing)
            continue;
        if (op.isRef)
            ctx.forEachValue(op.ref, [&](int, int, const Value &v) { visit(v, true); });
        else
            visit(op.value, false);
    }
}

const RangeRef &reference(const Operand &op)
{
    if (!op.isRef) {
        if (op.value.isError())
            throw EvalError{op.value.errorCode()};
        throw EvalError{ErrorCode::Value};
    }
    return op.ref;
}

namespace {

bool matchFrom(const QString &p, int pi, const QString &t, int ti, bool anchoredEnd, int *endOut)
{
    // Iterative matcher with backtracking on the last "*".
    int starP = -1, starT = -1;
    while (true) {
        if (pi == p.size()) {
            if (!anchoredEnd || ti == t.size()) {
                if (endOut)
                    *endOut = ti;
                return true;
            }
        } else {
            QChar pc = p[pi];
            if (pc == u'*') {
                starP = pi++;
                starT = ti;
                continue;
            }
            bool literal = false;
            if (pc == u'~' && pi + 1 < p.size()) {
                pc = p[pi + 1];
                literal = true;
            }
            if (ti < t.size() && ((pc == u'?' && !literal) || pc.toCaseFolded() == t[ti].toCaseFolded())) {
                pi += literal ? 2 : 1;
                ++ti;
                continue;
            }
        }
        if (starP < 0 || starT >= t.size())
            return false;
        pi = starP + 1;
        ti = ++starT;
    }
}

} // namespace

bool wildcardMatch(const QString &pattern, const QString &text)
{
    return matchFrom(pattern, 0, text, 0, true, nullptr);
}

int wildcardFind(const QString &pattern, const QString &text, int from)
{
    for (int i = from; i <= text.size(); ++i)
        if (matchFrom(pattern, 0, text, i, false, nullptr))
            return i;
    return -1;
}

Criterion::Criterion(const Value &criterion)
{
    if (!criterion.isText()) {
        m_operand = criterion.isEmpty() ? Value::number(0) : criterion;
        return;
    }
    QString t = criterion.asText();
    static const struct
    {
        const char *text;
        Cmp cmp;
    } ops[] = {{"<=", Cmp::Le}, {">=", Cmp::Ge}, {"<>", Cmp::Ne}, {"<", Cmp::Lt}, {">", Cmp::Gt}, {"=", Cmp::Eq}};
    for (const auto &o : ops) {
        if (t.startsWith(QLatin1String(o.text))) {
            m_cmp = o.cmp;
            t = t.mid(int(qstrlen(o.text)));
            break;
        }
    }
    double d;
    QString format;
    if (parseEntryNumber(t, d, format)) {
        m_operand = Value::number(d);
    } else if (t.compare(u"TRUE", Qt::CaseInsensitive) == 0 || t.compare(u"VRAI", Qt::CaseInsensitive) == 0) {
        m_operand = Value::boolean(true);
    } else if (t.compare(u"FALSE", Qt::CaseInsensitive) == 0 || t.compare(u"FAUX", Qt::CaseInsensitive) == 0) {
        m_operand = Value::boolean(false);
    } else {
        m_operand = Value::text(t);
        m_wildcard =
                (m_cmp == Cmp::Eq || m_cmp == Cmp::Ne) && (t.contains(u'*') || t.contains(u'?') || t.contains(u'~'));
    }
}

bool Criterion::matches(const Value &v) const
{
    if (v.isError())
        return false;
    if (m_operand.isText()) {
        if (m_operand.asText().isEmpty() && m_cmp == Cmp::Eq)
            return v.isEmpty() || (v.isText() && v.asText().isEmpty());
        if (m_cmp == Cmp::Ne && !v.isText())
            return true;
        if (!v.isText())
            return false;
        if (m_wildcard) {
            const bool m = wildcardMatch(m_operand.asText(), v.asText());
            return m_cmp == Cmp::Eq ? m : !m;
        }
    } else if (m_operand.isNumber()) {
        if (!v.isNumber())
            return m_cmp == Cmp::Ne;
    } else if (m_operand.isBoolean()) {
        if (!v.isBoolean())
            return m_cmp == Cmp::Ne;
    }
    const int c = compareValues(v, m_operand);
    switch (m_cmp) {
    case Cmp::Eq: return c == 0;
    case Cmp::Ne: return c != 0;
    case Cmp::Lt: return c < 0;
    case Cmp::Le: return c <= 0;
    case Cmp::Gt: return c > 0;
    case Cmp::Ge: return c >= 0;
    }
    return false;
}

} // namespace sheet::fn
