// Date and time functions on serial numbers (days since 30/12/1899, time as the fraction).
// Serials at or below 0 count back from 30/12/1899: 14/07/1789 is -40 346.
#include "spreadsheet/core/functionhelpers.h"
#include "spreadsheet/core/numberformat.h"

#include <cmath>

namespace sheet::fn {

namespace {

QDate dateArg(EvalContext &ctx, const Operand &op)
{
    const QDate d = serialToDate(ctx.number(op));
    if (!d.isValid())
        throw EvalError{ErrorCode::Num};
    return d;
}

// Seconds of the day, rounded to the nearest second.
qint64 secondsArg(EvalContext &ctx, const Operand &op)
{
    const double serial = ctx.number(op);
    if (!std::isfinite(serial))
        throw EvalError{ErrorCode::Num};
    const double fraction = serial - std::floor(serial); // the time of day, before 1900 too
    return qint64(std::llround(fraction * 86400.0)) % 86400;
}

Operand date_(EvalContext &ctx, Args a)
{
    double y = std::trunc(ctx.number(a[0]));
    const double m = std::trunc(ctx.number(a[1]));
    const double d = std::trunc(ctx.number(a[2]));
    // Years 0 to 99 are read as two-digit years (00-29 this century, 30-99 the last one);
    // from 100 on a year is taken as it is: DATE(1789;7;14) is 14/07/1789.
    if (y >= 0 && y < 30)
        y += 2000;
    else if (y >= 30 && y < 100)
        y += 1900;
    if (y < 0 || y > 9999 || std::fabs(m) > 120000 || std::fabs(d) > 4e6)
        return Value::error(ErrorCode::Num);
    // Months and days beyond their range carry over: DATE(2024;14;1) is 01/02/2025.
    const double months = y * 12 + (m - 1);
    const int year = int(std::floor(months / 12));
    const int month = int(months - year * 12.0) + 1;
    const QDate first(year, month, 1);
    if (!first.isValid())
        return Value::error(ErrorCode::Num);
    return Value::number(dateToSerial(first) + d - 1);
}

Operand datevalue_(EvalContext &ctx, Args a)
{
    double d;
    QString format;
    if (!parseEntryNumber(ctx.text(a[0]), d, format) || !format.startsWith(u"dd"))
        return Value::error(ErrorCode::Value);
    return Value::number(std::floor(d));
}

Operand timevalue_(EvalContext &ctx, Args a)
{
    double d;
    QString format;
    if (!parseEntryNumber(ctx.text(a[0]), d, format) || !format.contains(u"hh"))
        return Value::error(ErrorCode::Value);
    return Value::number(d - std::floor(d));
}

Operand day_(EvalContext &ctx, Args a) { return Value::number(dateArg(ctx, a[0]).day()); }
Operand month_(EvalContext &ctx, Args a) { return Value::number(dateArg(ctx, a[0]).month()); }
Operand year_(EvalContext &ctx, Args a) { return Value::number(dateArg(ctx, a[0]).year()); }
Operand hour_(EvalContext &ctx, Args a) { return Value::number(double(secondsArg(ctx, a[0]) / 3600)); }
Operand minute_(EvalContext &ctx, Args a) { return Value::number(double(secondsArg(ctx, a[0]) / 60 % 60)); }
Operand second_(EvalContext &ctx, Args a) { return Value::number(double(secondsArg(ctx, a[0]) % 60)); }

Operand now_(EvalContext &ctx, Args) { return Value::number(ctx.now()); }
Operand today_(EvalContext &ctx, Args) { return Value::number(std::floor(ctx.now())); }

Operand time_(EvalContext &ctx, Args a)
{
    const double h = std::trunc(ctx.number(a[0]));
    const double m = std::trunc(ctx.number(a[1]));
    const double s = std::trunc(ctx.number(a[2]));
    const double total = h * 3600 + m * 60 + s;
    if (total < 0 || !std::isfinite(total))
        return Value::error(ErrorCode::Num);
    return Value::number(std::fmod(total, 86400.0) / 86400.0);
}

Operand weekday_(EvalContext &ctx, Args a)
{
    const int dow = dateArg(ctx, a[0]).dayOfWeek(); // 1 = Monday .. 7 = Sunday
    const int type = hasArg(a, 1) ? ctx.integer(a[1]) : 1;
    switch (type) {
    case 1: return Value::number(dow % 7 + 1); // Sunday 1 .. Saturday 7
    case 2: return Value::number(dow); // Monday 1 .. Sunday 7
    case 3: return Value::number(dow - 1); // Monday 0 .. Sunday 6
    default: return Value::error(ErrorCode::Num);
    }
}

} // namespace

void registerDate(std::vector<FunctionInfo> &out)
{
    auto add = [&](const char *name, int mn, int mx, FunctionImpl f, bool vol = false) {
        out.push_back(FunctionInfo{QString::fromLatin1(name), mn, mx, f, vol, false});
    };
    add("DATE", 3, 3, date_);
    add("DATEVALUE", 1, 1, datevalue_);
    add("DAY", 1, 1, day_);
    add("HOUR", 1, 1, hour_);
    add("MINUTE", 1, 1, minute_);
    add("MONTH", 1, 1, month_);
    add("NOW", 0, 0, now_, true);
    add("SECOND", 1, 1, second_);
    add("TIME", 3, 3, time_);
    add("TIMEVALUE", 1, 1, timevalue_);
    add("TODAY", 0, 0, today_, true);
    add("WEEKDAY", 1, 2, weekday_);
    add("YEAR", 1, 1, year_);
}

} // namespace sheet::fn
