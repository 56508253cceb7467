// The pocket calculator's state machine: a chain calculator with immediate execution
// (each operator completes the pending operation from left to right, no precedence).
// Failures throw VelmoraError and leave the state as it was before the failing step.
#pragma once

#include "common/real48.h"

#include <QString>

class PocketCalculator
{
public:
    // Results carry about 12 significant decimal digits (40 bits). A result is shown with
    // the fewest significant digits, at most 12, that stay within the rounding error of the
    // step that produced it (the operands' own rounding to 40 bits and that of the result),
    // so binary noise never reaches the display (19,99 - 9,99 shows 10, not 9,99999999999)
    // and no digit the six-byte value really holds is dropped.
    static constexpr int kShownDigits = 12;

    // Activation and "C": empty display, accumulator and operand 0, no operator pending.
    // The new-entry flag keeps its value.
    void clear();

    void digit(int d);   // 0 to 9
    void comma();        // appends "," without starting a new entry
    void equals();
    void setOperator(QChar op); // "+", "-", "*" or "/": equals, then op is pending
    void reciprocal();
    void squareRoot();

    const QString &display() const { return m_display; }
    Real48 accumulator() const { return m_accumulator; }
    Real48 operand() const { return m_operand; }
    QChar pendingOperator() const { return m_pending; } // QChar() when none
    bool accumulatorSet() const { return m_accumulatorSet; }
    bool newEntry() const { return m_newEntry; }

    // The text of `value`, known to within `tolerance`.
    static QString formatResult(long double value, long double tolerance);
    // Half a unit in the last place of a six-byte value of this magnitude.
    static long double halfUlp(long double value);

private:
    struct Outcome { Real48 result; long double tolerance; };

    long double readDisplay() const; // throws notAFloat
    Outcome apply(Real48 left, Real48 right) const;
    void showResult(long double shown, long double tolerance, Real48 stored);

    QString m_display;
    Real48 m_accumulator;
    Real48 m_operand;
    QChar m_pending;
    bool m_accumulatorSet = false;
    bool m_newEntry = false;
};
