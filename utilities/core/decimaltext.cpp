#include "utilities/core/decimaltext.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace decimaltext {
namespace {

// strtold in the "C" locale whatever the process locale is (Qt applications adopt the
// user's locale, which could make strtold expect a comma).
long double strtoldC(const char *text)
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return strtold_l(text, nullptr, c);
}

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Checks the shape sign? digits [, digits] [E sign? digits] and returns it in C syntax.
bool toCSyntax(const QString &text, QByteArray &out)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    const qsizetype n = t.size();
    if (i < n && (t[i] == u'+' || t[i] == u'-'))
        out += char(t[i++].unicode());
    int mantissaDigits = 0;
    while (i < n && isDigit(t[i])) {
        out += char(t[i++].unicode());
        ++mantissaDigits;
    }
    if (i < n && t[i] == u',') {
        out += '.';
        ++i;
        while (i < n && isDigit(t[i])) {
            out += char(t[i++].unicode());
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i < n && (t[i] == u'E' || t[i] == u'e')) {
        out += 'e';
        ++i;
        if (i < n && (t[i] == u'+' || t[i] == u'-'))
            out += char(t[i++].unicode());
        int exponentDigits = 0;
        while (i < n && isDigit(t[i])) {
            out += char(t[i++].unicode());
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return false;
    }
    return i == n;
}

} // namespace

bool parse(const QString &text, long double &value)
{
    QByteArray c;
    if (!toCSyntax(text, c))
        return false;
    value = strtoldC(c.constData());
    return true;
}

QString formatGeneral(long double value, int digits)
{
    if (value == 0.0L || digits < 1)
        return QStringLiteral("0");
    // "%.*Le" rounds correctly to the wanted significant digits: d.ddde±x.
    char buf[96];
    // As "%.*Le", whatever the C library's locale (a French one would write a comma).
    const char *end =
            std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, std::min(digits, 60) - 1).ptr;
    const QString s = QString::fromLatin1(buf, end - buf);
    const qsizetype ePos = s.indexOf(u'e');
    const bool negative = s.startsWith(u'-');
    QString mantissa = s.left(ePos).remove(u'-').remove(u'.');
    const int exponent = s.mid(ePos + 1).toInt();
    while (mantissa.size() > 1 && mantissa.endsWith(u'0'))
        mantissa.chop(1);

    QString out = negative ? QStringLiteral("-") : QString();
    if (exponent >= 15 || exponent < -5) {
        out += mantissa[0];
        if (mantissa.size() > 1)
            out += u',' + mantissa.mid(1);
        out += u'E' + QString::number(exponent);
    } else if (exponent >= 0) {
        const int intDigits = exponent + 1;
        if (mantissa.size() <= intDigits) {
            out += mantissa + QString(intDigits - mantissa.size(), u'0');
        } else {
            out += mantissa.left(intDigits) + u',' + mantissa.mid(intDigits);
        }
    } else {
        out += QStringLiteral("0,") + QString(-exponent - 1, u'0') + mantissa;
    }
    return out;
}

} // namespace decimaltext
