#include "utilities/core/pocketcalculator.h"

#include "common/velmoraerror.h"
#include "utilities/core/decimaltext.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr long double kUnknown = std::numeric_limits<long double>::infinity();

// A bound worked out in long double is itself rounded: widened by a hair, it stays a bound.
long double widened(long double bound) { return bound * (1.0L + 0x1p-50L); }

// Half a unit in the last place of a long double (64 bits of significand).
long double halfUlp64(long double value)
{
    if (value == 0.0L)
        return LDBL_TRUE_MIN;
    return std::ldexp(1.0L, std::ilogb(value) - 64);
}

// The significant digits of a decimal number and the power of ten of the last one, without
// sign, leading or trailing zeros: "12,50" gives ("125", -1), "1,5E20" ("15", 19). Zero
// has no digits.
struct Digits
{
    QByteArray digits;
    int exponent = 0;
    bool operator==(const Digits &) const = default;
};

Digits normalised(QByteArray digits, int exponent)
{
    qsizetype lead = 0;
    while (lead < digits.size() && digits[lead] == '0')
        ++lead;
    digits.remove(0, lead);
    while (!digits.isEmpty() && digits.endsWith('0')) {
        digits.chop(1);
        ++exponent;
    }
    return {digits, digits.isEmpty() ? 0 : exponent};
}

// The digits of a text that decimaltext::parse accepts.
Digits digitsOfText(const QString &text)
{
    QByteArray digits;
    int fraction = 0;
    bool afterComma = false;
    int exponent = 0;
    const QString t = text.trimmed();
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c.isDigit()) {
            digits += char(c.unicode());
            fraction += afterComma ? 1 : 0;
        } else if (c == u',') {
            afterComma = true;
        } else if (c == u'E' || c == u'e') {
            exponent = t.mid(i + 1).toInt();
            break;
        }
    }
    return normalised(digits, exponent - fraction);
}

// The exact decimal digits of a long double (every binary fraction ends in decimal).
Digits digitsOfValue(long double value)
{
    if (value == 0.0L)
        return {};
    // 400 digits hold the whole expansion of any value of the calculator's range; a longer
    // one comes back rounded and can only fail to compare equal, which is the safe side.
    char buf[480];
    // As "%.400Le", whatever the C library's locale (a French one would write a comma).
    const char *end = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 400).ptr;
    const QByteArray s(buf, end - buf);
    const qsizetype e = s.indexOf('e');
    QByteArray mantissa = s.left(e);
    mantissa.remove(1, 1); // the point after the first digit
    return normalised(mantissa, s.mid(e + 1).toInt() - int(mantissa.size() - 1));
}

// An operation on exact operands: its result stored as a six-byte value, and how far that
// lies from the exact result. `rest` is what the long double result misses of the exact one
// (found exactly with fmal), so an operation whose result fits 40 bits has no error.
struct Step
{
    Real48 result;
    long double error;
};

Step stored(long double approx, long double rest)
{
    const Real48 r(approx);
    const long double e = std::fabs((r.value() - approx) - rest);
    return {r, e == 0.0L ? 0.0L : widened(e)};
}

Step add(long double a, long double b)
{
    // Two-sum: s + t is exactly a + b.
    const long double s = a + b;
    const long double bb = s - a;
    const long double t = (a - (s - bb)) + (b - bb);
    return stored(s, t);
}

Step multiply(long double a, long double b)
{
    const long double p = a * b;
    return stored(p, std::fmal(a, b, -p)); // 40 x 40 bits: p and the rest hold it all
}

Step divide(long double a, long double b)
{
    const long double q = a / b;
    const long double remainder = std::fmal(-q, b, a); // exact: a = q b + remainder
    return stored(q, remainder / b);
}

Step root(long double x)
{
    const long double y = std::sqrt(x);
    if (y == 0.0L)
        return {Real48(), 0.0L};
    const long double remainder = std::fmal(-y, y, x); // exact: x = y^2 + remainder
    return stored(y, remainder / (2 * y));
}

// How far a quotient a / b of values known within ea and eb may lie from the exact one.
long double quotientDoubt(long double a, long double ea, long double b, long double eb)
{
    if (ea == 0.0L && eb == 0.0L)
        return 0.0L;
    if (eb >= std::fabs(b))
        return kUnknown; // the exact divisor may be zero
    return (ea + std::fabs(a / b) * eb) / (std::fabs(b) - eb);
}

long double total(long double propagated, long double step)
{
    if (std::isinf(propagated))
        return kUnknown;
    const long double e = propagated + step;
    return e == 0.0L ? 0.0L : widened(e);
}

} // namespace

