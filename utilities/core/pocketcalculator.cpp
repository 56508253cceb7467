#include "utilities/core/pocketcalculator.h"

#include "common/velmoraerror.h"
#include "utilities/core/decimaltext.h"

#include <cmath>

void PocketCalculator::clear()
{
    m_display.clear();
    m_accumulator = Real48();
    m_operand = Real48();
    m_accumulatorSet = false;
    m_pending = QChar();
}

void PocketCalculator::digit(int d)
{
    if (m_newEntry)
        m_display.clear();
    m_display += QChar(u'0' + d);
    m_newEntry = false;
}

void PocketCalculator::comma()
{
    m_display += u',';
}

long double PocketCalculator::readDisplay() const
{
    long double value = 0;
    if (!decimaltext::parse(m_display, value))
        throw floaterror::notAFloat(m_display);
    return value;
}

long double PocketCalculator::halfUlp(long double value)
{
    if (value == 0.0L || !std::isfinite(value))
        return 0.0L;
    return std::ldexp(1.0L, std::ilogb(value) - Real48::kSignificandBits);
}

PocketCalculator::Outcome PocketCalculator::apply(Real48 left, Real48 right) const
{
    // Each operand is known to within half its last unit; the error bound of the result
    // follows the operation (a subtraction of close values magnifies it) and its storing.
    const long double a = left.value();
    const long double b = right.value();
    const long double ea = halfUlp(a);
    const long double eb = halfUlp(b);
    long double r = a;
    long double e = ea;
    switch (m_pending.unicode()) {
    case u'+': r = a + b; e = ea + eb; break;
    case u'-': r = a - b; e = ea + eb; break;
    case u'*': r = a * b; e = std::fabs(a) * eb + std::fabs(b) * ea; break;
    case u'/':
        if (b == 0.0L)
            throw a == 0.0L ? floaterror::invalidOperation() : floaterror::divisionByZero();
        r = a / b;
        e = (ea + std::fabs(r) * eb) / std::fabs(b);
        break;
    default: return {left, ea};
    }
    const Real48 stored(r);
    return {stored, e + halfUlp(stored.value())};
}

void PocketCalculator::showResult(long double shown, long double tolerance, Real48 stored)
{
    m_display = formatResult(shown, tolerance);
    m_accumulator = stored;
    m_accumulatorSet = true;
    m_newEntry = true;
}

void PocketCalculator::equals()
{
    if (!m_accumulatorSet) {
        // The first operand: a display that is not a number is silently dropped.
        long double value = 0;
        if (!decimaltext::parse(m_display, value)) {
            m_display.clear();
            return;
        }
        m_accumulator = Real48(value);
        m_accumulatorSet = true;
        m_newEntry = true;
        return;
    }
    m_operand = Real48(readDisplay());
    const Outcome outcome = apply(m_accumulator, m_operand);
    showResult(outcome.result.value(), outcome.tolerance, outcome.result);
}

void PocketCalculator::setOperator(QChar op)
{
    equals();
    m_pending = op;
}

void PocketCalculator::reciprocal()
{
    m_operand = Real48(readDisplay());
    if (m_operand.isZero())
        throw floaterror::divisionByZero();
    const long double x = m_operand.value();
    const long double r = 1.0L / x;
    showResult(r, halfUlp(x) / (x * x) + halfUlp(r), Real48(r));
}

void PocketCalculator::squareRoot()
{
    m_operand = Real48(readDisplay());
    if (m_operand.value() < 0.0L)
        throw floaterror::invalidOperation();
    const long double x = m_operand.value();
    const long double r = std::sqrt(x);
    showResult(r, (r > 0 ? halfUlp(x) / (2 * r) : 0.0L) + halfUlp(r), Real48(r));
}

QString PocketCalculator::formatResult(long double value, long double tolerance)
{
    for (int digits = 1; digits < kShownDigits; ++digits) {
        long double rounded = 0;
        decimaltext::parse(decimaltext::formatGeneral(value, digits), rounded);
        if (std::fabs(rounded - value) <= tolerance)
            return decimaltext::formatGeneral(value, digits);
    }
    return decimaltext::formatGeneral(value, kShownDigits);
}
