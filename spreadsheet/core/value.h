// A cell value: nothing, a number, a text, a boolean or an error. Errors travel through the
// arithmetic as values ("#DIV/0!" in a cell makes every cell that uses it "#DIV/0!").
#pragma once

#include <QString>

namespace sheet {

// Error values, each with the text the user sees.
enum class ErrorCode : unsigned char {
    None = 0,
    Null, // "#NULL!"  : empty intersection (kept for files that carry it)
    DivZero, // "#DIV/0!" : division by zero, AVERAGE of nothing
    Value, // "#VALUE!" : an operand of the wrong kind ("abc"+1)
    Ref, // "#REF!"   : a reference to a deleted cell, row, column or sheet
    Name, // "#NAME?"  : an unknown function or name
    Num, // "#NUM!"   : a number out of the function's domain (SQRT(-1))
    NA, // "#N/A"    : nothing found (VLOOKUP, MATCH)
    Circular, // "#CIRC!"  : the cell belongs to a circular reference
};

// As files and formulas write the error ("#VALUE!").
QString errorText(ErrorCode code);
// As a cell shows it to French users ("#VALEUR!", "#NOM?", "#NOMBRE!", "#NUL!").
QString errorDisplayText(ErrorCode code);
// The code for a text such as "#N/A" or "#VALEUR!" (either form, case-insensitive), or None.
ErrorCode errorFromText(const QString &text);

class Value
{
public:
    enum class Type : unsigned char { Empty, Number, Text, Boolean, Error };

    Value() = default;
    static Value number(double v);
    static Value text(const QString &s);
    static Value boolean(bool b);
    static Value error(ErrorCode code);

    Type type() const { return m_type; }
    bool isEmpty() const { return m_type == Type::Empty; }
    bool isNumber() const { return m_type == Type::Number; }
    bool isText() const { return m_type == Type::Text; }
    bool isBoolean() const { return m_type == Type::Boolean; }
    bool isError() const { return m_type == Type::Error; }

    double asNumber() const { return m_number; } // number, or boolean as 0/1
    const QString &asText() const { return m_text; } // text only
    bool asBoolean() const { return m_number != 0; }
    ErrorCode errorCode() const { return m_error; }

    bool operator==(const Value &other) const;
    bool operator!=(const Value &other) const { return !(*this == other); }

private:
    Type m_type = Type::Empty;
    ErrorCode m_error = ErrorCode::None;
    double m_number = 0;
    QString m_text;
};

} // namespace sheet
