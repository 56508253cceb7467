#include "spreadsheet/core/numberformat.h"

#include "common/frenchformat.h"

#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace sheet {

namespace {

const QDate kEpoch(1899, 12, 30);

bool isSpaceLike(QChar c) { return c == u' ' || c == QChar(0x00A0) || c == QChar(0x202F); }

QString stripSpaces(const QString &s)
{
    QString out;
    for (QChar c : s)
        if (!isSpaceLike(c))
            out += c;
    return out;
}

int expandYear(int year, int digits)
{
    if (digits <= 2)
        return year < 30 ? 2000 + year : 1900 + year;
    return year;
}

bool parseDatePart(const QString &t, QDate &date)
{
    static const QRegularExpression dmy(QStringLiteral("^(\\d{1,2})[/.-](\\d{1,2})(?:[/.-](\\d{1,4}))?$"));
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    QRegularExpressionMatch m = iso.match(t);
    if (m.hasMatch()) {
        date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        return date.isValid();
    }
    m = dmy.match(t);
    if (!m.hasMatch())
        return false;
    // "1.5" and "1-5" are too ambiguous without a year.
    if (m.captured(3).isEmpty() && !t.contains(u'/'))
        return false;
    const int year = m.captured(3).isEmpty() ? QDate::currentDate().year()
                                             : expandYear(m.captured(3).toInt(), int(m.captured(3).size()));
    date = QDate(year, m.captured(2).toInt(), m.captured(1).toInt());
    return date.isValid();
}

bool parseTimePart(const QString &t, double &fraction, bool &withSeconds)
{
    static const QRegularExpression re(QStringLiteral("^(\\d{1,4}):(\\d{1,2})(?::(\\d{1,2})(?:[,.](\\d+))?)?$"));
    const QRegularExpressionMatch m = re.match(t);
    if (!m.hasMatch())
        return false;
    const int h = m.captured(1).toInt(), mi = m.captured(2).toInt();
    const int s = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
    if (mi > 59 || s > 59)
        return false;
    double seconds = h * 3600.0 + mi * 60.0 + s;
    if (!m.captured(4).isEmpty())
        seconds += (QStringLiteral("0.") + m.captured(4)).toDouble();
    fraction = seconds / 86400.0;
    withSeconds = !m.captured(3).isEmpty();
    return true;
}

bool parsePlainNumber(const QString &text, double &value, QString &format)
{
    static const QRegularExpression re(QStringLiteral(
            "^([+-]?)(\\d{1,3}(?:[ \\x{00A0}\\x{202F}]\\d{3})+|\\d*)(?:,(\\d*))?(?:[eE]([+-]?\\d{1,3}))?$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return false;
    const QString intPart = stripSpaces(m.captured(2));
    const QString decimals = m.captured(3);
    if (intPart.isEmpty() && decimals.isEmpty())
        return false;
    QString c = m.captured(1) + (intPart.isEmpty() ? QStringLiteral("0") : intPart);
    if (!decimals.isEmpty())
        c += u'.' + decimals;
    if (!m.captured(4).isEmpty())
        c += u'e' + m.captured(4);
    bool ok = false;
    value = c.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return false;
    format.clear();
    if (m.captured(2).size() != intPart.size())
        format = decimals.isEmpty() ? QStringLiteral("# ##0")
                                    : QStringLiteral("# ##0,") + QString(decimals.size(), u'0');
    if (!m.captured(4).isEmpty())
        format = QStringLiteral("0,00E+00");
    return true;
}

} // namespace

double dateToSerial(const QDate &date) { return double(kEpoch.daysTo(date)); }

QDate serialToDate(double serial)
{
    if (!std::isfinite(serial) || std::fabs(serial) > 3.0e6)
        return QDate();
    return kEpoch.addDays(qint64(std::floor(serial + 1e-9)));
}

QDateTime serialToDateTime(double serial)
{
    const QDate date = serialToDate(serial);
    if (!date.isValid())
        return QDateTime();
    double fraction = serial - std::floor(serial + 1e-9);
    qint64 seconds = qint64(std::llround(fraction * 86400.0));
    if (seconds >= 86400)
        seconds = 86399;
    if (seconds < 0)
        seconds = 0;
    // A serial number is a wall-clock date and time, in no time zone: taken as local time, the
    // hour the clocks skip in spring would be no valid time, and asking the zone costs a call
    // to the C library's time zone setup per value.
    return QDateTime(date, QTime(0, 0).addSecs(int(seconds)), Qt::UTC);
}

bool parseEntryNumber(const QString &input, double &value, QString &format)
{
    QString t = input.trimmed();
    if (t.isEmpty())
        return false;
    if (t.endsWith(u'%')) {
        QString inner = t.left(t.size() - 1).trimmed();
        if (!parsePlainNumber(inner, value, format))
            return false;
        value /= 100.0;
        const qsizetype comma = inner.indexOf(u',');
        format = comma < 0 ? QStringLiteral("0%")
                           : QStringLiteral("0,") + QString(inner.size() - comma - 1, u'0') + u'%';
        return true;
    }
    if (t.endsWith(QChar(0x20AC))) {
        QString inner = t.left(t.size() - 1).trimmed();
        if (!parsePlainNumber(inner, value, format))
            return false;
        format = QStringLiteral("# ##0,00 \u20AC");
        return true;
    }
    if (parsePlainNumber(t, value, format))
        return true;
    // Date, time, or both separated by a space.
    const qsizetype space = t.indexOf(u' ');
    QDate date;
    double fraction = 0;
    bool withSeconds = false;
    if (space > 0) {
        if (parseDatePart(t.left(space), date) && parseTimePart(t.mid(space + 1).trimmed(), fraction, withSeconds)) {
            value = dateToSerial(date) + fraction;
            format = QStringLiteral("dd/mm/yyyy hh:nn");
            return true;
        }
        return false;
    }
    if (parseDatePart(t, date)) {
        value = dateToSerial(date);
        format = QStringLiteral("dd/mm/yyyy");
        return true;
    }
    if (parseTimePart(t, fraction, withSeconds)) {
        value = fraction;
        format = withSeconds ? QStringLiteral("hh:nn:ss") : QStringLiteral("hh:nn");
        return true;
    }
    return false;
}

double snap15(double value)
{
    if (value == 0 || !std::isfinite(value))
        return value;
    // Through the digits of "%.15g", written and read without the C library's locale (a
    // French environment makes printf write a decimal comma, which strtod then stops at).
    char buffer[40];
    const char *end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15).ptr;
    double snapped = value;
    std::from_chars(buffer, end, snapped);
    return snapped;
}

namespace {
double scaled(double value, int digits, double (*op)(double))
{
    if (!std::isfinite(value) || digits > 300 || digits < -300)
        return value;
    if (digits > 15) {
        // Past the precision of a double there is nothing to round.
        return value;
    }
    const double factor = std::pow(10.0, std::abs(digits));
    double y = digits >= 0 ? value * factor : value / factor;
    if (!std::isfinite(y))
        return value;
    y = op(snap15(y));
    return digits >= 0 ? y / factor : y * factor;
}
double halfAway(double y) { return y < 0 ? -std::floor(-y + 0.5) : std::floor(y + 0.5); }
double towardZero(double y) { return std::trunc(y); }
double awayFromZero(double y) { return y < 0 ? -std::ceil(-y) : std::ceil(y); }
} // namespace

double roundHalfAway(double value, int digits) { return scaled(value, digits, halfAway); }
double roundDown(double value, int digits) { return scaled(value, digits, towardZero); }
double roundUp(double value, int digits) { return scaled(value, digits, awayFromZero); }

QString formatStandard(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    if (!std::isfinite(value))
        return QStringLiteral("#NUM!");
    const double a = std::fabs(value);
    if (a >= 1e-5 && a < 1e15) {
        char buffer[64];
        char *end;
        if (value == std::trunc(value)) { // most numbers shown: their digits
            end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(value)).ptr;
        } else {
            const int magnitude = int(std::floor(std::log10(a)));
            const int decimals = std::max(0, 9 - magnitude);
            end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, std::min(decimals, 20))
                          .ptr;
            if (std::memchr(buffer, '.', size_t(end - buffer))) {
                while (end[-1] == '0')
                    --end;
                if (end[-1] == '.')
                    --end;
            }
        }
        if (end - buffer == 2 && buffer[0] == '-' && buffer[1] == '0')
            return QStringLiteral("0");
        for (char *p = buffer; p < end; ++p)
            if (*p == '.')
                *p = ',';
        return QString::fromLatin1(buffer, end - buffer);
    }
    char buffer[64];
    const char *end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 5).ptr;
    QString s = QString::fromLatin1(buffer, end - buffer).toUpper(); // as "%.5E", in any locale
    // Trim the mantissa's trailing zeros: 1.50000E+20 -> 1.5E+20
    const qsizetype e = s.indexOf(u'E');
    QString mantissa = s.left(e);
    QString exponent = s.mid(e + 1);
    while (mantissa.contains(u'.') && mantissa.endsWith(u'0'))
        mantissa.chop(1);
    if (mantissa.endsWith(u'.'))
        mantissa.chop(1);
    const bool negativeExp = exponent.startsWith(u'-');
    exponent = exponent.mid(1);
    while (exponent.size() > 2 && exponent.startsWith(u'0'))
        exponent = exponent.mid(1);
    s = mantissa + u'E' + (negativeExp ? u'-' : u'+') + exponent;
    s.replace(u'.', u',');
    return s;
}

