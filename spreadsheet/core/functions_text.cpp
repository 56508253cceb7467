// Text functions. Positions count characters from 1, as the user sees them.
#include "spreadsheet/core/functionhelpers.h"
#include "spreadsheet/core/numberformat.h"

#include "common/cp1252.h"

#include <cmath>

namespace sheet::fn {

namespace {

// Longest text a function may build (as other spreadsheets cap it), so that REPT cannot
// exhaust memory.
constexpr qsizetype kMaxText = 32767;

Value textResult(const QString &s)
{
    if (s.size() > kMaxText)
        return Value::error(ErrorCode::Value);
    return Value::text(s);
}

Operand char_(EvalContext &ctx, Args a)
{
    const double n = std::trunc(ctx.number(a[0]));
    if (n < 1 || n > 255)
        return Value::error(ErrorCode::Value);
    return Value::text(QString(cp1252::decodeByte((unsigned char)n)));
}

Operand clean_(EvalContext &ctx, Args a)
{
    QString s = ctx.text(a[0]);
    s.removeIf([](QChar c) { return c.unicode() < 32; });
    return Value::text(s);
}

Operand code_(EvalContext &ctx, Args a)
{
    const QString s = ctx.text(a[0]);
    if (s.isEmpty())
        return Value::error(ErrorCode::Value);
    unsigned char byte;
    if (!cp1252::encodeChar(s[0], byte))
        byte = '?';
    return Value::number(byte);
}

Operand concatenate_(EvalContext &ctx, Args a)
{
    QString s;
    for (const Operand &op : a)
        if (!op.missing)
            s += ctx.text(op);
    return textResult(s);
}

Operand exact_(EvalContext &ctx, Args a) { return Value::boolean(ctx.text(a[0]) == ctx.text(a[1])); }

int startArg(EvalContext &ctx, Args a, size_t i)
{
    const double d = hasArg(a, i) ? std::trunc(ctx.number(a[i])) : 1;
    if (d < 1 || d > kMaxText)
        throw EvalError{ErrorCode::Value};
    return int(d);
}

Operand find_(EvalContext &ctx, Args a)
{
    const QString what = ctx.text(a[0]);
    const QString in = ctx.text(a[1]);
    const int start = startArg(ctx, a, 2);
    if (start > in.size() + 1)
        return Value::error(ErrorCode::Value);
    const qsizetype pos = in.indexOf(what, start - 1, Qt::CaseSensitive);
    if (pos < 0)
        return Value::error(ErrorCode::Value);
    return Value::number(double(pos + 1));
}

Operand search_(EvalContext &ctx, Args a)
{
    const QString what = ctx.text(a[0]);
    const QString in = ctx.text(a[1]);
    const int start = startArg(ctx, a, 2);
    if (start > in.size() + 1)
        return Value::error(ErrorCode::Value);
    const int pos = wildcardFind(what, in, start - 1);
    if (pos < 0)
        return Value::error(ErrorCode::Value);
    return Value::number(pos + 1);
}

QString groupThousands(const QString &digits)
{
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += u' ';
        out += digits[i];
    }
    return out;
}

Operand fixed_(EvalContext &ctx, Args a)
{
    const double x = ctx.number(a[0]);
    int decimals = hasArg(a, 1) ? int(std::trunc(std::max(-300.0, std::min(127.0, ctx.number(a[1]))))) : 2;
    const bool noGrouping = hasArg(a, 2) && ctx.boolean(a[2]);
    const double r = roundHalfAway(x, decimals);
    if (!std::isfinite(r) || std::fabs(r) >= 1e300)
        return Value::error(ErrorCode::Value);
    const int shown = std::max(0, decimals);
    QString s = QString::number(std::fabs(r), 'f', shown);
    QString intPart = s.section(u'.', 0, 0);
    const QString decPart = s.section(u'.', 1);
    if (!noGrouping)
        intPart = groupThousands(intPart);
    QString out = (r < 0 ? QStringLiteral("-") : QString()) + intPart;
    if (!decPart.isEmpty())
        out += u',' + decPart;
    return Value::text(out);
}

Operand left_(EvalContext &ctx, Args a)
{
    const QString s = ctx.text(a[0]);
    const double n = hasArg(a, 1) ? std::trunc(ctx.number(a[1])) : 1;
    if (n < 0)
        return Value::error(ErrorCode::Value);
    return Value::text(s.left(qsizetype(std::min<double>(n, double(s.size())))));
}

Operand right_(EvalContext &ctx, Args a)
{
    const QString s = ctx.text(a[0]);
    const double n = hasArg(a, 1) ? std::trunc(ctx.number(a[1])) : 1;
    if (n < 0)
        return Value::error(ErrorCode::Value);
    return Value::text(s.right(qsizetype(std::min<double>(n, double(s.size())))));
}

Operand mid_(EvalContext &ctx, Args a)
{
    const QString s = ctx.text(a[0]);
    const double start = std::trunc(ctx.number(a[1]));
    const double n = std::trunc(ctx.number(a[2]));
    if (start < 1 || n < 0)
        return Value::error(ErrorCode::Value);
    if (start > double(s.size()))
        return Value::text(QString());
    return Value::text(s.mid(qsizetype(start) - 1, qsizetype(std::min<double>(n, double(s.size())))));
}

Operand len_(EvalContext &ctx, Args a) { return Value::number(double(ctx.text(a[0]).size())); }
Operand lower_(EvalContext &ctx, Args a) { return Value::text(ctx.text(a[0]).toLower()); }
Operand upper_(EvalContext &ctx, Args a) { return Value::text(ctx.text(a[0]).toUpper()); }

Operand proper_(EvalContext &ctx, Args a)
{
    QString s = ctx.text(a[0]);
    bool wordStart = true;
    for (QChar &c : s) {
        if (c.isLetter()) {
            c = wordStart ? c.toUpper() : c.toLower();
            wordStart = false;
        } else {
            wordStart = true; // "a1b2" gives "A1B2", as the other spreadsheets do
        }
    }
    return Value::text(s);
}

Operand replace_(EvalContext &ctx, Args a)
{
    QString s = ctx.text(a[0]);
    const double start = std::trunc(ctx.number(a[1]));
    const double n = std::trunc(ctx.number(a[2]));
    const QString with = ctx.text(a[3]);
    if (start < 1 || n < 0)
        return Value::error(ErrorCode::Value);
    const qsizetype from = qsizetype(std::min<double>(start - 1, double(s.size())));
    const qsizetype count = qsizetype(std::min<double>(n, double(s.size() - from)));
    s.replace(from, count, with);
    return textResult(s);
}

Operand rept_(EvalContext &ctx, Args a)
{
    const QString s = ctx.text(a[0]);
    const double n = std::trunc(ctx.number(a[1]));
    if (n < 0)
        return Value::error(ErrorCode::Value);
    if (n * double(s.size()) > double(kMaxText))
        return Value::error(ErrorCode::Value);
    return Value::text(s.repeated(qsizetype(n)));
}

Operand substitute_(EvalContext &ctx, Args a)
{
    QString s = ctx.text(a[0]);
    const QString from = ctx.text(a[1]);
    const QString to = ctx.text(a[2]);
    if (from.isEmpty())
        return Value::text(s);
    if (!hasArg(a, 3)) {
        s.replace(from, to);
        return textResult(s);
    }
    const double which = std::trunc(ctx.number(a[3]));
    if (which < 1)
        return Value::error(ErrorCode::Value);
    qsizetype pos = -1;
    for (double k = 0; k < which; ++k) {
        pos = s.indexOf(from, pos + 1);
        if (pos < 0)
            return Value::text(s);
    }
    s.replace(pos, from.size(), to);
    return textResult(s);
}

Operand text_(EvalContext &ctx, Args a)
{
    const Value v = ctx.scalar(a[0]);
    const QString pattern = ctx.text(a[1]);
    if (v.isError())
        return v;
    if (v.isText()) {
        double d;
        QString f;
        if (!parseEntryNumber(v.asText(), d, f))
            return v;
        return textResult(formatNumber(d, pattern));
    }
    if (v.isBoolean())
        return Value::text(toText(v));
    return textResult(formatNumber(toNumber(v), pattern));
}

Operand trim_(EvalContext &ctx, Args a)
{
    const QString s = ctx.text(a[0]);
    QString out;
    bool pendingSpace = false;
    for (QChar c : s) {
        if (c == u' ') {
            pendingSpace = !out.isEmpty();
            continue;
        }
        if (pendingSpace)
            out += u' ';
        pendingSpace = false;
        out += c;
    }
    return Value::text(out);
}

Operand value_(EvalContext &ctx, Args a)
{
    const Value v = ctx.scalar(a[0]);
    if (v.isNumber() || v.isError())
        return v;
    if (v.isEmpty())
        return Value::number(0);
    if (v.isBoolean())
        return Value::error(ErrorCode::Value);
    double d;
    QString f;
    if (!parseEntryNumber(v.asText(), d, f))
        return Value::error(ErrorCode::Value);
    return Value::number(d);
}

} // namespace

