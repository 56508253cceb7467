#include "common/real48.h"

#include "common/velmoraerror.h"

#include <cmath>

namespace {
// Exponent of the value 1.f * 2^e for the smallest and largest biased exponents (1, 255).
constexpr int kMinExponent = 1 - Real48::kExponentBias; // -128
constexpr int kMaxExponent = 255 - Real48::kExponentBias; // 126
constexpr std::uint64_t kHiddenBit = std::uint64_t(1) << (Real48::kSignificandBits - 1);
} // namespace

long double Real48::round(long double value)
{
    if (std::isnan(value))
        throw floaterror::invalidOperation();
    if (std::isinf(value))
        throw VelmoraError::floatOverflow();
    if (value == 0.0L)
        return 0.0L;
    int e = 0;
    const long double m = std::frexp(value, &e); // value = m * 2^e, 0.5 <= |m| < 1
    // nearbyint rounds halves to even in the default rounding mode.
    const long double q = std::nearbyint(std::ldexp(m, kSignificandBits));
    const long double rounded = std::ldexp(q, e - kSignificandBits);
    const int exponent = std::ilogb(rounded); // rounded = 1.f * 2^exponent
    if (exponent > kMaxExponent)
        throw VelmoraError::floatOverflow();
    if (exponent < kMinExponent)
        return 0.0L;
    return rounded;
}

Real48::Real48(long double value) : m_value(static_cast<double>(round(value))) { }

long double Real48::maxValue()
{
    return std::ldexp(static_cast<long double>(2 * kHiddenBit - 1), kMaxExponent - (kSignificandBits - 1));
}

long double Real48::minPositive() { return std::ldexp(1.0L, kMinExponent); }

Real48::Bytes Real48::toBytes() const
{
    Bytes bytes{};
    if (m_value == 0.0)
        return bytes;
    int e = 0;
    const double m = std::frexp(std::fabs(m_value), &e); // |value| = (2m) * 2^(e-1)
    bytes[0] = static_cast<std::uint8_t>(e - 1 + kExponentBias);
    const auto q = static_cast<std::uint64_t>(std::ldexp(m, kSignificandBits));
    const std::uint64_t fraction = q - kHiddenBit;
    for (int i = 0; i < 5; ++i)
        bytes[1 + i] = static_cast<std::uint8_t>(fraction >> (8 * i));
    if (m_value < 0.0)
        bytes[5] |= 0x80;
    return bytes;
}

Real48 Real48::fromBytes(const Bytes &bytes)
{
    Real48 r;
    if (bytes[0] == 0)
        return r;
    std::uint64_t fraction = 0;
    for (int i = 0; i < 5; ++i)
        fraction |= std::uint64_t(bytes[1 + i]) << (8 * i);
    fraction &= kHiddenBit - 1; // drop the sign bit
    const double magnitude =
            std::ldexp(static_cast<double>(kHiddenBit | fraction), bytes[0] - kExponentBias - (kSignificandBits - 1));
    r.m_value = (bytes[5] & 0x80) ? -magnitude : magnitude;
    return r;
}

namespace floaterror {

VelmoraError invalidOperation() { return VelmoraError(QStringLiteral("Opération flottante incorrecte")); }

VelmoraError divisionByZero() { return VelmoraError(QStringLiteral("Division flottante par zéro")); }

VelmoraError notAFloat(const QString &text)
{
    return VelmoraError(QStringLiteral("'%1' n'est pas une valeur flottante correcte").arg(text));
}

} // namespace floaterror