namespace {

QStringList splitSections(const QString &pattern)
{
    QStringList sections;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'"')
            quoted = !quoted;
        if (c == u'\\' && i + 1 < pattern.size()) {
            current += c;
            current += pattern[++i];
            continue;
        }
        if (c == u';' && !quoted) {
            sections << current;
            current.clear();
            continue;
        }
        current += c;
    }
    sections << current;
    return sections;
}

// The section of a pattern that shows `value`; `writeMinus` is cleared when a section of
// its own shows the negative numbers.
QString sectionFor(double value, const QString &pattern, bool &writeMinus)
{
    const QStringList sections = splitSections(pattern);
    if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty()) {
        writeMinus = false;
        return sections[1];
    }
    if (value == 0 && sections.size() >= 3)
        return sections[2];
    return sections[0];
}

// Removes the colour code at the start of a section ("[Rouge]") and returns its colour, -1
// when there is none. Other bracketed codes stay.
int takeColour(QString &section)
{
    static const std::pair<const char16_t *, int> colours[] = {
            {u"rouge", 0xff0000},   {u"red", 0xff0000},   {u"bleu", 0x0000ff},  {u"blue", 0x0000ff},
            {u"vert", 0x00ff00},    {u"green", 0x00ff00}, {u"noir", 0x000000},  {u"black", 0x000000},
            {u"blanc", 0xffffff},   {u"white", 0xffffff}, {u"jaune", 0xffff00}, {u"yellow", 0xffff00},
            {u"magenta", 0xff00ff}, {u"cyan", 0x00ffff}};
    if (!section.startsWith(u'['))
        return -1;
    const qsizetype end = section.indexOf(u']');
    if (end < 0)
        return -1;
    const QString name = section.mid(1, end - 1).toLower();
    for (const auto &[n, rgb] : colours)
        if (name == QStringView(n)) {
            section.remove(0, end + 1);
            return rgb;
        }
    return -1;
}

