#include "common/cp1252.h"

#include <array>

namespace cp1252 {
namespace {

// 0x80..0x9F; the undefined bytes 81 8D 8F 90 9D map to their C1 control points.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

QChar decodeByte(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return QChar(kHigh[byte - 0x80]);
    return QChar(byte);
}

QString decode(const QByteArray &bytes)
{
    QString out;
    out.resize(bytes.size());
    QChar *dst = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        dst[i] = decodeByte(static_cast<unsigned char>(bytes[i]));
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

QByteArray encode(const QString &text, char replacement, bool *lossless)
{
    QByteArray out;
    out.resize(text.size());
    bool ok = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        unsigned char b;
        if (encodeChar(text[i], b)) {
            out[i] = static_cast<char>(b);
        } else {
            out[i] = replacement;
            ok = false;
        }
    }
    if (lossless)
        *lossless = ok;
    return out;
}

bool canEncode(const QString &text)
{
    unsigned char b;
    for (QChar ch : text)
        if (!encodeChar(ch, b))
            return false;
    return true;
}

} // namespace cp1252
