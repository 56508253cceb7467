// Logical and information functions.
#include "spreadsheet/core/functionhelpers.h"

namespace sheet::fn {

namespace {

// AND/OR: booleans and numbers count; texts and empty cells in references are skipped;
// no logical value at all gives #VALUE!.
template<bool IsAnd>
Operand logical(EvalContext &ctx, Args a)
{
    bool any = false;
    bool result = IsAnd;
    forEachValue(ctx, a, [&](const Value &v, bool fromRef) {
        if (v.isError())
            throw EvalError{v.errorCode()};
        if (v.isText() && fromRef)
            return;
        const bool b = toBoolean(v);
        any = true;
        result = IsAnd ? (result && b) : (result || b);
    });
    if (!any)
        return Value::error(ErrorCode::Value);
    return Value::boolean(result);
}

Operand not_(EvalContext &ctx, Args a) { return Value::boolean(!ctx.boolean(a[0])); }

Operand if_(EvalContext &ctx, Args a)
{
    const bool c = ctx.boolean(a[0]);
    if (c)
        return hasArg(a, 1) ? a[1] : (a.size() > 1 ? Operand(Value::number(0)) : Operand(Value::boolean(true)));
    if (a.size() < 3)
        return Value::boolean(false);
    return hasArg(a, 2) ? a[2] : Operand(Value::number(0));
}

Operand true_(EvalContext &, Args) { return Value::boolean(true); }
Operand false_(EvalContext &, Args) { return Value::boolean(false); }

Operand errorType_(EvalContext &ctx, Args a)
{
    const Value v = ctx.scalar(a[0]);
    if (!v.isError())
        return Value::error(ErrorCode::NA);
    switch (v.errorCode()) {
    case ErrorCode::Null: return Value::number(1);
    case ErrorCode::DivZero: return Value::number(2);
    case ErrorCode::Value: return Value::number(3);
    case ErrorCode::Ref: return Value::number(4);
    case ErrorCode::Name: return Value::number(5);
    case ErrorCode::Num: return Value::number(6);
    case ErrorCode::NA: return Value::number(7);
    default: return Value::error(ErrorCode::NA);
    }
}

template<bool (*Test)(const Value &)>
Operand is(EvalContext &ctx, Args a)
{
    return Value::boolean(Test(ctx.scalar(a[0])));
}

bool isBlank(const Value &v) { return v.isEmpty(); }
bool isErr(const Value &v) { return v.isError() && v.errorCode() != ErrorCode::NA; }
bool isError(const Value &v) { return v.isError(); }
bool isLogical(const Value &v) { return v.isBoolean(); }
bool isNa(const Value &v) { return v.isError() && v.errorCode() == ErrorCode::NA; }
bool isNonText(const Value &v) { return !v.isText(); }
bool isNumber(const Value &v) { return v.isNumber(); }
bool isText(const Value &v) { return v.isText(); }

Operand isBlank_(EvalContext &ctx, Args a)
{
    // A plain value is never blank; only a reference to an empty cell is.
    if (!a[0].isRef)
        return Value::boolean(false);
    return Value::boolean(ctx.scalar(a[0]).isEmpty());
}

Operand isRef_(EvalContext &, Args a) { return Value::boolean(a[0].isRef); }

Operand n_(EvalContext &ctx, Args a)
{
    const Value v = ctx.scalar(a[0]);
    if (v.isNumber() || v.isBoolean())
        return Value::number(v.asNumber());
    if (v.isError())
        return v;
    return Value::number(0);
}

Operand t_(EvalContext &ctx, Args a)
{
    const Value v = ctx.scalar(a[0]);
    if (v.isText() || v.isError())
        return v;
    return Value::text(QString());
}

Operand type_(EvalContext &ctx, Args a)
{
    if (a[0].isRef && (a[0].ref.area.rowCount() > 1 || a[0].ref.area.columnCount() > 1))
        return Value::number(64);
    const Value v = ctx.scalar(a[0]);
    switch (v.type()) {
    case Value::Type::Text: return Value::number(2);
    case Value::Type::Boolean: return Value::number(4);
    case Value::Type::Error: return Value::number(16);
    default: return Value::number(1);
    }
}

} // namespace

void registerLogical(std::vector<FunctionInfo> &out)
{
    auto add = [&](const char *name, int mn, int mx, FunctionImpl f) {
        out.push_back(FunctionInfo{QString::fromLatin1(name), mn, mx, f, false, false});
    };
    add("AND", 1, -1, logical<true>);
    add("ERROR.TYPE", 1, 1, errorType_);
    add("FALSE", 0, 0, false_);
    add("IF", 1, 3, if_);
    add("ISBLANK", 1, 1, isBlank_);
    add("ISERR", 1, 1, is<isErr>);
    add("ISERROR", 1, 1, is<isError>);
    add("ISLOGICAL", 1, 1, is<isLogical>);
    add("ISNA", 1, 1, is<isNa>);
    add("ISNONTEXT", 1, 1, is<isNonText>);
    add("ISNUMBER", 1, 1, is<isNumber>);
    add("ISREF", 1, 1, isRef_);
    add("ISTEXT", 1, 1, is<isText>);
    add("N", 1, 1, n_);
    add("NOT", 1, 1, not_);
    add("OR", 1, -1, logical<false>);
    add("T", 1, 1, t_);
    add("TRUE", 0, 0, true_);
    add("TYPE", 1, 1, type_);
    (void)isBlank;
}

} // namespace sheet::fn