// The date letters of French patterns (jj/mm/aaaa) in the program's own (dd/mm/yyyy).
QString normaliseDatePattern(const QString &p)
{
    QString out;
    bool quoted = false;
    for (QChar c : p) {
        if (c == u'"')
            quoted = !quoted;
        if (quoted) {
            out += c;
            continue;
        }
        const QChar l = c.toLower();
        if (l == u'j')
            out += u'd';
        else if (l == u'a')
            out += u'y';
        else if (l == u'd' || l == u'm' || l == u'y' || l == u'h' || l == u'n' || l == u's')
            out += l;
        else
            out += c;
    }
    return out;
}

struct NumberPattern
{
    QString prefix;
    QString suffix;
    int minIntegerDigits = 0;
    int minDecimals = 0;
    int maxDecimals = 0;
    bool grouping = false;
    bool percent = false;
    bool scientific = false;
    int exponentDigits = 2;
    bool exponentPlus = true;
};

NumberPattern parseNumberPattern(const QString &p)
{
    NumberPattern np;
    enum { Prefix, Integer, Decimals, Exponent, Suffix } stage = Prefix;
    for (qsizetype i = 0; i < p.size(); ++i) {
        const QChar c = p[i];
        QString literal;
        if (c == u'"') {
            const qsizetype end = p.indexOf(u'"', i + 1);
            literal = p.mid(i + 1, (end < 0 ? p.size() : end) - i - 1);
            i = end < 0 ? p.size() : end;
        } else if (c == u'\\' && i + 1 < p.size()) {
            literal = p[++i];
        } else if (c == u'0' || c == u'#' || c == u'?') {
            if (stage == Prefix || stage == Integer) {
                stage = Integer;
                if (c == u'0')
                    ++np.minIntegerDigits;
            } else if (stage == Decimals) {
                ++np.maxDecimals;
                if (c == u'0')
                    np.minDecimals = np.maxDecimals;
            } else if (stage == Exponent) {
                ++np.exponentDigits;
            } else {
                literal = c;
            }
            if (!literal.isEmpty())
                np.suffix += literal;
            continue;
        } else if (c == u',' && (stage == Integer || stage == Prefix)) {
            stage = Decimals;
            continue;
        } else if ((isSpaceLike(c) || c == u'.') && stage == Integer && i + 1 < p.size()
                   && (p[i + 1] == u'0' || p[i + 1] == u'#' || p[i + 1] == u'?')) {
            np.grouping = true;
            continue;
        } else if ((c == u'E' || c == u'e') && (stage == Integer || stage == Decimals) && i + 1 < p.size()
                   && (p[i + 1] == u'+' || p[i + 1] == u'-')) {
            np.scientific = true;
            np.exponentPlus = p[i + 1] == u'+';
            np.exponentDigits = 0;
            stage = Exponent;
            ++i;
            continue;
        } else {
            if (c == u'%')
                np.percent = true;
            literal = c;
        }
        if (stage == Prefix)
            np.prefix += literal;
        else {
            stage = Suffix;
            np.suffix += literal;
        }
    }
    if (np.scientific && np.exponentDigits == 0)
        np.exponentDigits = 1;
    return np;
}