void PocketCalculator::clear()
{
    m_display.clear();
    m_accumulator = Real48();
    m_accumulatorError = 0;
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

void PocketCalculator::comma() { m_display += u','; }

void PocketCalculator::backspace()
{
    // Only a number being typed is edited; a result stays whole.
    if (m_newEntry || m_display.isEmpty())
        return;
    m_display.chop(1);
    if (m_display.isEmpty())
        clearEntry();
}

void PocketCalculator::clearEntry()
{
    m_display = QStringLiteral("0");
    m_newEntry = true; // the next digit replaces the 0
}

long double PocketCalculator::halfUlp(long double value)
{
    if (value == 0.0L || !std::isfinite(value))
        return 0.0L;
    return std::ldexp(1.0L, std::ilogb(value) - Real48::kSignificandBits);
}

long double PocketCalculator::entryError(const QString &text, long double parsed, long double stored)
{
    const long double rounding = std::fabs(stored - parsed); // exact: parsed cut to 40 bits
    if (digitsOfText(text) == digitsOfValue(parsed))
        return rounding;
    return widened(rounding + halfUlp64(parsed)); // the decimal did not fit a long double either
}

PocketCalculator::Known PocketCalculator::readDisplay() const
{
    long double value = 0;
    if (!decimaltext::parse(m_display, value))
        throw floaterror::notAFloat(m_display);
    const Real48 r(value);
    return {r, entryError(m_display, value, r.value())};
}

PocketCalculator::Known PocketCalculator::apply(const Known &left, const Known &right) const
{
    const long double a = left.value.value();
    const long double b = right.value.value();
    const long double ea = left.error;
    const long double eb = right.error;
    switch (m_pending.unicode()) {
    case u'+': {
        const Step s = add(a, b);
        return {s.result, total(ea + eb, s.error)};
    }
    case u'-': {
        const Step s = add(a, -b);
        return {s.result, total(ea + eb, s.error)};
    }
    case u'*': {
        const Step s = multiply(a, b);
        return {s.result, total(std::fabs(a) * eb + std::fabs(b) * ea + ea * eb, s.error)};
    }
    case u'/': {
        if (b == 0.0L)
            throw a == 0.0L ? floaterror::invalidOperation() : floaterror::divisionByZero();
        const Step s = divide(a, b);
        return {s.result, total(quotientDoubt(a, ea, b, eb), s.error)};
    }
    default: return left;
    }
}

void PocketCalculator::showResult(const Known &result)
{
    m_display = formatResult(result.value.value(), result.error);
    m_accumulator = result.value;
    m_accumulatorError = result.error;
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
        m_accumulatorError = entryError(m_display, value, m_accumulator.value());
        m_accumulatorSet = true;
        m_newEntry = true;
        return;
    }
    const Known operand = readDisplay();
    m_operand = operand.value;
    showResult(apply({m_accumulator, m_accumulatorError}, operand));
}

void PocketCalculator::setOperator(QChar op)
{
    equals();
    m_pending = op;
}

void PocketCalculator::reciprocal()
{
    const Known x = readDisplay();
    m_operand = x.value;
    if (m_operand.isZero())
        throw floaterror::divisionByZero();
    const Step s = divide(1.0L, x.value.value());
    showResult({s.result, total(quotientDoubt(1.0L, 0.0L, x.value.value(), x.error), s.error)});
}

void PocketCalculator::squareRoot()
{
    const Known x = readDisplay();
    m_operand = x.value;
    const long double v = x.value.value();
    if (v < 0.0L)
        throw floaterror::invalidOperation();
    const Step s = root(v);
    // The root of a value known within e moves by e / (sqrt(v) + sqrt(v - e)) at most.
    long double doubt = 0.0L;
    if (x.error > 0.0L) {
        const long double below = std::sqrt(std::fmax(0.0L, v - x.error));
        doubt = below + std::sqrt(v) > 0.0L ? x.error / (below + std::sqrt(v)) : std::sqrt(x.error);
    }
    showResult({s.result, total(doubt, s.error)});
}

QString PocketCalculator::formatResult(long double value, long double error)
{
    if (value == 0.0L)
        return QStringLiteral("0");
    if (std::isinf(error))
        return decimaltext::formatGeneral(value, kShownDigits);
    if (std::fabs(value) <= error)
        return QStringLiteral("0"); // nothing but noise: the exact result may well be 0
    const int most = error == 0.0L ? kExactDigits : kShownDigits;
    for (int digits = 1; digits <= most; ++digits) {
        const QString text = decimaltext::formatGeneral(value, digits);
        if (digits > kShownDigits && text.contains(u',') && text.size() > 15)
            break; // an exact value this long is shown as an inexact one
        // The text read back carries the rounding of a long double; the doubt often equals
        // the distance to the exact result (errors of one sign add up), so that rounding
        // must not tip the comparison.
        long double shown = 0;
        decimaltext::parse(text, shown);
        if (std::fabs(shown - value) <= error + 4 * halfUlp64(value))
            return text;
    }
    return decimaltext::formatGeneral(value, kShownDigits);
}
