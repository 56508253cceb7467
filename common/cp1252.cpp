#include "common/cp1252.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <cstring>

namespace cp1252 {
namespace {

// 0x80..0x9F; the undefined bytes 81 8D 8F 90 9D map to their C1 control points.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Windows-1252 is Latin-1 except for 0x80..0x9F: text is widened or narrowed at Latin-1
// speed, then the few bytes of that range are mended.
constexpr quint64 kOnes = 0x0101010101010101ULL;
constexpr quint64 kHighs = 0x8080808080808080ULL;

// Whether some byte of s[0..n) lies in 0x80..0x9F (top three bits 100), eight at a time.
bool hasC1Byte(const char *s, qsizetype n)
{
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 w;
        std::memcpy(&w, s + i, 8);
        const quint64 x = (w & (kOnes * 0xE0)) ^ kHighs; // a zero byte where the top bits are 100
        if (((x - kOnes) & ~x & kHighs) != 0)
            return true;
    }
    for (; i < n; ++i)
        if (static_cast<unsigned char>(s[i]) - 0x80u < 0x20u)
            return true;
    return false;
}

// Each byte as the character of the same code, sixteen at a time where the processor allows.
void widenLatin1(const char *s, qsizetype n, char16_t *d)
{
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(d + i), _mm_unpacklo_epi8(a, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(d + i + 8), _mm_unpackhi_epi8(a, zero));
    }
#endif
    for (; i < n; ++i)
        d[i] = static_cast<unsigned char>(s[i]);
}

// Narrows UTF-16 to one byte per character, sixteen at a time where the processor allows;
// false when some character is above U+00FF (its byte is then meaningless).
bool narrowLatin1(const char16_t *s, qsizetype n, char *d)
{
    qsizetype i = 0;
    bool latin1 = true;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    __m128i high = zero;
    for (; i + 16 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i + 8));
        high = _mm_or_si128(high, _mm_or_si128(_mm_srli_epi16(a, 8), _mm_srli_epi16(b, 8)));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(d + i), _mm_packus_epi16(a, b));
    }
    latin1 = _mm_movemask_epi8(_mm_cmpeq_epi8(high, zero)) == 0xFFFF;
#endif
    char16_t above = 0;
    for (; i < n; ++i) {
        above |= s[i] & 0xFF00;
        d[i] = static_cast<char>(s[i]);
    }
    return latin1 && above == 0;
}

} // namespace

QChar decodeByte(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return QChar(kHigh[byte - 0x80]);
    return QChar(byte);
}

void decodeInto(const char *bytes, qsizetype n, char16_t *out)
{
    widenLatin1(bytes, n, out);
    if (!hasC1Byte(bytes, n))
        return;
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0x80 && b <= 0x9F)
            out[i] = kHigh[b - 0x80];
    }
}

QString decode(const QByteArray &bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    decodeInto(bytes.constData(), bytes.size(), reinterpret_cast<char16_t *>(out.data()));
    return out;
}

bool encodeChar(QChar ch, unsigned char &byte)
{
    const char16_t u = ch.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
        byte = static_cast<unsigned char>(u);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == u) {
            byte = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

bool encodeInto(QStringView text, char *out, char replacement)
{
    // Latin-1 bytes 0x80..0x9F are other characters in Windows-1252.
    if (narrowLatin1(text.utf16(), text.size(), out) && !hasC1Byte(out, text.size()))
        return true;
    bool lossless = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        unsigned char b;
        if (encodeChar(text[i], b)) {
            out[i] = static_cast<char>(b);
        } else {
            out[i] = replacement;
            lossless = false;
        }
    }
    return lossless;
}

QByteArray encode(const QString &text, char replacement, bool *lossless)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    const bool ok = encodeInto(text, out.data(), replacement);
    if (lossless)
        *lossless = ok;
    return out;
}

bool canEncode(QStringView text)
{
    // Plain Latin-1 (the usual case) is passed a block at a time.
    char block[512];
    for (qsizetype start = 0; start < text.size(); start += qsizetype(sizeof block)) {
        const QStringView part = text.sliced(start, std::min(text.size() - start, qsizetype(sizeof block)));
        if (narrowLatin1(part.utf16(), part.size(), block) && !hasC1Byte(block, part.size()))
            continue;
        unsigned char b;
        for (QChar ch : part)
            if (!encodeChar(ch, b))
                return false;
    }
    return true;
}

} // namespace cp1252