QString groupDigits(const QString &digits)
{
    QString out;
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += u' ';
        out += digits[i];
    }
    return out;
}

QString formatFixed(double a, const NumberPattern &np)
{
    const double rounded = roundHalfAway(a, np.maxDecimals);
    // As "%.*f" in the C locale (printf would take a French environment's decimal comma);
    // the largest double has 309 digits before the point.
    char buffer[1024];
    const char *end = std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed,
                                    std::min(np.maxDecimals, 600))
                              .ptr;
    QString s = QString::fromLatin1(buffer, end - buffer);
    QString intPart = s.section(u'.', 0, 0);
    QString decPart = s.section(u'.', 1);
    while (decPart.size() > np.minDecimals && decPart.endsWith(u'0'))
        decPart.chop(1);
    if (intPart == u"0" && np.minIntegerDigits == 0)
        intPart.clear();
    while (intPart.size() < np.minIntegerDigits)
        intPart.prepend(u'0');
    if (np.grouping)
        intPart = groupDigits(intPart);
    return decPart.isEmpty() ? intPart : intPart + u',' + decPart;
}

QString formatScientific(double a, const NumberPattern &np)
{
    int exponent = a == 0 ? 0 : int(std::floor(std::log10(a)));
    const int intDigits = std::max(1, np.minIntegerDigits);
    exponent -= intDigits - 1;
    double mantissa = a / std::pow(10.0, exponent);
    mantissa = roundHalfAway(mantissa, np.maxDecimals);
    if (mantissa >= std::pow(10.0, intDigits)) {
        mantissa /= 10;
        ++exponent;
    }
    NumberPattern fixed = np;
    fixed.grouping = false;
    QString out = formatFixed(mantissa, fixed) + u'E';
    out += exponent < 0 ? u"-" : (np.exponentPlus ? u"+" : u"");
    out += QString::number(std::abs(exponent)).rightJustified(np.exponentDigits, u'0');
    return out;
}

} // namespace

PatternInfo describeNumberPattern(const QString &pattern)
{
    const NumberPattern np = parseNumberPattern(splitSections(pattern).value(0));
    PatternInfo info;
    info.prefix = np.prefix;
    info.suffix = np.suffix;
    info.minIntegerDigits = np.minIntegerDigits;
    info.decimals = np.maxDecimals;
    info.grouping = np.grouping;
    info.percent = np.percent;
    info.scientific = np.scientific;
    info.exponentDigits = np.exponentDigits;
    if (info.percent)
        info.suffix.remove(u'%');
    return info;
}

