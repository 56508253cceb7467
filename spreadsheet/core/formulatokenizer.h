// First stage of the formula engine: splits formula text into tokens. Works on its own so
// that editors can colour or check a formula without compiling it.
#pragma once

#include "spreadsheet/core/formula.h"

#include <QString>

#include <string_view>
#include <vector>

namespace sheet {

enum class TokenType {
    Number, // number
    String, // text (quotes removed, doubled quotes undone)
    Error, // "#DIV/0!"... (text kept in `text`)
    Reference, // cell or range, with an optional sheet (see the fields below)
    Function, // a name directly followed by "(" (the "(" is not part of the token)
    Name, // any other word (TRUE, FALSE, unknown names)
    Operator, // + - * / ^ & = <> < <= > >= %
    LeftParen,
    RightParen,
    Separator, // ";"
    End,
};

struct Token
{
    TokenType type = TokenType::End;
    QString text; // operator, name, error text or string content
    double number = 0;
    int position = 0; // offset in the formula text, for messages
    // Reference
    QString sheetName; // empty: the formula's own sheet
    bool hasSheet = false;
    bool isRange = false;
    bool invalid = false; // "#REF!" inside a reference
    RefEnd a;
    RefEnd b;
};

// Throws VelmoraError with a French message on a character the language does not know.
std::vector<Token> tokenizeFormula(const QString &text, Dialect dialect);

// The value of "-?digits(.digits)?([eE][+-]?digits)?" read straight from its ASCII bytes,
// correctly rounded (the same value as any exact conversion); false for any other text and
// for values out of the normal range, which the caller leaves to a general conversion.
bool plainDecimalValue(std::string_view text, double &value);

// The value of a number constant as the tokenizer reads it: ASCII digits, "." as the
// decimal point, an optional exponent ("12", "1.5", "2e-3"). False when it is not a finite
// number.
bool formulaNumberValue(std::string_view digits, double &value);

// Parses "$A$1"-style cell text at `pos` (no sheet); advances pos on success.
bool scanCellReference(const QString &text, int &pos, RefEnd &out);

} // namespace sheet
