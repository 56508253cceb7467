// Mathematical functions: arithmetic, rounding, trigonometry, sums.
#include "spreadsheet/core/functionhelpers.h"
#include "spreadsheet/core/numberformat.h"

#include <cmath>
#include <numbers>

namespace sheet::fn {

namespace {

Operand num(double v) { return checkedNumber(v); }

[[noreturn]] void numError() { throw EvalError{ErrorCode::Num}; }

template<double (*F)(double)>
Operand unary(EvalContext &ctx, Args a)
{
    return num(F(ctx.number(a[0])));
}

Operand abs_(EvalContext &ctx, Args a) { return num(std::fabs(ctx.number(a[0]))); }

Operand acos_(EvalContext &ctx, Args a)
{
    const double x = ctx.number(a[0]);
    if (x < -1 || x > 1)
        numError();
    return num(std::acos(x));
}
Operand asin_(EvalContext &ctx, Args a)
{
    const double x = ctx.number(a[0]);
    if (x < -1 || x > 1)
        numError();
    return num(std::asin(x));
}
Operand acosh_(EvalContext &ctx, Args a)
{
    const double x = ctx.number(a[0]);
    if (x < 1)
        numError();
    return num(std::acosh(x));
}
Operand atanh_(EvalContext &ctx, Args a)
{
    const double x = ctx.number(a[0]);
    if (x <= -1 || x >= 1)
        numError();
    return num(std::atanh(x));
}
Operand atan2_(EvalContext &ctx, Args a)
{
    // ATAN2(x; y): the angle of the point (x, y).
    const double x = ctx.number(a[0]), y = ctx.number(a[1]);
    if (x == 0 && y == 0)
        return Value::error(ErrorCode::DivZero);
    return num(std::atan2(y, x));
}

Operand ceiling_(EvalContext &ctx, Args a)
{
    const double x = ctx.number(a[0]);
    double s = hasArg(a, 1) ? ctx.number(a[1]) : (x < 0 ? -1.0 : 1.0);
    if (x == 0 || s == 0)
        return num(0);
    if (x > 0 && s < 0)
        numError();
    if (x < 0 && s > 0 && hasArg(a, 2) && ctx.number(a[2]) != 0)
        s = -s; // mode: round negative numbers away from zero
    return num(std::ceil(snap15(x / s)) * s);
}

Operand floor_(EvalContext &ctx, Args a)
{
    const double x = ctx.number(a[0]);
    double s = hasArg(a, 1) ? ctx.number(a[1]) : (x < 0 ? -1.0 : 1.0);
    if (x == 0)
        return num(0);
    if (s == 0)
        return Value::error(ErrorCode::DivZero);
    if (x > 0 && s < 0)
        numError();
    if (x < 0 && s > 0 && hasArg(a, 2) && ctx.number(a[2]) != 0)
        s = -s;
    return num(std::floor(snap15(x / s)) * s);
}

Operand even_(EvalContext &ctx, Args a)
{
    const double x = ctx.number(a[0]);
    const double m = std::ceil(snap15(std::fabs(x)) / 2) * 2;
    return num(x < 0 ? -m : m);
}

Operand odd_(EvalContext &ctx, Args a)
{
    const double x = ctx.number(a[0]);
    double m = std::ceil(snap15(std::fabs(x)));
    if (std::fmod(m, 2) == 0)
        m += 1;
    return num(x < 0 ? -m : m);
}

Operand exp_(EvalContext &ctx, Args a) { return num(std::exp(ctx.number(a[0]))); }

Operand fact_(EvalContext &ctx, Args a)
{
    const double n = std::trunc(ctx.number(a[0]));
    if (n < 0 || n > 170)
        numError();
    double r = 1;
    for (int i = 2; i <= int(n); ++i)
        r *= i;
    return num(r);
}

Operand int_(EvalContext &ctx, Args a) { return num(std::floor(ctx.number(a[0]))); }

Operand ln_(EvalContext &ctx, Args a)
{
    const double x = ctx.number(a[0]);
    if (x <= 0)
        numError();
    return num(std::log(x));
}

Operand log_(EvalContext &ctx, Args a)
{
    const double x = ctx.number(a[0]);
    const double base = numberOr(ctx, a, 1, 10);
    if (x <= 0 || base <= 0)
        numError();
    if (base == 1)
        return Value::error(ErrorCode::DivZero);
    return num(base == 10 ? std::log10(x) : std::log(x) / std::log(base));
}

Operand log10_(EvalContext &ctx, Args a)
{
    const double x = ctx.number(a[0]);
    if (x <= 0)
        numError();
    return num(std::log10(x));
}

Operand mod_(EvalContext &ctx, Args a)
{
    const double x = ctx.number(a[0]), y = ctx.number(a[1]);
    if (y == 0)
        return Value::error(ErrorCode::DivZero);
    // The result takes the sign of the divisor: MOD(-3; 2) = 1.
    double r = x - y * std::floor(x / y);
    if (std::fabs(r) >= std::fabs(y))
        r = 0;
    return num(r);
}

Operand pi_(EvalContext &, Args) { return num(std::numbers::pi); }

Operand product_(EvalContext &ctx, Args a)
{
    double p = 1;
    bool any = false;
    forEachNumber(ctx, a, [&](double d) {
        p *= d;
        any = true;
    });
    return num(any ? p : 0);
}

Operand rand_(EvalContext &ctx, Args) { return num(ctx.random()); }

int digitsArg(EvalContext &ctx, Args a, size_t i)
{
    if (!hasArg(a, i))
        return 0;
    const double d = std::trunc(ctx.number(a[i]));
    return int(std::max(-400.0, std::min(400.0, d)));
}

Operand round_(EvalContext &ctx, Args a) { return num(roundHalfAway(ctx.number(a[0]), digitsArg(ctx, a, 1))); }
Operand rounddown_(EvalContext &ctx, Args a) { return num(roundDown(ctx.number(a[0]), digitsArg(ctx, a, 1))); }
Operand roundup_(EvalContext &ctx, Args a) { return num(roundUp(ctx.number(a[0]), digitsArg(ctx, a, 1))); }

Operand sign_(EvalContext &ctx, Args a)
{
    const double x = ctx.number(a[0]);
    return num(x > 0 ? 1 : x < 0 ? -1 : 0);
}

Operand sqrt_(EvalContext &ctx, Args a)
{
    const double x = ctx.number(a[0]);
    if (x < 0)
        numError();
    return num(std::sqrt(x));
}

Operand sum_(EvalContext &ctx, Args a) { return num(fold(ctx, a).sum); }
Operand sumsq_(EvalContext &ctx, Args a) { return num(fold(ctx, a).sumSquares); }

Operand sumif_(EvalContext &ctx, Args a)
{
    const RangeRef &range = reference(a[0]);
    const Value c = ctx.scalar(a[1]);
    if (c.isError())
        return c; // SUMIF(A1:A9;1/0) is #DIV/0!
    const Criterion criterion(c);
    RangeRef sumRange = range;
    if (hasArg(a, 2)) {
        // The sum range takes the shape of the tested range from its own top-left cell.
        const RangeRef &given = reference(a[2]);
        sumRange.sheetId = given.sheetId;
        sumRange.area.top = given.area.top;
        sumRange.area.left = given.area.left;
        sumRange.area.bottom = std::min(kMaxRows, given.area.top + range.area.rowCount() - 1);
        sumRange.area.right = std::min(kMaxColumns, given.area.left + range.area.columnCount() - 1);
    }
    const int dr = sumRange.area.top - range.area.top, dc = sumRange.area.left - range.area.left;
    double s = 0;
    ctx.forEachValue(range, [&](int row, int col, const Value &v) {
        if (!criterion.matches(v))
            return;
        const Value x = ctx.cellValue(sumRange.sheetId, row + dr, col + dc);
        if (x.isNumber())
            s += x.asNumber();
        else if (x.isError())
            throw EvalError{x.errorCode()};
    });
    // An empty criterion also matches empty cells, which forEachValue skips.
    return num(s);
}

Operand trunc_(EvalContext &ctx, Args a) { return num(roundDown(ctx.number(a[0]), digitsArg(ctx, a, 1))); }

double cosd(double x) { return std::cos(x); }
double sind(double x) { return std::sin(x); }
double tand(double x) { return std::tan(x); }
double coshd(double x) { return std::cosh(x); }
double sinhd(double x) { return std::sinh(x); }
double tanhd(double x) { return std::tanh(x); }
double atand(double x) { return std::atan(x); }
double asinhd(double x) { return std::asinh(x); }

} // namespace

void registerMath(std::vector<FunctionInfo> &out)
{
    auto add = [&](const char *name, int mn, int mx, FunctionImpl f, bool vol = false) {
        out.push_back(FunctionInfo{QString::fromLatin1(name), mn, mx, f, vol, false});
    };
    add("ABS", 1, 1, abs_);
    add("ACOS", 1, 1, acos_);
    add("ACOSH", 1, 1, acosh_);
    add("ASIN", 1, 1, asin_);
    add("ASINH", 1, 1, unary<asinhd>);
    add("ATAN", 1, 1, unary<atand>);
    add("ATAN2", 2, 2, atan2_);
    add("ATANH", 1, 1, atanh_);
    add("CEILING", 1, 3, ceiling_);
    add("COS", 1, 1, unary<cosd>);
    add("COSH", 1, 1, unary<coshd>);
    add("EVEN", 1, 1, even_);
    add("EXP", 1, 1, exp_);
    add("FACT", 1, 1, fact_);
    add("FLOOR", 1, 3, floor_);
    add("INT", 1, 1, int_);
    add("LN", 1, 1, ln_);
    add("LOG", 1, 2, log_);
    add("LOG10", 1, 1, log10_);
    add("MOD", 2, 2, mod_);
    add("ODD", 1, 1, odd_);
    add("PI", 0, 0, pi_);
    add("PRODUCT", 1, -1, product_);
    add("RAND", 0, 0, rand_, true);
    add("ROUND", 1, 2, round_);
    add("ROUNDDOWN", 1, 2, rounddown_);
    add("ROUNDUP", 1, 2, roundup_);
    add("SIGN", 1, 1, sign_);
    add("SIN", 1, 1, unary<sind>);
    add("SINH", 1, 1, unary<sinhd>);
    add("SQRT", 1, 1, sqrt_);
    add("SUM", 1, -1, sum_);
    add("SUMIF", 2, 3, sumif_);
    add("SUMSQ", 1, -1, sumsq_);
    add("TAN", 1, 1, unary<tand>);
    add("TANH", 1, 1, unary<tanhd>);
    add("TRUNC", 1, 2, trunc_);
}

} // namespace sheet::fn
