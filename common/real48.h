// The six-byte real of the calculator, the letter weigher and the euro converter: a binary
// floating value with a 40-bit significand. Arithmetic runs in long double (x87 extended
// precision) and every value stored into a Real48 is rounded to the nearest six-byte value.
#pragma once

#include <array>
#include <cstdint>

class Real48
{
public:
    // Byte layout: byte 0 is the exponent biased by 129 (0 means the value zero); bytes 1
    // to 5 hold the 39-bit fraction, least significant byte first, below an implied leading
    // 1; the top bit of byte 5 is the sign.
    using Bytes = std::array<std::uint8_t, 6>;

    static constexpr int kSignificandBits = 40;
    static constexpr int kExponentBias = 129;

    constexpr Real48() = default;

    // Rounds `value` to the nearest six-byte value (halves to even). A value too small
    // becomes 0; a value too large (or infinite) throws VelmoraError::floatOverflow, and
    // a NaN throws the invalid-operation error (floaterror::invalidOperation()).
    explicit Real48(long double value);

    // The value rounded as a Real48 would hold it; throws as the constructor does.
    static long double round(long double value);

    // Largest finite value, (2 - 2^-39) * 2^126 (about 1.7E38), and smallest positive
    // value, 2^-128 (about 2.9E-39).
    static long double maxValue();
    static long double minPositive();

    long double value() const { return m_value; }
    double toDouble() const { return m_value; }
    bool isZero() const { return m_value == 0.0; }

    Bytes toBytes() const;
    static Real48 fromBytes(const Bytes &bytes);

    friend bool operator==(Real48 a, Real48 b) { return a.m_value == b.m_value; }
    friend bool operator!=(Real48 a, Real48 b) { return a.m_value != b.m_value; }
    friend bool operator<(Real48 a, Real48 b) { return a.m_value < b.m_value; }

private:
    // A double holds every six-byte value exactly (53 >= 40 bits of significand, and the
    // exponent range is wider), so it is the storage.
    double m_value = 0.0;
};

// The run-time's other floating-point messages, shown by the general error handler.
class VelmoraError;
class QString;
namespace floaterror {
VelmoraError invalidOperation(); // "Opération flottante incorrecte"
VelmoraError divisionByZero(); // "Division flottante par zéro"
VelmoraError notAFloat(const QString &text); // "'%s' n'est pas une valeur flottante correcte"
} // namespace floaterror
