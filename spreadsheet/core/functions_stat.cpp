// Statistical functions: counts, averages, extremes, variances.
#include "spreadsheet/core/functionhelpers.h"

#include <cmath>
#include <limits>

namespace sheet::fn {

namespace {

Operand average_(EvalContext &ctx, Args a)
{
    const NumberFold f = fold(ctx, a);
    if (f.count == 0)
        return Value::error(ErrorCode::DivZero);
    return checkedNumber(f.sum / f.count);
}

Operand count_(EvalContext &ctx, Args a)
{
    int n = 0;
    for (const Operand &op : a) {
        if (op.missing)
            continue;
        if (op.isRef) {
            ctx.forEachValue(op.ref, [&](int, int, const Value &v) { n += v.isNumber() ? 1 : 0; });
        } else {
            try {
                toNumber(op.value);
                if (!op.value.isEmpty())
                    ++n;
            } catch (const EvalError &) { }
        }
    }
    return Value::number(n);
}

Operand counta_(EvalContext &ctx, Args a)
{
    int n = 0;
    for (const Operand &op : a) {
        if (op.missing)
            continue;
        if (op.isRef)
            ctx.forEachValue(op.ref, [&](int, int, const Value &) { ++n; });
        else
            ++n;
    }
    return Value::number(n);
}

Operand countif_(EvalContext &ctx, Args a)
{
    const RangeRef &range = reference(a[0]);
    const Value c = ctx.scalar(a[1]);
    if (c.isError())
        return c; // COUNTIF(A1:A9;1/0) is #DIV/0!
    const Criterion criterion(c);
    int n = 0;
    ctx.forEachValue(range, [&](int, int, const Value &v) { n += criterion.matches(v) ? 1 : 0; });
    // Empty cells are not visited; they match only an empty criterion "" or "=".
    if (c.isText() && (c.asText().isEmpty() || c.asText() == u"=")) {
        int filled = 0;
        ctx.forEachValue(range,
                         [&](int, int, const Value &v) { filled += v.isText() && v.asText().isEmpty() ? 0 : 1; });
        const double cells = double(range.area.rowCount()) * range.area.columnCount();
        return Value::number(cells - filled);
    }
    return Value::number(n);
}

Operand max_(EvalContext &ctx, Args a)
{
    const NumberFold f = fold(ctx, a);
    return Value::number(f.count ? f.max : 0);
}

Operand min_(EvalContext &ctx, Args a)
{
    const NumberFold f = fold(ctx, a);
    return Value::number(f.count ? f.min : 0);
}

// Two-pass variance: the mean first, then the squared deviations (no cancellation).
Value variance(EvalContext &ctx, Args a, bool sample)
{
    const std::vector<double> v = numbers(ctx, a);
    const size_t n = v.size();
    if (n == 0 || (sample && n < 2))
        return Value::error(ErrorCode::DivZero);
    double mean = 0;
    for (double d : v)
        mean += d;
    mean /= double(n);
    double s = 0;
    for (double d : v)
        s += (d - mean) * (d - mean);
    return checkedNumber(s / double(sample ? n - 1 : n));
}

Operand var_(EvalContext &ctx, Args a) { return variance(ctx, a, true); }
Operand varp_(EvalContext &ctx, Args a) { return variance(ctx, a, false); }

Operand stdev_(EvalContext &ctx, Args a)
{
    const Value v = variance(ctx, a, true);
    return v.isError() ? v : checkedNumber(std::sqrt(v.asNumber()));
}

Operand stdevp_(EvalContext &ctx, Args a)
{
    const Value v = variance(ctx, a, false);
    return v.isError() ? v : checkedNumber(std::sqrt(v.asNumber()));
}

} // namespace

void registerStatistics(std::vector<FunctionInfo> &out)
{
    auto add = [&](const char *name, int mn, int mx, FunctionImpl f) {
        out.push_back(FunctionInfo{QString::fromLatin1(name), mn, mx, f, false, false});
    };
    add("AVERAGE", 1, -1, average_);
    add("COUNT", 1, -1, count_);
    add("COUNTA", 1, -1, counta_);
    add("COUNTIF", 2, 2, countif_);
    add("MAX", 1, -1, max_);
    add("MIN", 1, -1, min_);
    add("STDEV", 1, -1, stdev_);
    add("STDEVP", 1, -1, stdevp_);
    add("VAR", 1, -1, var_);
    add("VARP", 1, -1, varp_);
}

} // namespace sheet::fn