namespace {

bool isPlaceholder(QChar c) { return c == u'0' || c == u'#' || c == u'?'; }

// Swaps the decimal and grouping marks of each number section of a code.
QString convertNumberCode(const QString &code, bool toFrench)
{
    QStringList sections = splitSections(code);
    for (QString &section : sections) {
        if (isDateTimePattern(section))
            continue;
        QString out;
        bool quoted = false;
        for (qsizetype i = 0; i < section.size(); ++i) {
            const QChar c = section[i];
            if (c == u'"')
                quoted = !quoted;
            if (!quoted && c == u'\\' && i + 1 < section.size()) {
                out += c;
                out += section[++i];
                continue;
            }
            const bool nextIsDigit = i + 1 < section.size() && isPlaceholder(section[i + 1]);
            if (quoted) {
                out += c;
            } else if (toFrench && c == u'.') {
                out += u',';
            } else if (toFrench && c == u',') {
                if (nextIsDigit)
                    out += u' '; // a thousands separator; a trailing one (thousands scaling) is dropped
            } else if (!toFrench && c == u',') {
                out += u'.';
            } else if (!toFrench && (isSpaceLike(c) || c == u'.') && nextIsDigit && i > 0
                       && isPlaceholder(section[i - 1])) {
                out += u',';
            } else {
                out += c;
            }
        }
        section = out;
    }
    return sections.join(u';');
}

} // namespace

QString frenchNumberCode(const QString &english) { return convertNumberCode(english, true); }
QString englishNumberCode(const QString &french) { return convertNumberCode(french, false); }

QString formatNumberToFit(double value, const QString &pattern, const std::function<bool(const QString &)> &fits)
{
    const QString full = formatNumber(value, pattern);
    if (fits(full))
        return full;
    const bool standard = pattern.isEmpty() || pattern.compare(u"General", Qt::CaseInsensitive) == 0
            || pattern.compare(u"Standard", Qt::CaseInsensitive) == 0;
    if (standard && std::isfinite(value)) {
        if (full.contains(u'E')) {
            // 1,23456E+20: fewer digits in the mantissa.
            for (int d = 4; d >= 0; --d) {
                const QString shorter =
                        formatNumber(value, QStringLiteral("0,") + QString(d, u'#') + QStringLiteral("E+00"));
                if (fits(shorter))
                    return shorter;
            }
        } else {
            const qsizetype comma = full.indexOf(u',');
            for (int d = comma < 0 ? -1 : int(full.size() - comma - 2); d >= 0; --d) {
                const QString shorter = formatStandard(roundHalfAway(value, d));
                if (fits(shorter))
                    return shorter;
            }
        }
    }
    QString hashes = QStringLiteral("###");
    while (!hashes.isEmpty() && !fits(hashes))
        hashes.chop(1);
    return hashes;
}

bool isDateTimePattern(const QString &pattern)
{
    bool quoted = false;
    for (QChar c : pattern) {
        if (c == u'"')
            quoted = !quoted;
        if (quoted)
            continue;
        const QChar l = c.toLower();
        if (l == u'd' || l == u'j' || l == u'm' || l == u'y' || l == u'a' || l == u'h' || l == u's' || l == u'n')
            return true;
        if (l == u'0' || l == u'#')
            return false;
    }
    return false;
}

QString formatNumber(double value, const QString &pattern)
{
    if (pattern.isEmpty() || pattern.compare(u"General", Qt::CaseInsensitive) == 0
        || pattern.compare(u"Standard", Qt::CaseInsensitive) == 0)
        return formatStandard(value);
    if (!std::isfinite(value))
        return QStringLiteral("#NUM!");
    bool writeMinus = value < 0;
    QString section = sectionFor(value, pattern, writeMinus);
    takeColour(section);
    if (section == u"@")
        return formatStandard(value); // the text format shows numbers as they are
    if (isDateTimePattern(section)) {
        const QDateTime when = serialToDateTime(value);
        if (!when.isValid())
            return QStringLiteral("###");
        return french::formatDateTime(normaliseDatePattern(section), when);
    }
    const NumberPattern np = parseNumberPattern(section);
    double a = std::fabs(value);
    if (np.percent)
        a *= 100;
    QString body = np.scientific ? formatScientific(a, np) : formatFixed(a, np);
    // No minus sign for a value that rounds to zero.
    if (writeMinus && std::any_of(body.cbegin(), body.cend(), [](QChar c) { return c >= u'1' && c <= u'9'; }))
        body.prepend(u'-');
    return np.prefix + body + np.suffix;
}

