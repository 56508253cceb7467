#include "spreadsheet/core/value.h"

namespace sheet {

namespace {
struct ErrorName
{
    ErrorCode code;
    const char *text; // as files and formulas write it
    const char *french; // as French users see and type it
};
constexpr ErrorName kErrorNames[] = {
        {ErrorCode::Null, "#NULL!", "#NUL!"},      {ErrorCode::DivZero, "#DIV/0!", "#DIV/0!"},
        {ErrorCode::Value, "#VALUE!", "#VALEUR!"}, {ErrorCode::Ref, "#REF!", "#REF!"},
        {ErrorCode::Name, "#NAME?", "#NOM?"},      {ErrorCode::Num, "#NUM!", "#NOMBRE!"},
        {ErrorCode::NA, "#N/A", "#N/A"},           {ErrorCode::Circular, "#CIRC!", "#CIRC!"},
};

const ErrorName *nameOf(ErrorCode code)
{
    for (const ErrorName &e : kErrorNames)
        if (e.code == code)
            return &e;
    return nullptr;
}
} // namespace

QString errorText(ErrorCode code)
{
    const ErrorName *e = nameOf(code);
    return e ? QString::fromLatin1(e->text) : QString();
}

QString errorDisplayText(ErrorCode code)
{
    const ErrorName *e = nameOf(code);
    return e ? QString::fromLatin1(e->french) : QString();
}

ErrorCode errorFromText(const QString &text)
{
    for (const ErrorName &e : kErrorNames)
        if (text.compare(QLatin1String(e.text), Qt::CaseInsensitive) == 0
            || text.compare(QLatin1String(e.french), Qt::CaseInsensitive) == 0)
            return e.code;
    return ErrorCode::None;
}

Value Value::number(double v)
{
    Value r;
    r.m_type = Type::Number;
    r.m_number = v;
    return r;
}

Value Value::text(const QString &s)
{
    Value r;
    r.m_type = Type::Text;
    r.m_text = s;
    return r;
}

Value Value::boolean(bool b)
{
    Value r;
    r.m_type = Type::Boolean;
    r.m_number = b ? 1 : 0;
    return r;
}

Value Value::error(ErrorCode code)
{
    Value r;
    r.m_type = Type::Error;
    r.m_error = code;
    return r;
}

bool Value::operator==(const Value &other) const
{
    if (m_type != other.m_type)
        return false;
    switch (m_type) {
    case Type::Empty: return true;
    case Type::Number:
    case Type::Boolean: return m_number == other.m_number;
    case Type::Text: return m_text == other.m_text;
    case Type::Error: return m_error == other.m_error;
    }
    return false;
}

} // namespace sheet
