// Financial functions with the usual conventions: money paid out is negative, money received
// positive; `type` 1 means payments at the start of each period, 0 (default) at the end.
#include "spreadsheet/core/functionhelpers.h"

#include <cmath>

namespace sheet::fn {

namespace {

double fvOf(double rate, double nper, double pmt, double pv, bool begin)
{
    if (rate == 0)
        return -(pv + pmt * nper);
    const double g = std::pow(1 + rate, nper);
    return -(pv * g + pmt * (1 + rate * (begin ? 1 : 0)) * (g - 1) / rate);
}

double pmtOf(double rate, double nper, double pv, double fv, bool begin)
{
    if (rate == 0)
        return -(pv + fv) / nper;
    const double g = std::pow(1 + rate, nper);
    return -(rate * (pv * g + fv)) / ((1 + rate * (begin ? 1 : 0)) * (g - 1));
}

bool typeArg(EvalContext &ctx, Args a, size_t i) { return numberOr(ctx, a, i, 0) != 0; }

Operand fv_(EvalContext &ctx, Args a)
{
    return checkedNumber(
            fvOf(ctx.number(a[0]), ctx.number(a[1]), ctx.number(a[2]), numberOr(ctx, a, 3, 0), typeArg(ctx, a, 4)));
}

Operand pmt_(EvalContext &ctx, Args a)
{
    const double nper = ctx.number(a[1]);
    if (nper == 0)
        return Value::error(ErrorCode::Num);
    return checkedNumber(pmtOf(ctx.number(a[0]), nper, ctx.number(a[2]), numberOr(ctx, a, 3, 0), typeArg(ctx, a, 4)));
}

Operand pv_(EvalContext &ctx, Args a)
{
    const double rate = ctx.number(a[0]), nper = ctx.number(a[1]), pmt = ctx.number(a[2]);
    const double fv = numberOr(ctx, a, 3, 0);
    const bool begin = typeArg(ctx, a, 4);
    if (rate == 0)
        return checkedNumber(-(fv + pmt * nper));
    const double g = std::pow(1 + rate, nper);
    return checkedNumber(-(fv + pmt * (1 + rate * (begin ? 1 : 0)) * (g - 1) / rate) / g);
}

Operand nper_(EvalContext &ctx, Args a)
{
    const double rate = ctx.number(a[0]), pmt = ctx.number(a[1]), pv = ctx.number(a[2]);
    const double fv = numberOr(ctx, a, 3, 0);
    const bool begin = typeArg(ctx, a, 4);
    if (rate == 0) {
        if (pmt == 0)
            return Value::error(ErrorCode::DivZero);
        return checkedNumber(-(pv + fv) / pmt);
    }
    const double k = pmt * (1 + rate * (begin ? 1 : 0));
    const double num = k - fv * rate;
    const double den = k + pv * rate;
    if (den == 0 || num / den <= 0 || rate <= -1)
        return Value::error(ErrorCode::Num);
    return checkedNumber(std::log(num / den) / std::log(1 + rate));
}

// Newton's method on the annuity equation, as other spreadsheets solve RATE.
Operand rate_(EvalContext &ctx, Args a)
{
    const double nper = ctx.number(a[0]), pmt = ctx.number(a[1]), pv = ctx.number(a[2]);
    const double fv = numberOr(ctx, a, 3, 0);
    const double t = typeArg(ctx, a, 4) ? 1 : 0;
    double r = numberOr(ctx, a, 5, 0.1);
    if (nper <= 0)
        return Value::error(ErrorCode::Num);
    for (int i = 0; i < 100; ++i) {
        double f, df;
        if (std::fabs(r) < 1e-10) {
            f = pv + pmt * nper + fv;
            df = pv * nper + pmt * nper * (nper - 1) / 2 + pmt * t * nper;
        } else {
            const double g = std::pow(1 + r, nper);
            const double gd = nper * std::pow(1 + r, nper - 1);
            f = pv * g + pmt * (1 + r * t) * (g - 1) / r + fv;
            df = pv * gd + pmt * t * (g - 1) / r + pmt * (1 + r * t) * (gd * r - (g - 1)) / (r * r);
        }
        if (df == 0 || !std::isfinite(df))
            break;
        const double next = r - f / df;
        if (!std::isfinite(next) || next <= -1)
            break;
        if (std::fabs(next - r) < 1e-10)
            return checkedNumber(next);
        r = next;
    }
    return Value::error(ErrorCode::Num);
}

double ipmtOf(double rate, double per, double nper, double pv, double fv, bool begin)
{
    const double pmt = pmtOf(rate, nper, pv, fv, begin);
    double interest;
    if (per == 1)
        interest = begin ? 0 : -pv;
    else if (begin)
        interest = fvOf(rate, per - 2, pmt, pv, true) - pmt;
    else
        interest = fvOf(rate, per - 1, pmt, pv, false);
    return interest * rate;
}

Operand ipmt_(EvalContext &ctx, Args a)
{
    const double rate = ctx.number(a[0]), per = ctx.number(a[1]), nper = ctx.number(a[2]);
    const double pv = ctx.number(a[3]), fv = numberOr(ctx, a, 4, 0);
    const bool begin = typeArg(ctx, a, 5);
    if (per < 1 || per > nper || nper <= 0)
        return Value::error(ErrorCode::Num);
    return checkedNumber(ipmtOf(rate, per, nper, pv, fv, begin));
}

Operand ppmt_(EvalContext &ctx, Args a)
{
    const double rate = ctx.number(a[0]), per = ctx.number(a[1]), nper = ctx.number(a[2]);
    const double pv = ctx.number(a[3]), fv = numberOr(ctx, a, 4, 0);
    const bool begin = typeArg(ctx, a, 5);
    if (per < 1 || per > nper || nper <= 0)
        return Value::error(ErrorCode::Num);
    return checkedNumber(pmtOf(rate, nper, pv, fv, begin) - ipmtOf(rate, per, nper, pv, fv, begin));
}

Operand npv_(EvalContext &ctx, Args a)
{
    const double rate = ctx.number(a[0]);
    if (rate == -1)
        return Value::error(ErrorCode::DivZero);
    double s = 0;
    int i = 1;
    forEachNumber(ctx, a.subspan(1), [&](double v) { s += v / std::pow(1 + rate, i++); });
    return checkedNumber(s);
}

// Cash flows of a range in reading order (row by row), numbers only.
std::vector<double> flows(EvalContext &ctx, const Operand &op)
{
    std::vector<double> out;
    if (!op.isRef) {
        out.push_back(toNumber(op.value));
        return out;
    }
    const CellRange &r = op.ref.area;
    for (int row = r.top; row <= r.bottom; ++row)
        for (int col = r.left; col <= r.right; ++col) {
            const Value v = ctx.cellValue(op.ref.sheetId, row, col);
            if (v.isNumber())
                out.push_back(v.asNumber());
            else if (v.isError())
                throw EvalError{v.errorCode()};
        }
    return out;
}

Operand irr_(EvalContext &ctx, Args a)
{
    const std::vector<double> v = flows(ctx, a[0]);
    double r = numberOr(ctx, a, 1, 0.1);
    if (r <= -1)
        return Value::error(ErrorCode::Num);
    for (int iteration = 0; iteration < 100; ++iteration) {
        double f = 0, df = 0;
        for (size_t i = 0; i < v.size(); ++i) {
            const double g = std::pow(1 + r, double(i));
            f += v[i] / g;
            df -= double(i) * v[i] / (g * (1 + r));
        }
        if (df == 0 || !std::isfinite(df))
            break;
        double next = r - f / df;
        if (!std::isfinite(next))
            break;
        // A step beyond -100 % (heavy losses seen from a guess of 10 %) goes halfway
        // there instead, so negative rates are found too.
        if (next <= -1)
            next = (r - 1) / 2;
        if (std::fabs(next - r) < 1e-10)
            return checkedNumber(next);
        r = next;
    }
    return Value::error(ErrorCode::Num);
}

Operand mirr_(EvalContext &ctx, Args a)
{
    const std::vector<double> v = flows(ctx, a[0]);
    const double financeRate = ctx.number(a[1]), reinvestRate = ctx.number(a[2]);
    const double n = double(v.size());
    if (v.size() < 2)
        return Value::error(ErrorCode::DivZero);
    double futurePositive = 0, presentNegative = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        if (v[i] > 0)
            futurePositive += v[i] * std::pow(1 + reinvestRate, n - 1 - double(i));
        else if (v[i] < 0)
            presentNegative += v[i] / std::pow(1 + financeRate, double(i));
    }
    if (futurePositive == 0 || presentNegative == 0)
        return Value::error(ErrorCode::DivZero);
    return checkedNumber(std::pow(-futurePositive / presentNegative, 1 / (n - 1)) - 1);
}

Operand sln_(EvalContext &ctx, Args a)
{
    const double life = ctx.number(a[2]);
    if (life == 0)
        return Value::error(ErrorCode::DivZero);
    return checkedNumber((ctx.number(a[0]) - ctx.number(a[1])) / life);
}

Operand syd_(EvalContext &ctx, Args a)
{
    const double cost = ctx.number(a[0]), salvage = ctx.number(a[1]);
    const double life = ctx.number(a[2]), per = ctx.number(a[3]);
    if (life <= 0 || per <= 0 || per > life)
        return Value::error(ErrorCode::Num);
    return checkedNumber((cost - salvage) * (life - per + 1) * 2 / (life * (life + 1)));
}

// Fixed-declining balance, rate rounded to three decimals; the first and the extra last
// period are prorated by `month`.
Operand db_(EvalContext &ctx, Args a)
{
    const double cost = ctx.number(a[0]), salvage = ctx.number(a[1]);
    const double life = std::trunc(ctx.number(a[2])), period = std::trunc(ctx.number(a[3]));
    const double month = hasArg(a, 4) ? std::trunc(ctx.number(a[4])) : 12;
    if (cost < 0 || salvage < 0 || life <= 0 || period <= 0 || month < 1 || month > 12
        || period > life + (month < 12 ? 1 : 0))
        return Value::error(ErrorCode::Num);
    if (cost == 0)
        return Value::number(0);
    const double rate = std::round((1 - std::pow(salvage / cost, 1 / life)) * 1000) / 1000;
    double total = cost * rate * month / 12;
    if (period == 1)
        return checkedNumber(total);
    double dep = 0;
    for (int p = 2; p <= int(period); ++p) {
        if (p == int(life) + 1)
            dep = (cost - total) * rate * (12 - month) / 12;
        else
            dep = (cost - total) * rate;
        total += dep;
    }
    return checkedNumber(dep);
}

double ddbOf(double cost, double salvage, double life, double period, double factor)
{
    double rate = factor / life;
    double oldValue;
    if (rate >= 1) {
        rate = 1;
        oldValue = period == 1 ? cost : 0;
    } else {
        oldValue = cost * std::pow(1 - rate, period - 1);
    }
    const double newValue = cost * std::pow(1 - rate, period);
    const double dep = newValue < salvage ? oldValue - salvage : oldValue - newValue;
    return dep < 0 ? 0 : dep;
}

Operand ddb_(EvalContext &ctx, Args a)
{
    const double cost = ctx.number(a[0]), salvage = ctx.number(a[1]);
    const double life = ctx.number(a[2]), period = ctx.number(a[3]);
    const double factor = numberOr(ctx, a, 4, 2);
    if (cost < 0 || salvage < 0 || life <= 0 || period <= 0 || period > life || factor <= 0)
        return Value::error(ErrorCode::Num);
    return checkedNumber(ddbOf(cost, salvage, life, period, factor));
}

// Declining balance over `period` whole periods, switching to straight line when that gives
// more (the depreciation of the remaining value over the remaining life `life1`).
double interVdb(double cost, double salvage, double life, double life1, double period, double factor)
{
    double vdb = 0;
    const double intEnd = std::ceil(period);
    const int loopEnd = int(intEnd);
    double remaining = cost - salvage;
    bool straightLine = false;
    double sln = 0;
    for (int i = 1; i <= loopEnd; ++i) {
        double term;
        if (!straightLine) {
            const double ddb = ddbOf(cost, salvage, life, i, factor);
            sln = remaining / (life1 - (i - 1));
            if (sln > ddb) {
                term = sln;
                straightLine = true;
            } else {
                term = ddb;
                remaining -= ddb;
            }
        } else {
            term = sln;
        }
        if (i == loopEnd)
            term *= (period + 1.0 - intEnd);
        vdb += term;
    }
    return vdb;
}

Operand vdb_(EvalContext &ctx, Args a)
{
    double cost = ctx.number(a[0]);
    const double salvage = ctx.number(a[1]), life = ctx.number(a[2]);
    const double start = ctx.number(a[3]), end = ctx.number(a[4]);
    const double factor = numberOr(ctx, a, 5, 2);
    const bool noSwitch = hasArg(a, 6) && ctx.boolean(a[6]);
    if (cost < 0 || salvage < 0 || life <= 0 || start < 0 || end < start || end > life || factor <= 0 || salvage > cost)
        return Value::error(ErrorCode::Num);
    const double intStart = std::floor(start), intEnd = std::ceil(end);
    double vdb = 0;
    if (noSwitch) {
        const int loopStart = int(intStart), loopEnd = int(intEnd);
        for (int i = loopStart + 1; i <= loopEnd; ++i) {
            double term = ddbOf(cost, salvage, life, i, factor);
            if (i == loopStart + 1)
                term *= (std::min(end, intStart + 1) - start);
            else if (i == loopEnd)
                term *= (end + 1 - intEnd);
            vdb += term;
        }
        return checkedNumber(vdb);
    }
    double part = 0;
    if (start > intStart) {
        const double tempValue = cost - interVdb(cost, salvage, life, life, intStart, factor);
        part += (start - intStart) * interVdb(tempValue, salvage, life, life - intStart, 1, factor);
    }
    if (end < intEnd) {
        const double tempStart = intEnd - 1;
        const double tempValue = cost - interVdb(cost, salvage, life, life, tempStart, factor);
        part += (intEnd - end) * interVdb(tempValue, salvage, life, life - tempStart, intEnd - tempStart, factor);
    }
    cost -= interVdb(cost, salvage, life, life, intStart, factor);
    vdb = interVdb(cost, salvage, life, life - intStart, intEnd - intStart, factor) - part;
    return checkedNumber(vdb);
}

} // namespace

void registerFinancial(std::vector<FunctionInfo> &out)
{
    auto add = [&](const char *name, int mn, int mx, FunctionImpl f) {
        out.push_back(FunctionInfo{QString::fromLatin1(name), mn, mx, f, false, false});
    };
    add("DB", 4, 5, db_);
    add("DDB", 4, 5, ddb_);
    add("FV", 3, 5, fv_);
    add("IPMT", 4, 6, ipmt_);
    add("IRR", 1, 2, irr_);
    add("MIRR", 3, 3, mirr_);
    add("NPER", 3, 5, nper_);
    add("NPV", 2, -1, npv_);
    add("PMT", 3, 5, pmt_);
    add("PPMT", 4, 6, ppmt_);
    add("PV", 3, 5, pv_);
    add("RATE", 3, 6, rate_);
    add("SLN", 3, 3, sln_);
    add("SYD", 4, 4, syd_);
    add("VDB", 5, 7, vdb_);
}

} // namespace sheet::fn