void registerText(std::vector<FunctionInfo> &out)
{
    auto add = [&](const char *name, int mn, int mx, FunctionImpl f) {
        out.push_back(FunctionInfo{QString::fromLatin1(name), mn, mx, f, false, false});
    };
    add("CHAR", 1, 1, char_);
    add("CLEAN", 1, 1, clean_);
    add("CODE", 1, 1, code_);
    add("CONCATENATE", 1, -1, concatenate_);
    add("EXACT", 2, 2, exact_);
    add("FIND", 2, 3, find_);
    add("FIXED", 1, 3, fixed_);
    add("LEFT", 1, 2, left_);
    add("LEN", 1, 1, len_);
    add("LOWER", 1, 1, lower_);
    add("MID", 3, 3, mid_);
    add("PROPER", 1, 1, proper_);
    add("REPLACE", 4, 4, replace_);
    add("REPT", 2, 2, rept_);
    add("RIGHT", 1, 2, right_);
    add("SEARCH", 2, 3, search_);
    add("SUBSTITUTE", 3, 4, substitute_);
    add("TEXT", 2, 2, text_);
    add("TRIM", 1, 1, trim_);
    add("UPPER", 1, 1, upper_);
    add("VALUE", 1, 1, value_);
}

} // namespace sheet::fn