int patternColour(double value, const QString &pattern)
{
    if (pattern.isEmpty() || !std::isfinite(value))
        return -1;
    bool writeMinus = value < 0;
    QString section = sectionFor(value, pattern, writeMinus);
    return takeColour(section);
}

const QStringList &dateForms()
{
    static const QStringList forms{QStringLiteral("dd/mm/yyyy"),      QStringLiteral("dd/mm/yy"),
                                   QStringLiteral("d mmmm yyyy"),     QStringLiteral("dddd d mmmm yyyy"),
                                   QStringLiteral("d mmm yyyy"),      QStringLiteral("mmmm yyyy"),
                                   QStringLiteral("dd/mm/yyyy hh:nn")};
    return forms;
}

const QStringList &timeForms()
{
    static const QStringList forms{QStringLiteral("hh:nn"), QStringLiteral("hh:nn:ss")};
    return forms;
}

QString patternOf(const NumberFormatChoice &c)
{
    const int decimals = std::clamp(c.decimals, 0, 15);
    const QString fraction = decimals > 0 ? u',' + QString(decimals, u'0') : QString();
    switch (c.category) {
    case NumberFormatChoice::Standard: return QString();
    case NumberFormatChoice::Text: return QStringLiteral("@");
    case NumberFormatChoice::Percent: return QStringLiteral("0") + fraction + u'%';
    case NumberFormatChoice::Scientific: return QStringLiteral("0") + fraction + QStringLiteral("E+00");
    case NumberFormatChoice::Date: return c.form.isEmpty() ? dateForms().first() : c.form;
    case NumberFormatChoice::Time: return c.form.isEmpty() ? timeForms().first() : c.form;
    case NumberFormatChoice::Number:
    case NumberFormatChoice::Currency: {
        QString positive = (c.thousands ? QStringLiteral("# ##0") : QStringLiteral("0")) + fraction;
        if (c.category == NumberFormatChoice::Currency)
            positive += u' ' + (c.currency.isEmpty() ? QStringLiteral("€") : c.currency);
        return c.negativeRed ? positive + QStringLiteral(";[Rouge]-") + positive : positive;
    }
    }
    return QString();
}

NumberFormatChoice choiceOf(const QString &pattern)
{
    NumberFormatChoice c;
    if (pattern.isEmpty() || pattern.compare(u"General", Qt::CaseInsensitive) == 0
        || pattern.compare(u"Standard", Qt::CaseInsensitive) == 0)
        return c;
    if (pattern == u"@") {
        c.category = NumberFormatChoice::Text;
        return c;
    }
    if (isDateTimePattern(pattern)) {
        const QString p = normaliseDatePattern(pattern);
        bool date = false, quoted = false;
        for (QChar ch : p) {
            if (ch == u'"')
                quoted = !quoted;
            if (!quoted
                && (ch.toLower() == u'd' || ch.toLower() == u'y'
                    || (ch.toLower() == u'm' && !p.contains(u'h', Qt::CaseInsensitive))))
                date = true;
        }
        c.category = date ? NumberFormatChoice::Date : NumberFormatChoice::Time;
        c.form = pattern;
        return c;
    }
    const PatternInfo info = describeNumberPattern(pattern);
    c.decimals = info.decimals;
    c.thousands = info.grouping;
    const QStringList sections = splitSections(pattern);
    QString negative = sections.value(1);
    c.negativeRed = sections.size() >= 2 && takeColour(negative) == 0xff0000;
    const QString suffix = info.suffix.trimmed();
    if (info.percent) {
        c.category = NumberFormatChoice::Percent;
    } else if (info.scientific) {
        c.category = NumberFormatChoice::Scientific;
    } else if (!suffix.isEmpty() || !info.prefix.trimmed().isEmpty()) {
        c.category = NumberFormatChoice::Currency;
        c.currency = suffix.isEmpty() ? info.prefix.trimmed() : suffix;
    } else {
        c.category = NumberFormatChoice::Number;
    }
    return c;
}

} // namespace sheet
