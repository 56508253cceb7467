// The pocket calculator's state machine: a chain calculator with immediate execution
// (each operator completes the pending operation from left to right, no precedence).
// Failures throw VelmoraError and leave the state as it was before the failing step.
#pragma once

#include "common/real48.h"

#include <QString>

class PocketCalculator
{
public:
    // Along with every value it holds, the calculator keeps how far that value may lie from
    // the exact result of the numbers typed: nothing for a number typed or computed
    // exactly (999999999998 + 1), the rounding of a decimal such as 19,99 to 40 bits, and
    // what each operation adds to its operands' doubt. A result is shown with the fewest
    // significant digits that stay within that doubt, so binary noise never reaches the
    // display (19,99 - 9,99 shows 10, not 9,99999999999) and no digit the six-byte value
    // determines is dropped (999999999998 + 1 shows 999999999999). An inexact result shows
    // at most 12 digits (40 bits hold about 12); an exact one up to the 15 of the general
    // format, when the text stays short enough.
    static constexpr int kShownDigits = 12;
    static constexpr int kExactDigits = 15;

    // Activation and "C": empty display, accumulator and operand 0, no operator pending.
    // The new-entry flag keeps its value.
    void clear();

    void digit(int d); // 0 to 9
    void comma(); // appends "," without starting a new entry
    void backspace(); // removes the last character typed (not a result's)
    void clearEntry(); // the number being typed (or the result shown) becomes 0
    void equals();
    void setOperator(QChar op); // "+", "-", "*" or "/": equals, then op is pending
    void reciprocal();
    void squareRoot();

    const QString &display() const { return m_display; }
    Real48 accumulator() const { return m_accumulator; }
    Real48 operand() const { return m_operand; }
    // How far the accumulator may lie from the exact result: 0 when it is exact, infinity
    // when nothing is known (a divisor whose doubt reaches zero).
    long double accumulatorError() const { return m_accumulatorError; }
    QChar pendingOperator() const { return m_pending; } // QChar() when none
    bool accumulatorSet() const { return m_accumulatorSet; }
    bool newEntry() const { return m_newEntry; }

    // The text of `value`, known to lie within `error` of the exact result.
    static QString formatResult(long double value, long double error);
    // Half a unit in the last place of a six-byte value of this magnitude.
    static long double halfUlp(long double value);
    // How far `text`, a decimal number that reads as `parsed`, lies from `stored`, the
    // six-byte value it was stored as (0 when the decimal is that value exactly).
    static long double entryError(const QString &text, long double parsed, long double stored);

private:
    struct Known
    {
        Real48 value;
        long double error = 0; // how far value may lie from the exact number
    };

    Known readDisplay() const; // throws notAFloat
    Known apply(const Known &left, const Known &right) const;
    void showResult(const Known &result);

    QString m_display;
    Real48 m_accumulator;
    long double m_accumulatorError = 0;
    Real48 m_operand;
    QChar m_pending;
    bool m_accumulatorSet = false;
    bool m_newEntry = false;
};
